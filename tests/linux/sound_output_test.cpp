// The sound-server output without a server: the volume mapping, and that calls fail at once
// rather than wait, leaving ALSA's mixer to the program. The server itself is exercised by
// pulse_test.sh.
#include <gtest/gtest.h>
#include <pulse/volume.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <cstdlib>
#include <cstring>
#include <string>

#include "mixer/mixer_module.h"
#include "platform/linux/pulse_output.h"
#include "platform/linux/sound_output.h"

namespace brisel::linux_pulse {
namespace {

// What the server shows for a volume, as the desktop's sound settings show it: "  7%".
int ShownPercent(std::uint32_t volume) {
  char text[PA_VOLUME_SNPRINT_MAX];
  pa_volume_snprint(text, sizeof text, volume);
  return std::atoi(text);
}

TEST(PulseOutput, MapsTheMixerRangeLinearlyOntoTheServersPercentAndBack) {
  EXPECT_EQ(ServerVolume(0), PA_VOLUME_MUTED);
  EXPECT_EQ(ServerVolume(65535), PA_VOLUME_NORM);
  EXPECT_EQ(ServerVolume(70000), PA_VOLUME_NORM);  // never above 100 %
  // The behaviour sends a percent p scaled by 65535 / 100 truncated (100 % is 65500, its top
  // step 101 % is clamped to 65535): the server shows that same percent.
  for (std::uint32_t p = 0; p <= 101; ++p)
    EXPECT_EQ(ShownPercent(ServerVolume(std::min(p * 655, 65535u))), static_cast<int>(std::min(p, 100u))) << p;
  // Rising, and read back exactly.
  for (std::uint32_t v = 1; v <= 65535; ++v) ASSERT_GE(ServerVolume(v), ServerVolume(v - 1)) << v;
  for (std::uint32_t v = 0; v <= 65535; ++v) ASSERT_EQ(MixerValue(ServerVolume(v)), v) << v;
  EXPECT_EQ(MixerValue(PA_VOLUME_NORM * 3 / 2), 65535u);  // 150 % reads as the top of the range
}

// With a server address where nothing listens, whatever runs on the machine: every call fails at
// once, and the program's mixer is ALSA's, with all seven lines.
TEST(PulseOutput, WithoutAServerCallsFailAtOnceAndTheMixerIsAlsas) {
  setenv("PULSE_SERVER", "unix:/nonexistent/brisel-test/native", 1);
  PulseOutput server;
  EXPECT_EQ(server.connect(), Reach::Never);
  EXPECT_EQ(server.write(false, 50), Reach::Never);
  std::optional<std::uint32_t> value;
  EXPECT_EQ(server.read(true, value), Reach::Never);
  EXPECT_EQ(value, std::nullopt);
  EXPECT_FALSE(server.take_change());
  const auto mixer = std::make_unique<linux_sound::SoundOutput>();
  MixerModule module(*mixer);
  EXPECT_TRUE(module.OpenMixer(0));
  for (int entry = 0; entry < 14; ++entry)
    EXPECT_NE(module.MixerControls[static_cast<std::size_t>(entry)].dwControlID, 0u) << entry;
  winmm::MIXERLINEA line{};
  line.cbStruct = winmm::kMixerLineSize;
  line.dwComponentType = winmm::MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
  EXPECT_EQ(mixer->mixerGetLineInfoA(module.hMixer, &line, winmm::MIXER_GETLINEINFOF_COMPONENTTYPE), 0u);
  EXPECT_STREQ(line.szName, "PCM");
  unsetenv("PULSE_SERVER");
}

}  // namespace
}  // namespace brisel::linux_pulse
