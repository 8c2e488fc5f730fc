#include "platform/linux/alsa_mixer.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace brisel::linux_alsa {

using namespace winmm;

namespace {

constexpr HMIXER kHandle = 1;
constexpr std::uint32_t kLineIdBase = 0x10000;

struct LineInfo {
  std::uint32_t component_type;
  const char* elements[2];  // the simple elements that carry this line, first match wins
};

// Wave-out is PCM, or Master where the device has no PCM (a sound server has only Master).
constexpr LineInfo kLines[] = {
    {MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, {"Master", nullptr}},
    {MIXERLINE_COMPONENTTYPE_SRC_LINE, {"Line", nullptr}},
    {MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE, {"Mic", nullptr}},
    {MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER, {"Synth", nullptr}},
    {MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC, {"CD", nullptr}},
    {MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, {"PCM", "Master"}},
    {MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY, {"Aux", nullptr}},
};
constexpr int kLineCount = 7;

// Control identifiers: 2 x line + 1 for the volume, 2 x line + 2 for the mute.
std::uint32_t ControlId(int line, bool mute) { return static_cast<std::uint32_t>(2 * line + (mute ? 2 : 1)); }

// Mixer failures are silent: ALSA's own messages would only reach the terminal.
void Quiet(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

AlsaMixer::AlsaMixer(std::string device) : device_(std::move(device)) { snd_lib_error_set_handler(Quiet); }

AlsaMixer::~AlsaMixer() { close(); }

MMRESULT AlsaMixer::mixerOpen(HMIXER* phmx, std::uint32_t uMxId, std::uintptr_t, std::uintptr_t, std::uint32_t) {
  if (uMxId != 0) return MMSYSERR_BADDEVICEID;
  *phmx = kHandle;
  opened_ = true;
  open();  // a device that is not there yet is looked for again at the first write
  return MMSYSERR_NOERROR;
}

MMRESULT AlsaMixer::mixerGetLineInfoA(HMIXER hmx, MIXERLINEA* pmxl, std::uint32_t fdwInfo) {
  if (!opened_ || hmx != kHandle) return MMSYSERR_INVALHANDLE;
  if (pmxl->cbStruct != kMixerLineSize || fdwInfo != MIXER_GETLINEINFOF_COMPONENTTYPE) return MMSYSERR_INVALPARAM;
  for (int line = 0; line < kLineCount; ++line)
    if (kLines[line].component_type == pmxl->dwComponentType) {
      pmxl->dwLineID = kLineIdBase + static_cast<std::uint32_t>(line);
      pmxl->cControls = 2;
      pmxl->cChannels = 1;
      std::strncpy(pmxl->szName, kLines[line].elements[0], sizeof pmxl->szName - 1);
      return MMSYSERR_NOERROR;
    }
  return MIXERR_INVALLINE;
}

MMRESULT AlsaMixer::mixerGetLineControlsA(HMIXER hmx, MIXERLINECONTROLSA* pmxlc, std::uint32_t fdwControls) {
  if (!opened_ || hmx != kHandle) return MMSYSERR_INVALHANDLE;
  if (pmxlc->cbStruct != kMixerLineControlsSize || fdwControls != MIXER_GETLINECONTROLSF_ONEBYTYPE ||
      pmxlc->cbmxctrl < kMixerControlSize || !pmxlc->pamxctrl)
    return MMSYSERR_INVALPARAM;
  const std::uint32_t line = pmxlc->dwLineID - kLineIdBase;
  if (line >= kLineCount) return MIXERR_INVALLINE;
  const bool mute = pmxlc->dwControlType == MIXERCONTROL_CONTROLTYPE_MUTE;
  if (!mute && pmxlc->dwControlType != MIXERCONTROL_CONTROLTYPE_VOLUME) return MIXERR_INVALCONTROL;
  // MIXERCONTROLA: size, identifier, type, flags, items; names; then the bounds.
  auto* out = static_cast<unsigned char*>(pmxlc->pamxctrl);
  const std::uint32_t words[5] = {kMixerControlSize, ControlId(static_cast<int>(line), mute), pmxlc->dwControlType, 1, 0};
  std::memcpy(out, words, sizeof words);
  const char* name = mute ? "Mute" : "Volume";
  std::memcpy(out + 20, name, std::strlen(name));
  std::memcpy(out + 36, name, std::strlen(name));
  const std::int32_t bounds[2] = {0, mute ? 1 : 65535};
  std::memcpy(out + 100, bounds, sizeof bounds);
  return MMSYSERR_NOERROR;
}

MMRESULT AlsaMixer::mixerSetControlDetails(HMIXER hmx, MIXERCONTROLDETAILS* pmxcd, std::uint32_t fdwDetails) {
  if (!opened_ || hmx != kHandle) return MMSYSERR_INVALHANDLE;
  if (pmxcd->cbStruct != kMixerControlDetailsSize || pmxcd->cbDetails != 4 || !pmxcd->paDetails ||
      fdwDetails != MIXER_SETCONTROLDETAILSF_VALUE)
    return MMSYSERR_INVALPARAM;
  const std::uint32_t id = pmxcd->dwControlID;
  if (id < 1 || id > 2 * kLineCount) return MIXERR_INVALCONTROL;
  std::uint32_t value = 0;
  std::memcpy(&value, pmxcd->paDetails, 4);
  const int line = static_cast<int>((id - 1) / 2);
  const bool mute = id % 2 == 0;
  int rc = write(line, mute, static_cast<long>(value));
  if (rc == -EIO || rc == -ENODEV || rc == -EBADFD || rc == -ENOENT) {
    // The sound server went away or came back: read ALSA's configuration anew and re-open.
    close();
    snd_config_update_free_global();
    rc = write(line, mute, static_cast<long>(value));
  }
  if (rc == -ENOENT) return MIXERR_INVALCONTROL;
  return rc == 0 ? MMSYSERR_NOERROR : MMSYSERR_ERROR;
}

bool AlsaMixer::open() {
  if (mixer_) return true;
  snd_mixer_t* m = nullptr;
  if (snd_mixer_open(&m, 0) < 0) return false;
  if (snd_mixer_attach(m, device_.c_str()) < 0 || snd_mixer_selem_register(m, nullptr, nullptr) < 0 ||
      snd_mixer_load(m) < 0) {
    snd_mixer_close(m);
    return false;
  }
  mixer_ = m;
  return true;
}

void AlsaMixer::close() {
  if (mixer_) snd_mixer_close(mixer_);
  mixer_ = nullptr;
}

int AlsaMixer::write(int line, bool mute, long value) {
  if (!open()) return -ENODEV;
  // An open handle keeps old values until it reads the events, and skips a write equal to
  // what it believes the element holds.
  if (int rc = snd_mixer_handle_events(mixer_); rc < 0) return rc;
  snd_mixer_elem_t* elem = nullptr;
  for (const char* name : kLines[line].elements) {
    if (!name) break;
    snd_mixer_selem_id_t* sid = nullptr;
    snd_mixer_selem_id_alloca(&sid);
    snd_mixer_selem_id_set_name(sid, name);
    elem = snd_mixer_find_selem(mixer_, sid);
    if (elem && (mute ? snd_mixer_selem_has_playback_switch(elem) : snd_mixer_selem_has_playback_volume(elem))) break;
    elem = nullptr;
  }
  if (!elem) return -ENOENT;
  if (mute) return snd_mixer_selem_set_playback_switch_all(elem, value ? 0 : 1);  // muted: switch off
  long min = 0, max = 0;
  if (int rc = snd_mixer_selem_get_playback_volume_range(elem, &min, &max); rc < 0) return rc;
  const double fraction = static_cast<double>(std::clamp(value, 0L, 65535L)) / 65535.0;
  return snd_mixer_selem_set_playback_volume_all(elem, min + std::lround(fraction * static_cast<double>(max - min)));
}

}  // namespace brisel::linux_alsa
