// brisel: the Linux program. Both windows with FLTK on X11, the hot keys from XInput2, the
// volume of the sound server's default output (ALSA's hardware mixer where no server runs); the behaviour
// is the same as brisel-sim's.
#include <FL/Fl.H>
#include <FL/x.H>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/program.h"
#include "app/runtime_error.h"
#include "platform/linux/autostart.h"
#include "platform/linux/fltk_windows.h"
#include "platform/linux/sound_output.h"
#include "platform/linux/wayland_help.h"
#include "platform/linux/x11_instance.h"
#include "platform/linux/x11_keyboard.h"
#include "platform/program_start.h"

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
  bool always_poll;  // BRISEL_KEYS=poll: ticks every 10 ms, the benchmark's reference

  void settle(bool key_event) {
    brisel::FormTimer* timer = program.key_timer();
    if (!timer || always_poll) return;
    if (key_event || !keyboard.idle()) timer->wake();
    else timer->sleep();
  }
  static void on_keyboard(int, void* self) {
    auto& wake = *static_cast<KeyTimerWake*>(self);
    wake.settle(wake.keyboard.drain());
  }
};

// Ends the process from inside the message loop (the dialog closed, --quit from another
// brisel). Nothing is kept between runs, so there is nothing to save; the trace is written line
// by line, and the X connections, the instance's selection with them, close with the process.
[[noreturn]] void End(int status) {
  std::fflush(nullptr);
  std::exit(status);
}

// A message from another brisel: "quit", or a press of a hot key (brisel --key). Any other text
// is ignored, and so is a press before "Run", when nothing watches the keys yet.
struct InstanceMessages {
  brisel::linux_x11::InstanceChannel& channel;
  KeyTimerWake& wake;

  void receive() {
    for (const std::string& message : channel.receive()) {
      if (message == "quit") End(0);
      const auto key = brisel::HotKeyInMessage(message);
      const auto vk = key ? wake.program.hot_key_code(*key) : std::nullopt;
      if (!vk) continue;
      wake.keyboard.press_from_outside(*vk);
      wake.settle(true);
    }
  }
  static void on_channel(int, void* self) { static_cast<InstanceMessages*>(self)->receive(); }
};

constexpr const char* kWaylandHint =
    "brisel: on Wayland the keys work only while an X11 window has the focus: bind 'brisel --key up', "
    "'brisel --key down' and 'brisel --key mute' to keys in the desktop's keyboard settings (brisel --help)\n";

// The running program, as brisel --run at login should find it again.
std::string ThisProgram() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string("brisel") : self.string();
}

int Autostart(const brisel::Options& options) {
  const auto path = brisel::AutostartPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  if (!path) {
    std::fprintf(stderr, "brisel: cannot find the autostart folder: neither XDG_CONFIG_HOME nor HOME is set\n");
    return 1;
  }
  const std::string entry = brisel::AutostartEntry(ThisProgram(), options);
  if (entry.empty()) {
    std::fprintf(stderr, "brisel: a key name for the autostart entry holds a control character\n");
    return 2;
  }
  std::string error;
  const std::string done = brisel::SetAutostart(*path, *options.autostart, entry, error);
  if (!error.empty()) {
    std::fprintf(stderr, "brisel: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s\n", done.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace brisel;
  ProgramStart start = BeginProgram(argc, argv, System::Linux, linux_x11::kWaylandHelp);
  if (start.exit_status) return *start.exit_status;
  const Options& options = start.cmd.options;
  if (options.autostart) return Autostart(options);

  const char* display_name = std::getenv("DISPLAY");
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "brisel: cannot open the X display %s%s%s\n", display_name ? "\"" : "(DISPLAY is not set)",
                 display_name ? display_name : "", display_name ? "\"" : "");
    return 1;
  }
  if (options.quit) {
    // The running Brisel is asked to end, and given a few seconds to do so.
    const auto sent = linux_x11::SendToInstance(display, "quit", 5000);
    XCloseDisplay(display);
    if (sent == linux_x11::SendResult::Sent) return 0;
    std::fprintf(stderr, sent == linux_x11::SendResult::NotRunning ? "brisel: not running on this display\n"
                                                                   : "brisel: the Brisel on this display did not end\n");
    return 1;
  }
  if (options.key) {
    // Handed to the running Brisel's queue, nothing more: a desktop's key repeat may run many
    // of these in a row, and each is answered as a press of its own.
    const auto sent = linux_x11::SendToInstance(display, HotKeyMessage(*options.key));
    XCloseDisplay(display);
    if (sent == linux_x11::SendResult::Sent) return 0;
    std::fprintf(stderr, "brisel: not running on this display\n");
    return 1;
  }
  // One Brisel per display: a second one leaves the first, and the mixer, alone.
  linux_x11::InstanceChannel instance(nullptr);
  if (instance.state() != linux_x11::InstanceChannel::State::Owner) {
    XCloseDisplay(display);
    std::fprintf(stderr, instance.state() == linux_x11::InstanceChannel::State::Taken
                             ? "brisel: already running on this display\n"
                             : "brisel: cannot open the X display for the instance check\n");
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
  // Closing the dialog through the window manager ends the program: before "Run" nothing else
  // would ever show a window again.
  windows.on_close([](HWND) { End(0); });
  linux_fltk::FltkMessageBox msgbox;
  Platform platform{clock, keyboard, *mixer, windows, msgbox};
  ProgramPlatform program_platform(platform, start.trace_file.get());
  Program program(program_platform.get());

  const char* keys_mode = std::getenv("BRISEL_KEYS");
  KeyTimerWake wake{keyboard, program, keys_mode && std::string_view(keys_mode) == "poll"};
  Fl::add_fd(keyboard.fd(), FL_READ, KeyTimerWake::on_keyboard, &wake);
  // Messages from other brisel processes arrive on the channel's own connection, which FLTK's
  // wait watches as one more descriptor; any that came while this one was set up are read now.
  InstanceMessages messages{instance, wake};
  Fl::add_fd(instance.fd(), FL_READ, InstanceMessages::on_channel, &messages);
  messages.receive();
  // On a Wayland desktop the keys reach this program only while an X window has the focus.
  bool wayland_hint = std::getenv("WAYLAND_DISPLAY") && *std::getenv("WAYLAND_DISPLAY");

  try {
    StartProgram(program, options);
    // The message loop: the timers' ticks, and FLTK's and the keyboard's events in between. It
    // never ends: after "Run" the program works until it is ended from outside.
    for (;;) {
      while (program.timers.run_next(clock.now_ms(), true)) {
      }
      if (wayland_hint && program.key_timer()) {  // handed over to the display
        std::fputs(kWaylandHint, stderr);
        wayland_hint = false;
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
