// The program's mixer on Linux: the output the user hears.
//
// Where a sound server runs (PulseAudio, or PipeWire's compatible server), that is the server's
// default output, followed as the desktop changes it (PulseOutput). The server is looked for when
// the mixer is opened and again at every write while no connection is up, so a server that
// restarts, or starts after the program, is found by the next key press. Looking costs little
// when there is no server (about 0.2 ms): the connection fails at once for want of its socket.
//
// While no server has answered since the program started, a write that finds none goes to
// ALSA's hardware mixer instead (AlsaOutput): that is a machine without a sound server. Once a
// server has answered, ALSA is let go and never used again; writes made while the server is
// away fail silently until it is back. ALSA is not touched at all while a server answers.
//
// Either output tells when something other than the program changed it (another program, a new
// default output): follow() hands that to the program, on its loop's thread.
//
// BRISEL_MIXER=alsa in the environment forces the ALSA mixer; it exists for the benchmark and
// the tests, which compare the two.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/line_mixer.h"
#include "platform/linux/descriptor_watch.h"

namespace brisel::linux_alsa {
class AlsaOutput;
}
namespace brisel::linux_pulse {
class PulseOutput;
enum class Reach;
}

namespace brisel::linux_sound {

class SoundOutput : public LineMixer {
 public:
  SoundOutput();
  ~SoundOutput() override;

  // From now on `changed` runs, on the thread of the loop `watch` belongs to, each time the
  // output changed without the program. The loop ends before this output does.
  void follow(linux_x11::DescriptorWatch& watch, std::function<void()> changed);
  // Ends the sound server's connection and its thread now, for a program that ends at once
  // without unwinding (a lost X display).
  void stop();

 protected:
  bool has_line(int line) const override;
  const char* line_name(int line) const override;
  void opened() override;
  winmm::MMRESULT write(int line, bool mute, std::uint32_t value) override;
  winmm::MMRESULT read(int line, bool mute, std::uint32_t& value) override;

 private:
  // ALSA where the server stands so that it is the output: no server reached, and none ever
  // answered. ALSA is made then, and let go once a server is reached.
  linux_alsa::AlsaOutput* alsa_for(linux_pulse::Reach reach);
  void watch_alsa();  // the loop waits on ALSA's descriptors exactly while it is open
  void alsa_events();

  std::unique_ptr<linux_pulse::PulseOutput> server_;  // none when ALSA is forced
  std::unique_ptr<linux_alsa::AlsaOutput> alsa_;      // only while no server answers
  linux_x11::DescriptorWatch* watch_ = nullptr;
  std::function<void()> changed_;
  std::vector<int> alsa_fds_;  // watched now
};

}  // namespace brisel::linux_sound
