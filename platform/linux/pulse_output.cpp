#include "platform/linux/pulse_output.h"

#include <pulse/pulseaudio.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/failure.h"

namespace brisel::linux_pulse {

namespace {

// The server resolves this name at each request, so every write reaches the output that is the
// default at that moment.
constexpr const char* kDefaultSink = "@DEFAULT_SINK@";

// How long a read that asks the server waits for it. Such reads happen only before the
// connection follows the output; a server that does not answer by then leaves the level as it is.
constexpr pa_usec_t kReadTimeout = 1000 * PA_USEC_PER_MSEC;

// A difference of less than a hundredth of a level step cannot move the level: an output that
// close to what the program wrote is its echo, whatever rounding a server applies to the volumes
// it keeps (PulseAudio and PipeWire 0.3 were measured giving back exactly what was written).
constexpr pa_volume_t kEchoTolerance = PA_VOLUME_NORM / 8000;

void Done(pa_operation* operation) {
  if (operation) pa_operation_unref(operation);
}

// Without its loop the program never reaches a server: it goes on with ALSA's mixer, and says
// so once, here.
constexpr const char* kWithoutServer = " (the sound server is not used)";

}  // namespace

std::uint32_t ServerVolume(std::uint32_t value) {
  const std::uint64_t v = std::min<std::uint32_t>(value, 65535);
  return static_cast<std::uint32_t>((v * PA_VOLUME_NORM + 65535 / 2) / 65535);
}

std::uint32_t MixerValue(std::uint32_t server_volume) {
  const std::uint64_t v = std::min<std::uint32_t>(server_volume, PA_VOLUME_NORM);
  return static_cast<std::uint32_t>((v * 65535 + PA_VOLUME_NORM / 2) / PA_VOLUME_NORM);
}

PulseOutput::PulseOutput() {
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
    return;
  }
  change_fd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (change_fd_ < 0) Warn("eventfd", ErrnoText(errno) + "; a change of the output made elsewhere is not followed");
}

PulseOutput::~PulseOutput() {
  stop();
  if (change_fd_ >= 0) close(change_fd_);
}

void PulseOutput::stop() {
  if (!loop_) return;
  pa_threaded_mainloop_lock(loop_);
  drop_context_locked();
  pa_threaded_mainloop_unlock(loop_);
  pa_threaded_mainloop_stop(loop_);
  pa_threaded_mainloop_free(loop_);
  loop_ = nullptr;
}

bool PulseOutput::take_change() {
  std::uint64_t count = 0;
  return change_fd_ >= 0 && ::read(change_fd_, &count, sizeof count) == sizeof count && count > 0;
}

Reach PulseOutput::reach_locked() {
  if (connect_locked()) return Reach::Up;
  return answered_ ? Reach::Away : Reach::Never;
}

Reach PulseOutput::connect() {
  if (!loop_) return Reach::Never;
  pa_threaded_mainloop_lock(loop_);
  const Reach reach = reach_locked();
  pa_threaded_mainloop_unlock(loop_);
  return reach;
}

Reach PulseOutput::write(bool mute, std::uint32_t value) {
  if (!loop_) return Reach::Never;
  pa_threaded_mainloop_lock(loop_);
  const Reach reach = reach_locked();
  if (reach == Reach::Up) {
    if (mute)
      mute_ = value != 0;
    else
      volume_ = ServerVolume(value);
    // While the connection is on its way the value waits; the connection sends it once up.
    if (pa_context_get_state(context_) == PA_CONTEXT_READY) send_locked();
  }
  pa_threaded_mainloop_unlock(loop_);
  return reach;
}

