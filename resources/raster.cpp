#include "resources/raster.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace brisel::raster {

Shape RoundRect(double x0, double y0, double x1, double y1, double r) {
  return {[=](double x, double y) {
            if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
            const double cx = std::clamp(x, x0 + r, x1 - r);
            const double cy = std::clamp(y, y0 + r, y1 - r);
            return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
          },
          x0, y0, x1, y1, true};
}

Shape Circle(double cx, double cy, double r) {
  return {[=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; }, cx - r, cy - r,
          cx + r, cy + r, true};
}

Shape Polygon(std::vector<std::pair<double, double>> p) {
  double x0 = p[0].first, y0 = p[0].second, x1 = x0, y1 = y0;
  for (const auto& [x, y] : p) x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
  return {[p = std::move(p)](double x, double y) {
    bool inside = false;
    for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
      const auto [xi, yi] = p[i];
      const auto [xj, yj] = p[j];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
  },
          x0, y0, x1, y1};
}

Shape Capsule(double x0, double y0, double x1, double y1, double w) {
  return {[=](double x, double y) {
            const double dx = x1 - x0, dy = y1 - y0;
            const double len2 = dx * dx + dy * dy;
            const double t = len2 == 0 ? 0 : std::clamp(((x - x0) * dx + (y - y0) * dy) / len2, 0.0, 1.0);
            const double px = x0 + t * dx - x, py = y0 + t * dy - y;
            return px * px + py * py <= w * w / 4;
          },
          std::min(x0, x1) - w / 2, std::min(y0, y1) - w / 2, std::max(x0, x1) + w / 2, std::max(y0, y1) + w / 2, true};
}

Shape Arc(double cx, double cy, double r_in, double r_out, double a0, double a1) {
  return {[=](double x, double y) {
            const double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            if (d2 < r_in * r_in || d2 > r_out * r_out) return false;
            double a = std::atan2(y - cy, x - cx) * 180 / std::numbers::pi;
            while (a < a0) a += 360;
            return a <= a1;
          },
          cx - r_out, cy - r_out, cx + r_out, cy + r_out};
}

Shape Union(std::vector<Shape> shapes) {
  double x0 = shapes[0].x0, y0 = shapes[0].y0, x1 = shapes[0].x1, y1 = shapes[0].y1;
  for (const Shape& s : shapes) x0 = std::min(x0, s.x0), y0 = std::min(y0, s.y0), x1 = std::max(x1, s.x1), y1 = std::max(y1, s.y1);
  return {[shapes = std::move(shapes)](double x, double y) {
            return std::any_of(shapes.begin(), shapes.end(),
                               [&](const Shape& s) { return x >= s.x0 && x <= s.x1 && y >= s.y0 && y <= s.y1 && s(x, y); });
          },
          x0, y0, x1, y1};
}

Shape Clip(Shape shape, double x0, double y0, double x1, double y1) {
  const bool convex = shape.convex;
  const double bx0 = std::max(x0, shape.x0), by0 = std::max(y0, shape.y0);
  const double bx1 = std::min(x1, shape.x1), by1 = std::min(y1, shape.y1);
  return {[=, shape = std::move(shape)](double x, double y) { return x >= x0 && x < x1 && y >= y0 && y < y1 && shape(x, y); },
          bx0, by0, bx1, by1, convex};
}

Shape Scaled(Shape shape, double f) {
  if (f == 1) return shape;
  const bool convex = shape.convex;
  const double x0 = shape.x0 * f, y0 = shape.y0 * f, x1 = shape.x1 * f, y1 = shape.y1 * f;
  return {[f, shape = std::move(shape)](double x, double y) { return shape(x / f, y / f); }, x0, y0, x1, y1, convex};
}

Mask Cover(int width, int height, const Shape& shape) {
  constexpr int kSub = 4;
  const int xa = std::max(0, static_cast<int>(std::floor(shape.x0)));
  const int xb = std::min(width, static_cast<int>(std::ceil(shape.x1)) + 1);
  const int ya = std::max(0, static_cast<int>(std::floor(shape.y0)));
  const int yb = std::min(height, static_cast<int>(std::ceil(shape.y1)) + 1);
  Mask m(xa, ya, xb - xa, yb - ya);
  for (int y = ya; y < yb; ++y)
    for (int x = xa; x < xb; ++x) {
      if (shape.convex && shape(x, y) && shape(x + 1, y) && shape(x, y + 1) && shape(x + 1, y + 1)) {
        m.ref(x, y) = 1;
        continue;
      }
      int hits = 0;
      for (int sy = 0; sy < kSub; ++sy)
        for (int sx = 0; sx < kSub; ++sx) hits += shape(x + (sx + 0.5) / kSub, y + (sy + 0.5) / kSub) ? 1 : 0;
      m.ref(x, y) = static_cast<float>(hits) / (kSub * kSub);
    }
  return m;
}

namespace {
// One box blur of radius r, horizontal then vertical; the box grows by r on every side.
Mask BoxBlur(const Mask& m, int r) {
  const float n = static_cast<float>(2 * r + 1);
  Mask h(m.x0 - r, m.y0, m.w + 2 * r, m.h), v(m.x0 - r, m.y0 - r, m.w + 2 * r, m.h + 2 * r);
  for (int y = h.y0; y < h.y0 + h.h; ++y)
    for (int x = h.x0; x < h.x0 + h.w; ++x) {
      float s = 0;
      for (int k = -r; k <= r; ++k) s += m.at(x + k, y);
      h.ref(x, y) = s / n;
    }
  for (int y = v.y0; y < v.y0 + v.h; ++y)
    for (int x = v.x0; x < v.x0 + v.w; ++x) {
      float s = 0;
      for (int k = -r; k <= r; ++k) s += h.at(x, y + k);
      v.ref(x, y) = s / n;
    }
  return v;
}
}  // namespace

Mask Shadow(const Mask& m, int dx, int dy, int radius) {
  Mask moved = m;
  moved.x0 += dx;
  moved.y0 += dy;
  return radius > 0 ? BoxBlur(BoxBlur(moved, radius), radius) : moved;
}

void Canvas::paint(const Mask& m, float grey, float strength) {
  for (int y = std::max(m.y0, 0); y < std::min(m.y0 + m.h, height); ++y)
    for (int x = std::max(m.x0, 0); x < std::min(m.x0 + m.w, width); ++x) {
      const float a = m.at(x, y) * strength;
      at(x, y) = at(x, y) * (1 - a) + grey * a;
    }
}

GreyImage Canvas::image() const {
  GreyImage out(width, height);
  for (std::size_t i = 0; i < g.size(); ++i)
    out.pixels[i] = static_cast<std::uint8_t>(std::clamp(std::lround(g[i]), 0L, 255L));
  return out;
}

}  // namespace brisel::raster
