#include "display/splash.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>

#include "base/text_numbers.h"
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
  // "ID VALUE" of each write to the wave-out volume (11) and mute (12) controls since `mark`.
  std::vector<std::string> writes_since(std::size_t mark) {
    std::vector<std::string> out;
    for (const std::string& l : h.lines_since(mark)) {
      std::istringstream fields(l);
      std::string call, handle, id, value;
      fields >> call >> handle >> id >> value;
      if (call == "mixerSetControlDetails") out.push_back(id + " " + value);
    }
    return out;
  }
  void press(int vk, int times) {
    for (int i = 0; i < times; ++i) h.tap(vk);
  }
  bool at_rest() { return h.display_at_rest(); }
};

TEST_F(Display, EachPressSendsTheLevelItLeadsTo) {
  std::size_t mark = h.trace.size();
  press(kUp, 1);
  EXPECT_EQ(writes_since(mark), (std::vector<std::string>{"11 1310", "12 0"}));  // 2.25 % rounds to 2
  EXPECT_EQ(s().VolCount, "1");
  EXPECT_EQ(s().Volume, "2.25");
  EXPECT_EQ(picture(), "ImageEmpty");
  mark = h.trace.size();
  press(kUp, 2);  // 3.5 % to even 4, 4.75 % to 5
  press(kDown, 2);  // back to 3.5 % and 2.25 %: down never louder
  EXPECT_EQ(writes_since(mark), (std::vector<std::string>{"11 2620", "12 0", "11 3275", "12 0", "11 2620", "12 0",
                                                          "11 1310", "12 0"}));
  EXPECT_EQ(s().Volume, "2.25");
}

// Whatever the presses, the output gets the percent the bar stands for, and each press moves it
// the press's way (or not at all at a limit).
TEST_F(Display, TheOutputFollowsTheBarAndEachPressItsDirection) {
  std::mt19937 rng(20261206);
  std::int32_t sent = -1;
  for (int i = 0; i < 2000; ++i) {
    const bool up = rng() % 2 == 0;
    const std::size_t mark = h.trace.size();
    press(up ? kUp : kDown, 1);
    const std::vector<std::string> writes = writes_since(mark);
    ASSERT_FALSE(writes.empty());
    ASSERT_TRUE(writes[0].starts_with("11 ")) << writes[0];
    const std::int32_t now = std::stoi(writes[0].substr(3));
    ASSERT_EQ(now, std::min(65535, 655 * ToInt32(s().Volume))) << "at step " << s().VolCount;
    if (sent >= 0) {
      ASSERT_TRUE(up ? now >= sent : now <= sent) << (up ? "up " : "down ") << sent << " to " << now;
    }
    sent = now;
  }
}

TEST_F(Display, LevelStopsAtTheLimits) {
  press(kUp, 80);
  EXPECT_EQ(s().VolCount, "80");
  EXPECT_EQ(s().Volume, "101");
  EXPECT_EQ(picture(), "Image17");
  std::size_t mark = h.trace.size();
  press(kUp, 1);
  EXPECT_EQ(writes_since(mark), std::vector<std::string>{"11 65535"});  // 101 %, clamped; no unmute
  EXPECT_EQ(s().Volume, "101");

  press(kDown, 80);
  EXPECT_EQ(s().VolCount, "0");
  EXPECT_EQ(s().Volume, "1");
  EXPECT_EQ(picture(), "ImageEmpty");
  mark = h.trace.size();
  press(kDown, 1);
  EXPECT_EQ(writes_since(mark), (std::vector<std::string>{"11 655", "12 1"}));  // muted at the bottom
  EXPECT_EQ(s().VolCount, "0");
  EXPECT_EQ(s().yesno, "yes");
  EXPECT_FALSE(mute_shown());
}

TEST_F(Display, PicturesFollowMultiplesOfFive) {
  press(kUp, 40);
  EXPECT_EQ(picture(), "Image1");  // eight squares
  press(kUp, 5);
  EXPECT_EQ(picture(), "Image10");
  press(kDown, 4);
  EXPECT_EQ(picture(), "Image10");  // 41 is not a multiple of 5
  press(kDown, 1);
  EXPECT_EQ(picture(), "Image1");
}

