// The multimedia-mixer calls over the sound server (PulseAudio, or PipeWire's compatible server)
// through libpulse. Mixer device 0 is the server's default output, named anew at every write
// (@DEFAULT_SINK@), so the keys follow the output the desktop has chosen. The speakers and
// wave-out lines both carry that output's volume (0 to 65535 onto 0 to 100 %) and mute (0 to 1);
// the other lines do not exist.
//
// The server is talked to from a thread of libpulse's own, which sleeps in the library's poll
// while nothing is written: no timers, no subscriptions. A write on a connection hands its value
// to that thread and returns without waiting for the server; only while there is no
// connection does a write try to make one (which fails at once where no server listens).
#pragma once

#include <cstdint>
#include <optional>

#include "platform/line_mixer.h"

struct pa_context;
struct pa_sink_info;
struct pa_threaded_mainloop;

namespace brisel::linux_pulse {

// The server volume for a mixer value: 0 to 65535 linearly onto 0 to 100 % (PA_VOLUME_NORM).
std::uint32_t ServerVolume(std::uint32_t value);
// The mixer value for a server volume, the other way round; above 100 % is 65535.
std::uint32_t MixerValue(std::uint32_t server_volume);

class PulseMixer : public LineMixer {
 public:
  PulseMixer();
  ~PulseMixer() override;
  PulseMixer(const PulseMixer&) = delete;
  PulseMixer& operator=(const PulseMixer&) = delete;

  // Whether a server connection is up or on its way; without one, tries to connect now. The
  // attempt never waits: with no server socket to reach it fails at once.
  bool connect();
  // Whether a server has answered since this mixer was made.
  bool answered();

  // Public so that a mixer choosing between backends can forward to them.
  bool has_line(int line) const override { return OutputLine(line); }
  const char* line_name(int line) const override;
  // MMSYSERR_NOERROR once the value is handed to a live connection or one on its way (it is
  // sent when the connection is up); MMSYSERR_ERROR when no server can be reached.
  winmm::MMRESULT write(int line, bool mute, std::uint32_t value) override;
  // Asks the server for the default output's volume (the average of its channels) or mute, and
  // waits for the answer, a connection on its way included, for at most a second.
  winmm::MMRESULT read(int line, bool mute, std::uint32_t& value) override;

 protected:
  void opened() override { connect(); }

 private:
  bool connect_locked();
  void drop_context_locked();
  void send_locked();
  static void OnState(pa_context* context, void* self);
  static void OnSinkInfo(pa_context* context, const pa_sink_info* info, int eol, void* self);
  static void OnReadInfo(pa_context* context, const pa_sink_info* info, int eol, void* self);
  // Waits on the loop until `done` says so or the deadline (in pa_rtclock_now's microseconds)
  // has passed; the loop's lock is held.
  template <class Done>
  bool wait_locked(Done done, std::uint64_t deadline);

  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  // Written under the loop's lock; the values the program wants that have not been sent yet.
  std::optional<std::uint32_t> volume_;
  std::optional<bool> mute_;
  std::uint32_t wanted_volume_ = 0;  // the volume the next sink-info answer applies
  bool answered_ = false;
  // The answer to a read, as the sink-info callback leaves it.
  struct Reading {
    bool done = false;
    bool found = false;
    std::uint32_t volume = 0;  // the channels' average
    bool mute = false;
  } reading_;
};

}  // namespace brisel::linux_pulse
