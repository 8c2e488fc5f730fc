// brisel.exe: the Windows program. Win32 windows, the hot keys from GetAsyncKeyState, the
// volume of the default audio endpoint through Core Audio; the behaviour is brisel-sim's.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/program.h"
#include "platform/failure.h"
#include "platform/program_start.h"
#include "platform/steady_clock.h"
#include "platform/win32/coreaudio_mixer.h"
#include "platform/win32/win32_headers.h"
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
  // Per-monitor DPI aware: each window is drawn at its monitor's scale (Win32Windows), not
  // blown up by the system. (This belongs in the application manifest once the program has one.)
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  UseParentConsole();
  ProgramStart start = BeginProgram(argc, argv, System::Windows);
  if (start.exit_status) return *start.exit_status;

  try {
    win32::SingleInstance instance(win32::kInstanceName);
    if (!instance.first()) {
      MessageBoxA(nullptr, "Brisel is already running.", "Brisel", MB_OK | MB_ICONINFORMATION);
      return 1;
    }

    SteadyClock clock;
    win32::Win32Keyboard keyboard;
    win32::CoreAudioMixer mixer;
    win32::Win32Windows windows;
    win32::Win32MessageBox msgbox;
    Platform platform{clock, keyboard, mixer, windows, msgbox};
    ProgramPlatform program_platform(platform, start.trace_file.get());
    // The program outlives the loop: the box that reports an error still dispatches messages to
    // the windows, which report to the program.
    Program program(program_platform.get());
    win32::Win32MessageLoop loop(program.timers, clock);
    StartProgram(program, start.cmd.options);
    // After "Run" the program works until it is ended from outside; before it, closing the
    // dialog ends it.
    return loop.run([&](MSG& msg) { return windows.dialog_message(msg); }, [&] { return program.exit_status(); });
  } catch (...) {
    return ReportError();
  }
}
