// The sound server's default output (PulseAudio, or PipeWire's compatible server) through
// libpulse: its volume, 0 to 65535 onto 0 to 100 % for its loudest channel (the others keep
// their ratio to it), and its mute.
//
// The server is talked to from a thread of libpulse's own, which sleeps in the library's poll
// until the server says something: no timers. Once connected it follows the server's default
// output through the server's events (an output's volume or mute changed, another output became
// the default), so that a write is one request naming the default output with its channels
// known, and so that a change the program did not make is noticed: change_fd() becomes readable.
// The program's own writes are known in the server's units and their echo is not taken for a
// change. A write hands its value to that thread and returns without waiting for the server;
// only while there is no connection does a write try to make one (which fails at once where no
// server listens).
#pragma once

#include <pulse/volume.h>

#include <cstdint>
#include <deque>
#include <optional>

struct pa_context;
struct pa_sink_info;
struct pa_threaded_mainloop;

namespace brisel::linux_pulse {

// The server volume for a mixer value: 0 to 65535 linearly onto 0 to 100 % (PA_VOLUME_NORM).
std::uint32_t ServerVolume(std::uint32_t value);
// The mixer value for a server volume, the other way round; above 100 % is 65535.
std::uint32_t MixerValue(std::uint32_t server_volume);

// How a server stands for a call: reached (a connection is up or on its way), not reached and
// never reached (a machine without a sound server), or not reached now though it answered
// before (it went away and will be back).
enum class Reach { Up, Never, Away };

class PulseOutput {
 public:
  PulseOutput();
  ~PulseOutput();
  PulseOutput(const PulseOutput&) = delete;
  PulseOutput& operator=(const PulseOutput&) = delete;

  // Connects now where no connection is up or on its way. Never waits: with no server socket to
  // reach it fails at once.
  Reach connect();
  // The volume (0 to 65535) or the mute flag (0 or 1) for the default output, handed to the
  // connection's thread: sent at once on a live connection, or once one on its way is up.
  Reach write(bool mute, std::uint32_t value);
  // The default output's volume (its loudest channel) or mute: as last written or seen where the
  // connection follows the output, or else asked of the server, waiting at most a second (a
  // connection on its way included). None where the server or its default output gave none.
  Reach read(bool mute, std::optional<std::uint32_t>& value);

  // Ends the connection and its thread now, as the destructor does; no server is reached after.
  void stop();

  // Readable once the default output changed other than by this program's writes.
  int change_fd() const { return change_fd_; }
  // Whether it did since the last call; empties change_fd().
  bool take_change();

 private:
  // The default output: which one, its channels' volumes and its mute.
  struct Output {
    std::uint32_t index = 0;
    pa_cvolume volume{};
    bool mute = false;
    bool same(const Output& other) const;  // the same output, at the same loudest volume and mute
  };
  Reach reach_locked();
  bool connect_locked();
  void drop_context_locked();
  void send_locked();
  void send_volume_locked(pa_volume_t volume);
  void wrote_locked(const Output& output);  // what a write of the program's leads to
  void fetch_locked();
  void noticed_change_locked();
  static void OnState(pa_context* context, void* self);
  static void OnEvent(pa_context* context, unsigned type, std::uint32_t index, void* self);
  static void OnFetched(pa_context* context, const pa_sink_info* info, int eol, void* self);
  static void OnVolumeSet(pa_context* context, int success, void* self);
  static void OnSinkForVolume(pa_context* context, const pa_sink_info* info, int eol, void* self);
  static void OnReadInfo(pa_context* context, const pa_sink_info* info, int eol, void* self);
  // Waits on the loop until `done` says so or the deadline (in pa_rtclock_now's microseconds)
  // has passed; the loop's lock is held.
  template <class Done>
  bool wait_locked(Done done, std::uint64_t deadline);

  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  int change_fd_ = -1;
  // Everything below is the connection thread's and the callers', under the loop's lock.
  std::optional<pa_volume_t> volume_;  // values the program wants that have not been sent yet
  std::optional<bool> mute_;
  pa_volume_t retry_volume_ = 0;  // the volume a write refused by the server sends again
  bool answered_ = false;
  // What the default output may show without anyone but the program having changed it: as it
  // was last seen, then as each of the program's writes since leaves it, the newest last (it is
  // what the next write scales). A server may take a while to apply a write (PipeWire does), so
  // an answer can show any of them; one that shows none is another program's change, or another
  // output. Empty until the connection has seen the output.
  std::deque<Output> expected_;
  // The one request for the default output in flight, and whether another must follow it (an
  // event came meanwhile); the first answer on a connection is no change.
  bool fetching_ = false, fetch_again_ = false, baseline_ = false;
  // The answer to a read that asks the server, as its callback leaves it.
  struct Reading {
    bool done = false;
    std::optional<Output> found;
  } reading_;
};

}  // namespace brisel::linux_pulse
