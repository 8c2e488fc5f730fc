#include "platform/win32/win32_clock.h"

#include "platform/win32/win32_headers.h"

namespace brisel::win32 {

namespace {
std::uint64_t Counter() {
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return static_cast<std::uint64_t>(c.QuadPart);
}
}  // namespace

Win32Clock::Win32Clock() : start_(Counter()) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);  // never fails since Windows XP
  frequency_ = static_cast<std::uint64_t>(f.QuadPart);
}

std::uint64_t Win32Clock::now_ms() const {
  const std::uint64_t ticks = Counter() - start_;
  // In two parts, so that the product cannot overflow however long the program runs.
  return ticks / frequency_ * 1000 + ticks % frequency_ * 1000 / frequency_;
}

}  // namespace brisel::win32
