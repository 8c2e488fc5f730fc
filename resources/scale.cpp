#include "resources/scale.h"

#include <charconv>
#include <cmath>

#include "resources/layout.h"

namespace brisel {

namespace {
constexpr int kMinQuarters = 4, kMaxQuarters = 32;
}

int Scale::font_pixels(double points) const {
  return static_cast<int>(std::lround(points * 96.0 / 72.0 * factor()));
}

Rect Scale::twips(const Rect& r) const { return {twips(r.left), twips(r.top), twips(r.width), twips(r.height)}; }

Outline Scale::pixels(const Outline& o) const {
  return {pixels(o.right), pixels(o.bottom), pixels(o.ellipse_w), pixels(o.ellipse_h)};
}

Scale ScaleForDpi(double dpi) {
  if (!std::isfinite(dpi)) return {};
  const double quarters = std::floor(dpi / 24.0 + 0.5);
  if (quarters <= kMinQuarters) return {};
  return Scale::Quarters(quarters >= kMaxQuarters ? kMaxQuarters : static_cast<int>(quarters));
}

std::optional<Scale> ParseScale(std::string_view text) {
  // Digits, then at most two decimals: whole quarters only.
  int whole = 0;
  const char* const end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, whole);
  if (ec != std::errc() || p == text.data() || whole > kMaxQuarters / 4) return std::nullopt;
  int hundredths = 0;
  if (p != end) {
    if (*p != '.' || end - p < 2 || end - p > 3) return std::nullopt;
    for (const char* d = p + 1; d < end; ++d) {
      if (*d < '0' || *d > '9') return std::nullopt;
      hundredths = hundredths * 10 + (*d - '0');
    }
    if (end - p == 2) hundredths *= 10;
  }
  if (hundredths % 25 != 0) return std::nullopt;
  const int quarters = whole * 4 + hundredths / 25;
  if (quarters < kMinQuarters || quarters > kMaxQuarters) return std::nullopt;
  return Scale::Quarters(quarters);
}

}  // namespace brisel
