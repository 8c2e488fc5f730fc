// Module1's SetTranslucency (tests/scenarios/translucency pins 255 and 256 on the dialog).
#include "base/module1.h"

#include <gtest/gtest.h>

#include "harness.h"

namespace brisel {
namespace {

// The dialog starts layered and transparent; an opacity outside 0 to 255 shows the error and
// keeps the one before. The display becomes layered only at its first fade-in step.
TEST(SetTranslucency, AppliesOpacityRefusesOutOfRangeAndLayersTheDisplayAtItsFirstFadeIn) {
  test::Harness h;
  const HWND hwnd = h.program.Config().hWnd;
  const auto& w = h.window("Config");
  EXPECT_EQ(w.opacity, 0);
  EXPECT_TRUE(w.style.exstyle & WS_EX_LAYERED);
  const std::size_t mark = h.trace.size();
  for (int opacity : {220, 256, -10}) h.program.module1.SetTranslucency(hwnd, static_cast<std::int16_t>(opacity));
  EXPECT_EQ(w.opacity, 220);
  EXPECT_EQ(h.lines_since(mark), (std::vector<std::string>{"Config opacity 220", "msgbox \"Overflow Source : Brisel\"",
                                                           "msgbox \"Overflow Source : Brisel\""}));
  h.start_watching();
  const auto& splash = h.window("Splash");
  EXPECT_FALSE(splash.style.exstyle & WS_EX_LAYERED);
  EXPECT_FALSE(splash.opacity);
  h.tap(test::kUp);
  h.wait(10);
  EXPECT_TRUE(splash.style.exstyle & WS_EX_LAYERED);
  EXPECT_EQ(splash.opacity, 20);
}

}  // namespace
}  // namespace brisel
