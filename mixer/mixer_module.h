// MixerModule: the program's only link to the sound hardware. It opens one mixer device,
// copies the descriptions of fourteen controls into MixerControls, writes a volume percentage
// or a mute flag to one entry of that table, and reads an entry's current value (once, when
// the display takes over).
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "platform/platform.h"

namespace brisel {

// One control's description: the platform's MIXERCONTROLA (148 bytes) and one more word.
struct MixerControlRecord : winmm::MIXERCONTROLA {
  std::uint32_t extra;
};
static_assert(sizeof(MixerControlRecord) == 152);

class MixerModule {
 public:
  static constexpr int kEntries = 21;
  static constexpr std::int32_t kWaveOutVolume = 5;
  static constexpr std::int32_t kWaveOutMute = 12;

  explicit MixerModule(Mixer& mixer) : mixer_(mixer) {}

  // OpenMixer and GetMixerControl answer whether they succeeded; SetMixerControl, SetVolume and
  // SetMute answer the truth values -1 (true) and 0 (false).
  bool OpenMixer(std::int32_t device);
  bool GetMixerControl(winmm::HMIXER hmx, std::uint32_t componentType, std::uint32_t controlType,
                       MixerControlRecord& entry);
  std::int16_t SetMixerControl(winmm::HMIXER hmx, const MixerControlRecord& entry, std::int32_t value);
  std::int32_t SetVolume(std::int32_t index, std::int32_t value);
  std::int16_t SetMute(std::int32_t index, std::int16_t flag);
  // The current value of an entry's control, in the control's own range; nothing when the
  // mixer does not answer.
  std::optional<std::int32_t> GetControlValue(std::int32_t index);

  std::uint32_t hMixer = 0;
  std::array<MixerControlRecord, kEntries> MixerControls{};

 private:
  const MixerControlRecord& Entry(std::int32_t index) const;
  // A details record for one value of the entry's control, in the 4-byte block.
  static winmm::MIXERCONTROLDETAILS Details(const MixerControlRecord& entry, unsigned char (&block)[4]);
  Mixer& mixer_;
};

}  // namespace brisel