TEST_F(Display, HeldKeysStepOnEveryTick) {
  h.sim.keyboard.down(kUp);
  h.wait(100);
  EXPECT_EQ(s().VolCount, "10");
  h.wait(1000);
  EXPECT_EQ(s().VolCount, "80");
  h.sim.keyboard.down(kDown);  // both held: up then down on each tick
  h.wait(100);
  EXPECT_EQ(s().VolCount, "79");
  h.sim.keyboard.up(kUp);
  h.sim.keyboard.up(kDown);
  h.wait(100);
  EXPECT_EQ(s().VolCount, "79");
  EXPECT_EQ(s().Volume, "99.75");
}

TEST_F(Display, MuteAndUnmute) {
  press(kUp, 40);
  std::size_t mark = h.trace.size();
  press(kMute, 1);
  h.wait(100);
  EXPECT_EQ(s().yesno, "no");
  EXPECT_TRUE(mute_shown());
  EXPECT_EQ(picture(), "ImageEmpty");
  EXPECT_EQ(writes_since(mark), std::vector<std::string>{"12 1"});
  mark = h.trace.size();
  press(kMute, 1);
  h.wait(300);
  EXPECT_EQ(s().yesno, "yes");
  EXPECT_FALSE(mute_shown());
  EXPECT_EQ(picture(), "Image9");  // the unmute table shows one square fewer at 40
  EXPECT_EQ(writes_since(mark), std::vector<std::string>{"12 0"});
}

TEST_F(Display, UnmutePictureThresholds) {
  const std::pair<const char*, const char*> cases[] = {
      {"80", "Image17"}, {"79", "Image16"}, {"76", "Image16"}, {"75", "Image15"}, {"41", "Image1"},
      {"40", "Image9"},  {"11", "Image4"},  {"10", "Image3"},  {"6", "Image3"},   {"0", "ImageEmpty"},
  };
  for (const auto& [level, expected] : cases) {
    s().Splash_reset_Timer();
    s().VolCount = level;
    s().Splash_reset2_Timer();
    EXPECT_EQ(picture(), expected) << level;
    EXPECT_FALSE(mute_shown());
  }
  for (const char* level : {"1", "5"}) {  // no test holds: the muted empty bar stays
    s().Splash_reset_Timer();
    s().VolCount = level;
    s().Splash_reset2_Timer();
    EXPECT_EQ(picture(), "ImageEmpty") << level;
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

TEST_F(Display, OnePressGivesAFullCycle) {
  press(kUp, 1);  // key seen at tick t; hold count starts from "0" on the next tick
  EXPECT_FALSE(h.window("Splash").visible);
  h.wait(10);
  EXPECT_TRUE(h.window("Splash").visible);
  EXPECT_EQ(h.window("Splash").opacity, 20);
  h.wait(200);
  EXPECT_EQ(s().Amount, "220");
  EXPECT_EQ(s().first, "last");
  EXPECT_FALSE(s().FadeIn.enabled());
  h.wait(780);  // 99 hold ticks
  EXPECT_EQ(s().Timer, "990");
  EXPECT_FALSE(s().FadeOut.enabled());
  h.wait(10);
  EXPECT_EQ(s().Timer, "0");
  EXPECT_TRUE(s().FadeOut.enabled());
  h.wait(200);
  EXPECT_TRUE(h.window("Splash").visible);
  EXPECT_EQ(s().Amount, "20");
  h.wait(10);
  EXPECT_TRUE(at_rest());
}

TEST_F(Display, VolumePressRestartsTheHoldButMuteDoesNot) {
  press(kUp, 1);
  h.wait(600);
  press(kUp, 1);
  h.wait(990);
  EXPECT_EQ(s().first, "last");
  EXPECT_FALSE(s().FadeOut.enabled());  // a volume press holds for another 100 ticks
  h.wait(300);
  EXPECT_TRUE(at_rest());

  press(kMute, 1);
  h.wait(600);
  press(kMute, 1);
  h.wait(400);
  EXPECT_TRUE(s().FadeOut.enabled() || at_rest());  // the mute press left the count running
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
  EXPECT_TRUE(at_rest());
  EXPECT_EQ(h.sim.msgbox.shown(), 0);
  for (const std::string& l : h.lines_since(0))
    if (l.starts_with("Splash opacity")) {
      const int opacity = std::stoi(l.substr(15));
      EXPECT_TRUE(opacity >= 10 && opacity <= 220) << l;
    }
}

}  // namespace
}  // namespace brisel
