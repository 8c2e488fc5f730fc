// brisel.exe: the Windows program. Win32 windows, the hot keys from GetAsyncKeyState (the key
// timer woken by Raw Input), the volume of the default audio endpoint through Core Audio; the
// behaviour is brisel-sim's.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/program.h"
#include "platform/failure.h"
#include "platform/instance_message.h"
#include "platform/program_start.h"
#include "platform/steady_clock.h"
#include "platform/win32/coreaudio_mixer.h"
#include "platform/win32/win32_autostart.h"
#include "platform/win32/win32_headers.h"
#include "platform/win32/win32_instance.h"
#include "platform/win32/win32_keyboard.h"
#include "platform/win32/win32_message_box.h"
#include "platform/win32/win32_message_loop.h"
#include "platform/win32/win32_single_instance.h"
#include "platform/win32/win32_windows.h"

namespace {

// A program without a console of its own writes --help, --version and its errors to the
// console it was started from, if any; output sent to a file or a pipe stays there.
void UseParentConsole() {
  if (GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) != FILE_TYPE_UNKNOWN) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  std::freopen("CONOUT$", "w", stdout);
  std::freopen("CONOUT$", "w", stderr);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace brisel;
  UseParentConsole();
  ProgramStart start = BeginProgram(argc, argv, System::Windows);
  if (start.exit_status) return *start.exit_status;

  const Options& options = start.cmd.options;
  if (const auto status = CheckKeyNames(options, SayFailure)) return *status;
  try {
    if (options.autostart) return win32::Autostart(options);
    if (options.quit || options.key)
      return SendFromCommandLine(options, win32::SendToInstance, "in this session");

    win32::SingleInstance instance(win32::kInstanceName);
    if (!instance.first()) {
      MessageBoxA(nullptr, "Brisel is already running.", "Brisel", MB_OK | MB_ICONINFORMATION);
      return 1;
    }

    // BRISEL_KEYS=poll: the key timer polls as it always did, the benchmark's reference.
    const char* keys_mode = std::getenv("BRISEL_KEYS");
    const bool poll = keys_mode && std::string_view(keys_mode) == "poll";
    SteadyClock clock;
    win32::Win32Keyboard keyboard(!poll);
    win32::CoreAudioMixer mixer;
    win32::Win32Windows windows;
    win32::Win32MessageBox msgbox;
    Platform platform{clock, keyboard, mixer, windows, msgbox};
    ProgramPlatform program_platform(platform, start.trace_file.get());
    // The program outlives the loop: the box that reports an error still dispatches messages to
    // the windows, which report to the program.
    Program program(program_platform.get());
    // Another program's change of the volume reaches the display as the program's input.
    mixer.follow([&program] { program.output_changed(); });
    win32::Win32MessageLoop loop(program.timers, clock);
    // The hot keys are watched from the hand-over, not from the key timer's first tick: a tap
    // in between wakes it.
    bool handed_over = false;
    loop.set_key_timer(
        [&]() -> FormTimer* {
          FormTimer* timer = program.key_timer();
          if (timer && !handed_over) {
            handed_over = true;
            WatchHotKeys(program, keyboard);
          }
          return timer;
        },
        keyboard.raw_input() ? std::function<bool()>([&] { return keyboard.idle(); }) : nullptr);
    // --quit ends the program; a press from brisel --key reaches the key timer as a key's does.
    win32::InstanceChannel channel([&](const std::string& message) {
      ReceiveInstanceMessage(program, message, [&](std::int32_t vk) { keyboard.press_from_outside(vk); });
    });
    StartProgram(program, options);
    // After "Run" the program works until it is ended from outside (brisel --quit); before it,
    // closing the dialog ends it too.
    return loop.run([&](MSG& msg) { return windows.dialog_message(msg); }, [&] { return program.exit_status(); });
  } catch (...) {
    return ReportError();
  }
}
