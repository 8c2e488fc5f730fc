#include "platform/trace_file.h"

#include <cerrno>
#include <cstring>

namespace brisel {

#ifdef _WIN32
namespace {

// UTF-8 to UTF-16 (by hand: the standard library's converters would double the program's size).
// A byte that starts no character stands for U+FFFD.
std::wstring Utf16(std::string_view utf8) {
  std::wstring out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >> 5 == 6 ? 2 : lead >> 4 == 14 ? 3 : lead >> 3 == 30 ? 4 : 0;
    char32_t c = length == 1 ? lead : lead & (0x7Fu >> length);
    bool whole = length > 0 && i + length <= utf8.size();
    for (std::size_t k = 1; whole && k < length; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      whole = next >> 6 == 2;
      c = c << 6 | (next & 0x3Fu);
    }
    if (!whole) {
      out += L'\xFFFD';
      ++i;
      continue;
    }
    i += length;
    if (c < 0x10000) {
      out += static_cast<wchar_t>(c);
    } else {
      c -= 0x10000;
      out += static_cast<wchar_t>(0xD800 + (c >> 10));
      out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
    }
  }
  return out;
}

}  // namespace
#endif

std::unique_ptr<TraceFile> TraceFile::Open(const std::string& path, std::string& error) {
#ifdef _WIN32
  // The path is UTF-8, as all of the program's text: opened through its UTF-16 form, since
  // fopen would read it in the ANSI code page.
  std::FILE* file = _wfopen(Utf16(path).c_str(), L"ab");
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
