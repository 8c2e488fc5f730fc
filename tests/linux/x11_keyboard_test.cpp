// The keyboard on a real X server (run under tests/linux/session.sh): keys pressed through
// XTest on a connection of the test's own.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>

#include "platform/linux/x11_keyboard.h"

namespace brisel::linux_x11 {
namespace {

constexpr std::int32_t kF1 = 112, kF2 = 113, kF3 = 114, kF4 = 115, kF5 = 116;

struct X11KeyboardTest : ::testing::Test {
  Display* sender = XOpenDisplay(nullptr);
  X11Keyboard keyboard{nullptr};
  void SetUp() override { ASSERT_TRUE(sender && keyboard.ok() && keyboard.raw_events()); }
  ~X11KeyboardTest() override {
    if (sender) XCloseDisplay(sender);
  }
  void key(KeySym sym, bool down) {
    XTestFakeKeyEvent(sender, XKeysymToKeycode(sender, sym), down ? True : False, 0);
    XSync(sender, False);
  }
  // The key's state once it is no longer `from` (bounded wait: events arrive on another connection).
  std::uint16_t state_after(std::int32_t vk, std::uint16_t from) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    std::uint16_t state = from;
    while ((state = static_cast<std::uint16_t>(keyboard.GetAsyncKeyState(vk))) == from &&
           std::chrono::steady_clock::now() < deadline) {
    }
    return state;
  }
};

TEST_F(X11KeyboardTest, KeepsNothingOfKeysItDoesNotWatch) {
  EXPECT_EQ(keyboard.GetAsyncKeyState(kF1), 0);  // F1 is watched from here on
  for (const KeySym sym : {KeySym{XK_F5}, KeySym{XK_F1}}) key(sym, true), key(sym, false);
  EXPECT_EQ(state_after(kF1, 0), 1);  // pressed since, and up again
  EXPECT_EQ(keyboard.GetAsyncKeyState(kF1), 0);
  // F5 was pressed before F1, while nobody asked for it: nothing of it was kept.
  EXPECT_EQ(keyboard.GetAsyncKeyState(kF5), 0);
  // State is kept for the keys queried last, never more than the three hot keys.
  for (std::int32_t vk : {kF2, kF3, kF4, kF1}) keyboard.GetAsyncKeyState(vk);
  EXPECT_EQ(keyboard.watched_count(), 3u);
  EXPECT_EQ(keyboard.GetAsyncKeyState(65), 0);  // no hot key: never watched
  EXPECT_EQ(keyboard.watched_count(), 3u);
}

TEST_F(X11KeyboardTest, AHeldKeyIsDownUntilReleased) {
  EXPECT_EQ(keyboard.GetAsyncKeyState(kF2), 0);
  key(XK_F2, true);
  EXPECT_EQ(state_after(kF2, 0), 0x8001u);  // down, and pressed since
  EXPECT_EQ(static_cast<std::uint16_t>(keyboard.GetAsyncKeyState(kF2)), 0x8000u);
  key(XK_F2, false);
  EXPECT_EQ(state_after(kF2, 0x8000), 0);
}

// A display that does not exist: the keyboard says which call failed and why, for the program's
// failure line, and answers every query with nothing.
TEST(X11KeyboardWithoutDisplay, SaysWhyAndAnswersNothing) {
  X11Keyboard keyboard(":987");
  EXPECT_FALSE(keyboard.ok());
  EXPECT_EQ(keyboard.failure().rfind("cannot open the X display \":987\"", 0), 0u) << keyboard.failure();
  EXPECT_EQ(keyboard.GetAsyncKeyState(112), 0);
  EXPECT_FALSE(keyboard.drain());
}

}  // namespace
}  // namespace brisel::linux_x11
