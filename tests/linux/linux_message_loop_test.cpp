// The Linux message loop on a real X server (run under tests/linux/session.sh), as the Windows
// loop is tested under Wine: an event of a watched key wakes the sleeping key timer; messages
// from another instance are handled; due timers run. Keys are pressed through XTest and messages
// sent on connections of the test's own. Each test ends by itself, or at its 5 s deadline.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/x.H>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/linux/linux_message_loop.h"
#include "platform/steady_clock.h"

namespace brisel::linux_x11 {
namespace {

constexpr std::int32_t kF1 = 112;
constexpr int kMissedDeadline = 2;

struct LinuxMessageLoopTest : ::testing::Test {
  LinuxMessageLoopTest() { fl_open_display(); }
  ~LinuxMessageLoopTest() override {
    if (sender) XCloseDisplay(sender);
  }
  SteadyClock clock;
  TimerTable timers{clock};
  X11Keyboard keyboard{nullptr};
  InstanceChannel channel{nullptr};
  Display* sender = XOpenDisplay(nullptr);
  LinuxMessageLoop loop{timers, clock, keyboard, channel};
  std::optional<int> end;
  FormTimer deadline{timers, "deadline", 5000, [this] { end = kMissedDeadline; }};

  void SetUp() override {
    ASSERT_TRUE(sender && keyboard.ok() && keyboard.raw_events());
    ASSERT_EQ(channel.state(), InstanceChannel::State::Owner);
    deadline.enable();
  }
  int run() {
    return loop.run([this] { return end; });
  }
};

TEST_F(LinuxMessageLoopTest, AnEventOfAWatchedKeyWakesTheSleepingKeyTimer) {
  int ticks = 0;
  bool pressed = false;
  FormTimer key_timer(timers, "KeyTimer", 1, [&] {
    ++ticks;
    if (keyboard.GetAsyncKeyState(kF1) & 1) {  // F1 is watched from the first tick on
      pressed = true;
      end = 0;
    }
  });
  loop.set_key_timer([&] { return &key_timer; }, [&] { return keyboard.idle(); });
  int ticks_before_the_tap = -1;
  FormTimer tapper(timers, "tapper", 300, [&] {
    tapper.disable();
    ticks_before_the_tap = ticks;
    const KeyCode code = XKeysymToKeycode(sender, XK_F1);
    XTestFakeKeyEvent(sender, code, True, 0);
    XTestFakeKeyEvent(sender, code, False, 0);
    XSync(sender, False);
  });
  key_timer.enable();
  tapper.enable();
  EXPECT_EQ(run(), 0);
  EXPECT_TRUE(pressed);
  // Polling every 10 ms would have ticked about 30 times in those 300 ms.
  EXPECT_GE(ticks_before_the_tap, 1);
  EXPECT_LE(ticks_before_the_tap, 3) << "the key timer did not sleep";
}

// One message sent before the loop ran is handled at once, two sent while nothing else is due
// after it.
TEST_F(LinuxMessageLoopTest, MessagesFromAnotherInstanceAreHandledBeforeAndWhileItRuns) {
  std::vector<std::string> received;
  loop.on_message([&](const std::string& message) {
    received.push_back(message);
    if (message == "key up") end = 0;
  });
  ASSERT_EQ(SendToInstance(sender, "quit"), SendResult::Sent);
  XSync(sender, False);
  FormTimer sending(timers, "sending", 300, [&] {
    sending.disable();
    EXPECT_EQ(received, std::vector<std::string>{"quit"});
    EXPECT_EQ(SendToInstance(sender, "key down"), SendResult::Sent);
    EXPECT_EQ(SendToInstance(sender, "key up"), SendResult::Sent);
  });
  sending.enable();
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(received, (std::vector<std::string>{"quit", "key down", "key up"}));
}

}  // namespace
}  // namespace brisel::linux_x11
