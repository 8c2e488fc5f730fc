// brisel: the Linux program. Both windows with FLTK on X11, the hot keys from XInput2, the
// volume through ALSA's default mixer; the behaviour is the same as brisel-sim's.
#include <FL/Fl.H>
#include <FL/x.H>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/program.h"
#include "app/text_numbers.h"
#include "platform/linux/fltk_windows.h"
#include "platform/linux/sound_output.h"
#include "platform/linux/x11_keyboard.h"
#include "setup/config.h"

namespace {

class MonotonicClock : public brisel::Clock {
 public:
  std::uint64_t now_ms() const override {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000 + static_cast<std::uint64_t>(ts.tv_nsec) / 1'000'000;
  }
};

}  // namespace

int main(int argc, char**) {
  using namespace brisel;
  if (argc > 1) {
    std::fprintf(stderr, "brisel: takes no arguments\n");
    return 2;
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
  Program program(platform);

  windows.on_run = [&] { program.Config().ClickRun(); };
  windows.on_edit = [&](std::string_view control, std::string text) {
    program.Config().Select(SelectorNamed(control), std::move(text));
  };

  try {
    program.start();
    // The message loop: the timers' ticks, and FLTK's events in between. It never ends:
    // after "Run" the program works until it is ended from outside.
    for (;;) {
      while (program.timers.run_next(clock.now_ms(), true)) {
      }
      const auto due = program.timers.next_due();
      const std::uint64_t now = clock.now_ms();
      Fl::wait(due ? static_cast<double>(*due > now ? *due - now : 0) / 1000.0 : 3600.0);
    }
  } catch (const RuntimeError& e) {
    std::fprintf(stderr, "brisel: run-time error: %s\n", e.description().c_str());
    return 1;
  }
}
