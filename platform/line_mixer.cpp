#include "platform/line_mixer.h"

#include <algorithm>
#include <cstring>

namespace brisel {

using namespace winmm;

namespace {
constexpr std::uint32_t kLineIdBase = 0x10000;
constexpr int kLines = static_cast<int>(kLineComponentTypes.size());
}  // namespace

MMRESULT LineMixer::mixerOpen(HMIXER* phmx, std::uint32_t uMxId, std::uintptr_t, std::uintptr_t, std::uint32_t) {
  if (uMxId != 0) return MMSYSERR_BADDEVICEID;
  if (!phmx) return MMSYSERR_INVALPARAM;
  *phmx = kHandle;
  opened_ = true;
  opened();
  return MMSYSERR_NOERROR;
}

MMRESULT LineMixer::mixerGetLineInfoA(HMIXER hmx, MIXERLINEA* pmxl, std::uint32_t fdwInfo) {
  if (!opened_ || hmx != kHandle) return MMSYSERR_INVALHANDLE;
  if (const MMRESULT rc = CheckLineInfo(pmxl, fdwInfo)) return rc;
  const auto line = LineOfComponentType(pmxl->dwComponentType);
  if (!line || !has_line(*line)) return MIXERR_INVALLINE;
  pmxl->dwLineID = kLineIdBase + static_cast<std::uint32_t>(*line);
  pmxl->cControls = 2;
  pmxl->cChannels = 1;
  std::strncpy(pmxl->szName, line_name(*line), sizeof pmxl->szName - 1);
  return MMSYSERR_NOERROR;
}

MMRESULT LineMixer::mixerGetLineControlsA(HMIXER hmx, MIXERLINECONTROLSA* pmxlc, std::uint32_t fdwControls) {
  if (!opened_ || hmx != kHandle) return MMSYSERR_INVALHANDLE;
  if (const MMRESULT rc = CheckLineControls(pmxlc, fdwControls)) return rc;
  const std::uint32_t line = pmxlc->dwLineID - kLineIdBase;
  if (line >= kLines || !has_line(static_cast<int>(line))) return MIXERR_INVALLINE;
  const bool mute = pmxlc->dwControlType == MIXERCONTROL_CONTROLTYPE_MUTE;
  if (!mute && pmxlc->dwControlType != MIXERCONTROL_CONTROLTYPE_VOLUME) return MIXERR_INVALCONTROL;
  DescribeControl(*pmxlc, ControlId(static_cast<int>(line), mute), 0, mute ? 1 : 65535);
  return MMSYSERR_NOERROR;
}

MMRESULT LineMixer::control_of(HMIXER hmx, const MIXERCONTROLDETAILS* pmxcd, std::uint32_t fdwDetails, int& line,
                               bool& mute) const {
  if (!opened_ || hmx != kHandle) return MMSYSERR_INVALHANDLE;
  if (const MMRESULT rc = CheckControlDetails(pmxcd, fdwDetails)) return rc;
  const std::uint32_t id = pmxcd->dwControlID;
  if (id < 1 || id > 2 * kLines) return MIXERR_INVALCONTROL;
  line = static_cast<int>((id - 1) / 2);
  if (!has_line(line)) return MIXERR_INVALCONTROL;
  mute = id % 2 == 0;
  return MMSYSERR_NOERROR;
}

MMRESULT LineMixer::mixerSetControlDetails(HMIXER hmx, MIXERCONTROLDETAILS* pmxcd, std::uint32_t fdwDetails) {
  int line = 0;
  bool mute = false;
  if (const MMRESULT rc = control_of(hmx, pmxcd, fdwDetails, line, mute)) return rc;
  const std::int32_t value = std::clamp(DetailsValue(*pmxcd), 0, mute ? 1 : 65535);
  return write(line, mute, static_cast<std::uint32_t>(value));
}

MMRESULT LineMixer::mixerGetControlDetails(HMIXER hmx, MIXERCONTROLDETAILS* pmxcd, std::uint32_t fdwDetails) {
  int line = 0;
  bool mute = false;
  if (const MMRESULT rc = control_of(hmx, pmxcd, fdwDetails, line, mute)) return rc;
  std::uint32_t value = 0;
  if (const MMRESULT rc = read(line, mute, value)) return rc;
  SetDetailsValue(*pmxcd, static_cast<std::int32_t>(std::min<std::uint32_t>(value, mute ? 1 : 65535)));
  return MMSYSERR_NOERROR;
}

}  // namespace brisel
