// The multimedia-mixer calls over Core Audio. Since Windows Vista the winmm mixer reaches only
// the calling program's own audio session, so writing through it would leave the volume the
// user hears unchanged. Here mixer device 0 is the default render endpoint instead: its
// speakers and wave-out lines both carry the endpoint's master volume (0 to 65535 as 0.0 to
// 1.0) and its mute (0 to 1); the other lines do not exist. The default endpoint is looked up
// at every write, so the keys follow a headset plugged in later.
//
// The default endpoint is also followed: its volume and mute notifications, and the system's
// word that another endpoint became the default. The program's own writes carry an event
// context of its own, so that their notifications are known and not taken for a change made
// elsewhere.
#pragma once

#include <functional>
#include <memory>

#include "platform/line_mixer.h"
#include "platform/win32/win32_headers.h"

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

  // From now on `changed` runs on this thread, from its message loop, each time the default
  // endpoint's volume or mute changed without this program, or another endpoint became the
  // default.
  void follow(std::function<void()> changed);

  // What the system's callbacks report, from any thread: a volume or mute notification that
  // carries `context`, and a new default endpoint. Public for the tests.
  void volume_notified(const GUID& context);
  void default_changed();
  // The event context the program's own writes carry.
  const GUID& event_context() const;

 protected:
  bool has_line(int line) const override { return OutputLine(line); }
  const char* line_name(int line) const override;
  void opened() override { enumerator(); }
  // One SetMasterVolumeLevelScalar or SetMute call on the default endpoint; a failed call, or
  // no endpoint at all, answers MMSYSERR_ERROR.
  winmm::MMRESULT write(int line, bool mute, std::uint32_t value) override;
  // One GetMasterVolumeLevelScalar or GetMute call on the default endpoint, the same way round.
  winmm::MMRESULT read(int line, bool mute, std::uint32_t& value) override;

 public:
  struct Shared;    // what the callbacks and this thread share
  class Listener;   // the callbacks' object

 private:
  IMMDeviceEnumerator* enumerator();  // made on first use; null while COM cannot make it
  // The default endpoint's volume control, or null (released by the caller).
  IAudioEndpointVolume* endpoint_volume();
  void watch_default();  // notifications from the default endpoint from now on
  static LRESULT CALLBACK Proc(::HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  bool uninitialize_ = false;
  IMMDeviceEnumerator* enumerator_ = nullptr;
  bool warned_ = false;  // that no enumerator could be made, said once
  std::shared_ptr<Shared> shared_;
  Listener* listener_ = nullptr;
  IAudioEndpointVolume* watched_ = nullptr;  // the endpoint whose notifications come
  std::function<void()> changed_;
};

}  // namespace brisel::win32
