// Both windows' layouts as data: sizes, outlines and every control, in twips (15 to the pixel
// at 96 dots per inch) as they were designed. The platforms build their windows from these.
#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "resources/scale.h"
#include "base/key_table.h"

namespace brisel {

struct Outline {
  int right, bottom;         // the rectangle runs from (0, 0); right and bottom are exclusive
  int ellipse_w, ellipse_h;  // the corner ellipse
};

inline constexpr Outline kSplashOutline{210, 205, 55, 55};
inline constexpr Outline kConfigOutline{300, 300, 45, 45};

// Whether pixel (x, y) lies inside a round-rect region with this outline.
bool OutlineContains(const Outline& outline, int x, int y);

struct Rect {
  int left, top, width, height;
  friend bool operator==(const Rect&, const Rect&) = default;
};

enum class ControlKind { Picture, TextField, Button, Label, Selector, List };

struct Font {
  std::string_view name;
  double points;
  bool bold;
  int charset;  // the font's character set: 0, ANSI
};

inline constexpr Font kVerdana{"Verdana", 8.25, false, 0};
inline constexpr Font kVerdanaBold{"Verdana", 8.25, true, 0};

struct ControlLayout {
  std::string_view name;
  ControlKind kind;
  std::optional<Rect> twips;  // none for fields that have no place of their own
  bool shown;
  std::string_view text;      // text, caption, or for a picture control the picture it holds
  std::optional<Font> font;   // none: the window's default font
  int tab_order;              // -1: takes no focus
  std::span<const KeyRow> (*items)() = nullptr;  // a selector's list, in order

  // Its place in device pixels at the scale: at 1, each number divided by 15, rounded down.
  Rect pixels(Scale scale = {}) const { return scale.twips(twips.value_or(Rect{0, 0, 0, 0})); }
};

struct WindowLayout {
  std::string_view name;
  std::string_view title;
  int width_twips, height_twips;
  Outline outline;
  std::span<const ControlLayout> controls;
  // The dialog takes the focus when shown; the display never does, and stays above the others.
  bool takes_focus;

  int width(Scale scale = {}) const { return scale.twips(width_twips); }
  int height(Scale scale = {}) const { return scale.twips(height_twips); }
  const ControlLayout& control(std::string_view control_name) const;
  const ControlLayout* find(std::string_view control_name) const;  // nullptr: none such
  // The controls a user can see and reach in the window (text, selectors, buttons inside its
  // bounds), in tab order; pictures are drawn by resources/art.h.
  std::vector<const ControlLayout*> interactive_controls() const;
};

const WindowLayout& SplashLayout();
const WindowLayout& ConfigLayout();

}  // namespace brisel
