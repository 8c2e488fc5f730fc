// Where the windows appear: centred on the work area of the monitor under the pointer.
#include "resources/placement.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace brisel {

void PrintTo(const Rect& r, std::ostream* os) { *os << r.width << "x" << r.height << "+" << r.left << "+" << r.top; }

namespace {

Monitor Whole(Rect r) { return {r, r}; }

TEST(Placement, TheMonitorUnderThePointerOrTheNearest) {
  // An uneven pair, the larger one listed first and standing right of the smaller one.
  const std::vector<Monitor> pair = {Whole({800, 0, 1760, 1024}), Whole({0, 0, 800, 600})};
  EXPECT_EQ(MonitorAt(pair, 1000, 500), 0u);
  EXPECT_EQ(MonitorAt(pair, 800, 0), 0u);
  EXPECT_EQ(MonitorAt(pair, 799, 599), 1u);
  EXPECT_EQ(MonitorAt(pair, 0, 0), 1u);
  EXPECT_EQ(MonitorAt(pair, 400, 800), 1u);   // below the small one, nearer to it
  EXPECT_EQ(MonitorAt(pair, 790, 1000), 0u);  // nearer to the large one's corner
  EXPECT_EQ(MonitorAt(pair, 5000, -50), 0u);
}

TEST(Placement, CentredOnThePointersMonitor) {
  const std::vector<Monitor> pair = {Whole({800, 0, 1760, 1024}), Whole({0, 0, 800, 600})};
  EXPECT_EQ(PlaceWindow(pair, 1000, 500, 209, 207), (Rect{1575, 408, 209, 207}));
  EXPECT_EQ(PlaceWindow(pair, 10, 10, 209, 207), (Rect{295, 196, 209, 207}));
  EXPECT_EQ(PlaceWindow(pair, 10, 10, 600, 600), (Rect{100, 0, 600, 600}));
  // Two of the same size: the right one's centre, not the left one's.
  const std::vector<Monitor> same = {Whole({0, 0, 1280, 1024}), Whole({1280, 0, 1280, 1024})};
  EXPECT_EQ(PlaceWindow(same, 2000, 900, 300, 300), (Rect{1770, 362, 300, 300}));
  EXPECT_EQ(PlaceWindow(same, 100, 900, 300, 300), (Rect{490, 362, 300, 300}));
  // Monitors left of and above the origin.
  const std::vector<Monitor> left = {Whole({-1024, -200, 1024, 768}), Whole({0, 0, 1920, 1080})};
  EXPECT_EQ(PlaceWindow(left, -10, 0, 209, 207), (Rect{-617, 80, 209, 207}));
  EXPECT_EQ(PlaceWindow({}, 10, 10, 209, 207), (Rect{0, 0, 209, 207}));
}

TEST(Placement, TheWorkAreaLessThePanels) {
  // A top bar of 32 pixels: the display's centre is the work area's, not the screen's.
  const Rect screen{0, 0, 1024, 768};
  const std::vector<Rect> net_workarea = {{0, 32, 1024, 736}};
  const Monitor gnome{screen, WorkAreaOf(screen, net_workarea)};
  EXPECT_EQ(gnome.work, (Rect{0, 32, 1024, 736}));
  EXPECT_EQ(PlaceWindow(std::vector{gnome}, 500, 500, 209, 207).top, 296);

  // One work area over two monitors, a 40 pixel panel along the bottom of both: each monitor
  // keeps its own part.
  const std::vector<Rect> spanning = {{0, 0, 2560, 984}};
  EXPECT_EQ(WorkAreaOf({1280, 0, 1280, 1024}, spanning), (Rect{1280, 0, 1280, 984}));
  // One per monitor, as GNOME publishes them: each monitor takes the one that overlaps it.
  const std::vector<Rect> per_monitor = {{0, 32, 1280, 992}, {1280, 0, 1280, 1024}};
  EXPECT_EQ(WorkAreaOf({0, 0, 1280, 1024}, per_monitor), (Rect{0, 32, 1280, 992}));
  EXPECT_EQ(WorkAreaOf({1280, 0, 1280, 1024}, per_monitor), (Rect{1280, 0, 1280, 1024}));
  // Nothing published, or nothing over this monitor: the whole monitor.
  EXPECT_EQ(WorkAreaOf({1280, 0, 1280, 1024}, {}), (Rect{1280, 0, 1280, 1024}));
  EXPECT_EQ(WorkAreaOf({1280, 0, 1280, 1024}, std::vector<Rect>{{0, 0, 1280, 1024}}), (Rect{1280, 0, 1280, 1024}));
}

TEST(Placement, WholeOnTheWorkAreaWhereItFits) {
  const Rect area{100, 50, 400, 300};
  EXPECT_EQ(CentreOn(area, 209, 207), (Rect{195, 96, 209, 207}));  // halves towards the top left
  EXPECT_EQ(CentreOn(area, 400, 300), (Rect{100, 50, 400, 300}));
  EXPECT_EQ(CentreOn(area, 450, 450), (Rect{100, 50, 450, 450}));  // too large: from its top left
  // Rectangles at the far end of the 32-bit range: sums that do not fit in an int are still
  // right (UBSan checks there is no overflow on the way).
  constexpr int kMax = std::numeric_limits<int>::max();
  const Rect far{kMax, 0, kMax, 100};
  EXPECT_EQ(CentreOn(far, 209, 207), (Rect{kMax, 0, 209, 207}));
  EXPECT_EQ(PlaceWindow(std::vector<Monitor>{{far, far}}, kMax, 50, 209, 207).left, kMax);
  EXPECT_EQ(WorkAreaOf(far, std::vector<Rect>{{kMax - 10, 0, kMax, 100}}), (Rect{kMax, 0, kMax - 10, 100}));
}

}  // namespace
}  // namespace brisel
