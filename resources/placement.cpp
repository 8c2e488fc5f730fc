#include "resources/placement.h"

#include <algorithm>
#include <limits>

namespace brisel {

namespace {

// Edges are summed in 64 bits: a desktop may publish rectangles anywhere in the 32-bit range.
long long End(int start, int length) { return static_cast<long long>(start) + length; }

int Clamped(long long v) {
  return static_cast<int>(std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// Squared distance from a point to the nearest pixel of a rectangle; 0 inside it.
long long DistanceSquared(const Rect& r, int x, int y) {
  const long long dx = x < r.left ? r.left - 1LL * x : x >= End(r.left, r.width) ? x - (End(r.left, r.width) - 1) : 0;
  const long long dy = y < r.top ? r.top - 1LL * y : y >= End(r.top, r.height) ? y - (End(r.top, r.height) - 1) : 0;
  return dx * dx + dy * dy;
}

Rect Intersection(const Rect& a, const Rect& b) {
  const int left = std::max(a.left, b.left), top = std::max(a.top, b.top);
  const long long right = std::min(End(a.left, a.width), End(b.left, b.width));
  const long long bottom = std::min(End(a.top, a.height), End(b.top, b.height));
  return {left, top, Clamped(std::max(right - left, 0LL)), Clamped(std::max(bottom - top, 0LL))};
}

// Along one axis: centred, then pulled back inside the area's far edge and its near edge.
int Centre(int start, int length, int size) {
  const long long far = End(start, length) - size;
  return Clamped(std::max<long long>(start, std::min(start + (1LL * length - size) / 2, far)));
}

}  // namespace

std::size_t MonitorAt(std::span<const Monitor> monitors, int x, int y) {
  std::size_t best = 0;
  long long best_distance = std::numeric_limits<long long>::max();
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const long long d = DistanceSquared(monitors[i].bounds, x, y);
    if (d < best_distance) best = i, best_distance = d;
  }
  return best;
}

Rect CentreOn(const Rect& area, int width, int height) {
  return {Centre(area.left, area.width, width), Centre(area.top, area.height, height), width, height};
}

Rect PlaceWindow(std::span<const Monitor> monitors, int x, int y, int width, int height) {
  if (monitors.empty()) return {0, 0, width, height};
  return CentreOn(monitors[MonitorAt(monitors, x, y)].work, width, height);
}

Rect WorkAreaOf(const Rect& monitor, std::span<const Rect> published) {
  Rect best = monitor;
  long long best_area = 0;
  for (const Rect& r : published) {
    const Rect cut = Intersection(monitor, r);
    const long long area = static_cast<long long>(cut.width) * cut.height;
    if (area > best_area) best = cut, best_area = area;
  }
  return best;
}

}  // namespace brisel
