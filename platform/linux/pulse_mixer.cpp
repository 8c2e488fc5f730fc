#include "platform/linux/pulse_mixer.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>

#include "platform/failure.h"

namespace brisel::linux_pulse {

using namespace winmm;

namespace {

// The server resolves this name at each request, so every write reaches the output that is the
// default at that moment.
constexpr const char* kDefaultSink = "@DEFAULT_SINK@";

// How long a read waits for the server. Reads happen once, when the display is made; a server
// that does not answer by then leaves the level where it starts.
constexpr pa_usec_t kReadTimeout = 1000 * PA_USEC_PER_MSEC;

void Done(pa_operation* operation) {
  if (operation) pa_operation_unref(operation);
}

}  // namespace

std::uint32_t ServerVolume(std::uint32_t value) {
  const std::uint64_t v = std::min<std::uint32_t>(value, 65535);
  return static_cast<std::uint32_t>((v * PA_VOLUME_NORM + 65535 / 2) / 65535);
}

std::uint32_t MixerValue(std::uint32_t server_volume) {
  const std::uint64_t v = std::min<std::uint32_t>(server_volume, PA_VOLUME_NORM);
  return static_cast<std::uint32_t>((v * 65535 + PA_VOLUME_NORM / 2) / PA_VOLUME_NORM);
}

// Without its loop the mixer never reaches a server: the program goes on with ALSA's mixer,
// and says so once, here.
constexpr const char* kWithoutServer = " (the sound server is not used)";

PulseMixer::PulseMixer() {
  errno = 0;
  loop_ = pa_threaded_mainloop_new();  // fails only where its wake-up pipe cannot be made
  if (!loop_) {
    Warn("pa_threaded_mainloop_new", (errno ? ErrnoText(errno) : "no loop") + kWithoutServer);
    return;
  }
  pa_threaded_mainloop_set_name(loop_, "brisel-sound");
  errno = 0;
  if (pa_threaded_mainloop_start(loop_) < 0) {
    Warn("pa_threaded_mainloop_start", (errno ? ErrnoText(errno) : "no thread") + kWithoutServer);
    pa_threaded_mainloop_free(loop_);
    loop_ = nullptr;
  }
}

PulseMixer::~PulseMixer() {
  if (!loop_) return;
  pa_threaded_mainloop_lock(loop_);
  drop_context_locked();
  pa_threaded_mainloop_unlock(loop_);
  pa_threaded_mainloop_stop(loop_);
  pa_threaded_mainloop_free(loop_);
}

const char* PulseMixer::line_name(int) const { return "Default output"; }

bool PulseMixer::connect() {
  if (!loop_) return false;
  pa_threaded_mainloop_lock(loop_);
  const bool up = connect_locked();
  pa_threaded_mainloop_unlock(loop_);
  return up;
}

bool PulseMixer::answered() {
  if (!loop_) return false;
  pa_threaded_mainloop_lock(loop_);
  const bool answered = answered_;
  pa_threaded_mainloop_unlock(loop_);
  return answered;
}

MMRESULT PulseMixer::write(int, bool mute, std::uint32_t value) {
  if (!loop_) return MMSYSERR_ERROR;
  pa_threaded_mainloop_lock(loop_);
  const bool up = connect_locked();
  if (up) {
    if (mute)
      mute_ = value != 0;
    else
      volume_ = ServerVolume(value);
    // While the connection is on its way the value waits; the connection sends it once up.
    if (pa_context_get_state(context_) == PA_CONTEXT_READY) send_locked();
  }
  pa_threaded_mainloop_unlock(loop_);
  return up ? MMSYSERR_NOERROR : MMSYSERR_ERROR;
}

MMRESULT PulseMixer::read(int, bool mute, std::uint32_t& value) {
  if (!loop_) return MMSYSERR_ERROR;
  const std::uint64_t deadline = pa_rtclock_now() + kReadTimeout;
  pa_threaded_mainloop_lock(loop_);
  bool found = false;
  if (connect_locked() &&
      wait_locked(
          [this] {
            const pa_context_state_t state = pa_context_get_state(context_);
            return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
          },
          deadline) &&
      pa_context_get_state(context_) == PA_CONTEXT_READY) {
    reading_ = Reading{};
    if (pa_operation* operation = pa_context_get_sink_info_by_name(context_, kDefaultSink, OnReadInfo, this)) {
      if (!wait_locked([this] { return reading_.done; }, deadline)) pa_operation_cancel(operation);
      pa_operation_unref(operation);
    }
    found = reading_.done && reading_.found;
    if (found) value = mute ? (reading_.mute ? 1 : 0) : MixerValue(reading_.volume);
  }
  pa_threaded_mainloop_unlock(loop_);
  return found ? MMSYSERR_NOERROR : MMSYSERR_ERROR;
}

template <class Done>
bool PulseMixer::wait_locked(Done done, std::uint64_t deadline) {
  if (done()) return true;
  // The loop wakes this thread at every answer and state change; a timer of its own wakes it at
  // the deadline.
  struct Alarm {
    pa_threaded_mainloop* loop;
    bool rang = false;
  } alarm{loop_};
  pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop_);
  pa_time_event* timer = pa_context_rttime_new(
      context_, deadline,
      [](pa_mainloop_api*, pa_time_event*, const timeval*, void* data) {
        auto* a = static_cast<Alarm*>(data);
        a->rang = true;
        pa_threaded_mainloop_signal(a->loop, 0);
      },
      &alarm);
  while (!done() && !alarm.rang) pa_threaded_mainloop_wait(loop_);
  if (timer) api->time_free(timer);
  return done();
}

