#include "mixer/mixer_module.h"

#include <cstring>
#include <limits>

#include "base/text_numbers.h"

namespace brisel {

using namespace winmm;

namespace {

struct FillStep {
  std::uint32_t componentType;
  std::uint32_t controlType;
  int entry;
};

// Entries 0 to 6 are the seven lines' volume controls, 7 to 13 their mute controls in the
// same line order (entry k + 7 mutes entry k's line). The fill order is not the index order.
constexpr FillStep kFillOrder[] = {
    {MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, MIXERCONTROL_CONTROLTYPE_VOLUME, 0},
    {MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, MIXERCONTROL_CONTROLTYPE_VOLUME, 2},
    {MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY, MIXERCONTROL_CONTROLTYPE_VOLUME, 6},
    {MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC, MIXERCONTROL_CONTROLTYPE_VOLUME, 4},
    {MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER, MIXERCONTROL_CONTROLTYPE_VOLUME, 3},
    {MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, MIXERCONTROL_CONTROLTYPE_VOLUME, 5},
    {MIXERLINE_COMPONENTTYPE_SRC_LINE, MIXERCONTROL_CONTROLTYPE_VOLUME, 1},
    {MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, MIXERCONTROL_CONTROLTYPE_MUTE, 7},
    {MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, MIXERCONTROL_CONTROLTYPE_MUTE, 9},
    {MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY, MIXERCONTROL_CONTROLTYPE_MUTE, 13},
    {MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC, MIXERCONTROL_CONTROLTYPE_MUTE, 11},
    {MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER, MIXERCONTROL_CONTROLTYPE_MUTE, 10},
    {MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, MIXERCONTROL_CONTROLTYPE_MUTE, 12},
    {MIXERLINE_COMPONENTTYPE_SRC_LINE, MIXERCONTROL_CONTROLTYPE_MUTE, 8},
};

// The percent scaled onto a control's range. The factor is max / 100 truncated, so 100 % of
// 65535 is 65500; a product beyond 32 bits saturates rather than failing.
std::int32_t ScaleToControl(std::int32_t value, std::int32_t max) {
  if (max <= 100) return value;
  const std::int64_t level = static_cast<std::int64_t>(value) * (max / 100);
  if (level > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (level < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(level);
}

}  // namespace

bool MixerModule::OpenMixer(std::int32_t device) {
  const std::int32_t last = static_cast<std::int32_t>(mixer_.mixerGetNumDevs()) - 1;
  if (device > last || device < 0) return false;
  if (mixer_.mixerOpen(&hMixer, static_cast<std::uint32_t>(device), 0, 0, 0) != MMSYSERR_NOERROR) return false;
  for (const FillStep& step : kFillOrder)
    GetMixerControl(hMixer, step.componentType, step.controlType, MixerControls[static_cast<std::size_t>(step.entry)]);
  return true;
}

bool MixerModule::GetMixerControl(HMIXER hmx, std::uint32_t componentType, std::uint32_t controlType,
                                  MixerControlRecord& entry) {
  MIXERLINEA line{};
  line.cbStruct = kMixerLineSize;
  line.dwComponentType = componentType;
  if (mixer_.mixerGetLineInfoA(hmx, &line, MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR) return false;

  // The scratch block lives only for this call and starts zero-filled.
  alignas(MixerControlRecord) unsigned char block[sizeof(MixerControlRecord)] = {};
  MIXERLINECONTROLSA controls{};
  controls.cbStruct = kMixerLineControlsSize;
  controls.dwLineID = line.dwLineID;
  controls.dwControlType = controlType;
  controls.cControls = 1;
  controls.cbmxctrl = sizeof block;
  controls.pamxctrl = block;
  if (mixer_.mixerGetLineControlsA(hmx, &controls, MIXER_GETLINECONTROLSF_ONEBYTYPE) != MMSYSERR_NOERROR)
    return false;
  std::memcpy(&entry, block, sizeof block);
  return true;
}

MIXERCONTROLDETAILS MixerModule::Details(const MixerControlRecord& entry, unsigned char (&block)[4]) {
  MIXERCONTROLDETAILS details{};
  details.cbStruct = kMixerControlDetailsSize;
  details.dwControlID = entry.dwControlID;
  details.cChannels = 1;
  details.cMultipleItems = 0;
  details.cbDetails = sizeof block;
  details.paDetails = block;
  return details;
}

std::int16_t MixerModule::SetMixerControl(HMIXER hmx, const MixerControlRecord& entry, std::int32_t value) {
  std::int32_t level = ScaleToControl(value, entry.lMaximum);
  if (level > entry.lMaximum) level = entry.lMaximum;
  if (level < entry.lMinimum) level = entry.lMinimum;  // when min > max the lower bound wins

  unsigned char block[4] = {};
  std::memcpy(block, &level, sizeof block);
  MIXERCONTROLDETAILS details = Details(entry, block);
  const MMRESULT rc = mixer_.mixerSetControlDetails(hmx, &details, MIXER_SETCONTROLDETAILSF_VALUE);
  return rc == MMSYSERR_NOERROR ? -1 : 0;
}

std::optional<std::int32_t> MixerModule::GetControlValue(std::int32_t index) {
  unsigned char block[4] = {};
  MIXERCONTROLDETAILS details = Details(Entry(index), block);
  if (mixer_.mixerGetControlDetails(hMixer, &details, MIXER_GETCONTROLDETAILSF_VALUE) != MMSYSERR_NOERROR)
    return std::nullopt;
  std::int32_t value = 0;
  std::memcpy(&value, block, sizeof value);
  return value;
}

const MixerControlRecord& MixerModule::Entry(std::int32_t index) const {
  if (static_cast<std::uint32_t>(index) >= kEntries) RaiseSubscriptOutOfRange();
  return MixerControls[static_cast<std::size_t>(index)];
}

std::int32_t MixerModule::SetVolume(std::int32_t index, std::int32_t value) {
  const MixerControlRecord& entry = Entry(index);
  return SetMixerControl(hMixer, entry, value);
}

std::int16_t MixerModule::SetMute(std::int32_t index, std::int16_t flag) {
  const std::int32_t value = flag < 0 ? -static_cast<std::int32_t>(flag) : flag;
  const MixerControlRecord& entry = Entry(index);
  return SetMixerControl(hMixer, entry, value);
}

}  // namespace brisel
