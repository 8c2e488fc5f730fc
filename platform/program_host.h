// The start-up both real programs share, over the pieces each system makes. The command line is
// read (platform/program_start.h: --help, --version, usage errors, the --trace file); then
// --autostart writes or removes the entry that starts Brisel at login, --quit and --key go to
// the Brisel running here, or the program becomes the one Brisel here ("already running"
// otherwise) and runs on its system's pieces until it ends. The keys are polled when
// BRISEL_KEYS=poll (the benchmark's reference); otherwise the key timer sleeps while the
// keyboard is idle, and a press, from the keyboard or from `brisel --key`, wakes it. At the
// hand-over to the display the keyboard starts watching the hot keys "Run" stored.
//
// Every message for the user goes through the one failure sink (platform/failure.h).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/command_line.h"
#include "base/timers.h"
#include "platform/failure.h"
#include "platform/instance_message.h"
#include "platform/key_ledger.h"
#include "platform/platform.h"

namespace brisel {

// The program's one message loop on a system: it runs the timer table's due ticks and sleeps
// until the next one or an event (the windows', the keyboard's, another brisel's message).
class MessageLoop {
 public:
  virtual ~MessageLoop() = default;
  // The timer the keyboard's events wake, as the program has it (none until it exists), asked
  // after every round of ticks and every event; and whether the keyboard is idle now, so that
  // the timer may sleep. Without `idle` the timer never sleeps.
  virtual void set_key_timer(std::function<FormTimer*()> key_timer, std::function<bool()> idle) = 0;
  // Where each message from another brisel goes, oldest first.
  virtual void on_message(std::function<void(const std::string&)> receive) = 0;
  // A press was handed to the keyboard from outside its events: the key timer wakes.
  virtual void key_event() = 0;
  // Runs until `ended` gives a status (asked after every tick and every event), and returns
  // it. An exception from a handler ends the loop and is thrown again from here.
  virtual int run(const std::function<std::optional<int>()>& ended) = 0;
};

// What a system makes for the running program. The loop runs the program's timers, so it is
// made once the program exists; the system's mixer reports a change of the output made
// elsewhere to `input` from then on, on the loop's thread.
struct SystemPieces {
  HotKeyboard& keyboard;
  Mixer& mixer;
  WindowSystem& windows;
  MessageBox& msgbox;
  std::function<std::unique_ptr<MessageLoop>(TimerTable& timers, const Clock& clock, Input& input)> make_loop;
};

class Program;

// What the host asks of a system; each system's main implements it.
class HostSystem {
 public:
  // `here`: where one Brisel runs, for the messages ("on this display"); `more_help`: the
  // system's own text at the end of --help.
  HostSystem(System system, std::string_view here, std::string_view more_help = {})
      : system_(system), here_(here), more_help_(more_help) {}
  virtual ~HostSystem() = default;

  // --autostart on|off: the entry that starts this program with --run and the keys among
  // `options` at login, written or removed; the line that says what was done. Nothing when a
  // key name holds a control character, which the entry cannot carry. A failure is thrown.
  virtual std::optional<std::string> autostart(const Options& options) = 0;
  // Sends `message` to the Brisel running here; with a wait, returns once it has ended or the
  // wait has run out.
  virtual SendResult send(std::string_view message, int wait_for_end_ms) = 0;
  // This program becomes the one Brisel here; false when another one is.
  virtual bool claim_instance() = 0;
  // Makes the system's pieces and runs `program` on them; they go when it returns.
  // `keys_polled`: BRISEL_KEYS=poll.
  virtual int run(bool keys_polled, const std::function<int(const SystemPieces&)>& program) = 0;
  // The program has handed over to the display, and the hot keys are watched.
  virtual void handed_over(const Program&) {}

 private:
  friend int HostProgram(int argc, char** argv, HostSystem& system);
  System system_;
  std::string_view here_, more_help_;
};

// The whole program on `system`; returns its exit status.
int HostProgram(int argc, char** argv, HostSystem& system);

}  // namespace brisel
