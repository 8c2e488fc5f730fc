// The file a real program appends its trace to (--trace FILE): each line is written and
// flushed at once, so that what a user sends with a report is complete up to the last call.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace brisel {

class TraceFile {
 public:
  // Opens `path` for appending; nullptr with `error` set (the system's text) when it cannot.
  static std::unique_ptr<TraceFile> Open(const std::string& path, std::string& error);
  ~TraceFile();
  TraceFile(const TraceFile&) = delete;
  TraceFile& operator=(const TraceFile&) = delete;

  void write(const std::string& line);

 private:
  explicit TraceFile(std::FILE* file) : file_(file) {}
  std::FILE* file_;
};

}  // namespace brisel
