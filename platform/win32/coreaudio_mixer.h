// The multimedia-mixer calls over Core Audio. Since Windows Vista the winmm mixer reaches only
// the calling program's own audio session, so writing through it would leave the volume the
// user hears unchanged. Here mixer device 0 is the default render endpoint instead: its
// speakers and wave-out lines both carry the endpoint's master volume (0 to 65535 as 0.0 to
// 1.0) and its mute (0 to 1); the other lines do not exist. The default endpoint is looked up
// at every write, so the keys follow a headset plugged in later.
#pragma once

#include "platform/line_mixer.h"

struct IAudioEndpointVolume;
struct IMMDeviceEnumerator;

namespace brisel::win32 {

class CoreAudioMixer : public LineMixer {
 public:
  // Initialises COM on the calling thread, which must be the user-interface thread.
  CoreAudioMixer();
  ~CoreAudioMixer() override;
  CoreAudioMixer(const CoreAudioMixer&) = delete;
  CoreAudioMixer& operator=(const CoreAudioMixer&) = delete;

 protected:
  bool has_line(int line) const override { return OutputLine(line); }
  const char* line_name(int line) const override;
  void opened() override { enumerator(); }
  // One SetMasterVolumeLevelScalar or SetMute call on the default endpoint; a failed call, or
  // no endpoint at all, answers MMSYSERR_ERROR.
  winmm::MMRESULT write(int line, bool mute, std::uint32_t value) override;
  // One GetMasterVolumeLevelScalar or GetMute call on the default endpoint, the same way round.
  winmm::MMRESULT read(int line, bool mute, std::uint32_t& value) override;

 private:
  IMMDeviceEnumerator* enumerator();  // made on first use; null while COM cannot make it
  // The default endpoint's volume control, or null (released by the caller).
  IAudioEndpointVolume* endpoint_volume();
  bool uninitialize_ = false;
  IMMDeviceEnumerator* enumerator_ = nullptr;
  bool warned_ = false;  // that no enumerator could be made, said once
};

}  // namespace brisel::win32
