// The display starts at the output's volume and mute state, read once as it loads, so that the
// first press steps from what the user hears.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <sstream>

#include "base/text_numbers.h"
#include "harness.h"

namespace brisel {
namespace {

using test::kDown;
using test::kMute;
using test::kUp;

struct StartLevel : ::testing::Test {
  test::Harness h;
  // The values written to control `id` since `mark`.
  std::vector<std::int32_t> writes_to(std::uint32_t id, std::size_t mark) {
    std::vector<std::int32_t> out;
    for (const std::string& l : h.lines_since(mark)) {
      std::istringstream fields(l);
      std::string call;
      std::uint32_t handle = 0, control = 0;
      std::int32_t value = 0;
      fields >> call >> handle >> control >> value;
      if (call == "mixerSetControlDetails" && control == id) out.push_back(value);
    }
    return out;
  }
};

TEST_F(StartLevel, TheFirstUpPressStepsFromTheVolumeHeard) {
  h.sim.mixer.set_value(11, 39321);  // 60 % of 0 to 65535
  h.start_watching();
  EXPECT_EQ(h.splash().VolCount, "47");  // 1 + 1.25 x 47 = 59.75 is the nearest step
  EXPECT_EQ(h.splash().Volume, "59.75");
  // The unmute timer's picture for 47 (nine squares), not the volume keys' (none at 47).
  EXPECT_EQ(h.splash().Image2, 9);
  EXPECT_EQ(h.splash().yesno, "yes");

  const std::size_t press = h.trace.size();
  h.tap(kUp);
  EXPECT_EQ(writes_to(11, press), std::vector<std::int32_t>{61 * 655});  // step 48, 61 %
  EXPECT_EQ(h.splash().VolCount, "48");
  h.tap(kDown);
  h.tap(kDown);
  EXPECT_EQ(writes_to(11, press), (std::vector<std::int32_t>{61 * 655, 60 * 655, 58 * 655}));  // 59.75, 58.5 to even
}

TEST_F(StartLevel, TheLoadReadsBothControlsOnceAndCopiesOnlyAChangedPicture) {
  h.sim.mixer.set_value(11, 0);
  const std::size_t mark = h.trace.size();
  h.start_watching();
  std::vector<std::string> reads, pictures;
  for (const std::string& l : h.lines_since(mark)) {
    if (l.starts_with("mixerGetControlDetails")) reads.push_back(l);
    if (l.starts_with("Splash Image2")) pictures.push_back(l);
  }
  EXPECT_EQ(reads, (std::vector<std::string>{"mixerGetControlDetails 1000 11 0 -> 0",
                                              "mixerGetControlDetails 1000 12 0 -> 1"}));
  EXPECT_TRUE(pictures.empty());  // step 0 shows the empty bar, as it already does
  EXPECT_EQ(h.splash().VolCount, "0");
}

TEST_F(StartLevel, AMutedOutputIsUnmutedByTheFirstMutePress) {
  h.sim.mixer.set_value(11, 65535);
  h.sim.mixer.set_value(12, 1);
  h.start_watching();
  EXPECT_EQ(h.splash().yesno, "no");
  EXPECT_TRUE(h.window("Splash").mute);
  EXPECT_EQ(h.splash().VolCount, "79");
  EXPECT_EQ(h.splash().Image2, 15);

  const std::size_t mark = h.trace.size();
  h.tap(kMute);
  EXPECT_TRUE(h.splash().reset2.enabled());
  EXPECT_FALSE(h.splash().reset.enabled());
  h.wait(300);
  EXPECT_EQ(writes_to(12, mark), std::vector<std::int32_t>{0});
  EXPECT_EQ(h.splash().yesno, "yes");
  EXPECT_FALSE(h.window("Splash").mute);
}

TEST_F(StartLevel, AReadThatFailsStartsAtTheBottomWithSoundOn) {
  // No value yet (the read answers MMSYSERR_ERROR), then no mixer at all (an invalid handle).
  for (const bool open_fails : {false, true}) {
    test::Harness fresh;
    if (open_fails) fresh.sim.mixer.set_open_fails();
    fresh.sim.mixer.set_value(12, 1);
    fresh.start_watching();
    EXPECT_EQ(fresh.splash().VolCount, "0") << open_fails;
    EXPECT_EQ(fresh.splash().Volume, "1") << open_fails;
    EXPECT_EQ(fresh.splash().yesno, open_fails ? "yes" : "no") << open_fails;
    // A change made elsewhere whose reads fail too takes over nothing.
    fresh.sim.mixer.set_value(1, 100);
    const std::size_t mark = fresh.trace.size();
    fresh.program.output_changed();
    EXPECT_EQ(fresh.splash().VolCount, "0") << open_fails;
    EXPECT_EQ(fresh.lines_since(mark).size(), 2u) << open_fails;  // the two reads, nothing else
  }
}

TEST_F(StartLevel, OtherRangesScaleFromTheirMinimum) {
  h.sim.mixer.add_control(sim::Line::waveout, sim::ControlKind::volume, 11, 100, 300);
  h.sim.mixer.add_control(sim::Line::waveout, sim::ControlKind::mute, 12, 0, 1);
  h.sim.mixer.set_value(11, 200);  // half way: 50 %
  h.start_watching();
  EXPECT_EQ(h.splash().VolCount, "39");
  EXPECT_EQ(h.splash().Volume, "49.75");
}

TEST(NearestLevelStep, RoundsToTheNearestStepWithTiesDownAndClamps) {
  EXPECT_EQ(NearestLevelStep(39321, 0, 65535), 47);
  EXPECT_EQ(NearestLevelStep(0, 0, 65535), 0);
  EXPECT_EQ(NearestLevelStep(65535, 0, 65535), 79);  // 99.75 % is nearer to 100 % than 101 %
  EXPECT_EQ(NearestLevelStep(-5, 0, 100), 0);   // below the range
  EXPECT_EQ(NearestLevelStep(900, 0, 100), 80);  // above it
  // p = 1.625 lies half way between step 0 (1 %) and step 1 (2.25 %): the lower one.
  EXPECT_EQ(NearestLevelStep(13, 0, 800), 0);
  EXPECT_EQ(NearestLevelStep(14, 0, 800), 1);
  EXPECT_EQ(NearestLevelStep(std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::min(),
                             std::numeric_limits<std::int32_t>::max()),
            79);
  EXPECT_EQ(NearestLevelStep(5, 7, 7), std::nullopt);  // an empty range says nothing
  EXPECT_EQ(NearestLevelStep(5, 9, 7), std::nullopt);
}

// For any starting value of any range that starts at 0, the step is the nearest one, and the
// first volume-up press never sends less than the volume read less one step.
TEST(NearestLevelStep, AnyStartingVolumeGivesTheNearestStepAndNoQuieterFirstPress) {
  std::mt19937 rng(20261206);
  for (int round = 0; round < 300; ++round) {
    const std::int32_t max = std::uniform_int_distribution<std::int32_t>(100, 1 << 30)(rng);
    const std::int32_t value = std::uniform_int_distribution<std::int32_t>(0, max)(rng);
    const double p = 100.0 * value / max;
    const int step = *NearestLevelStep(value, 0, max);
    for (int other = 0; other <= 80; ++other)
      ASSERT_LE(std::abs(1 + 1.25 * step - p), std::abs(1 + 1.25 * other - p) + 1e-9) << value << "/" << max;

    test::Harness h;
    h.sim.mixer.add_control(sim::Line::waveout, sim::ControlKind::volume, 11, 0, max);
    h.sim.mixer.add_control(sim::Line::waveout, sim::ControlKind::mute, 12, 0, 1);
    h.sim.mixer.set_value(11, value);
    h.start_watching();
    h.tap(kUp);
    const std::int32_t sent = *h.sim.mixer.value(11);
    ASSERT_GE(100.0 * sent / (max / 100 * 100), p - 1.25) << value << "/" << max;
  }
}

}  // namespace
}  // namespace brisel
