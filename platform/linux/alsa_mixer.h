// The multimedia-mixer calls over ALSA's simple mixer on the `default` device: the sound
// server's volume on a desktop, the first card otherwise. Device 0 always answers its seven
// lines, each with a volume (0 to 65535) and a mute (0 to 1) control; which ALSA element a
// control stands for is settled at each write, so a sound server that starts, stops or
// restarts later is found again.
#pragma once

#include <string>

#include "platform/line_mixer.h"

typedef struct _snd_mixer snd_mixer_t;

namespace brisel::linux_alsa {

class AlsaMixer : public LineMixer {
 public:
  explicit AlsaMixer(std::string device = "default");
  ~AlsaMixer() override;
  AlsaMixer(const AlsaMixer&) = delete;
  AlsaMixer& operator=(const AlsaMixer&) = delete;

 protected:
  bool has_line(int) const override { return true; }
  const char* line_name(int line) const override;
  void opened() override { open(); }
  winmm::MMRESULT write(int line, bool mute, std::uint32_t value) override;

 private:
  bool open();
  void close();
  int write_element(int line, bool mute, long value);  // an ALSA error code, 0 on success
  std::string device_;
  snd_mixer_t* mixer_ = nullptr;
};

}  // namespace brisel::linux_alsa
