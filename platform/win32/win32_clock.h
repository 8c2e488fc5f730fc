// Monotonic milliseconds from the performance counter. GetTickCount64 moves in steps of the
// system tick (about 15.6 ms), too coarse for timers that tick every 10 ms.
#pragma once

#include "platform/platform.h"

namespace brisel::win32 {

class Win32Clock : public Clock {
 public:
  Win32Clock();
  std::uint64_t now_ms() const override;

 private:
  std::uint64_t start_ = 0;      // the counter at construction: the clock starts near 0
  std::uint64_t frequency_ = 1;  // counts per second
};

}  // namespace brisel::win32
