#include "platform/sim/sim_mixer.h"

#include <algorithm>

namespace brisel::sim {

using namespace winmm;

namespace {
constexpr std::uint32_t kHandleBase = 1000;

}  // namespace

SimMixer::SimMixer() {
  // Seven lines, each with a volume (0 to 65535) and a mute (0 to 1): speakers 1 and 2,
  // line 3 and 4, ... auxiliary 13 and 14.
  for (std::uint32_t line = 0; line < 7; ++line) {
    controls_.push_back({static_cast<Line>(line), ControlKind::volume, 2 * line + 1, 0, 65535, std::nullopt});
    controls_.push_back({static_cast<Line>(line), ControlKind::mute, 2 * line + 2, 0, 1, std::nullopt});
  }
}

void SimMixer::clear() {
  defaults_ = false;
  controls_.clear();
}

void SimMixer::add_control(Line line, ControlKind kind, std::uint32_t id, std::int32_t min, std::int32_t max) {
  if (defaults_) clear();
  controls_.push_back({line, kind, id, min, max, std::nullopt});
}

std::optional<std::int32_t> SimMixer::value(std::uint32_t id) const {
  for (const Control& c : controls_)
    if (c.id == id) return c.value;
  return std::nullopt;
}

std::optional<std::uint32_t> SimMixer::device_of(HMIXER hmx) const {
  if (std::find(open_.begin(), open_.end(), hmx) == open_.end()) return std::nullopt;
  return hmx - kHandleBase;
}

MMRESULT SimMixer::mixerOpen(HMIXER* phmx, std::uint32_t uMxId, std::uintptr_t, std::uintptr_t, std::uint32_t) {
  MMRESULT rc = MMSYSERR_NOERROR;
  if (open_fails_) {
    rc = MMSYSERR_ERROR;
  } else if (uMxId >= devices_) {
    rc = MMSYSERR_BADDEVICEID;
  } else {
    *phmx = kHandleBase + uMxId;
    open_.push_back(*phmx);
  }
  return rc;
}

MMRESULT SimMixer::mixerGetLineInfoA(HMIXER hmx, MIXERLINEA* pmxl, std::uint32_t fdwInfo) {
  const auto device = device_of(hmx);
  if (!device) return MMSYSERR_INVALHANDLE;
  if (const MMRESULT rc = CheckLineInfo(pmxl, fdwInfo)) return rc;
  const auto line = LineOfComponentType(pmxl->dwComponentType);
  if (*device != 0 || !line) return MIXERR_INVALLINE;
  const bool present = std::any_of(controls_.begin(), controls_.end(),
                                   [&](const Control& c) { return static_cast<int>(c.line) == *line; });
  if (!present) return MIXERR_INVALLINE;
  pmxl->dwLineID = 0x10000u + static_cast<std::uint32_t>(*line);
  pmxl->cControls = 2;
  return MMSYSERR_NOERROR;
}

MMRESULT SimMixer::mixerGetLineControlsA(HMIXER hmx, MIXERLINECONTROLSA* pmxlc, std::uint32_t fdwControls) {
  const auto device = device_of(hmx);
  if (!device) return MMSYSERR_INVALHANDLE;
  if (const MMRESULT rc = CheckLineControls(pmxlc, fdwControls)) return rc;
  if (*device != 0 || pmxlc->dwLineID < 0x10000u || pmxlc->dwLineID > 0x10006u) return MIXERR_INVALLINE;
  const auto line = static_cast<Line>(pmxlc->dwLineID - 0x10000u);
  const ControlKind kind =
      pmxlc->dwControlType == MIXERCONTROL_CONTROLTYPE_MUTE ? ControlKind::mute : ControlKind::volume;
  if (pmxlc->dwControlType != MIXERCONTROL_CONTROLTYPE_MUTE && pmxlc->dwControlType != MIXERCONTROL_CONTROLTYPE_VOLUME)
    return MIXERR_INVALCONTROL;
  const Control* found = nullptr;
  for (const Control& c : controls_)
    if (c.line == line && c.kind == kind) {
      found = &c;
      break;
    }
  if (!found) return MIXERR_INVALCONTROL;
  DescribeControl(*pmxlc, found->id, found->min, found->max);
  return MMSYSERR_NOERROR;
}

SimMixer::Control* SimMixer::control_of(HMIXER hmx, const MIXERCONTROLDETAILS* pmxcd, std::uint32_t fdwDetails,
                                        MMRESULT& rc) {
  const auto device = device_of(hmx);
  rc = MMSYSERR_NOERROR;
  if (!device) {
    rc = MMSYSERR_INVALHANDLE;
    return nullptr;
  }
  if (CheckControlDetails(pmxcd, fdwDetails) != MMSYSERR_NOERROR) {
    rc = MMSYSERR_INVALPARAM;
    return nullptr;
  }
  if (*device == 0)
    for (Control& c : controls_)
      if (c.id == pmxcd->dwControlID) return &c;
  rc = MIXERR_INVALCONTROL;
  return nullptr;
}

bool SimMixer::set_value(std::uint32_t id, std::int32_t value) {
  for (Control& c : controls_)
    if (c.id == id) {
      c.value = value;
      return true;
    }
  return false;
}

MMRESULT SimMixer::mixerSetControlDetails(HMIXER hmx, MIXERCONTROLDETAILS* pmxcd, std::uint32_t fdwDetails) {
  if (refuses_) return MMSYSERR_ERROR;
  MMRESULT rc = MMSYSERR_NOERROR;
  if (Control* target = control_of(hmx, pmxcd, fdwDetails, rc)) target->value = DetailsValue(*pmxcd);
  return rc;
}

MMRESULT SimMixer::mixerGetControlDetails(HMIXER hmx, MIXERCONTROLDETAILS* pmxcd, std::uint32_t fdwDetails) {
  MMRESULT rc = MMSYSERR_NOERROR;
  Control* source = control_of(hmx, pmxcd, fdwDetails, rc);
  if (!source) return rc;
  if (!source->value) return MMSYSERR_ERROR;  // nothing has set it yet
  SetDetailsValue(*pmxcd, *source->value);
  return MMSYSERR_NOERROR;
}

}  // namespace brisel::sim
