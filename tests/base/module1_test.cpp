#include "base/module1.h"

#include <gtest/gtest.h>

#include "harness.h"

namespace brisel {
namespace {

TEST(SetTranslucency, AppliesOpacityAndKeepsTheLayeredStyle) {
  test::Harness h;
  const HWND hwnd = h.program.Config().hWnd;
  const auto& w = h.window("Config");
  EXPECT_EQ(w.opacity, 0);  // the dialog starts fully transparent
  EXPECT_TRUE(w.style.exstyle & WS_EX_LAYERED);
  for (int opacity : {220, 255, 10}) {
    h.program.module1.SetTranslucency(hwnd, static_cast<std::int16_t>(opacity));
    EXPECT_EQ(w.opacity, opacity);
  }
  EXPECT_TRUE(w.style.exstyle & WS_EX_LAYERED);
  EXPECT_EQ(h.sim.msgbox.shown(), 0);
}

TEST(SetTranslucency, OutOfRangeShowsTheErrorAndKeepsTheOpacity) {
  test::Harness h;
  const HWND hwnd = h.program.Config().hWnd;
  h.program.module1.SetTranslucency(hwnd, 120);
  const std::size_t mark = h.trace.size();
  h.program.module1.SetTranslucency(hwnd, 256);
  h.program.module1.SetTranslucency(hwnd, -10);
  EXPECT_EQ(h.lines_since(mark), (std::vector<std::string>{"msgbox \"Overflow Source : Brisel\"",
                                                           "msgbox \"Overflow Source : Brisel\""}));
  EXPECT_EQ(h.window("Config").opacity, 120);
}

TEST(SetTranslucency, SplashIsLayeredOnlyFromItsFirstFadeIn) {
  test::Harness h;
  h.start_watching();
  const auto& w = h.window("Splash");
  EXPECT_EQ(w.region, (std::array<int, 6>{0, 0, 210, 205, 55, 55}));
  EXPECT_EQ(h.window("Config").region, (std::array<int, 6>{0, 0, 300, 300, 45, 45}));
  EXPECT_FALSE(w.style.exstyle & WS_EX_LAYERED);
  EXPECT_FALSE(w.opacity);
  h.tap(test::kUp);
  h.wait(10);
  EXPECT_TRUE(w.style.exstyle & WS_EX_LAYERED);
  EXPECT_EQ(w.opacity, 20);
}

}  // namespace
}  // namespace brisel
