#include "platform/linux/sound_output.h"

#include <cstdlib>
#include <cstring>

#include "platform/line_mixer.h"
#include "platform/linux/alsa_mixer.h"
#include "platform/linux/pulse_mixer.h"

namespace brisel::linux_sound {

using namespace winmm;

namespace {

class SoundOutput : public LineMixer {
 public:
  SoundOutput() {
    const char* forced = std::getenv("BRISEL_MIXER");
    if (forced && std::strcmp(forced, "alsa") == 0)
      alsa_ = std::make_unique<linux_alsa::AlsaMixer>();
    else
      server_ = std::make_unique<linux_pulse::PulseMixer>();
  }

 protected:
  bool has_line(int line) const override { return alsa_ ? alsa_->has_line(line) : server_->has_line(line); }
  const char* line_name(int line) const override { return alsa_ ? alsa_->line_name(line) : server_->line_name(line); }
  void opened() override { on_server(); }

  MMRESULT write(int line, bool mute, std::uint32_t value) override {
    return on_output([&](auto& output) { return output.write(line, mute, value); });
  }
  MMRESULT read(int line, bool mute, std::uint32_t& value) override {
    return on_output([&](auto& output) { return output.read(line, mute, value); });
  }

 private:
  // A call on the output that is there now: the server, or ALSA where none ever answered.
  template <class Call>
  MMRESULT on_output(Call call) {
    if (on_server()) return call(*server_);
    if (server_ && server_->answered()) return MMSYSERR_ERROR;  // the server is away; it comes back
    return call(*alsa_);
  }

  // Whether a server connection is up or on its way, connecting if need be. Keeps ALSA exactly
  // while no server is reachable and none ever answered.
  bool on_server() {
    if (server_ && server_->connect()) {
      alsa_.reset();
      return true;
    }
    if (!alsa_ && !(server_ && server_->answered())) alsa_ = std::make_unique<linux_alsa::AlsaMixer>();
    return false;
  }

  std::unique_ptr<linux_pulse::PulseMixer> server_;  // none when ALSA is forced
  std::unique_ptr<linux_alsa::AlsaMixer> alsa_;      // only while no server answers
};

}  // namespace

std::unique_ptr<Mixer> OpenSoundOutput() { return std::make_unique<SoundOutput>(); }

}  // namespace brisel::linux_sound
