// The Windows platform's own parts that need no desktop, run under Wine.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "base/runtime_error.h"
#include "base/timers.h"
#include "platform/steady_clock.h"
#include "platform/win32/coreaudio_mixer.h"
#include "platform/win32/win32_autostart.h"
#include "platform/win32/win32_message_loop.h"
// After <windows.h>, which it needs.
#include <shellapi.h>

namespace brisel::win32 {
namespace {

// A volume or mute notification reaches the program's thread as one report however many came
// before it looked, never for the program's own writes; a new default endpoint is one too.
TEST(CoreAudio, ChangesMadeElsewhereAreReportedOnTheProgramsThreadAndItsOwnAreNot) {
  CoreAudioMixer mixer;
  int changes = 0;
  mixer.follow([&] { ++changes; });
  const auto pump = [] {
    for (MSG m; PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&m);
  };
  mixer.volume_notified(mixer.event_context());
  pump();
  EXPECT_EQ(changes, 0);
  std::thread system([&] {
    const GUID elsewhere{0x1234, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    mixer.volume_notified(elsewhere);
    mixer.volume_notified(elsewhere);
  });
  system.join();
  EXPECT_EQ(changes, 0);
  pump();
  EXPECT_EQ(changes, 1);
  mixer.default_changed();
  pump();
  EXPECT_EQ(changes, 2);
}

// What the system's own parser makes of a command line (ASCII only here).
std::vector<std::string> SystemArgs(const std::string& command) {
  const std::wstring wide(command.begin(), command.end());
  int n = 0;
  wchar_t** argv = CommandLineToArgvW(wide.c_str(), &n);
  std::vector<std::string> args;
  for (int i = 0; i < n; ++i) {
    const std::wstring arg(argv[i]);
    args.emplace_back(arg.begin(), arg.end());
  }
  LocalFree(argv);
  return args;
}

TEST(Autostart, TheRunCommandGivesBackTheProgramAndEachKeyNameAsTheyWere) {
  Options o;
  o.up = " +";
  o.down = "a\\\"b\\";
  o.mute = "";
  const std::string program = "C:\\Users\\A B\\brisel.exe";
  const std::string command = AutostartCommand(program, o, CommandLineArgument);
  EXPECT_TRUE(command.starts_with("\"C:\\Users\\A B\\brisel.exe\" --run --up \" +\" --down ")) << command;
  EXPECT_EQ(SystemArgs(command),
            (std::vector<std::string>{program, "--run", "--up", " +", "--down", "a\\\"b\\", "--mute", ""}));
  o.mute = "F1\tx";
  EXPECT_EQ(AutostartCommand(program, o, CommandLineArgument), "") << "a control character is refused";
}

// The loop on the system's own timer and clock: each test ends by itself within a few ticks.
TEST(MessageLoop, TimerEnabledByInputTicksAfterItsIntervalAndItsErrorEndsTheLoop) {
  SteadyClock clock;
  TimerTable timers(clock);
  std::uint64_t enabled_at = 0, ticked_at = 0;
  FormTimer timer(timers, "timer", 10, [&] {
    ticked_at = clock.now_ms();
    RaiseOverflow();
  });
  // Ends the test should the input's timer never be armed.
  FormTimer deadline(timers, "deadline", 5000, [] { PostQuitMessage(0); });
  deadline.enable();
  // Input that enables a timer, as "Run" does: nothing is armed before it.
  PostThreadMessageA(GetCurrentThreadId(), WM_APP, 0, 0);
  const auto input = [&](MSG& msg) {
    if (msg.message != WM_APP) return false;
    enabled_at = clock.now_ms();
    timer.enable();
    return true;
  };
  Win32MessageLoop loop(timers, clock, input);
  try {
    loop.run({});
    FAIL() << "the loop ended without the handler's error";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.description(), "Overflow");
  }
  ASSERT_NE(ticked_at, 0u);
  EXPECT_GE(ticked_at - enabled_at, 10u);
  EXPECT_LT(ticked_at - enabled_at, 2000u) << "ticked only when another timer was due";
}

TEST(MessageLoop, NothingDueNothingTicks) {
  SteadyClock clock;
  TimerTable timers(clock);
  int ticks = 0;
  FormTimer once(timers, "once", 10, [&] {
    ++ticks;
    once.disable();
  });
  once.enable();
  // A timer of the thread, not the loop's, ends the test 300 ms on.
  const UINT_PTR end = SetTimer(nullptr, 0, 300, nullptr);
  int loop_timer_messages = 0;
  Win32MessageLoop loop(timers, clock, [&](MSG& msg) {
    if (msg.message != WM_TIMER) return false;
    if (msg.hwnd == nullptr && msg.wParam == end) PostQuitMessage(0);
    if (msg.hwnd != nullptr) ++loop_timer_messages;
    return msg.hwnd == nullptr;
  });
  loop.run({});
  KillTimer(nullptr, end);
  EXPECT_EQ(ticks, 1);
  EXPECT_LE(loop_timer_messages, 2) << "the system's timer went on after the last timer was disabled";
}

TEST(MessageLoop, TimersEnabledByATickTickInTheOrderTheyWereEnabled) {
  SteadyClock clock;
  TimerTable timers(clock);
  std::string ticks;
  FormTimer second(timers, "second", 10, [&] { ticks += 's'; });
  FormTimer first(timers, "first", 10, [&] { ticks += 'f'; });
  FormTimer start(timers, "start", 10, [&] {
    ticks += '.';
    start.disable();
    first.enable();
    second.enable();
  });
  FormTimer stop(timers, "stop", 60, [&] { PostQuitMessage(0); });
  start.enable();
  stop.enable();
  Win32MessageLoop loop(timers, clock);
  loop.run({});
  ASSERT_GE(ticks.size(), 3u) << ticks;
  EXPECT_EQ(ticks.substr(0, 3), ".fs");
  for (std::size_t i = 1; i + 1 < ticks.size(); i += 2) EXPECT_EQ(ticks.substr(i, 2), "fs") << ticks;
}

}  // namespace
}  // namespace brisel::win32
