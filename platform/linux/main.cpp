// brisel: the Linux program. Both windows with FLTK on X11, the hot keys from XInput2, the
// volume of the sound server's default output (ALSA's hardware mixer where no server runs); the behaviour
// is the same as brisel-sim's.
#include <FL/Fl.H>
#include <FL/x.H>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/program.h"
#include "platform/failure.h"
#include "platform/instance_message.h"
#include "platform/linux/autostart.h"
#include "platform/linux/fltk_windows.h"
#include "platform/linux/linux_message_loop.h"
#include "platform/linux/sound_output.h"
#include "platform/linux/x11_display.h"
#include "platform/linux/x11_errors.h"
#include "platform/linux/x11_grab_probe.h"
#include "resources/scale.h"
#include "platform/linux/wayland_help.h"
#include "platform/linux/x11_instance.h"
#include "platform/linux/x11_keyboard.h"
#include "platform/program_start.h"
#include "platform/steady_clock.h"

namespace {

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

// The program after its command line: --quit and --key for the Brisel already running, or the
// program itself until it ends. A failure it cannot go on after is thrown (platform/failure.h).
int Run(const brisel::Options& options, brisel::TraceFile* trace_file) {
  using namespace brisel;
  linux_x11::InstallXErrorHandlers();  // before the first connection: every one has them
  errno = 0;
  Display* display = XOpenDisplay(nullptr);
  if (!display) Fail("XOpenDisplay", linux_x11::CannotOpenDisplay(nullptr, errno));
  if (options.quit || options.key) {
    const int status = SendFromCommandLine(
        options,
        [display](std::string_view message, int wait_for_end_ms) {
          return linux_x11::SendToInstance(display, message, wait_for_end_ms);
        },
        "on this display");
    XCloseDisplay(display);
    return status;
  }
  // One Brisel per display: a second one leaves the first, and the mixer, alone.
  errno = 0;
  linux_x11::InstanceChannel instance(nullptr);
  if (instance.state() == linux_x11::InstanceChannel::State::NoDisplay)
    Fail("XOpenDisplay", linux_x11::CannotOpenDisplay(nullptr, errno));
  if (instance.state() == linux_x11::InstanceChannel::State::Taken) {
    XCloseDisplay(display);
    std::fprintf(stderr, "brisel: already running on this display\n");
    return 1;
  }
  fl_open_display(display);

  SteadyClock clock;
  linux_x11::X11Keyboard keyboard(nullptr);
  if (!keyboard.ok()) Fail("XOpenDisplay", keyboard.failure());
  linux_sound::SoundOutput mixer;
  const linux_x11::StopOnLostDisplay stop_sound([&mixer] { mixer.stop(); });
  // The windows at the scale the desktop asks of programs (Xft.dpi), the same on every monitor.
  linux_fltk::FltkWindows windows(ScaleForDpi(linux_x11::ResourceDpi(display)));
  linux_fltk::FltkMessageBox msgbox;
  Platform platform{clock, keyboard, mixer, windows, msgbox};
  ProgramPlatform program_platform(platform, trace_file);
  Program program(program_platform.get());

  linux_x11::LinuxMessageLoop loop(program.timers, clock, keyboard, instance);
  // Another program's change of the output reaches the display as the program's input.
  mixer.follow(loop, [&program] { program.output_changed(); });
  const char* keys_mode = std::getenv("BRISEL_KEYS");
  loop.set_key_timer([&program] { return program.key_timer(); }, keys_mode && std::string_view(keys_mode) == "poll");
  // A press from `brisel --key` goes to the keyboard and wakes the key timer as a key's own
  // event does; "quit" ends the program.
  loop.on_message([&](const std::string& message) {
    ReceiveInstanceMessage(program, message, [&](std::int32_t vk) {
      keyboard.press_from_outside(vk);
      loop.key_event();
    });
  });
  // On a Wayland desktop the keys reach this program only while an X window has the focus.
  const bool wayland = std::getenv("WAYLAND_DISPLAY") && *std::getenv("WAYLAND_DISPLAY");
  bool handed_over = false;
  const auto hand_over = [&] {
    if (handed_over || !program.key_timer()) return;  // not handed over to the display yet
    handed_over = true;
    WatchHotKeys(program, keyboard);
    linux_x11::SayHotKeysGrabbedElsewhere(display, program);
    if (wayland) std::fputs(kWaylandHint, stderr);
  };

  StartProgram(program, options);
  // After "Run" the program works until it is ended from outside (brisel --quit); before it,
  // closing the dialog ends it too. Nothing is kept between runs, so there is nothing to save;
  // the X connections, the instance's selection with them, close on the way out.
  return loop.run([&program] { return program.exit_status(); }, hand_over);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace brisel;
  ProgramStart start = BeginProgram(argc, argv, System::Linux, linux_x11::kWaylandHelp);
  if (start.exit_status) return *start.exit_status;
  const Options& options = start.cmd.options;
  if (const auto status = CheckKeyNames(options, SayFailure)) return *status;
  if (options.autostart) return Autostart(options);
  try {
    return Run(options, start.trace_file.get());
  } catch (...) {
    return ReportError();
  }
}
