// The display's pixels on a composited desktop: its grey at the opacity, premultiplied, and
// nothing at all outside its rounded outline.
#include <gtest/gtest.h>

#include "platform/linux/x11_argb.h"

namespace brisel::linux_x11 {
namespace {

TEST(ArgbPixels, CarryTheOpacityPremultipliedAndClearTheCorners) {
  GreyImage picture(210, 205, 200);
  picture.at(100, 100) = 255;
  const RoundRect region{0, 0, 210, 205, 55, 55};
  const auto pixels = ArgbPixels(picture, 220, region);
  ASSERT_EQ(pixels.size(), picture.pixels.size());
  const auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y * picture.width + x)]; };
  // 200 at 220 of 255: 173 in each colour, alpha 220.
  EXPECT_EQ(at(105, 50), 0xDCADADADu);
  EXPECT_EQ(at(100, 100), 0xDCDCDCDCu);  // white at 220: its colour is its alpha
  for (const auto& [x, y] : {std::pair{0, 0}, {209, 0}, {0, 204}, {209, 204}}) EXPECT_EQ(at(x, y), 0u) << x << "," << y;
  EXPECT_NE(at(27, 0), 0u);  // the straight top edge between the corners
  // Fully transparent and fully opaque, and no region: every pixel kept.
  EXPECT_EQ(ArgbPixels(picture, 0, region)[50 * 210 + 105], 0u);
  EXPECT_EQ(ArgbPixels(picture, 255, std::nullopt)[0], 0xFFC8C8C8u);
}

}  // namespace
}  // namespace brisel::linux_x11
