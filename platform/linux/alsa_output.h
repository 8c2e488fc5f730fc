// ALSA's simple mixer on the `default` device: the first card's hardware mixer on a machine
// without a sound server, the only place the program uses it. It answers all seven lines, each
// with a volume (0 to 65535) and a mute (0 to 1); which ALSA element a line stands for is
// settled at each call, and a failed call re-opens the device, so a card or a server behind
// `default` that comes later is found.
//
// The wave-out line's element is followed as well: its volume (the loudest channel) and switch
// as last written or seen, in the element's own units, so that a change another program makes
// is noticed when ALSA's descriptors say something came, and the program's own is not.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/winmm.h"

typedef struct _snd_mixer snd_mixer_t;
typedef struct _snd_mixer_elem snd_mixer_elem_t;

namespace brisel::linux_alsa {

class AlsaOutput {
 public:
  explicit AlsaOutput(std::string device = "default");
  ~AlsaOutput();
  AlsaOutput(const AlsaOutput&) = delete;
  AlsaOutput& operator=(const AlsaOutput&) = delete;

  // The simple element's name for line 0 to 6, speakers to auxiliary.
  static const char* line_name(int line);
  // Opens the device where it is not open; whether it is.
  bool open();
  // The line's volume (0 to 65535 onto the element's range) or mute (its switch off).
  winmm::MMRESULT write(int line, bool mute, std::uint32_t value);
  // The line's volume (its loudest channel) or mute (any channel switched off), mapped back as
  // write() maps it.
  winmm::MMRESULT read(int line, bool mute, std::uint32_t& value);

  // The descriptors ALSA tells of events on; none while the device is closed.
  std::vector<int> descriptors();
  // Reads the events that came; whether the wave-out line changed other than by this program's
  // writes since the last call.
  bool take_change();

 private:
  // The wave-out element as last written or seen: the loudest channel's raw volume, and whether
  // any channel is switched off.
  struct WaveOut {
    std::optional<long> volume;
    std::optional<bool> muted;
  };
  void close();
  void note_events();  // ALSA's events read, and a change made elsewhere noted
  // Runs `use` on the line's element, re-opening the device once where the sound server went
  // away or came back; the call's answer.
  template <class Use>
  winmm::MMRESULT on_element(int line, bool mute, Use use);
  // The line's element, after reading ALSA's events where `read_events`; an ALSA error code, 0
  // on success.
  int find_element(int line, bool mute, snd_mixer_elem_t*& elem, bool read_events = true);
  int measure(snd_mixer_elem_t* elem, bool mute, long& min, long& max, long& loudest, bool& muted);
  std::string device_;
  snd_mixer_t* mixer_ = nullptr;
  bool used_ = false;  // whether this output has loaded ALSA (it is loaded at the first open)
  WaveOut wave_out_;
  bool changed_ = false;
};

}  // namespace brisel::linux_alsa
