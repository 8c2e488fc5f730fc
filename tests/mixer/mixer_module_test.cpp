// The mixer module's table and scaling (tests/scenarios/mixer_edge_cases, mixer_refuses and
// no_mixer pin a missing control, an index outside the table and a device that fails).
#include "mixer/mixer_module.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "platform/sim/sim_mixer.h"
#include "platform/trace.h"

namespace brisel {
namespace {

using sim::ControlKind;
using sim::Line;

TEST(MixerModule, FillsTheTableFromTheDefaultDeviceOnly) {
  std::vector<std::string> calls;  // the trace's lines, without their time stamps
  sim::SimMixer device;
  TraceSink sink{[] { return std::uint64_t{0}; }, [&](const std::string& line) { calls.push_back(line.substr(2)); }};
  TracingMixer traced{device, sink};
  MixerModule module{traced};
  EXPECT_FALSE(module.OpenMixer(-1));  // no such device: nothing is called
  EXPECT_FALSE(module.OpenMixer(1));
  EXPECT_TRUE(module.OpenMixer(0));
  EXPECT_EQ(module.hMixer, 1000u);
  // By index: speakers, line, microphone, synthesizer, compact disc, wave-out, auxiliary;
  // volumes first, then mutes. The simulated device numbers them in line order.
  const std::uint32_t ids[14] = {1, 3, 5, 7, 9, 11, 13, 2, 4, 6, 8, 10, 12, 14};
  for (std::size_t i = 0; i < module.MixerControls.size(); ++i) {
    const auto& e = module.MixerControls[i];
    EXPECT_EQ(e.dwControlID, i < 14 ? ids[i] : 0u) << "entry " << i;
    EXPECT_EQ(e.lMaximum, i < 7 ? 65535 : i < 14 ? 1 : 0) << "entry " << i;
  }
  EXPECT_EQ(calls, std::vector<std::string>{"mixerOpen 0 -> 0"});
}

// What a device whose only control is a wave-out volume of the given range receives.
std::int32_t SentFor(std::int32_t min, std::int32_t max, std::int32_t value) {
  sim::SimMixer one;
  MixerModule m(one);
  one.add_control(Line::waveout, ControlKind::volume, 11, min, max);
  EXPECT_TRUE(m.OpenMixer(0));
  EXPECT_EQ(m.SetVolume(MixerModule::kWaveOutVolume, value), -1);
  return one.value(11).value_or(-12345);
}

TEST(MixerModule, ScalesByTheTruncatedFactorClampsAndSaturates) {
  using Limits = std::numeric_limits<std::int32_t>;
  EXPECT_EQ(SentFor(0, 65535, 50), 32750);
  EXPECT_EQ(SentFor(0, 65535, 100), 65500);
  EXPECT_EQ(SentFor(0, 65535, 101), 65535);  // 66155 clamped
  EXPECT_EQ(SentFor(0, 65535, 0), 0);
  EXPECT_EQ(SentFor(0, 65535, -5), 0);
  EXPECT_EQ(SentFor(0, 100, 150), 100);  // unscaled, clamped
  EXPECT_EQ(SentFor(0, 150, 100), 100);  // factor 1
  EXPECT_EQ(SentFor(10, 5, 3), 10);      // the lower bound wins
  // Products beyond 32 bits saturate instead of overflowing.
  EXPECT_EQ(SentFor(0, Limits::max() - 5, 101), Limits::max() - 5);
  EXPECT_EQ(SentFor(Limits::min(), Limits::max(), -101), Limits::min());
}

}  // namespace
}  // namespace brisel
