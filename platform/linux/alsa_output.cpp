#include "platform/linux/alsa_output.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <poll.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <utility>

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
constexpr int kWaveOut = 5;

// Mixer failures are silent: ALSA's own messages would only reach the terminal.
void Quiet(const char*, int, const char*, int, const char*, ...) {}

// ALSA is loaded the first time the program uses it, which is only where no sound server runs:
// linked in, its library alone would keep about 0.3 MB resident in every process.
#define BRISEL_ALSA_FUNCTIONS(X)                                                                          \
  X(snd_lib_error_set_handler) X(snd_config_update_free_global) X(snd_mixer_open) X(snd_mixer_attach)     \
  X(snd_mixer_selem_register) X(snd_mixer_load) X(snd_mixer_close) X(snd_mixer_handle_events)             \
  X(snd_mixer_selem_id_sizeof) X(snd_mixer_selem_id_set_name) X(snd_mixer_find_selem)                     \
  X(snd_mixer_selem_has_playback_switch) X(snd_mixer_selem_has_playback_volume)                           \
  X(snd_mixer_selem_set_playback_switch_all) X(snd_mixer_selem_get_playback_volume_range)                 \
  X(snd_mixer_selem_set_playback_volume_all) X(snd_mixer_selem_has_playback_channel)                      \
  X(snd_mixer_selem_get_playback_volume) X(snd_mixer_selem_get_playback_switch)                          \
  X(snd_mixer_poll_descriptors_count) X(snd_mixer_poll_descriptors)

struct Alsa {
#define BRISEL_ALSA_MEMBER(name) decltype(&::name) name = nullptr;
  BRISEL_ALSA_FUNCTIONS(BRISEL_ALSA_MEMBER)
#undef BRISEL_ALSA_MEMBER
};

template <typename Function>
bool Bind(void* library, const char* name, Function& function) {
  void* symbol = dlsym(library, name);
  std::memcpy(&function, &symbol, sizeof function);
  return symbol != nullptr;
}

// The library's functions, or null when it cannot be loaded. It stays loaded once it was.
const Alsa* LoadedAlsa() {
  static const Alsa* const alsa = []() -> const Alsa* {
    void* library = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!library) return nullptr;
    static Alsa functions;
    bool bound = true;
#define BRISEL_ALSA_BIND(name) bound = Bind(library, #name, functions.name) && bound;
    BRISEL_ALSA_FUNCTIONS(BRISEL_ALSA_BIND)
#undef BRISEL_ALSA_BIND
    if (!bound) return nullptr;
    functions.snd_lib_error_set_handler(Quiet);
    return &functions;
  }();
  return alsa;
}

}  // namespace

AlsaOutput::AlsaOutput(std::string device) : device_(std::move(device)) {}

AlsaOutput::~AlsaOutput() {
  close();
  // ALSA's parsed configuration is the biggest thing it keeps; a program done with ALSA gives it back.
  if (used_) LoadedAlsa()->snd_config_update_free_global();
}

const char* AlsaOutput::line_name(int line) { return kElements[line][0]; }

template <class Use>
MMRESULT AlsaOutput::on_element(int line, bool mute, Use use) {
  const Alsa* alsa = LoadedAlsa();
  if (!alsa) return MMSYSERR_ERROR;
  const auto attempt = [&] {
    snd_mixer_elem_t* elem = nullptr;
    const int rc = find_element(line, mute, elem);
    return rc == 0 ? use(*alsa, elem) : rc;
  };
  int rc = attempt();
  if (rc == -EIO || rc == -ENODEV || rc == -EBADFD || rc == -ENOENT) {
    // The sound server went away or came back: read ALSA's configuration anew and re-open.
    close();
    alsa->snd_config_update_free_global();
    rc = attempt();
  }
  if (rc == -ENOENT) return MIXERR_INVALCONTROL;
  return rc == 0 ? MMSYSERR_NOERROR : MMSYSERR_ERROR;
}

MMRESULT AlsaOutput::write(int line, bool mute, std::uint32_t value) {
  return on_element(line, mute, [&](const Alsa& alsa, snd_mixer_elem_t* elem) {
    if (mute) {
      const int rc = alsa.snd_mixer_selem_set_playback_switch_all(elem, value ? 0 : 1);  // muted: switch off
      if (rc == 0 && line == kWaveOut) wave_out_.muted = value != 0;
      return rc;
    }
    long min = 0, max = 0;
    if (int rc = alsa.snd_mixer_selem_get_playback_volume_range(elem, &min, &max); rc < 0) return rc;
    const double fraction = static_cast<double>(std::min<std::uint32_t>(value, 65535)) / 65535.0;
    const long raw = min + std::lround(fraction * static_cast<double>(max - min));
    const int rc = alsa.snd_mixer_selem_set_playback_volume_all(elem, raw);
    if (rc == 0 && line == kWaveOut) wave_out_.volume = raw;
    return rc;
  });
}

