// The display starts at the output's volume and mute state, read once as it loads, so that the
// first press steps from what the user hears (tests/scenarios/start_from_output and
// follow_output pin the reads, the pictures and the first presses).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "harness.h"

namespace brisel {
namespace {

// The volume has no value yet (its read answers MMSYSERR_ERROR) while the mute reads: the level
// starts at the bottom, muted, and a change made elsewhere whose read fails takes over nothing.
// (No mixer at all: tests/scenarios/no_mixer.)
TEST(StartLevel, AReadThatFailsStartsAtTheBottom) {
  test::Harness h;
  h.sim.mixer.set_value(12, 1);
  h.start_watching();
  EXPECT_EQ(h.splash().VolCount, "0");
  EXPECT_EQ(h.splash().Volume, "1");
  EXPECT_EQ(h.splash().yesno, "no");
  h.sim.mixer.set_value(1, 100);
  const std::size_t mark = h.trace.size();
  h.program.output_changed();
  EXPECT_EQ(h.splash().VolCount, "0");
  EXPECT_EQ(h.lines_since(mark).size(), 2u);  // the two reads, nothing else
}

TEST(StartLevel, OtherRangesScaleFromTheirMinimum) {
  test::Harness h;
  h.sim.mixer.add_control(sim::Line::waveout, sim::ControlKind::volume, 11, 100, 300);
  h.sim.mixer.add_control(sim::Line::waveout, sim::ControlKind::mute, 12, 0, 1);
  h.sim.mixer.set_value(11, 200);  // half way: 50 %
  h.start_watching();
  EXPECT_EQ(h.splash().VolCount, "39");
  EXPECT_EQ(h.splash().Volume, "49.75");
}

TEST(NearestLevelStep, RoundsToTheNearestStepWithTiesDownAndClamps) {
  using Limits = std::numeric_limits<std::int32_t>;
  EXPECT_EQ(NearestLevelStep(39321, 0, 65535), 47);
  EXPECT_EQ(NearestLevelStep(0, 0, 65535), 0);
  EXPECT_EQ(NearestLevelStep(65535, 0, 65535), 79);  // 99.75 % is nearer to 100 % than 101 %
  EXPECT_EQ(NearestLevelStep(-5, 0, 100), 0);   // below the range
  EXPECT_EQ(NearestLevelStep(900, 0, 100), 80);  // above it
  // p = 1.625 lies half way between step 0 (1 %) and step 1 (2.25 %): the lower one.
  EXPECT_EQ(NearestLevelStep(13, 0, 800), 0);
  EXPECT_EQ(NearestLevelStep(14, 0, 800), 1);
  EXPECT_EQ(NearestLevelStep(Limits::max(), Limits::min(), Limits::max()), 79);
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
    h.tap(test::kUp);
    const std::int32_t sent = *h.sim.mixer.value(11);
    ASSERT_GE(100.0 * sent / (max / 100 * 100), p - 1.25) << value << "/" << max;
  }
}

}  // namespace
}  // namespace brisel
