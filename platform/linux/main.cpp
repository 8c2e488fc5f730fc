// brisel: the Linux program. FLTK windows on X11, the hot keys from XInput2, the volume of the sound
// server's default output (ALSA's hardware mixer without one). One Brisel per X display.
#include <FL/x.H>

#include <cerrno>
#include <cstdlib>

#include "platform/linux/autostart.h"
#include "platform/linux/fltk_windows.h"
#include "platform/linux/linux_message_loop.h"
#include "platform/linux/sound_output.h"
#include "platform/linux/wayland_help.h"
#include "platform/linux/x11_display.h"
#include "platform/linux/x11_errors.h"
#include "platform/linux/x11_grab_probe.h"
#include "resources/scale.h"

namespace brisel::linux_x11 {

class LinuxSystem final : public HostSystem {
 public:
  // Every connection gets the program's X error handlers: they are in place before the first.
  LinuxSystem() : HostSystem(System::Linux, "on this display", kWaylandHelp) { InstallXErrorHandlers(); }
  ~LinuxSystem() override { if (display_ && display_ != fl_display) XCloseDisplay(display_); }  // not the windows'
  std::optional<std::string> autostart(const Options& options) override { return Autostart(options); }
  SendResult send(std::string_view message, int wait) override { return SendToInstance(display(), message, wait); }
  bool claim_instance() override {
    errno = 0;
    const auto state = channel_.emplace(nullptr).state();
    if (state == InstanceChannel::State::NoDisplay) Fail("XOpenDisplay", CannotOpenDisplay(nullptr, errno));
    return state == InstanceChannel::State::Owner;
  }
  int run(bool, const std::function<int(const SystemPieces&)>& program) override {
    fl_open_display(display());  // the windows' connection
    X11Keyboard keyboard(nullptr);
    if (!keyboard.ok()) Fail("XOpenDisplay", keyboard.failure());
    linux_sound::SoundOutput mixer;
    const StopOnLostDisplay stop_sound([&mixer] { mixer.stop(); });
    linux_fltk::FltkWindows windows(ScaleForDpi(ResourceDpi(display())));  // Xft.dpi, on every monitor
    linux_fltk::FltkMessageBox msgbox;
    return program({keyboard, mixer, windows, msgbox, [&](TimerTable& timers, const Clock& clock, Input& input) {
                      auto loop = std::make_unique<LinuxMessageLoop>(timers, clock, keyboard, *channel_);
                      mixer.follow(*loop, [&input] { input.output_changed(); });
                      return loop; }});
  }
  void handed_over(const Program& program) override {
    SayHotKeysGrabbedElsewhere(display(), program);
    // On Wayland the keys come only while an X window has the focus.
    if (const char* w = std::getenv("WAYLAND_DISPLAY"); w && *w) SayFailure(Severity::hint, kWaylandHint);
  }

 private:
  Display* display() {  // for the messages to another brisel, and the windows'
    errno = 0;
    if (!display_ && !(display_ = XOpenDisplay(nullptr))) Fail("XOpenDisplay", CannotOpenDisplay(nullptr, errno));
    return display_;
  }
  Display* display_ = nullptr;
  std::optional<InstanceChannel> channel_;
};

}  // namespace brisel::linux_x11

int main(int argc, char** argv) {
  brisel::linux_x11::LinuxSystem system;
  return brisel::HostProgram(argc, argv, system);
}