int AlsaOutput::measure(snd_mixer_elem_t* elem, bool mute, long& min, long& max, long& loudest, bool& muted) {
  const Alsa& alsa = *LoadedAlsa();
  if (!mute)
    if (int rc = alsa.snd_mixer_selem_get_playback_volume_range(elem, &min, &max); rc < 0 || max <= min)
      return rc < 0 ? rc : -EINVAL;
  int channels = 0;
  loudest = min;
  muted = false;
  for (int ch = 0; ch <= SND_MIXER_SCHN_LAST; ++ch) {
    const auto channel = static_cast<snd_mixer_selem_channel_id_t>(ch);
    if (!alsa.snd_mixer_selem_has_playback_channel(elem, channel)) continue;
    long v = 0;
    int on = 1;
    const int rc = mute ? alsa.snd_mixer_selem_get_playback_switch(elem, channel, &on)
                        : alsa.snd_mixer_selem_get_playback_volume(elem, channel, &v);
    if (rc < 0) return rc;
    loudest = std::max(loudest, std::clamp(v, min, max));  // a server's element reads above its range beyond 100 %
    muted = muted || on == 0;                              // any channel switched off is muted
    ++channels;
  }
  return channels == 0 ? -ENOENT : 0;
}

MMRESULT AlsaOutput::read(int line, bool mute, std::uint32_t& value) {
  return on_element(line, mute, [&](const Alsa&, snd_mixer_elem_t* elem) {
    long min = 0, max = 0, loudest = 0;
    bool muted = false;
    if (int rc = measure(elem, mute, min, max, loudest, muted); rc < 0) return rc;
    if (mute)
      value = muted ? 1 : 0;
    else
      value = static_cast<std::uint32_t>(
          std::lround(static_cast<double>(loudest - min) / static_cast<double>(max - min) * 65535.0));
    return 0;
  });
}

bool AlsaOutput::open() {
  if (mixer_) return true;
  const Alsa* alsa = LoadedAlsa();
  if (!alsa) return false;
  used_ = true;  // ALSA is loaded from here on
  snd_mixer_t* m = nullptr;
  if (alsa->snd_mixer_open(&m, 0) < 0) return false;
  if (alsa->snd_mixer_attach(m, device_.c_str()) < 0 || alsa->snd_mixer_selem_register(m, nullptr, nullptr) < 0 ||
      alsa->snd_mixer_load(m) < 0) {
    alsa->snd_mixer_close(m);
    return false;
  }
  mixer_ = m;
  return true;
}

void AlsaOutput::close() {
  if (mixer_) LoadedAlsa()->snd_mixer_close(mixer_);
  mixer_ = nullptr;
}

std::vector<int> AlsaOutput::descriptors() {
  std::vector<int> fds;
  if (!mixer_) return fds;
  const Alsa& alsa = *LoadedAlsa();
  const int count = alsa.snd_mixer_poll_descriptors_count(mixer_);
  if (count <= 0) return fds;
  std::vector<pollfd> polls(static_cast<std::size_t>(count));
  const int filled = alsa.snd_mixer_poll_descriptors(mixer_, polls.data(), static_cast<unsigned>(count));
  for (int i = 0; i < filled; ++i) fds.push_back(polls[static_cast<std::size_t>(i)].fd);
  return fds;
}

bool AlsaOutput::take_change() {
  // A device that went away (a headset unplugged, the sound server ended) keeps its descriptors
  // readable for ever: it is closed, so that nothing waits on them, and opened again by the next
  // read or write.
  if (mixer_ && LoadedAlsa()->snd_mixer_handle_events(mixer_) < 0)
    close();
  else if (mixer_)
    note_events();
  return std::exchange(changed_, false);
}

// The wave-out element as it stands now, against what was last written or seen: a difference
// is another program's doing. The first look only learns it.
void AlsaOutput::note_events() {
  WaveOut now;
  for (const bool mute : {false, true}) {
    snd_mixer_elem_t* elem = nullptr;
    long min = 0, max = 0, loudest = 0;
    bool muted = false;
    if (find_element(kWaveOut, mute, elem, false) != 0 || measure(elem, mute, min, max, loudest, muted) != 0) continue;
    if (mute)
      now.muted = muted;
    else
      now.volume = loudest;
  }
  const auto differs = [](const auto& was, const auto& is) { return was && is && *was != *is; };
  if (differs(wave_out_.volume, now.volume) || differs(wave_out_.muted, now.muted)) changed_ = true;
  if (now.volume) wave_out_.volume = now.volume;
  if (now.muted) wave_out_.muted = now.muted;
}

int AlsaOutput::find_element(int line, bool mute, snd_mixer_elem_t*& elem, bool read_events) {
  if (!open()) return -ENODEV;
  const Alsa& alsa = *LoadedAlsa();
  if (read_events) {
    // An open handle keeps old values until it reads the events, and skips a write equal to
    // what it believes the element holds. What the events tell may be another program's change.
    if (int rc = alsa.snd_mixer_handle_events(mixer_); rc < 0) return rc;
    note_events();
  }
  // An element id is a small record of the library's own size.
  alignas(std::max_align_t) unsigned char id[256];
  if (alsa.snd_mixer_selem_id_sizeof() > sizeof id) return -ENOMEM;
  auto* sid = reinterpret_cast<snd_mixer_selem_id_t*>(id);
  for (const char* name : kElements[line]) {
    if (!name) break;
    std::memset(id, 0, sizeof id);
    alsa.snd_mixer_selem_id_set_name(sid, name);
    elem = alsa.snd_mixer_find_selem(mixer_, sid);
    if (elem && (mute ? alsa.snd_mixer_selem_has_playback_switch(elem)
                      : alsa.snd_mixer_selem_has_playback_volume(elem)))
      return 0;
  }
  elem = nullptr;
  return -ENOENT;
}

}  // namespace brisel::linux_alsa
