// The display's behaviour beyond what the scenario traces pin (tests/scenarios/volume_keys,
// mute_unmute: a press's writes, the fade cycle, the mute and unmute timers) and the random
// presses check (random_test.cpp: the level, its percent and the opacity at every tick).
#include "display/splash.h"

#include <gtest/gtest.h>

#include "harness.h"
#include "resources/pictures.h"

namespace brisel {
namespace {

using test::kDown;
using test::kMute;
using test::kUp;

struct Display : ::testing::Test {
  test::Harness h;
  void SetUp() override { h.start_watching(); }
  SplashForm& s() { return h.splash(); }
  std::string picture() { return std::string(LevelPictureName(h.window("Splash").image2)); }
  bool mute_shown() { return h.window("Splash").mute; }
  // The writes to the mixer since `mark`.
  std::vector<std::string> writes_since(std::size_t mark) {
    std::vector<std::string> out;
    for (const std::string& l : h.lines_since(mark))
      if (l.starts_with("mixerSetControlDetails")) out.push_back(l);
    return out;
  }
  void press(int vk, int times) {
    for (int i = 0; i < times; ++i) h.tap(vk);
  }
};

// The bar changes only at multiples of 5; at the top (80, 101 %) a press sends the clamped
// volume and no unmute.
TEST_F(Display, PicturesChangeAtMultiplesOfFiveAndTheLevelStopsAtTheTop) {
  press(kUp, 45);
  EXPECT_EQ(picture(), "Image10");
  press(kDown, 4);
  EXPECT_EQ(picture(), "Image10");  // 41 is not a multiple of 5
  press(kDown, 1);
  EXPECT_EQ(picture(), "Image1");  // eight squares
  press(kUp, 40);
  EXPECT_EQ(s().VolCount, "80");
  EXPECT_EQ(s().Volume, "101");
  EXPECT_EQ(picture(), "Image17");
  const std::size_t mark = h.trace.size();
  press(kUp, 1);
  EXPECT_EQ(writes_since(mark), std::vector<std::string>{"mixerSetControlDetails 1000 11 65535 -> 0"});
  EXPECT_EQ(s().Volume, "101");
}

TEST_F(Display, BothKeysHeldStepUpThenDownOnEveryTick) {
  h.sim.keyboard.down(kUp);
  h.wait(1100);
  EXPECT_EQ(s().VolCount, "80");
  h.sim.keyboard.down(kDown);
  h.wait(100);
  EXPECT_EQ(s().VolCount, "79");
  h.sim.keyboard.up(kUp);
  h.sim.keyboard.up(kDown);
  h.wait(100);
  EXPECT_EQ(s().VolCount, "79");
  EXPECT_EQ(s().Volume, "99.75");
}

// The unmute timer's picture has thresholds of its own; at 1 to 5 the muted empty bar stays.
TEST_F(Display, UnmutePictureThresholds) {
  const std::pair<const char*, const char*> cases[] = {
      {"80", "Image17"}, {"79", "Image16"}, {"76", "Image16"}, {"75", "Image15"},   {"41", "Image1"},
      {"40", "Image9"},  {"11", "Image4"},  {"10", "Image3"},  {"6", "Image3"},     {"0", "ImageEmpty"},
      {"1", "ImageEmpty"}, {"5", "ImageEmpty"},
  };
  for (const auto& [level, expected] : cases) {
    s().Splash_reset_Timer();
    s().VolCount = level;
    s().Splash_reset2_Timer();
    EXPECT_EQ(picture(), expected) << level;
    EXPECT_FALSE(mute_shown());
    EXPECT_EQ(s().yesno, "yes");
  }
}

TEST_F(Display, VolumePressRightAfterMuteEndsMuted) {
  press(kUp, 12);
  press(kMute, 1);
  press(kUp, 1);  // within 100 ms of the mute press
  h.wait(100);
  EXPECT_EQ(s().yesno, "no");
  EXPECT_TRUE(mute_shown());
  EXPECT_EQ(h.sim.mixer.value(12), 1);
  press(kUp, 1);  // 14: not a multiple of 5, the empty bar stays
  EXPECT_EQ(picture(), "ImageEmpty");
  EXPECT_FALSE(mute_shown());
  EXPECT_EQ(h.sim.mixer.value(12), 0);
}

TEST_F(Display, VolumePressRestartsTheHoldButMuteDoesNot) {
  press(kUp, 1);
  h.wait(600);
  press(kUp, 1);
  h.wait(990);
  EXPECT_EQ(s().first, "last");
  EXPECT_FALSE(s().FadeOut.enabled());  // a volume press holds for another 100 ticks
  h.wait(300);
  EXPECT_TRUE(h.display_at_rest());

  press(kMute, 1);
  h.wait(600);
  press(kMute, 1);
  h.wait(400);
  EXPECT_TRUE(s().FadeOut.enabled() || h.display_at_rest());  // the mute press left the count running
}

TEST_F(Display, PressDuringTheFadeOutBringsTheDisplayBack) {
  press(kUp, 1);
  h.wait(1100);  // fading out
  ASSERT_TRUE(s().FadeOut.enabled());
  const int faded_to = *h.window("Splash").opacity;
  press(kMute, 1);
  h.wait(10);
  EXPECT_LT(*h.window("Splash").opacity, faded_to);  // the fade-out runs on
  h.wait(300);
  EXPECT_EQ(s().first, "last");  // hidden once, then faded in again
  EXPECT_TRUE(h.window("Splash").visible);
  h.wait(2500);
  EXPECT_TRUE(h.display_at_rest());
  EXPECT_EQ(h.sim.msgbox.shown(), 0);
}

}  // namespace
}  // namespace brisel
