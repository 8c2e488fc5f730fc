#include "resources/art.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include <unistd.h>

#include "resources/layout.h"
#include "resources/pictures.h"
#include "tests/picture_compare.h"
#include "tools/sim_script.h"

namespace brisel {
namespace {

std::uint32_t Word(const std::string& b, std::size_t at, int n) {
  std::uint32_t v = 0;
  for (int i = 0; i < n; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)])) << (8 * i);
  return v;
}

struct Box {
  int x0 = 1 << 20, y0 = 1 << 20, x1 = -1, y1 = -1;
  void add(int x, int y) {
    x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
  }
};

// The pixels where two pictures of the same size differ.
Box Differences(const GreyImage& a, const GreyImage& b) {
  Box box;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x)
      if (a.at(x, y) != b.at(x, y)) box.add(x, y);
  return box;
}

// A 24-bit bitmap with rows bottom to top, every pixel grey, that the sim's snapshots decode.
TEST(Art, EveryPictureIsAGrey24BitBitmap) {
  const std::tuple<GreyImage, std::uint32_t, std::uint32_t> pictures[] = {{art::SplashBackground(), 211, 206},
      {art::MutePatch(), 72, 113}, {art::LevelBar(5), 171, 20}, {art::ConfigBackground(), 300, 300}};
  for (const auto& [image, w, h] : pictures) {
    const std::string bmp = EncodeBmp(image);
    const std::uint32_t stride = (w * 3 + 3) / 4 * 4;
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    const std::pair<std::size_t, std::uint32_t> fields[] = {
        {2, static_cast<std::uint32_t>(bmp.size())}, {10, 54}, {14, 40}, {18, w}, {22, h}, {30, 0}, {34, stride * h}};
    for (const auto& [at, value] : fields) EXPECT_EQ(Word(bmp, at, 4), value) << w << "x" << h << " at " << at;
    EXPECT_EQ(Word(bmp, 28, 2), 24u);
    for (std::size_t row = 0; row < h; ++row)
      for (std::size_t x = 0; x < w; ++x) {
        const std::size_t p = 54 + row * stride + x * 3;
        ASSERT_TRUE(bmp[p] == bmp[p + 1] && bmp[p] == bmp[p + 2]) << w << "x" << h << " at " << x << "," << row;
      }
    EXPECT_EQ(static_cast<unsigned char>(bmp[54]), image.at(0, image.height - 1));  // the last row first
    EXPECT_EQ(DecodeBmp(bmp).pixels, image.pixels);
  }
}

TEST(Art, LevelBarsLightTheLeftmostSquaresWithShadows) {
  for (int lit = 0; lit < kLevelPictureCount; ++lit) {
    const GreyImage bar = art::LevelBar(lit);
    const std::string name(LevelPictureName(lit));
    int count = 0;
    for (int k = 0; k < 16; ++k) {
      const int x0 = 7 + 10 * k;
      const bool on = bar.at(x0 + 3, 8) >= 245;
      count += on;
      EXPECT_EQ(on, k < lit) << name << " square " << k;
      for (int y = 4; y <= 12; ++y)
        for (int x = x0; x < x0 + 7; ++x) {
          const int g = bar.at(x, y);
          EXPECT_TRUE(on ? g >= 245 : g >= 125 && g <= 145) << name << " " << x << "," << y;
        }
      for (int y : {8, 13, 14, 15}) {  // right of and below the square: shadow only when lit
        const int g = bar.at(y == 8 ? x0 + 7 : x0 + 4, y);
        EXPECT_TRUE(on ? g >= 150 && g <= 210 : g == 217) << name << " square " << k << " row " << y;
      }
      EXPECT_EQ(bar.at(x0 + 4, 3), 217);   // nothing above
      EXPECT_EQ(bar.at(x0 + 9, 16), 217);  // the shadow ends 2 right and 3 below
    }
    EXPECT_EQ(count, lit) << name;
  }
}

