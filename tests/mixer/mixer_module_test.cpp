#include "mixer/mixer_module.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "base/text_numbers.h"
#include "platform/sim/sim_mixer.h"
#include "platform/trace.h"

namespace brisel {
namespace {

using sim::ControlKind;
using sim::Line;

struct MixerTest : ::testing::Test {
  std::vector<std::string> calls;  // the trace's lines, without their time stamps
  sim::SimMixer device;
  TraceSink sink{[] { return std::uint64_t{0}; }, [this](const std::string& line) { calls.push_back(line.substr(2)); }};
  TracingMixer traced{device, sink};
  MixerModule module{traced};

  // What a device whose only control is a wave-out volume of the given range receives.
  static std::int32_t sent_for(std::int32_t min, std::int32_t max, std::int32_t value) {
    sim::SimMixer one;
    MixerModule m(one);
    one.add_control(Line::waveout, ControlKind::volume, 11, min, max);
    EXPECT_TRUE(m.OpenMixer(0));
    EXPECT_EQ(m.SetVolume(MixerModule::kWaveOutVolume, value), -1);
    return one.value(11).value_or(-12345);
  }
};

TEST_F(MixerTest, FillsTheTableFromTheDefaultDevice) {
  EXPECT_TRUE(module.OpenMixer(0));
  EXPECT_EQ(module.hMixer, 1000u);
  // By index: speakers, line, microphone, synthesizer, compact disc, wave-out, auxiliary;
  // volumes first, then mutes. The simulated device numbers them in line order.
  const std::uint32_t ids[14] = {1, 3, 5, 7, 9, 11, 13, 2, 4, 6, 8, 10, 12, 14};
  for (int i = 0; i < 14; ++i) {
    const auto& e = module.MixerControls[static_cast<std::size_t>(i)];
    EXPECT_EQ(e.dwControlID, ids[i]) << "entry " << i;
    EXPECT_EQ(e.lMaximum, i < 7 ? 65535 : 1) << "entry " << i;
    EXPECT_EQ(e.dwControlType, i < 7 ? winmm::MIXERCONTROL_CONTROLTYPE_VOLUME : winmm::MIXERCONTROL_CONTROLTYPE_MUTE);
  }
  for (int i = 14; i < MixerModule::kEntries; ++i) EXPECT_EQ(module.MixerControls[static_cast<std::size_t>(i)].dwControlID, 0u);
  EXPECT_EQ(calls, std::vector<std::string>{"mixerOpen 0 -> 0"});
}

TEST_F(MixerTest, ScalesByTheTruncatedFactorAndClamps) {
  EXPECT_EQ(sent_for(0, 65535, 50), 32750);
  EXPECT_EQ(sent_for(0, 65535, 100), 65500);
  EXPECT_EQ(sent_for(0, 65535, 101), 65535);  // 66155 clamped
  EXPECT_EQ(sent_for(0, 65535, 0), 0);
  EXPECT_EQ(sent_for(0, 65535, -5), 0);
  EXPECT_EQ(sent_for(0, 100, 150), 100);  // unscaled, clamped
  EXPECT_EQ(sent_for(0, 150, 100), 100);  // factor 1
  EXPECT_EQ(sent_for(10, 5, 3), 10);      // the lower bound wins
}

TEST_F(MixerTest, ScalingSaturatesInsteadOfOverflowing) {
  const std::int32_t top = std::numeric_limits<std::int32_t>::max();
  EXPECT_EQ(sent_for(0, top - 5, 101), top - 5);
  EXPECT_EQ(sent_for(std::numeric_limits<std::int32_t>::min(), top, -101), std::numeric_limits<std::int32_t>::min());
}

TEST_F(MixerTest, MuteSendsTheAbsoluteFlag) {
  ASSERT_TRUE(module.OpenMixer(0));
  EXPECT_EQ(module.SetMute(MixerModule::kWaveOutMute, -1), -1);
  EXPECT_EQ(device.value(12), 1);
  EXPECT_EQ(module.SetMute(MixerModule::kWaveOutMute, 0), -1);
  EXPECT_EQ(device.value(12), 0);
}

TEST_F(MixerTest, IndexOutsideTheTableRaisesBeforeAnyCall) {
  ASSERT_TRUE(module.OpenMixer(0));
  calls.clear();
  for (std::int32_t index : {21, -1}) {
    EXPECT_THROW(module.SetVolume(index, 50), RuntimeError);
    EXPECT_THROW(module.SetMute(index, -1), RuntimeError);
  }
  EXPECT_TRUE(calls.empty());
}

TEST_F(MixerTest, NoDeviceOrBadIndexOpensNothing) {
  device.set_devices(0);
  EXPECT_FALSE(module.OpenMixer(0));
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(module.SetVolume(MixerModule::kWaveOutVolume, 51), 0);  // control 0, value 0, handle 0
  EXPECT_EQ(calls, std::vector<std::string>{"mixerSetControlDetails 0 0 0 -> 5"});

  device.set_devices(2);
  EXPECT_FALSE(module.OpenMixer(2));
  EXPECT_FALSE(module.OpenMixer(-1));
  EXPECT_EQ(module.hMixer, 0u);
}

TEST_F(MixerTest, FailedOpenLeavesHandleAndTable) {
  device.set_open_fails();
  EXPECT_FALSE(module.OpenMixer(0));
  EXPECT_EQ(module.hMixer, 0u);
  EXPECT_EQ(module.MixerControls[5].dwControlID, 0u);
}

TEST_F(MixerTest, MissingMuteControlLeavesItsEntryEmpty) {
  device.add_control(Line::waveout, ControlKind::volume, 40, 0, 65535);
  EXPECT_TRUE(module.OpenMixer(0));
  EXPECT_EQ(module.MixerControls[5].dwControlID, 40u);
  EXPECT_EQ(module.MixerControls[12].dwControlID, 0u);
  calls.clear();
  module.SetMute(MixerModule::kWaveOutMute, -1);
  EXPECT_EQ(calls, std::vector<std::string>{"mixerSetControlDetails 1000 0 0 -> 1025"});
}

}  // namespace
}  // namespace brisel
