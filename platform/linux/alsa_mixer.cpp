#include "platform/linux/alsa_mixer.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

namespace brisel::linux_alsa {

using namespace winmm;

namespace {

// The simple elements that carry each line, in line order, first match wins. Wave-out is PCM,
// or Master where the device has no PCM (a sound server has only Master).
constexpr const char* kElements[][2] = {
    {"Master", nullptr}, {"Line", nullptr}, {"Mic", nullptr}, {"Synth", nullptr},
    {"CD", nullptr},     {"PCM", "Master"}, {"Aux", nullptr},
};
static_assert(std::size(kElements) == kLineComponentTypes.size());

// Mixer failures are silent: ALSA's own messages would only reach the terminal.
void Quiet(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

AlsaMixer::AlsaMixer(std::string device) : device_(std::move(device)) { snd_lib_error_set_handler(Quiet); }

AlsaMixer::~AlsaMixer() { close(); }

const char* AlsaMixer::line_name(int line) const { return kElements[line][0]; }

MMRESULT AlsaMixer::write(int line, bool mute, std::uint32_t value) {
  int rc = write_element(line, mute, static_cast<long>(value));
  if (rc == -EIO || rc == -ENODEV || rc == -EBADFD || rc == -ENOENT) {
    // The sound server went away or came back: read ALSA's configuration anew and re-open.
    close();
    snd_config_update_free_global();
    rc = write_element(line, mute, static_cast<long>(value));
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

int AlsaMixer::write_element(int line, bool mute, long value) {
  if (!open()) return -ENODEV;
  // An open handle keeps old values until it reads the events, and skips a write equal to
  // what it believes the element holds.
  if (int rc = snd_mixer_handle_events(mixer_); rc < 0) return rc;
  snd_mixer_elem_t* elem = nullptr;
  for (const char* name : kElements[line]) {
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