TEST(Art, MutePatchCoversTheWavesAndNothingOfTheLoudspeaker) {
  const Rect patch = SplashLayout().control("Mute").pixels();
  const Box waves = Differences(art::SplashBackground(), art::SplashBackground(art::kSpeakerBody));
  const Box body = Differences(art::SplashBackground(art::kSpeakerBody), art::SplashBackground(0));
  EXPECT_GE(waves.x0, patch.left);
  EXPECT_GE(waves.y0, patch.top);
  EXPECT_LT(waves.x1, patch.left + patch.width);
  EXPECT_LT(waves.y1, patch.top + patch.height);
  EXPECT_LT(body.x1, patch.left);
  EXPECT_GT(waves.x1 - waves.x0, 30);  // waves there are
  // The box and the cone where they belong.
  const GreyImage bg = art::SplashBackground();
  EXPECT_EQ(bg.at(61, 81), 255);
  EXPECT_EQ(bg.at(80, 101), 255);
  EXPECT_EQ(bg.at(96, 67), 255);
  EXPECT_EQ(bg.at(96, 116), 255);
  EXPECT_EQ(bg.at(0, 0), 0);
  for (std::uint8_t g : art::MutePatch().pixels) EXPECT_TRUE(g >= 215 && g <= 218) << int(g);
}

TEST(Art, DialogBackgroundComposition) {
  const GreyImage bg = art::ConfigBackground();
  for (int i = 0; i < 300; ++i) {
    EXPECT_EQ(bg.at(299, i), 0);
    EXPECT_EQ(bg.at(i, 299), 0);
  }
  EXPECT_EQ(bg.at(0, 0), 0);
  EXPECT_NEAR(bg.at(200, 1), 204, 2);
  EXPECT_NEAR(bg.at(200, 297), 119, 3);
  EXPECT_EQ(bg.at(0, 150), 153);
  EXPECT_EQ(bg.at(150, 298), 153);
  Box title;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x)
      if (bg.at(x, y) >= 250) title.add(x, y);
  EXPECT_NEAR(title.x0, 12, 3);
  EXPECT_NEAR(title.y0, 8, 3);
  EXPECT_NEAR(title.x1, 123, 3);
  EXPECT_NEAR(title.y1, 35, 3);
  EXPECT_GT(bg.at(20, 260), 200);  // the switch plate, light grey over the darker gradient
  EXPECT_LT(bg.at(90, 260), 150);
}

TEST(Layout, NothingButTheBackgroundLevelBarAndMuteCanBeSeen) {
  const WindowLayout& splash = SplashLayout();
  EXPECT_EQ(splash.width(), 209);
  EXPECT_EQ(splash.height(), 207);
  EXPECT_TRUE(OutlineContains(splash.outline, 19, 160));
  EXPECT_TRUE(OutlineContains(splash.outline, 189, 179));
  for (const ControlLayout& c : splash.controls) {
    if (c.name == "Image2" || c.name == "Mute" || !c.shown) continue;
    const Rect r = c.pixels();
    for (int y = r.top; y < r.top + r.height; ++y)
      for (int x = r.left; x < r.left + r.width; ++x)
        ASSERT_FALSE(OutlineContains(splash.outline, x, y)) << c.name << " shows at " << x << "," << y;
  }
  const WindowLayout& config = ConfigLayout();
  for (const ControlLayout& c : config.controls) {
    if (!c.shown) continue;
    const Rect r = c.pixels();
    for (int y : {r.top, r.top + r.height - 1})
      for (int x : {r.left, r.left + r.width - 1}) EXPECT_TRUE(OutlineContains(config.outline, x, y)) << c.name;
  }
  EXPECT_FALSE(OutlineContains(config.outline, 0, 0));
  EXPECT_FALSE(OutlineContains(config.outline, 300, 150));
  EXPECT_TRUE(OutlineContains(config.outline, 299, 150));
}

