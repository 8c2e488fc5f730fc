// The hot keys' ledger as both real keyboards keep it (tests/linux/key_test.sh floods a running
// brisel with presses from outside).
#include "platform/key_ledger.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "harness.h"

namespace brisel {
namespace {

using test::kDown;
using test::kMute;
using test::kUp;
constexpr std::int32_t kF1 = 112;
constexpr int kUpCode = 123, kDownCode = 122;  // the keyboard's codes for them (X keycodes)
constexpr int kHeld = 0x8000, kHeldAndPressed = 0x8001;

struct Ledger : ::testing::Test {
  KeyLedger keys{true};  // as on X11, where a release may come unseen
  void SetUp() override {
    for (std::int32_t vk : {kMute, kUp, kDown}) keys.watch(vk);
  }
  // One tick of the key timer: the three hot keys queried, as its handler does.
  std::array<int, 3> tick() {
    return {keys.answer(kMute) & 0xFFFF, keys.answer(kUp) & 0xFFFF, keys.answer(kDown) & 0xFFFF};
  }
  void tap(std::int32_t vk, int code) {
    keys.press(vk, code);
    EXPECT_TRUE(keys.release(code));
  }
  std::vector<std::int32_t> watched() const {  // least recently queried first
    std::vector<std::int32_t> vks;
    keys.each_key([&](std::int32_t vk) { vks.push_back(vk); });
    return vks;
  }
};

// Taps that came while the program was held up, and presses from outside (brisel --key): none
// merges with another, each is answered by a tick of its own, and the timer may sleep only once
// all are answered.
TEST_F(Ledger, EveryPressIsAnsweredOnceAndIdleOnlyOnceNoneWaits) {
  EXPECT_FALSE(KeyLedger(true).idle());  // the first tick must run, to learn the keys
  EXPECT_TRUE(keys.idle());
  tap(kUp, kUpCode);
  tap(kUp, kUpCode);
  keys.press_from_outside(kUp);
  keys.press_from_outside(kMute);
  EXPECT_FALSE(keys.idle());
  EXPECT_EQ(tick(), (std::array<int, 3>{1, 1, 0}));
  EXPECT_EQ(tick(), (std::array<int, 3>{0, 1, 0}));
  EXPECT_EQ(tick(), (std::array<int, 3>{0, 1, 0}));
  EXPECT_TRUE(keys.idle());
  EXPECT_EQ(tick(), (std::array<int, 3>{0, 0, 0}));
}

// 80 presses take the level from one end to the other: more cannot move it further, and a
// flood of them must not queue minutes of stepping.
TEST_F(Ledger, AtMostEightyPressesOfAKeyWait) {
  for (int i = 0; i < 300; ++i) keys.press_from_outside(kUp);
  for (int i = 0; i < 50; ++i) {
    tap(kDown, kDownCode);
    keys.press_from_outside(kDown);
  }
  std::array<int, 3> answered{};
  for (int ticks = 0; ticks < 1000 && !keys.idle(); ++ticks) {
    const std::array<int, 3> pressed = tick();
    for (std::size_t key = 0; key < 3; ++key) answered[key] += pressed[key];
  }
  EXPECT_EQ(answered, (std::array<int, 3>{0, 80, 80}));
}

// A key held when its release may come unseen: another press of its code is a new press until
// the keyboard's state confirms it held; then presses without releases are its auto-repeat.
TEST_F(Ledger, AHeldKeyIsDownUntilReleasedAndRepeatsNoPressOnceConfirmed) {
  keys.press(kDown, kDownCode);
  keys.press(kDown, kDownCode);
  EXPECT_TRUE(keys.any_unconfirmed());
  EXPECT_EQ(tick()[2], kHeldAndPressed);
  EXPECT_EQ(tick()[2], kHeldAndPressed);
  keys.confirm([](int code) { return code == kDownCode; });
  keys.press(kDown, kDownCode);
  EXPECT_EQ(tick()[2], kHeld);
  EXPECT_FALSE(keys.idle());  // a held key keeps the ticks going
  keys.press_from_outside(kDown);  // still counts
  EXPECT_EQ(tick()[2], kHeldAndPressed);
  EXPECT_TRUE(keys.release(kDownCode));
  EXPECT_FALSE(keys.release(kDownCode));
  EXPECT_TRUE(keys.idle());
  EXPECT_EQ(tick()[2], 0);
  // Released unseen: the keyboard's state says so.
  keys.press(kUp, kUpCode);
  keys.confirm([](int) { return false; });
  EXPECT_FALSE(keys.any_down());
  EXPECT_EQ(tick()[1], 1);
  // Where every release comes (Windows), a press of a key held is its auto-repeat at once.
  KeyLedger sure(false);
  sure.press(kUp, kUp);
  sure.press(kUp, kUp);
  EXPECT_EQ(sure.answer(kUp) & 0xFFFF, kHeldAndPressed);
  EXPECT_EQ(sure.answer(kUp) & 0xFFFF, kHeld);
}

// The three most recently queried keys are watched; a key watched before its first query
// (at the hand-over) counts its presses from then, and one held as it starts being watched is
// down but not pressed.
TEST_F(Ledger, TheThreeKeysQueriedLastAreWatched) {
  EXPECT_FALSE(keys.watch(kUp));  // watched already: nothing changes
  tap(kUp, kUpCode);
  EXPECT_EQ(keys.answer(kF1), 0);
  EXPECT_EQ(watched(), (std::vector<std::int32_t>{kUp, kDown, kF1}));  // mute is forgotten
  EXPECT_EQ(keys.answer(kUp), 1);
  EXPECT_EQ(watched(), (std::vector<std::int32_t>{kDown, kF1, kUp}));
  EXPECT_TRUE(keys.watch(kMute));
  keys.hold(kMute, 121);
  EXPECT_EQ(keys.answer(kMute) & 0xFFFF, kHeld);
  EXPECT_EQ(watched(), (std::vector<std::int32_t>{kF1, kUp, kMute}));
}

}  // namespace
}  // namespace brisel
