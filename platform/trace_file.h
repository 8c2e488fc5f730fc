// The file a real program appends its trace to (--trace FILE): each line is written and
// flushed at once, so that what a user sends with a report is complete up to the last call. A
// write that fails (a full disk, a pipe whose reader has gone) stops the trace there; the
// program goes on, and its owner says so once.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <utility>

namespace brisel {

class TraceFile {
 public:
  // Opens `path` for appending; nullptr with `error` set (the system's text) when it cannot.
  static std::unique_ptr<TraceFile> Open(const std::string& path, std::string& error);
  ~TraceFile();
  TraceFile(const TraceFile&) = delete;
  TraceFile& operator=(const TraceFile&) = delete;

  // Appends the line. False only at the write that failed: the file is closed then, and
  // failure() says why (the system's text); later writes do nothing.
  bool write(const std::string& line);
  const std::string& path() const { return path_; }
  const std::string& failure() const { return failure_; }

 private:
  TraceFile(std::FILE* file, std::string path) : file_(file), path_(std::move(path)) {}
  std::FILE* file_;  // none once a write failed
  std::string path_;
  std::string failure_;
};

}  // namespace brisel
