#include "base/text_numbers.h"

#include <charconv>
#include <cmath>

namespace brisel {

double Number(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  double value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
  if (text.empty() || ec != std::errc() || ptr != end) throw RuntimeError("Type mismatch");
  return value;
}

std::string Text(double value) {
  if (value == 0) value = 0;  // no "-0"
  char buf[64];
  auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value);
  (void)ec;  // 64 characters always hold a double's shortest form
  return std::string(buf, ptr);
}

namespace {
double RoundHalfEven(double value) {
  double r = std::round(value);
  if (std::fabs(value - std::trunc(value)) == 0.5) r = 2.0 * std::round(value / 2.0);
  return r;
}

template <typename Int>
Int ToInt(double value, double lo, double hi) {
  if (std::isnan(value)) RaiseOverflow();
  double r = RoundHalfEven(value);
  if (r < lo || r > hi) RaiseOverflow();
  return static_cast<Int>(r);
}
}  // namespace

std::int16_t ToInt16(double value) { return ToInt<std::int16_t>(value, -32768.0, 32767.0); }
std::int32_t ToInt32(double value) { return ToInt<std::int32_t>(value, -2147483648.0, 2147483647.0); }

std::uint8_t ToByte(std::int16_t value) {
  if (value < 0 || value > 255) RaiseOverflow();
  return static_cast<std::uint8_t>(value);
}

}  // namespace brisel
