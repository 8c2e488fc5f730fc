#include "platform/program_host.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "app/program.h"
#include "base/hot_key.h"
#include "platform/failure.h"
#include "platform/program_start.h"
#include "platform/steady_clock.h"

namespace brisel {

namespace {

int Autostart(HostSystem& system, const Options& options) {
  const std::optional<std::string> done = system.autostart(options);
  if (!done) {
    SayFailure(Severity::fail, "brisel: a key name for the autostart entry holds a control character");
    return 2;
  }
  std::printf("%s\n", done->c_str());
  return 0;
}

// --quit and --key: the message sent, and one line for the user when it could not be done.
int Send(HostSystem& system, const Options& options, const std::string& here) {
  if (options.quit) {
    // The running Brisel is asked to end, and given a few seconds to do so.
    const SendResult sent = system.send("quit", 5000);
    if (sent == SendResult::Sent) return 0;
    SayFailure(Severity::info, sent == SendResult::NotRunning ? "brisel: not running " + here
                                                              : "brisel: the Brisel " + here + " did not end");
    return 1;
  }
  // Handed to the running Brisel's queue, nothing more: a desktop's key repeat may run many of
  // these in a row, and each is answered as a press of its own.
  if (system.send(HotKeyMessage(*options.key), 0) == SendResult::Sent) return 0;
  SayFailure(Severity::info, "brisel: not running " + here);
  return 1;
}

bool KeysPolled() {
  const char* mode = std::getenv("BRISEL_KEYS");
  return mode && std::string_view(mode) == "poll";
}

// The program on the system's pieces, until it ends.
int Run(HostSystem& system, const SystemPieces& pieces, bool polled, const Options& options, TraceFile* trace_file) {
  SteadyClock clock;
  Platform platform{clock, pieces.keyboard, pieces.mixer, pieces.windows, pieces.msgbox};
  ProgramPlatform program_platform(platform, trace_file);
  // The program outlives the loop: a box that reports an error still dispatches messages to
  // the windows, which report to the program.
  Program program(program_platform.get());
  const std::unique_ptr<MessageLoop> loop = pieces.make_loop(program.timers, clock, program);
  HotKeyboard& keyboard = pieces.keyboard;
  // The hand-over: the keyboard starts watching the hot keys "Run" stored as soon as the key
  // timer exists, not at its first tick, so that a tap in between is not lost.
  bool handed_over = false;
  const auto key_timer = [&]() -> FormTimer* {
    FormTimer* timer = program.key_timer();
    if (timer && !handed_over) {
      handed_over = true;
      for (const HotKey key : {HotKey::up, HotKey::down, HotKey::mute})
        if (const auto vk = program.hot_key_code(key)) keyboard.watch(*vk);
      system.handed_over(program);
    }
    return timer;
  };
  loop->set_key_timer(key_timer, polled ? nullptr : std::function<bool()>([&keyboard] { return keyboard.idle(); }));
  // "quit" ends the program; a press from `brisel --key` goes to the keyboard and wakes the key
  // timer as a key's own event does.
  loop->on_message([&](const std::string& message) {
    ReceiveInstanceMessage(program, message, [&](std::int32_t vk) {
      keyboard.press_from_outside(vk);
      loop->key_event();
    });
  });
  StartProgram(program, options);
  // A trace that stopped at a write the system refused (platform/trace_file.h) is said once,
  // between two events: not from inside the call whose line it was, where a box would run the
  // loop's timers in the middle of a handler.
  bool trace_stop_said = false;
  const auto ended = [&]() -> std::optional<int> {
    if (trace_file && !trace_file->failure().empty() && !trace_stop_said) {
      trace_stop_said = true;
      Warn("--trace " + trace_file->path(), trace_file->failure());
    }
    return program.exit_status();
  };
  // After "Run" the program works until it is ended from outside (brisel --quit); before it,
  // closing the dialog ends it too. Nothing is kept between runs, so there is nothing to save.
  return loop->run(ended);
}

}  // namespace

int HostProgram(int argc, char** argv, HostSystem& system) {
  // A write the system refuses (to a pipe whose reader has gone, past the file size limit) fails
  // with its error, which the program says, instead of ending the program without a word.
#ifdef SIGPIPE
  std::signal(SIGPIPE, SIG_IGN);
#endif
#ifdef SIGXFSZ
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  const auto say = [](const std::string& text) { SayFailure(Severity::fail, text); };
  const ProgramStart start = BeginProgram(argc, argv, system.system_, system.more_help_, say);
  if (start.exit_status) return *start.exit_status;
  const Options& options = start.cmd.options;
  if (const auto status = CheckKeyNames(options, SayFailure)) return *status;
  const std::string here(system.here_);
  // A failure the program cannot go on after is thrown up to here (platform/failure.h).
  try {
    if (options.autostart) return Autostart(system, options);
    if (options.quit || options.key) return Send(system, options, here);
    // One Brisel here: a second one leaves the first, and the mixer, alone.
    if (!system.claim_instance()) {
      SayFailure(Severity::info, "brisel: already running " + here);
      return 1;
    }
    const bool polled = KeysPolled();
    return system.run(polled, [&](const SystemPieces& pieces) {
      return Run(system, pieces, polled, options, start.trace_file.get());
    });
  } catch (...) {
    return ReportError();
  }
}

}  // namespace brisel
