#include "platform/trace_file.h"

#include <cerrno>
#include <cstring>

namespace brisel {

std::unique_ptr<TraceFile> TraceFile::Open(const std::string& path, std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "ab");
  if (!file) {
    error = std::strerror(errno);
    return nullptr;
  }
  return std::unique_ptr<TraceFile>(new TraceFile(file, path));
}

TraceFile::~TraceFile() {
  if (file_) std::fclose(file_);
}

bool TraceFile::write(const std::string& line) {
  if (!file_) return true;
  errno = 0;
  if (std::fputs(line.c_str(), file_) >= 0 && std::fputc('\n', file_) != EOF && std::fflush(file_) == 0) return true;
  failure_ = errno ? std::strerror(errno) : "the file could not be written";
  std::fclose(file_);
  file_ = nullptr;
  return false;
}

}  // namespace brisel