bool PulseMixer::connect_locked() {
  if (context_) {
    if (PA_CONTEXT_IS_GOOD(pa_context_get_state(context_))) return true;
    drop_context_locked();  // the server went away: a context cannot connect twice
  }
  context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Brisel");
  if (!context_) return false;
  pa_context_set_state_callback(context_, OnState, this);
  // Never start a server of our own: with none running, the connection fails here and now.
  if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
    drop_context_locked();
    return false;
  }
  return true;
}

void PulseMixer::drop_context_locked() {
  if (!context_) return;
  pa_context_set_state_callback(context_, nullptr, nullptr);
  pa_context_disconnect(context_);
  pa_context_unref(context_);
  context_ = nullptr;
}

void PulseMixer::send_locked() {
  if (mute_) Done(pa_context_set_sink_mute_by_name(context_, kDefaultSink, *mute_ ? 1 : 0, nullptr, nullptr));
  if (volume_) {
    // The volume keeps the output's balance, so it is applied to the channels the output has
    // now: its description comes first.
    wanted_volume_ = *volume_;
    Done(pa_context_get_sink_info_by_name(context_, kDefaultSink, OnSinkInfo, this));
  }
  mute_.reset();
  volume_.reset();
}

void PulseMixer::OnState(pa_context* context, void* self) {
  auto* mixer = static_cast<PulseMixer*>(self);
  pa_threaded_mainloop_signal(mixer->loop_, 0);  // a read may be waiting for the connection
  if (pa_context_get_state(context) != PA_CONTEXT_READY) return;
  mixer->answered_ = true;
  mixer->send_locked();
}

void PulseMixer::OnSinkInfo(pa_context* context, const pa_sink_info* info, int eol, void* self) {
  if (eol != 0 || !info) return;  // the end of the list, or no default output
  const pa_volume_t wanted = static_cast<PulseMixer*>(self)->wanted_volume_;
  pa_cvolume volume = info->volume;
  if (pa_cvolume_valid(&volume))
    pa_cvolume_scale(&volume, wanted);  // the loudest channel gets the volume, the others keep their ratio
  else if (pa_channels_valid(info->channel_map.channels))
    pa_cvolume_set(&volume, info->channel_map.channels, wanted);
  else
    return;
  Done(pa_context_set_sink_volume_by_index(context, info->index, &volume, nullptr, nullptr));
}

void PulseMixer::OnReadInfo(pa_context*, const pa_sink_info* info, int eol, void* self) {
  auto* mixer = static_cast<PulseMixer*>(self);
  if (info && eol == 0 && pa_cvolume_valid(&info->volume)) {
    mixer->reading_.found = true;
    mixer->reading_.volume = pa_cvolume_avg(&info->volume);
    mixer->reading_.mute = info->mute != 0;
  }
  if (eol != 0) mixer->reading_.done = true;  // the end of the answer, or no default output
  pa_threaded_mainloop_signal(mixer->loop_, 0);
}

}  // namespace brisel::linux_pulse
