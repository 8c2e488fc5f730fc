// brisel: the Linux program. Both windows with FLTK on X11, the hot keys from XInput2, the
// volume of the sound server's default output (ALSA's hardware mixer where no server runs); the behaviour
// is the same as brisel-sim's.
#include <FL/Fl.H>
#include <FL/x.H>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/program.h"
#include "app/runtime_error.h"
#include "platform/linux/fltk_windows.h"
#include "platform/linux/sound_output.h"
#include "platform/linux/x11_keyboard.h"
#include "platform/trace.h"
#include "platform/trace_file.h"

namespace {

class MonotonicClock : public brisel::Clock {
 public:
  std::uint64_t now_ms() const override {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000 + static_cast<std::uint64_t>(ts.tv_nsec) / 1'000'000;
  }
};

// The key timer sleeps while no watched key is down and no press waits for it, so that the
// program does not wake at all while nobody presses a hot key; an event of a watched key or of
// the key map wakes it, and it ticks at once.
struct KeyTimerWake {
  brisel::linux_x11::X11Keyboard& keyboard;
  brisel::Program& program;

  void settle(bool key_event) {
    brisel::FormTimer* timer = program.key_timer();
    if (!timer) return;
    if (key_event || !keyboard.idle()) timer->wake();
    else timer->sleep();
  }
  static void on_keyboard(int, void* self) {
    auto& wake = *static_cast<KeyTimerWake*>(self);
    wake.settle(wake.keyboard.drain());
  }
};

}  // namespace

int main(int argc, char** argv) {
  using namespace brisel;
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const ParsedCommandLine cmd = ParseCommandLine(args);
  if (!cmd.error.empty()) {
    std::fprintf(stderr, "brisel: %s\n%s", cmd.error.c_str(), Usage("brisel").c_str());
    return 2;
  }
  if (cmd.options.help) {
    std::fputs(Usage("brisel").c_str(), stdout);
    return 0;
  }
  if (cmd.options.version) {
    std::printf("brisel %s\n", std::string(kVersion).c_str());
    return 0;
  }
  std::unique_ptr<TraceFile> trace_file;
  if (cmd.options.trace) {
    std::string why;
    trace_file = TraceFile::Open(*cmd.options.trace, why);
    if (!trace_file) {
      std::fprintf(stderr, "brisel: cannot open the trace file \"%s\": %s\n", cmd.options.trace->c_str(), why.c_str());
      return 2;
    }
  }

  const char* display_name = std::getenv("DISPLAY");
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "brisel: cannot open the X display %s%s%s\n", display_name ? "\"" : "(DISPLAY is not set)",
                 display_name ? display_name : "", display_name ? "\"" : "");
    return 1;
  }
  fl_open_display(display);

  MonotonicClock clock;
  linux_x11::X11Keyboard keyboard(nullptr);
  if (!keyboard.ok()) {
    std::fprintf(stderr, "brisel: cannot open the X display for the keyboard\n");
    return 1;
  }
  const std::unique_ptr<Mixer> mixer = linux_sound::OpenSoundOutput();
  linux_fltk::FltkWindows windows;
  linux_fltk::FltkMessageBox msgbox;
  Platform platform{clock, keyboard, *mixer, windows, msgbox};
  // With --trace the program runs on the same platform, traced: milliseconds since the start.
  const std::uint64_t started = clock.now_ms();
  TraceSink sink([&] { return clock.now_ms() - started; },
                 [&](const std::string& line) { trace_file->write(line); });
  std::optional<TracedPlatform> traced;
  if (trace_file) traced.emplace(platform, sink);
  Program program(traced ? traced->platform : platform);

  KeyTimerWake wake{keyboard, program};
  Fl::add_fd(keyboard.fd(), FL_READ, KeyTimerWake::on_keyboard, &wake);

  try {
    program.start();
    // The message loop: the timers' ticks, and FLTK's and the keyboard's events in between. It
    // never ends: after "Run" the program works until it is ended from outside.
    for (;;) {
      while (program.timers.run_next(clock.now_ms(), true)) {
      }
      // Events Xlib read while it waited for a reply do not make the connection readable.
      wake.settle(keyboard.drain());
      const auto due = program.timers.next_due();
      const std::uint64_t now = clock.now_ms();
      if (due && *due <= now) continue;
      Fl::wait(due ? static_cast<double>(*due - now) / 1000.0 : 3600.0);
    }
  } catch (const RuntimeError& e) {
    std::fprintf(stderr, "brisel: run-time error: %s\n", e.description().c_str());
    return 1;
  }
}
