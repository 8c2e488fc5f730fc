// The program's mixer on Linux: the output the user hears.
//
// Where a sound server runs (PulseAudio, or PipeWire's compatible server), that is the server's
// default output, followed as the desktop changes it (PulseMixer). The server is looked for when
// the mixer is opened and again at every write while no connection is up, so a server that
// restarts, or starts after the program, is found by the next key press. Looking costs little
// when there is no server (about 0.2 ms): the connection fails at once for want of its socket.
//
// While no server has answered since the program started, a write that finds none goes to
// ALSA's hardware mixer instead (AlsaMixer): that is a machine without a sound server. Once a
// server has answered, ALSA is let go and never used again; writes made while the server is
// away fail silently until it is back. ALSA is not touched at all while a server answers.
//
// BRISEL_MIXER=alsa in the environment forces the ALSA mixer; it exists for the benchmark and
// the tests, which compare the two.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace brisel::linux_sound {

std::unique_ptr<Mixer> OpenSoundOutput();

}  // namespace brisel::linux_sound