Reach PulseOutput::read(bool mute, std::optional<std::uint32_t>& value) {
  value.reset();
  if (!loop_) return Reach::Never;
  const std::uint64_t deadline = pa_rtclock_now() + kReadTimeout;
  pa_threaded_mainloop_lock(loop_);
  const Reach reach = reach_locked();
  std::optional<Output> found;
  if (reach == Reach::Up && pa_context_get_state(context_) == PA_CONTEXT_READY && !expected_.empty()) {
    found = expected_.back();
  } else if (reach == Reach::Up &&
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
    if (reading_.done) found = reading_.found;
  }
  if (found) value = mute ? (found->mute ? 1 : 0) : MixerValue(pa_cvolume_max(&found->volume));
  pa_threaded_mainloop_unlock(loop_);
  return reach;
}

template <class Done>
bool PulseOutput::wait_locked(Done done, std::uint64_t deadline) {
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

bool PulseOutput::connect_locked() {
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

void PulseOutput::drop_context_locked() {
  if (!context_) return;
  pa_context_set_state_callback(context_, nullptr, nullptr);
  pa_context_set_subscribe_callback(context_, nullptr, nullptr);
  pa_context_disconnect(context_);
  pa_context_unref(context_);
  context_ = nullptr;
  // A new connection learns the output anew, and takes what it finds as it is; a value that
  // waited for this connection is not sent by a later one, which may come long after.
  expected_.clear();
  volume_.reset();
  mute_.reset();
  fetching_ = fetch_again_ = false;
}

void PulseOutput::send_locked() {
  if (mute_) {
    Done(pa_context_set_sink_mute_by_name(context_, kDefaultSink, *mute_ ? 1 : 0, nullptr, nullptr));
    if (!expected_.empty()) {
      Output muted = expected_.back();
      muted.mute = *mute_;
      wrote_locked(muted);
    }
  }
  if (volume_) send_volume_locked(*volume_);
  mute_.reset();
  volume_.reset();
}

void PulseOutput::send_volume_locked(pa_volume_t volume) {
  retry_volume_ = volume;
  if (!expected_.empty() && pa_cvolume_valid(&expected_.back().volume)) {
    // One request: the default output's channels as last known, the loudest at the volume and
    // the others keeping their ratio to it, so that the balance stays.
    Output set = expected_.back();
    pa_cvolume_scale(&set.volume, volume);
    Done(pa_context_set_sink_volume_by_name(context_, kDefaultSink, &set.volume, OnVolumeSet, this));
    wrote_locked(set);
    return;
  }
  // The channels are not known yet: the output's description first.
  Done(pa_context_get_sink_info_by_name(context_, kDefaultSink, OnSinkForVolume, this));
}

// The server refuses channels that are not the output's: another output has just become the
// default. The volume goes again, to the channels that output has.
void PulseOutput::OnVolumeSet(pa_context* context, int success, void* self) {
  if (!success && pa_context_get_state(context) == PA_CONTEXT_READY)
    Done(pa_context_get_sink_info_by_name(context, kDefaultSink, OnSinkForVolume, self));
}

void PulseOutput::OnSinkForVolume(pa_context* context, const pa_sink_info* info, int eol, void* self) {
  if (eol != 0 || !info) return;  // the end of the list, or no default output
  auto* output = static_cast<PulseOutput*>(self);
  pa_cvolume volume = info->volume;
  if (pa_cvolume_valid(&volume))
    pa_cvolume_scale(&volume, output->retry_volume_);
  else if (pa_channels_valid(info->channel_map.channels))
    pa_cvolume_set(&volume, info->channel_map.channels, output->retry_volume_);
  else
    return;
  Done(pa_context_set_sink_volume_by_index(context, info->index, &volume, nullptr, nullptr));
  // The output as it was, then as the write leaves it.
  if (output->expected_.empty()) output->expected_.push_back(Output{info->index, info->volume, info->mute != 0});
  output->wrote_locked(Output{info->index, volume, info->mute != 0});
}

void PulseOutput::wrote_locked(const Output& output) {
  // A server that never shows some of them (it applied them together) leaves them behind: the
  // list is kept short, far longer than what a server takes to catch up.
  constexpr std::size_t kKept = 256;
  expected_.push_back(output);
  if (expected_.size() > kKept) expected_.pop_front();
}

bool PulseOutput::Output::same(const Output& other) const {
  const pa_volume_t a = pa_cvolume_max(&volume), b = pa_cvolume_max(&other.volume);
  return index == other.index && mute == other.mute && (a > b ? a - b : b - a) <= kEchoTolerance;
}

void PulseOutput::OnState(pa_context* context, void* self) {
  auto* output = static_cast<PulseOutput*>(self);
  pa_threaded_mainloop_signal(output->loop_, 0);  // a read may be waiting for the connection
  if (pa_context_get_state(context) != PA_CONTEXT_READY) return;
  output->answered_ = true;
  output->send_locked();
  // From here on the connection follows the default output; what it first finds is no change.
  pa_context_set_subscribe_callback(context, reinterpret_cast<pa_context_subscribe_cb_t>(OnEvent), self);
  Done(pa_context_subscribe(
      context, static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SERVER), nullptr,
      nullptr));
  output->baseline_ = true;
  output->fetch_locked();
}

void PulseOutput::OnEvent(pa_context*, unsigned type, std::uint32_t index, void* self) {
  auto* output = static_cast<PulseOutput*>(self);
  const unsigned facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
  // A change of another output than the default is none of ours; anything else (the default's
  // own change, an output that came or went, the server's new default) may be.
  if (facility == PA_SUBSCRIPTION_EVENT_SINK && !output->expected_.empty() && index != output->expected_.back().index &&
      (type & PA_SUBSCRIPTION_EVENT_TYPE_MASK) == PA_SUBSCRIPTION_EVENT_CHANGE)
    return;
  output->fetch_locked();
}

// Asks for the default output as it is now. One request at a time: events that come meanwhile
// ask once more when it is answered.
void PulseOutput::fetch_locked() {
  if (fetching_) {
    fetch_again_ = true;
    return;
  }
  fetching_ = true;
  pa_operation* operation = pa_context_get_sink_info_by_name(context_, kDefaultSink, OnFetched, this);
  if (!operation) {
    fetching_ = false;
    return;
  }
  pa_operation_unref(operation);
}

void PulseOutput::OnFetched(pa_context*, const pa_sink_info* info, int eol, void* self) {
  auto* output = static_cast<PulseOutput*>(self);
  if (eol == 0) {
    if (!info || !pa_cvolume_valid(&info->volume)) return;
    const Output found{info->index, info->volume, info->mute != 0};
    std::deque<Output>& expected = output->expected_;
    // The oldest state the output may show that it shows: the program's own doing, and the ones
    // before it are past. None: another program's change, or another output.
    const auto shown = std::find_if(expected.begin(), expected.end(), [&](const Output& o) { return o.same(found); });
    if (shown != expected.end()) {
      expected.erase(expected.begin(), shown);
      if (expected.size() == 1) expected.front() = found;  // nothing of the program's pending: as it is now
      return;
    }
    expected.assign(1, found);
    if (!output->baseline_) output->noticed_change_locked();
    return;
  }
  // The end of the answer (or no default output at all).
  output->fetching_ = false;
  output->baseline_ = false;
  if (std::exchange(output->fetch_again_, false)) output->fetch_locked();
}

void PulseOutput::noticed_change_locked() {
  const std::uint64_t one = 1;
  if (change_fd_ >= 0) (void)::write(change_fd_, &one, sizeof one);
}

void PulseOutput::OnReadInfo(pa_context*, const pa_sink_info* info, int eol, void* self) {
  auto* output = static_cast<PulseOutput*>(self);
  if (info && eol == 0 && pa_cvolume_valid(&info->volume))
    output->reading_.found = Output{info->index, info->volume, info->mute != 0};
  if (eol != 0) output->reading_.done = true;  // the end of the answer, or no default output
  pa_threaded_mainloop_signal(output->loop_, 0);
}

}  // namespace brisel::linux_pulse
