#include "resources/art.h"

#include <array>
#include <cmath>
#include <map>
#include <numbers>
#include <utility>

#include "resources/layout.h"
#include "resources/raster.h"

namespace brisel::art {

using namespace raster;

namespace {

constexpr float kWhite = 255;
constexpr float kShadowGrey = 120;
constexpr double kDegree = std::numbers::pi / 180;

// Every picture is drawn at a scale: its shapes are given at 96 dpi and drawn `Grown` at it,
// their edges sampled at the device's pixels; offsets and softness of the shadows grow too.
int Grown(int pixels, Scale s) { return static_cast<int>(std::lround(pixels * s.factor())); }
Shape At(Scale s, Shape shape) { return Scaled(std::move(shape), s.factor()); }

// A white shape with a soft shadow below and right of it.
void PaintRaised(Canvas& c, const Shape& shape, int dx, int dy, float shadow_strength, Scale s) {
  const Mask m = Cover(c.width, c.height, shape);
  c.paint(Shadow(m, Grown(dx, s), Grown(dy, s), Grown(1, s)), kShadowGrey, shadow_strength);
  c.paint(m, kWhite);
}

// A vertical gradient from `top` to `bottom` wherever `shape` covers, over a picture `height`
// pixels tall at 96 dpi; each row takes the grey of its centre's height there.
void PaintGradient(Canvas& c, const Shape& shape, float top, float bottom, int height, Scale s) {
  const Mask m = Cover(c.width, c.height, shape);
  for (int y = m.y0; y < m.y0 + m.h; ++y) {
    const auto row = static_cast<float>((y + 0.5) / s.factor() - 0.5);
    const float grey = top + (bottom - top) * row / static_cast<float>(height - 1);
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

GreyImage SplashBackground(int parts, Scale s) {
  Canvas c(s.pixels_up(211), s.pixels_up(206), 0);
  const Outline& o = kSplashOutline;
  PaintGradient(c, At(s, RoundRect(0, 0, o.right, o.bottom, 27.5)), 217.4f, 215.6f, 206, s);
  if (parts & kSpeakerBody) {
    const Shape box = RoundRect(61, 81, 82, 103, 0);
    const Shape cone = Polygon({{81, 81}, {97, 66}, {97, 118}, {81, 103}});
    PaintRaised(c, At(s, Union({box, cone})), 2, 2, 0.45f, s);
  }
  if (parts & kSpeakerWaves) {
    std::vector<Shape> arcs;
    for (double r : kWaveRadii)
      arcs.push_back(Arc(kWaveX, kWaveY, r - kWaveWidth / 2, r + kWaveWidth / 2, -kWaveHalfAngle, kWaveHalfAngle));
    PaintRaised(c, At(s, Union(std::move(arcs))), 2, 2, 0.45f, s);
  }
  return c.image();
}

GreyImage MutePatch(Scale s) {
  const GreyImage quiet = SplashBackground(kSpeakerBody, s);
  const Rect r = SplashLayout().control("Mute").pixels(s);
  GreyImage patch(r.width, r.height);
  for (int y = 0; y < r.height; ++y)
    for (int x = 0; x < r.width; ++x) patch.at(x, y) = quiet.at(r.left + x, r.top + y);
  return patch;
}

// The level bar's squares are 7 x 9 pixels at 96 dpi, 10 apart, from (7, 4).
GreyImage LevelBar(int lit, Scale s) {
  const double f = s.factor();
  Canvas c(s.pixels(171), s.pixels(20), 217);
  auto square = [&](double x0, double y0, double x1, double y1) { return Cover(c.width, c.height, RoundRect(x0, y0, x1, y1, 0)); };
  for (int k = 0; k < 16; ++k) {
    const int x0 = 7 + 10 * k;
    if (k >= lit) {
      c.paint(square(x0 * f, 4 * f, (x0 + 7) * f, 13 * f), 135);
      continue;
    }
    // The shadow: two pixels right of the square and three below it, from 160 one step lighter
    // with each pixel further out (to 205 at most), its top row and left column lighter by 14.
    // At a scale each device pixel takes the grey of its centre, so the steps run smooth.
    for (int y = static_cast<int>(5 * f); y < std::min(c.height, static_cast<int>(std::ceil(16 * f))); ++y)
      for (int x = static_cast<int>((x0 + 1) * f); x < std::min(c.width, static_cast<int>(std::ceil((x0 + 9) * f))); ++x) {
        const double u = (x + 0.5) / f, v = (y + 0.5) / f;
        if (u < x0 + 1 || u >= x0 + 9 || v < 5 || v >= 16 || (u < x0 + 7 && v < 13)) continue;
        const double out = std::max(u - (x0 + 7), v - 13);
        const double grey = 160 + 18 * (out - 0.5) + (v < 6 || u < x0 + 2 ? 14 : 0);
        c.at(x, y) = static_cast<float>(std::min(grey, 205.0));
      }
    // The square, with a highlight one device pixel wide along its right and bottom edges.
    const double right = (x0 + 7) * f, bottom = 13 * f;
    c.paint(square(x0 * f, 4 * f, right, bottom), 254);
    c.paint(square(right - 1, 4 * f, right, bottom), 246);
    c.paint(square(x0 * f, bottom - 1, right, bottom), 246);
  }
  return c.image();
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
void PaintSwitchPlate(Canvas& c, Scale s) {
  const Shape plate = At(s, RoundRect(16, 234, 80, 291, 5));
  c.paint(Shadow(Cover(c.width, c.height, plate), Grown(2, s), Grown(2, s), Grown(1, s)), 40, 0.5f);
  c.paint(plate, 150);
  c.paint(At(s, RoundRect(17, 235, 79, 290, 4)), 222);
  for (double x : {21.5, 74.5})
    for (double y : {239.5, 285.5}) {
      c.paint(At(s, Circle(x, y, 2.3)), 165);
      c.paint(At(s, Capsule(x - 1.5, y + 1.5, x + 1.5, y - 1.5, 0.8)), 105);
    }
  c.paint(At(s, RoundRect(26, 246, 42, 279, 3)), 120);   // the toggle's slot
  c.paint(At(s, RoundRect(28.5, 249, 39.5, 263, 2)), 240); // the toggle, up
  c.paint(At(s, Union({RoundRect(52, 257, 57, 266, 0.5), Polygon({{56.5, 257}, {62, 251.5}, {62, 271.5}, {56.5, 266}})})), 130);
  c.paint(At(s, Union({Arc(62, 261.5, 4.5, 6.3, -45, 45), Arc(62, 261.5, 8.5, 10.3, -45, 45)})), 130);
}

}  // namespace

GreyImage ConfigBackground(Scale s) {
  Canvas c(s.pixels_up(300), s.pixels_up(300), 0);
  const Shape panel = RoundRect(0, 0, 299, 299, 22.5);
  PaintGradient(c, At(s, panel), 204, 119, 300, s);
  c.paint(At(s, Union({Clip(panel, 0, 0, 1, 299), Clip(panel, 0, 298, 299, 299)})), 153);
  PaintRaised(c, At(s, TitleWord()), 1, 1, 0.6f, s);
  PaintSwitchPlate(c, s);
  return c.image();
}

GreyImage ComposeSplash(int lit, bool mute, Scale s) {
  // The display changes its picture often; its parts are drawn once for each scale.
  static std::map<int, std::pair<GreyImage, GreyImage>> parts;
  auto it = parts.find(s.quarters());
  if (it == parts.end()) it = parts.emplace(s.quarters(), std::pair{SplashBackground(kSpeakerBody | kSpeakerWaves, s), MutePatch(s)}).first;
  const auto& [background, patch] = it->second;
  const WindowLayout& layout = SplashLayout();
  GreyImage view(layout.width(s), layout.height(s));
  view.draw(background, 0, 0);
  const Rect bar = layout.control("Image2").pixels(s);
  view.draw(LevelBar(lit, s), bar.left, bar.top);
  if (mute) {
    const Rect at = layout.control("Mute").pixels(s);
    view.draw(patch, at.left, at.top);
  }
  const Outline outline = s.pixels(layout.outline);
  for (int y = 0; y < view.height; ++y)
    for (int x = 0; x < view.width; ++x)
      if (!OutlineContains(outline, x, y)) view.at(x, y) = 0;
  return view;
}

GreyImage WindowPicture(const WindowLayout& layout, int lit, bool mute, Scale s) {
  return &layout == &ConfigLayout() ? ConfigBackground(s) : ComposeSplash(lit, mute, s);
}

}  // namespace brisel::art
