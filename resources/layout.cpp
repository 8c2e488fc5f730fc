#include "resources/layout.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

namespace brisel {

bool OutlineContains(const Outline& o, int x, int y) {
  if (x < 0 || y < 0 || x >= o.right || y >= o.bottom) return false;
  const double rx = o.ellipse_w / 2.0, ry = o.ellipse_h / 2.0;
  const double px = x + 0.5, py = y + 0.5;
  // The nearest corner ellipse's centre, when the pixel lies in a corner square.
  const double cx = px < rx ? rx : px > o.right - rx ? o.right - rx : px;
  const double cy = py < ry ? ry : py > o.bottom - ry ? o.bottom - ry : py;
  const double dx = (px - cx) / rx, dy = (py - cy) / ry;
  return dx * dx + dy * dy <= 1.0;
}

const ControlLayout* WindowLayout::find(std::string_view control_name) const {
  for (const ControlLayout& c : controls)
    if (c.name == control_name) return &c;
  return nullptr;
}

const ControlLayout& WindowLayout::control(std::string_view control_name) const {
  if (const ControlLayout* c = find(control_name)) return *c;
  throw std::out_of_range("no control " + std::string(control_name) + " in " + std::string(name));
}

std::vector<const ControlLayout*> WindowLayout::interactive_controls() const {
  std::vector<const ControlLayout*> out;
  for (const ControlLayout& c : controls) {
    const Rect r = c.pixels();
    const bool inside = c.twips && r.left + r.width <= width() && r.top + r.height <= height();
    if (c.shown && inside && c.kind != ControlKind::Picture && c.kind != ControlKind::TextField) out.push_back(&c);
  }
  // Labels take no focus (-1) and come first; the rest by their tab order.
  std::stable_sort(out.begin(), out.end(),
                   [](const ControlLayout* a, const ControlLayout* b) { return a->tab_order < b->tab_order; });
  return out;
}

namespace {

using K = ControlKind;

constexpr ControlLayout StoredBar(std::string_view name, int top_twips) {
  return {name, K::Picture, Rect{360, top_twips, 2565, 300}, true, name, std::nullopt, -1};
}

// The display: a picture, not a set of widgets. Only the background, Image2 and (while muted)
// Mute can be seen; the state fields are hidden or lie right of the window, and the stored
// level pictures below it.
constexpr std::array kSplashControls = {
    ControlLayout{"Image2", K::Picture, Rect{290, 2400, 2565, 300}, true, "ImageEmpty", std::nullopt, -1},
    ControlLayout{"Mute", K::Picture, Rect{1560, 480, 1080, 1695}, false, "Mute", std::nullopt, -1},
    ControlLayout{"Volume", K::TextField, Rect{840, 360, 1335, 375}, false, "1", std::nullopt, 0},
    ControlLayout{"VolCount", K::TextField, Rect{3720, 3000, 1215, 285}, true, "0", std::nullopt, 3},
    ControlLayout{"Amount", K::TextField, Rect{3960, 4200, 1815, 285}, true, "10", std::nullopt, 5},
    ControlLayout{"first", K::TextField, Rect{3600, 5880, 1575, 285}, true, "first", std::nullopt, 6},
    ControlLayout{"Timer", K::TextField, Rect{3960, 1560, 1575, 285}, true, "0", std::nullopt, 7},
    ControlLayout{"yesno", K::TextField, Rect{3120, 1080, 1815, 285}, false, "yes", std::nullopt, 8},
    ControlLayout{"Command1", K::Button, Rect{3720, 960, 1335, 375}, true, "Command1", std::nullopt, 1},
    ControlLayout{"Command2", K::Button, Rect{3720, 2400, 1215, 495}, true, "Command2", std::nullopt, 2},
    ControlLayout{"Command3", K::Button, Rect{3720, 3480, 1215, 375}, true, "Command3", std::nullopt, 4},
    StoredBar("Image3", 3240),  StoredBar("Image4", 3480),  StoredBar("Image5", 3720),
    StoredBar("Image6", 3960),  StoredBar("Image7", 4200),  StoredBar("Image8", 4440),
    StoredBar("Image9", 4680),  StoredBar("Image1", 4920),  StoredBar("Image10", 5160),
    StoredBar("Image11", 5400), StoredBar("Image12", 5640), StoredBar("Image13", 5880),
    StoredBar("Image14", 6120), StoredBar("Image15", 6360), StoredBar("Image16", 6600),
    StoredBar("Image17", 6840), StoredBar("ImageEmpty", 7080),
};

constexpr ControlLayout Hidden(std::string_view name, K kind, std::string_view text) {
  return {name, kind, std::nullopt, false, text, std::nullopt, -1};
}

constexpr std::array kConfigControls = {
    ControlLayout{"Label1", K::Label, Rect{600, 840, 3615, 735}, true,
                  "Welcome to Brisel, please select the hokeys for volume up and volume down below and then click Run.",
                  kVerdana, -1},
    ControlLayout{"volumeup", K::Selector, Rect{1080, 1920, 2295, 315}, true, "Apple Vol Up", kVerdana, 1, KeyTable},
    ControlLayout{"volumedown", K::Selector, Rect{1080, 2400, 2295, 315}, true, "Apple Vol Down", kVerdana, 2,
                  KeyTable},
    ControlLayout{"volumemute", K::Selector, Rect{1080, 2880, 2295, 315}, true, "Apple Mute", std::nullopt, 4,
                  KeyTable},
    ControlLayout{"Command1", K::Button, Rect{2520, 3960, 1695, 375}, true, "Run", kVerdanaBold, 3},
    Hidden("Amount", K::TextField, "0"),
    Hidden("outcomeup", K::TextField, "175"),
    Hidden("outcomedown", K::TextField, "174"),
    Hidden("outcomemute", K::TextField, "173"),
    Hidden("asciilist", K::List, ""),
    Hidden("Listed", K::List, ""),
};

constexpr WindowLayout kSplash{"Splash", "Form1", 3135, 3105, kSplashOutline, kSplashControls, false};
constexpr WindowLayout kConfig{"Config", "Form1", 4500, 4500, kConfigOutline, kConfigControls, true};

}  // namespace

const WindowLayout& SplashLayout() { return kSplash; }
const WindowLayout& ConfigLayout() { return kConfig; }

}  // namespace brisel
