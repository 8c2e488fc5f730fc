// The multimedia-mixer calls over ALSA's simple mixer on the `default` device: the first card's
// hardware mixer on a machine without a sound server, the only place the program uses it.
// Device 0 always answers its seven lines, each with a volume (0 to 65535) and a mute (0 to 1)
// control; which ALSA element a control stands for is settled at each write, and a failed
// write re-opens the device, so a card or a server behind `default` that comes later is found.
#pragma once

#include <string>

#include "platform/line_mixer.h"

typedef struct _snd_mixer snd_mixer_t;
typedef struct _snd_mixer_elem snd_mixer_elem_t;

namespace brisel::linux_alsa {

class AlsaMixer : public LineMixer {
 public:
  explicit AlsaMixer(std::string device = "default");
  ~AlsaMixer() override;
  AlsaMixer(const AlsaMixer&) = delete;
  AlsaMixer& operator=(const AlsaMixer&) = delete;

  // Public so that a mixer choosing between backends can forward to them.
  bool has_line(int) const override { return true; }
  const char* line_name(int line) const override;
  winmm::MMRESULT write(int line, bool mute, std::uint32_t value) override;
  // The element's volume (its channels' average) or mute, mapped back as write() maps it.
  winmm::MMRESULT read(int line, bool mute, std::uint32_t& value) override;

 protected:
  void opened() override { open(); }

 private:
  bool open();
  void close();
  // Runs `use` on the line's element, re-opening the device once where the sound server went
  // away or came back; the call's answer.
  template <class Use>
  winmm::MMRESULT on_element(int line, bool mute, Use use);
  int find_element(int line, bool mute, snd_mixer_elem_t*& elem);  // an ALSA error code, 0 on success
  std::string device_;
  snd_mixer_t* mixer_ = nullptr;
  bool used_ = false;  // whether this mixer has loaded ALSA (it is loaded at the first open)
};

}  // namespace brisel::linux_alsa
