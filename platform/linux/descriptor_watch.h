// A loop that waits on descriptors: what a backend hands the program's loop so that it hears of
// its events without a thread of its own.
#pragma once

#include <functional>

namespace brisel::linux_x11 {

class DescriptorWatch {
 public:
  // `readable` runs on the loop's thread whenever `fd` has something to read, until unwatch(fd).
  virtual void watch(int fd, std::function<void()> readable) = 0;
  virtual void unwatch(int fd) = 0;

 protected:
  ~DescriptorWatch() = default;
};

}  // namespace brisel::linux_x11
