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
  return std::unique_ptr<TraceFile>(new TraceFile(file));
}

TraceFile::~TraceFile() { std::fclose(file_); }

void TraceFile::write(const std::string& line) {
  std::fputs(line.c_str(), file_);
  std::fputc('\n', file_);
  std::fflush(file_);
}

}  // namespace brisel
