#include "platform/winmm.h"

#include <algorithm>
#include <cstring>

namespace brisel::winmm {

std::optional<int> LineOfComponentType(std::uint32_t component_type) {
  const auto it = std::find(kLineComponentTypes.begin(), kLineComponentTypes.end(), component_type);
  if (it == kLineComponentTypes.end()) return std::nullopt;
  return static_cast<int>(it - kLineComponentTypes.begin());
}

MMRESULT CheckLineInfo(const MIXERLINEA* pmxl, std::uint32_t fdwInfo) {
  if (!pmxl || pmxl->cbStruct != kMixerLineSize || fdwInfo != MIXER_GETLINEINFOF_COMPONENTTYPE)
    return MMSYSERR_INVALPARAM;
  return MMSYSERR_NOERROR;
}

MMRESULT CheckLineControls(const MIXERLINECONTROLSA* pmxlc, std::uint32_t fdwControls) {
  if (!pmxlc || pmxlc->cbStruct != kMixerLineControlsSize || fdwControls != MIXER_GETLINECONTROLSF_ONEBYTYPE ||
      pmxlc->cControls != 1 || pmxlc->cbmxctrl < kMixerControlSize || !pmxlc->pamxctrl)
    return MMSYSERR_INVALPARAM;
  return MMSYSERR_NOERROR;
}

MMRESULT CheckControlDetails(const MIXERCONTROLDETAILS* pmxcd, std::uint32_t fdwDetails) {
  if (!pmxcd || pmxcd->cbStruct != kMixerControlDetailsSize || pmxcd->cbDetails != 4 || pmxcd->cChannels != 1 ||
      fdwDetails != MIXER_SETCONTROLDETAILSF_VALUE || !pmxcd->paDetails)
    return MMSYSERR_INVALPARAM;
  return MMSYSERR_NOERROR;
}

std::int32_t DetailsValue(const MIXERCONTROLDETAILS& details) {
  std::int32_t value = 0;
  if (details.paDetails) std::memcpy(&value, details.paDetails, sizeof value);
  return value;
}

void SetDetailsValue(const MIXERCONTROLDETAILS& details, std::int32_t value) {
  std::memcpy(details.paDetails, &value, sizeof value);
}

void DescribeControl(const MIXERLINECONTROLSA& request, std::uint32_t id, std::int32_t min, std::int32_t max) {
  MIXERCONTROLA control{};
  control.cbStruct = kMixerControlSize;
  control.dwControlID = id;
  control.dwControlType = request.dwControlType;
  control.fdwControl = 1;  // uniform: one value for all channels
  const char* name = request.dwControlType == MIXERCONTROL_CONTROLTYPE_MUTE ? "Mute" : "Volume";
  std::strncpy(control.szShortName, name, sizeof control.szShortName - 1);
  std::strncpy(control.szName, name, sizeof control.szName - 1);
  control.lMinimum = min;
  control.lMaximum = max;
  // The caller's block may be unaligned scratch memory: copied, never cast.
  std::memcpy(request.pamxctrl, &control, sizeof control);
}

}  // namespace brisel::winmm
