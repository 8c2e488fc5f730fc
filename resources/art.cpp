#include "resources/art.h"

#include <array>
#include <cmath>
#include <numbers>

#include "resources/layout.h"
#include "resources/raster.h"

namespace brisel::art {

using namespace raster;

namespace {

constexpr float kWhite = 255;
constexpr float kShadowGrey = 120;
constexpr double kDegree = std::numbers::pi / 180;

// A white shape with a soft shadow below and right of it.
void PaintRaised(Canvas& c, const Shape& shape, int dx, int dy, float shadow_strength) {
  const Mask m = Cover(c.width, c.height, shape);
  c.paint(Shadow(m, dx, dy, 1), kShadowGrey, shadow_strength);
  c.paint(m, kWhite);
}

// A vertical gradient from `top` to `bottom` wherever `shape` covers.
void PaintGradient(Canvas& c, const Shape& shape, float top, float bottom) {
  const Mask m = Cover(c.width, c.height, shape);
  for (int y = m.y0; y < m.y0 + m.h; ++y) {
    const float grey = top + (bottom - top) * static_cast<float>(y) / static_cast<float>(c.height - 1);
    for (int x = m.x0; x < m.x0 + m.w; ++x) {
      const float a = m.at(x, y);
      c.at(x, y) = c.at(x, y) * (1 - a) + grey * a;
    }
  }
}

// The loudspeaker's waves: three concentric arcs around a point left of them, opening right.
constexpr double kWaveX = 98, kWaveY = 92, kWaveHalfAngle = 48;
constexpr std::array<double, 3> kWaveRadii = {19.25, 32.25, 45.25};
constexpr double kWaveWidth = 4.5;

}  // namespace

GreyImage SplashBackground(int parts) {
  Canvas c(211, 206, 0);
  const Outline& o = kSplashOutline;
  PaintGradient(c, RoundRect(0, 0, o.right, o.bottom, 27.5), 217.4f, 215.6f);
  if (parts & kSpeakerBody) {
    const Shape box = RoundRect(61, 81, 82, 103, 0);
    const Shape cone = Polygon({{81, 81}, {97, 66}, {97, 118}, {81, 103}});
    PaintRaised(c, Union({box, cone}), 2, 2, 0.45f);
  }
  if (parts & kSpeakerWaves) {
    std::vector<Shape> arcs;
    for (double r : kWaveRadii)
      arcs.push_back(Arc(kWaveX, kWaveY, r - kWaveWidth / 2, r + kWaveWidth / 2, -kWaveHalfAngle, kWaveHalfAngle));
    PaintRaised(c, Union(std::move(arcs)), 2, 2, 0.45f);
  }
  return c.image();
}

GreyImage MutePatch() {
  const GreyImage quiet = SplashBackground(kSpeakerBody);
  const Rect r = SplashLayout().control("Mute").pixels();
  GreyImage patch(r.width, r.height);
  for (int y = 0; y < r.height; ++y)
    for (int x = 0; x < r.width; ++x) patch.at(x, y) = quiet.at(r.left + x, r.top + y);
  return patch;
}

GreyImage LevelBar(int lit) {
  GreyImage bar(171, 20, 217);
  for (int k = 0; k < 16; ++k) {
    const int x0 = 7 + 10 * k;
    if (k >= lit) {
      for (int y = 4; y <= 12; ++y)
        for (int x = x0; x < x0 + 7; ++x) bar.at(x, y) = 135;
      continue;
    }
    // The shadow: two columns right of the square, three rows below it, lighter further out.
    for (int y = 5; y <= 15; ++y)
      for (int x = x0 + 1; x <= x0 + 8; ++x) {
        if (x < x0 + 7 && y <= 12) continue;
        const int out = std::max(x - (x0 + 6), y - 12);
        bar.at(x, y) = static_cast<std::uint8_t>(std::min(160 + 18 * (out - 1) + (y == 5 || x == x0 + 1 ? 14 : 0), 205));
      }
    for (int y = 4; y <= 12; ++y)
      for (int x = x0; x < x0 + 7; ++x) bar.at(x, y) = (y == 12 || x == x0 + 6) ? 246 : 254;
  }
  return bar;
}

namespace {

// The title word, in strokes of a bold round face: cap height from y = 8 to 35.
Shape TitleWord() {
  constexpr double w = 5.5, top = 10.75, mid = 21.5, base = 32.25, xtop = 18.75;
  auto stem = [&](double x, double y0) { return Capsule(x, y0, x, base, w); };
  auto bar = [&](double x0, double x1, double y) { return Capsule(x0, y, x1, y, w); };
  auto bowl = [&](double cx, double cy, double r, double a0, double a1, double width) {
    return Arc(cx, cy, r - width / 2, r + width / 2, a0, a1);
  };
  std::vector<Shape> s;
  // B
  s.push_back(stem(14.75, top));
  s.push_back(bar(14.75, 23.5, top));
  s.push_back(bar(14.75, 24.5, mid));
  s.push_back(bar(14.75, 25.5, base));
  s.push_back(bowl(23.5, (top + mid) / 2, (mid - top) / 2, -90, 90, w));
  s.push_back(bowl(25.5, (mid + base) / 2, (base - mid) / 2, -90, 90, w));
  // r
  s.push_back(stem(43.15, xtop));
  s.push_back(bowl(49.15, xtop + 6, 6, 180, 290, w));
  s.push_back(Circle(49.15 + 6 * std::cos(290 * kDegree), xtop + 6 + 6 * std::sin(290 * kDegree), w / 2));
  // i
  s.push_back(stem(63.95, xtop));
  s.push_back(Circle(63.95, 11.5, 3.3));
  // s
  s.push_back(bowl(79.6, 21.6, 3.6, 90, 340, 5));
  s.push_back(bowl(79.6, 28.8, 3.6, -90, 160, 5));
  // e
  s.push_back(bowl(101.5, 25.25, 6.5, 35, 360, 5));
  s.push_back(Capsule(96, 25.25, 108, 25.25, 4));
  // l
  s.push_back(stem(120.05, top));
  return Union(std::move(s));
}

// A wall switch plate with four screws, a toggle on its left half and a loudspeaker emblem on
// its right half.
void PaintSwitchPlate(Canvas& c) {
  const Shape plate = RoundRect(16, 234, 80, 291, 5);
  c.paint(Shadow(Cover(c.width, c.height, plate), 2, 2, 1), 40, 0.5f);
  c.paint(plate, 150);
  c.paint(RoundRect(17, 235, 79, 290, 4), 222);
  for (double x : {21.5, 74.5})
    for (double y : {239.5, 285.5}) {
      c.paint(Circle(x, y, 2.3), 165);
      c.paint(Capsule(x - 1.5, y + 1.5, x + 1.5, y - 1.5, 0.8), 105);
    }
  c.paint(RoundRect(26, 246, 42, 279, 3), 120);   // the toggle's slot
  c.paint(RoundRect(28.5, 249, 39.5, 263, 2), 240); // the toggle, up
  c.paint(Union({RoundRect(52, 257, 57, 266, 0.5), Polygon({{56.5, 257}, {62, 251.5}, {62, 271.5}, {56.5, 266}})}), 130);
  c.paint(Union({Arc(62, 261.5, 4.5, 6.3, -45, 45), Arc(62, 261.5, 8.5, 10.3, -45, 45)}), 130);
}

}  // namespace

GreyImage ConfigBackground() {
  Canvas c(300, 300, 0);
  const Shape panel = RoundRect(0, 0, 299, 299, 22.5);
  PaintGradient(c, panel, 204, 119);
  c.paint(Union({Clip(panel, 0, 0, 1, 299), Clip(panel, 0, 298, 299, 299)}), 153);
  PaintRaised(c, TitleWord(), 1, 1, 0.6f);
  PaintSwitchPlate(c);
  return c.image();
}

GreyImage ComposeSplash(int lit, bool mute) {
  // The display changes its picture often; its parts are drawn once.
  static const GreyImage background = SplashBackground();
  static const GreyImage patch = MutePatch();
  const WindowLayout& layout = SplashLayout();
  GreyImage view(layout.width(), layout.height());
  view.draw(background, 0, 0);
  const Rect bar = layout.control("Image2").pixels();
  view.draw(LevelBar(lit), bar.left, bar.top);
  if (mute) {
    const Rect at = layout.control("Mute").pixels();
    view.draw(patch, at.left, at.top);
  }
  for (int y = 0; y < view.height; ++y)
    for (int x = 0; x < view.width; ++x)
      if (!OutlineContains(layout.outline, x, y)) view.at(x, y) = 0;
  return view;
}

GreyImage WindowPicture(const WindowLayout& layout, int lit, bool mute) {
  return &layout == &ConfigLayout() ? ConfigBackground() : ComposeSplash(lit, mute);
}

}  // namespace brisel::art