TEST(Snapshot, MutingAtLevelFortyShowsTheEmptyBarAndNoWaves) {
  const auto file = std::filesystem::temp_directory_path() / ("brisel-snapshot-" + std::to_string(::getpid()) + ".bmp");
  std::istringstream script("start\nwait 300\nclick Run\nwait 300\nkey down 175\nwait 400\nkey up 175\n"
                            "print Splash.VolCount\ntap 173\nwait 110\nsnapshot Splash " + file.string() + "\n");
  std::ostringstream out, err;
  ASSERT_EQ(sim::RunScript(script, out, err), 0) << err.str();
  EXPECT_NE(out.str().find("Splash.VolCount = 40\n"), std::string::npos);
  std::ifstream in(file, std::ios::binary);
  const GreyImage shot = DecodeBmp(std::string(std::istreambuf_iterator<char>(in), {}));
  in.close();  // Windows removes no file that is still open
  std::filesystem::remove(file);
  ASSERT_EQ(shot.width, 209);
  ASSERT_EQ(shot.height, 207);
  EXPECT_EQ(shot.pixels, art::ComposeSplash(kEmptyBar, true).pixels);
  EXPECT_EQ(shot.at(131, 92), art::SplashBackground(0).at(131, 92));  // no wave
  EXPECT_EQ(shot.at(19 + 7 + 3, 160 + 8), 135);                          // the first square is unlit
  EXPECT_EQ(shot.at(0, 0), 0);
  EXPECT_EQ(shot.at(100, 206), 0);
}

// ---- the pictures at a scale ----------------------------------------------------------------

using testing::CompareHalved;
using testing::ShareOfMixedBlocks;

const Outline kWhole{100000, 100000, 0, 0};  // every pixel of a picture is inside

TEST(ArtAtScale, EveryPictureAtTwoIsThePictureAtOneDrawnLarger) {
  const Scale two = Scale::Quarters(8);
  const struct {
    const char* name;
    GreyImage once, twice;
    Outline outline;
  } pictures[] = {
      {"display background", art::SplashBackground(), art::SplashBackground(art::kSpeakerBody | art::kSpeakerWaves, two),
       kSplashOutline},
      {"dialog background", art::ConfigBackground(), art::ConfigBackground(two), kConfigOutline},
      {"mute patch", art::MutePatch(), art::MutePatch(two), kWhole},
      {"empty bar", art::LevelBar(0), art::LevelBar(0, two), kWhole},
      {"bar of 9", art::LevelBar(9), art::LevelBar(9, two), kWhole},
      {"full bar", art::LevelBar(16), art::LevelBar(16, two), kWhole},
      {"display at 8", art::ComposeSplash(8, false), art::ComposeSplash(8, false, two), kSplashOutline},
      {"display muted", art::ComposeSplash(12, true), art::ComposeSplash(12, true, two), kSplashOutline},
  };
  for (const auto& p : pictures) {
    EXPECT_EQ(p.twice.width, 2 * p.once.width) << p.name;
    EXPECT_EQ(p.twice.height, 2 * p.once.height) << p.name;
    const auto agreement = CompareHalved(p.twice, p.once, p.outline);
    EXPECT_TRUE(agreement.close()) << p.name << ": " << agreement.text();
  }
}

TEST(ArtAtScale, DrawnAtTheScaleNotBlownUp) {
  const Scale two = Scale::Quarters(8);
  // The curves' edges are sampled at the new size: blocks of mixed greys all along them.
  EXPECT_GT(ShareOfMixedBlocks(art::ComposeSplash(16, false, two), kSplashOutline), 0.02);
  EXPECT_GT(ShareOfMixedBlocks(art::ConfigBackground(two), kConfigOutline), 0.02);
  // A lit square's highlight stays one device pixel wide: at 2, the column left of it is the
  // square's face. Square 0 runs from x = 7 to 13 at 1, so from 14 to 27 at 2.
  const GreyImage bar = art::LevelBar(1, two);
  for (int y = 9; y < 25; ++y) {
    EXPECT_EQ(bar.at(27, y), 246) << y;
    EXPECT_EQ(bar.at(26, y), 254) << y;
  }
  EXPECT_EQ(bar.at(20, 25), 246);
  EXPECT_EQ(bar.at(20, 24), 254);
}

}  // namespace
}  // namespace brisel
