// The multimedia-mixer calls over ALSA's simple mixer on the `default` device: the sound
// server's volume on a desktop, the first card otherwise. Device 0 always answers its seven
// lines, each with a volume (0 to 65535) and a mute (0 to 1) control; which ALSA element a
// control stands for is settled at each write, so a sound server that starts, stops or
// restarts later is found again.
#pragma once

#include <string>

#include "platform/platform.h"

typedef struct _snd_mixer snd_mixer_t;

namespace brisel::linux_alsa {

class AlsaMixer : public Mixer {
 public:
  explicit AlsaMixer(std::string device = "default");
  ~AlsaMixer() override;
  AlsaMixer(const AlsaMixer&) = delete;
  AlsaMixer& operator=(const AlsaMixer&) = delete;

  std::uint32_t mixerGetNumDevs() override { return 1; }
  winmm::MMRESULT mixerOpen(winmm::HMIXER* phmx, std::uint32_t uMxId, std::uintptr_t, std::uintptr_t,
                            std::uint32_t) override;
  winmm::MMRESULT mixerGetLineInfoA(winmm::HMIXER hmx, winmm::MIXERLINEA* pmxl, std::uint32_t fdwInfo) override;
  winmm::MMRESULT mixerGetLineControlsA(winmm::HMIXER hmx, winmm::MIXERLINECONTROLSA* pmxlc,
                                        std::uint32_t fdwControls) override;
  winmm::MMRESULT mixerSetControlDetails(winmm::HMIXER hmx, winmm::MIXERCONTROLDETAILS* pmxcd,
                                         std::uint32_t fdwDetails) override;

 private:
  bool open();
  void close();
  int write(int line, bool mute, long value);  // an ALSA error code, 0 on success
  std::string device_;
  snd_mixer_t* mixer_ = nullptr;
  bool opened_ = false;  // mixerOpen was called
};

}  // namespace brisel::linux_alsa
