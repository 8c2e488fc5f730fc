#include "platform/linux/sound_output.h"

#include <cstdlib>
#include <cstring>
#include <optional>

#include "platform/linux/alsa_output.h"
#include "platform/linux/pulse_output.h"

namespace brisel::linux_sound {

using namespace winmm;
using linux_pulse::Reach;

SoundOutput::SoundOutput() {
  const char* forced = std::getenv("BRISEL_MIXER");
  if (forced && std::strcmp(forced, "alsa") == 0)
    alsa_ = std::make_unique<linux_alsa::AlsaOutput>();
  else
    server_ = std::make_unique<linux_pulse::PulseOutput>();
}

SoundOutput::~SoundOutput() = default;

void SoundOutput::follow(linux_x11::DescriptorWatch& watch, std::function<void()> changed) {
  watch_ = &watch;
  changed_ = std::move(changed);
  if (server_ && server_->change_fd() >= 0)
    watch.watch(server_->change_fd(), [this] {
      if (server_->take_change() && changed_) changed_();
    });
  watch_alsa();
}

void SoundOutput::stop() {
  if (server_) server_->stop();
}

bool SoundOutput::has_line(int line) const { return alsa_ || OutputLine(line); }

const char* SoundOutput::line_name(int line) const {
  return alsa_ ? linux_alsa::AlsaOutput::line_name(line) : "Default output";
}

void SoundOutput::opened() {
  if (linux_alsa::AlsaOutput* alsa = alsa_for(server_ ? server_->connect() : Reach::Never)) alsa->open();
  watch_alsa();
}

linux_alsa::AlsaOutput* SoundOutput::alsa_for(Reach reach) {
  if (reach == Reach::Up)
    alsa_.reset();
  else if (reach == Reach::Never && !alsa_)
    alsa_ = std::make_unique<linux_alsa::AlsaOutput>();
  return reach == Reach::Never ? alsa_.get() : nullptr;
}

MMRESULT SoundOutput::write(int line, bool mute, std::uint32_t value) {
  const Reach reach = server_ ? server_->write(mute, value) : Reach::Never;
  // A server that is away fails quietly: it will be back.
  MMRESULT rc = reach == Reach::Up ? MMSYSERR_NOERROR : MMSYSERR_ERROR;
  if (linux_alsa::AlsaOutput* alsa = alsa_for(reach)) rc = alsa->write(line, mute, value);
  watch_alsa();
  return rc;
}

MMRESULT SoundOutput::read(int line, bool mute, std::uint32_t& value) {
  std::optional<std::uint32_t> read;
  const Reach reach = server_ ? server_->read(mute, read) : Reach::Never;
  MMRESULT rc = read ? MMSYSERR_NOERROR : MMSYSERR_ERROR;
  if (read) value = *read;
  if (linux_alsa::AlsaOutput* alsa = alsa_for(reach)) rc = alsa->read(line, mute, value);
  watch_alsa();
  return rc;
}

void SoundOutput::watch_alsa() {
  if (!watch_) return;
  const std::vector<int> now = alsa_ ? alsa_->descriptors() : std::vector<int>{};
  if (now == alsa_fds_) return;
  for (const int fd : alsa_fds_) watch_->unwatch(fd);
  alsa_fds_ = now;
  for (const int fd : alsa_fds_) watch_->watch(fd, [this] { alsa_events(); });
}

void SoundOutput::alsa_events() {
  if (alsa_ && alsa_->take_change() && changed_) changed_();
  watch_alsa();
}

}  // namespace brisel::linux_sound
