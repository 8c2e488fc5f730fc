#include "platform/trace_file.h"

#include <cerrno>
#include <cstring>

#include "platform/utf16.h"

namespace brisel {

std::unique_ptr<TraceFile> TraceFile::Open(const std::string& path, std::string& error) {
#ifdef _WIN32
  // The path is UTF-8, as all of the program's text: opened through its UTF-16 form, since
  // fopen would read it in the ANSI code page.
  const std::u16string wide = Utf16(path);
  std::FILE* file = _wfopen(std::wstring(wide.begin(), wide.end()).c_str(), L"ab");
#else
  std::FILE* file = std::fopen(path.c_str(), "ab");
#endif
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
