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
  ~X11KeyboardTest() override {
    if (sender) XCloseDisplay(sender);
  }
  void key(KeySym sym, bool down) {
    XTestFakeKeyEvent(sender, XKeysymToKeycode(sender, sym), down ? True : False, 0);
    XSync(sender, False);
  }
  void tap(KeySym sym) {
    key(sym, true);
    key(sym, false);
  }
  // The key's state, once it has some (bounded wait: events arrive on another connection).
  std::int16_t first_state(std::int32_t vk) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    std::int16_t state = 0;
    while ((state = keyboard.GetAsyncKeyState(vk)) == 0 && std::chrono::steady_clock::now() < deadline) {
    }
    return state;
  }
};

TEST_F(X11KeyboardTest, KeepsNothingOfKeysItDoesNotWatch) {
  ASSERT_TRUE(sender && keyboard.ok() && keyboard.raw_events());
  EXPECT_EQ(keyboard.GetAsyncKeyState(kF1), 0);  // F1 is watched from here on
  tap(XK_F5);
  tap(XK_F1);
  EXPECT_EQ(first_state(kF1), 1);  // pressed since, and up again
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
  ASSERT_TRUE(sender && keyboard.ok());
  EXPECT_EQ(keyboard.GetAsyncKeyState(kF2), 0);
  key(XK_F2, true);
  EXPECT_EQ(static_cast<std::uint16_t>(first_state(kF2)), 0x8001u);  // down, and pressed since
  EXPECT_EQ(static_cast<std::uint16_t>(keyboard.GetAsyncKeyState(kF2)), 0x8000u);
  key(XK_F2, false);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (keyboard.GetAsyncKeyState(kF2) != 0 && std::chrono::steady_clock::now() < deadline) {
  }
  EXPECT_EQ(keyboard.GetAsyncKeyState(kF2), 0);
}

}  // namespace
}  // namespace brisel::linux_x11

namespace brisel::linux_x11 {
namespace {

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
