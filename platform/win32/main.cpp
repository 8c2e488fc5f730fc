// brisel.exe: the Windows program. Win32 windows, the hot keys from GetAsyncKeyState (the key
// timer woken by Raw Input), the volume of the default audio endpoint through Core Audio; the
// behaviour is brisel-sim's. One Brisel per Windows session.
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/coreaudio_mixer.h"
#include "platform/win32/win32_autostart.h"
#include "platform/win32/win32_failure.h"
#include "platform/win32/win32_keyboard.h"
#include "platform/win32/win32_message_box.h"
#include "platform/win32/win32_message_loop.h"
#include "platform/win32/win32_single_instance.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

namespace brisel::win32 {
namespace {

class WindowsSystem final : public HostSystem {
 public:
  WindowsSystem() : HostSystem(System::Windows, "in this session") {}
  std::optional<std::string> autostart(const Options& options) override { return Autostart(options); }
  SendResult send(std::string_view message, int wait_ms) override { return SendToInstance(message, wait_ms); }
  bool claim_instance() override { return instance_.emplace(kInstanceName).first(); }
  // BRISEL_KEYS=poll: the keys polled as they always were, without Raw Input.
  int run(bool keys_polled, const std::function<int(const SystemPieces&)>& program) override {
    Win32Keyboard keyboard(!keys_polled);
    CoreAudioMixer mixer;
    Win32Windows windows;
    Win32MessageBox msgbox;
    InstanceChannel channel;
    return program({keyboard, mixer, windows, msgbox, [&](TimerTable& timers, const Clock& clock, Input& input) {
                      const auto dialog = [&windows](MSG& msg) { return windows.dialog_message(msg); };
                      mixer.follow([&input] { input.output_changed(); });
                      return std::make_unique<Win32MessageLoop>(timers, clock, dialog, &channel);
                    }});
  }

 private:
  std::optional<SingleInstance> instance_;
};

}  // namespace
}  // namespace brisel::win32

int main(int argc, char** argv) {
  brisel::win32::UseParentConsole();
  std::vector<std::string> args = brisel::win32::CommandLineUtf8(argc, argv);
  std::vector<char*> utf8;
  for (std::string& arg : args) utf8.push_back(arg.data());
  utf8.push_back(nullptr);
  brisel::win32::WindowsSystem system;
  return brisel::HostProgram(static_cast<int>(args.size()), utf8.data(), system);
}
