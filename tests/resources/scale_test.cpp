// The scale of a screen, and the layouts' twips as pixels at it.
#include "resources/scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "resources/layout.h"

namespace brisel {
namespace {

TEST(Scale, ResolutionToTheNearestQuarterAtLeastOne) {
  const struct {
    double dpi;
    int quarters;
  } cases[] = {{96, 4},  {72, 4},  {0, 4},   {-192, 4}, {107, 4}, {108, 5}, {120, 5},    {144, 6},
               {168, 7}, {192, 8}, {240, 10}, {288, 12}, {290, 12}, {144.4, 6}, {1e9, 32}};
  for (const auto& c : cases) EXPECT_EQ(ScaleForDpi(c.dpi).quarters(), c.quarters) << c.dpi << " dpi";
  EXPECT_EQ(ScaleForDpi(std::numeric_limits<double>::quiet_NaN()), Scale{});
}

// Twips become pixels rounded down, the font's 8.25 points the nearest pixel (scale_test.sh
// checks the windows' sizes and outlines at 1.5 and 2 on a desktop).
TEST(Scale, LayoutsAndFontInPixelsAtEveryScale) {
  const WindowLayout& splash = SplashLayout();
  const WindowLayout& config = ConfigLayout();
  const struct {
    int quarters, splash_w, splash_h, config_w, bar_left, run_top, font;
  } cases[] = {{4, 209, 207, 300, 19, 264, 11}, {5, 261, 258, 375, 24, 330, 14}, {6, 313, 310, 450, 29, 396, 17},
               {7, 365, 362, 525, 33, 462, 19}, {8, 418, 414, 600, 38, 528, 22}, {12, 627, 621, 900, 58, 792, 33}};
  for (const auto& c : cases) {
    const Scale s = Scale::Quarters(c.quarters);
    EXPECT_EQ(splash.width(s), c.splash_w) << c.quarters;
    EXPECT_EQ(splash.height(s), c.splash_h) << c.quarters;
    EXPECT_EQ(config.width(s), c.config_w) << c.quarters;
    EXPECT_EQ(config.height(s), c.config_w) << c.quarters;
    EXPECT_EQ(splash.control("Image2").pixels(s).left, c.bar_left) << c.quarters;
    EXPECT_EQ(config.control("Command1").pixels(s).top, c.run_top) << c.quarters;
    EXPECT_EQ(s.font_pixels(8.25), c.font) << c.quarters;
  }
  // At 1, a control's place is each number over 15, as the layouts were always read.
  const Rect run = config.control("Command1").pixels();
  EXPECT_EQ(run.left, 168);
  EXPECT_EQ(run.width, 113);
  EXPECT_EQ(run.height, 25);
}

TEST(Scale, ParsedOnlyAsWholeQuartersFromOneToEight) {
  const struct {
    const char* text;
    int quarters;  // 0: refused
  } cases[] = {{"1", 4},   {"1.5", 6},  {"1.25", 5}, {"2", 8},   {"2.50", 10}, {"8", 32},  {"0.5", 0},
               {"1.3", 0}, {"1.255", 0}, {"9", 0},   {"", 0},    {"1.", 0},    {"x", 0},   {"-2", 0},
               {"2x", 0},  {" 2", 0},   {"1.2a", 0}, {"100000000000", 0}};
  for (const auto& c : cases) {
    const auto s = ParseScale(c.text);
    EXPECT_EQ(s ? s->quarters() : 0, c.quarters) << '"' << c.text << '"';
  }
}

}  // namespace
}  // namespace brisel
