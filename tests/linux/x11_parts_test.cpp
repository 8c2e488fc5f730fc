// The X11 platform's parts that need no server: the display's pixels on a composited desktop,
// and the keysyms of the dialog's keys.
#include <gtest/gtest.h>

#include "base/key_table.h"
#include "base/text_numbers.h"
#include "platform/linux/x11_argb.h"
#include "platform/linux/x11_keys.h"

namespace brisel::linux_x11 {
namespace {

// Its grey at the opacity, premultiplied, and nothing at all outside its rounded outline.
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

// A key added to the dialog's table without a keysym here would silently do nothing.
TEST(X11Keys, EveryKeyTheDialogOffersHasAKeysym) {
  for (const KeyRow& row : KeyTable()) {
    const auto syms = KeysymsOf(ToInt32(row.code));
    EXPECT_FALSE(syms.empty()) << row.name;
    for (KeySymbol s : syms) EXPECT_NE(s, 0u) << row.name;
  }
  EXPECT_EQ(KeysymsOf(18).size(), 2u);  // Alt: left and right
  EXPECT_TRUE(KeysymsOf(65).empty());   // "A" is no hot key
}

}  // namespace
}  // namespace brisel::linux_x11
