// Anti-aliased shapes for the pictures: a shape is an inside test in pixel coordinates
// (pixel (x, y) covers [x, x+1) x [y, y+1)); its coverage is sampled 4 x 4 per pixel.
#pragma once

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include "resources/image.h"

namespace brisel::raster {

// An inside test and a box that holds every point inside, so that coverage is only sampled
// where the shape can be.
struct Shape {
  std::function<bool(double x, double y)> inside;
  double x0, y0, x1, y1;
  bool convex = false;  // then a pixel whose four corners are inside is wholly inside
  bool operator()(double x, double y) const { return inside(x, y); }
};

Shape RoundRect(double x0, double y0, double x1, double y1, double radius);
Shape Circle(double cx, double cy, double r);
Shape Polygon(std::vector<std::pair<double, double>> points);
// A stroke of width w along the segment, with round ends.
Shape Capsule(double x0, double y0, double x1, double y1, double w);
// The ring between r_in and r_out, from angle a0 to a1 in degrees (0 is right, 90 is down).
Shape Arc(double cx, double cy, double r_in, double r_out, double a0, double a1);
Shape Union(std::vector<Shape> shapes);
// The shape drawn `factor` times as large, from the origin: its inside test answers for the
// point that many times nearer the origin, so its edges are sampled at the new size.
Shape Scaled(Shape shape, double factor);
// The points of `shape` within the rectangle [x0, x1) x [y0, y1).
Shape Clip(Shape shape, double x0, double y0, double x1, double y1);

// Coverage 0 to 1 per pixel, kept for the box [x0, x0 + w) x [y0, y0 + h) of a picture;
// nothing is covered outside it.
struct Mask {
  int x0, y0, w, h;
  std::vector<float> a;
  Mask(int left, int top, int width, int height)
      : x0(left), y0(top), w(std::max(width, 0)), h(std::max(height, 0)), a(static_cast<std::size_t>(w * h)) {}
  float at(int x, int y) const {
    x -= x0, y -= y0;
    return x < 0 || y < 0 || x >= w || y >= h ? 0.0f : a[static_cast<std::size_t>(y * w + x)];
  }
  float& ref(int x, int y) { return a[static_cast<std::size_t>((y - y0) * w + (x - x0))]; }
};

Mask Cover(int width, int height, const Shape& shape);
// The mask moved by (dx, dy) and softened by two box blurs of the given radius.
Mask Shadow(const Mask& m, int dx, int dy, int radius);

// A picture being painted, in floating-point grey.
struct Canvas {
  int width, height;
  std::vector<float> g;
  Canvas(int w, int h, float fill) : width(w), height(h), g(static_cast<std::size_t>(w * h), fill) {}
  float& at(int x, int y) { return g[static_cast<std::size_t>(y * width + x)]; }
  // Blends `grey` in where the mask covers, by `strength` times its coverage.
  void paint(const Mask& m, float grey, float strength = 1.0f);
  void paint(const Shape& s, float grey) { paint(Cover(width, height, s), grey); }
  GreyImage image() const;
};

}  // namespace brisel::raster
