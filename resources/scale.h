// How big the windows are on a screen of a given resolution. The layouts are in twips, 15 to
// the pixel at 96 dots per inch; a screen of more dots per inch shows them at a scale, in
// quarters (1, 1.25, 1.5 ... never below 1), and every length becomes device pixels at it.
#pragma once

#include <optional>
#include <string_view>

namespace brisel {

struct Rect;
struct Outline;

class Scale {
 public:
  constexpr Scale() = default;
  static constexpr Scale Quarters(int quarters) { return Scale(quarters); }

  constexpr int quarters() const { return quarters_; }
  constexpr double factor() const { return quarters_ / 4.0; }
  constexpr bool operator==(const Scale&) const = default;

  // A length in twips as device pixels, rounded down, as at 96 dpi (where 290 twips are 19
  // pixels): at 1.5 the display's 3135 twips are 313 pixels, not 314.
  constexpr int twips(int t) const { return t * quarters_ / 60; }
  // A length in pixels of the 96 dpi grid as device pixels, rounded down.
  constexpr int pixels(int p) const { return p * quarters_ / 4; }
  // The same, rounded up: a picture that must cover a length.
  constexpr int pixels_up(int p) const { return (p * quarters_ + 3) / 4; }
  // A font of this size in points as a pixel height, to the nearest pixel (8.25 pt is 11 at 1).
  int font_pixels(double points) const;

  Rect twips(const Rect& r) const;         // a rectangle in twips, each number by twips()
  Outline pixels(const Outline& o) const;  // a round-rect outline, each number by pixels()

 private:
  constexpr explicit Scale(int quarters) : quarters_(quarters) {}
  int quarters_ = 4;
};

// The scale of a screen of `dpi` dots per inch: dpi / 96 to the nearest quarter (halves up),
// at least 1 and at most 8; 1 for a resolution that is no number.
Scale ScaleForDpi(double dpi);

// A scale as a user writes it ("1", "1.5", "2.25"): a whole number of quarters from 1 to 8;
// nothing for anything else.
std::optional<Scale> ParseScale(std::string_view text);

}  // namespace brisel
