#include "resources/raster.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace brisel::raster {

Shape RoundRect(double x0, double y0, double x1, double y1, double r) {
  return [=](double x, double y) {
    if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
    const double cx = std::clamp(x, x0 + r, x1 - r);
    const double cy = std::clamp(y, y0 + r, y1 - r);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
  };
}

Shape Circle(double cx, double cy, double r) {
  return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

Shape Polygon(std::vector<std::pair<double, double>> p) {
  return [p = std::move(p)](double x, double y) {
    bool inside = false;
    for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
      const auto [xi, yi] = p[i];
      const auto [xj, yj] = p[j];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
  };
}

Shape Capsule(double x0, double y0, double x1, double y1, double w) {
  return [=](double x, double y) {
    const double dx = x1 - x0, dy = y1 - y0;
    const double len2 = dx * dx + dy * dy;
    const double t = len2 == 0 ? 0 : std::clamp(((x - x0) * dx + (y - y0) * dy) / len2, 0.0, 1.0);
    const double px = x0 + t * dx - x, py = y0 + t * dy - y;
    return px * px + py * py <= w * w / 4;
  };
}

Shape Arc(double cx, double cy, double r_in, double r_out, double a0, double a1) {
  return [=](double x, double y) {
    const double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
    if (d2 < r_in * r_in || d2 > r_out * r_out) return false;
    double a = std::atan2(y - cy, x - cx) * 180 / std::numbers::pi;
    while (a < a0) a += 360;
    return a <= a1;
  };
}

Shape Union(std::vector<Shape> shapes) {
  return [shapes = std::move(shapes)](double x, double y) {
    return std::any_of(shapes.begin(), shapes.end(), [&](const Shape& s) { return s(x, y); });
  };
}

Mask Cover(int width, int height, const Shape& shape) {
  constexpr int kSub = 4;
  Mask m{width, height, std::vector<float>(static_cast<std::size_t>(width * height))};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      int hits = 0;
      for (int sy = 0; sy < kSub; ++sy)
        for (int sx = 0; sx < kSub; ++sx) hits += shape(x + (sx + 0.5) / kSub, y + (sy + 0.5) / kSub) ? 1 : 0;
      m.a[static_cast<std::size_t>(y * width + x)] = static_cast<float>(hits) / (kSub * kSub);
    }
  return m;
}

namespace {
Mask BoxBlur(const Mask& m, int r) {
  Mask h = m, v = m;
  const float n = static_cast<float>(2 * r + 1);
  for (int y = 0; y < m.height; ++y)
    for (int x = 0; x < m.width; ++x) {
      float s = 0;
      for (int k = -r; k <= r; ++k) s += m.at(x + k, y);
      h.a[static_cast<std::size_t>(y * m.width + x)] = s / n;
    }
  for (int y = 0; y < m.height; ++y)
    for (int x = 0; x < m.width; ++x) {
      float s = 0;
      for (int k = -r; k <= r; ++k) s += h.at(x, y + k);
      v.a[static_cast<std::size_t>(y * m.width + x)] = s / n;
    }
  return v;
}
}  // namespace

Mask Shadow(const Mask& m, int dx, int dy, int radius) {
  Mask moved{m.width, m.height, std::vector<float>(m.a.size())};
  for (int y = 0; y < m.height; ++y)
    for (int x = 0; x < m.width; ++x) moved.a[static_cast<std::size_t>(y * m.width + x)] = m.at(x - dx, y - dy);
  return radius > 0 ? BoxBlur(BoxBlur(moved, radius), radius) : moved;
}

void Canvas::paint(const Mask& m, float grey, float strength) {
  for (std::size_t i = 0; i < g.size(); ++i) {
    const float a = m.a[i] * strength;
    g[i] = g[i] * (1 - a) + grey * a;
  }
}

GreyImage Canvas::image() const {
  GreyImage out(width, height);
  for (std::size_t i = 0; i < g.size(); ++i)
    out.pixels[i] = static_cast<std::uint8_t>(std::clamp(std::lround(g[i]), 0L, 255L));
  return out;
}

}  // namespace brisel::raster
