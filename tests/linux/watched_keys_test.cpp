#include <gtest/gtest.h>

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include "platform/linux/watched_keys.h"

namespace brisel::linux_x11 {
namespace {

constexpr std::int32_t kUp = 175, kDown = 174, kMute = 173, kF1 = 112;
constexpr int kUpCode = 123, kDownCode = 122, kMuteCode = 121, kF1Code = 67, kLetterCode = 38;

WatchedKeys::Keymap Keymap() {
  WatchedKeys::Keymap map;
  map[kUpCode] = {XF86XK_AudioRaiseVolume};
  map[kDownCode] = {XF86XK_AudioLowerVolume};
  map[kMuteCode] = {XF86XK_AudioMute};
  map[kF1Code] = {XK_F1};
  map[kLetterCode] = {XK_a, XK_A};
  return map;
}

const auto kNoneHeld = [](int) { return false; };

struct Keys : ::testing::Test {
  WatchedKeys keys;
  void SetUp() override { keys.set_keymap(Keymap()); }
  // One tick of the key timer: the three hot keys queried, as the handler does.
  std::array<int, 3> tick() {
    return {keys.query(kMute, kNoneHeld), keys.query(kUp, kNoneHeld), keys.query(kDown, kNoneHeld)};
  }
};

TEST_F(Keys, NothingIsIdleUntilTheKeysAreKnownThenEveryTapIsSeenOnce) {
  EXPECT_FALSE(keys.idle());  // the first tick must run, to learn the keys
  EXPECT_EQ(tick(), (std::array<int, 3>{0, 0, 0}));
  EXPECT_TRUE(keys.idle());
  // Two taps before a tick (the program was held up): each is seen, once.
  EXPECT_TRUE(keys.event(kUpCode, true));
  EXPECT_FALSE(keys.idle());
  keys.event(kUpCode, false);
  keys.event(kUpCode, true);
  keys.event(kUpCode, false);
  EXPECT_EQ(tick(), (std::array<int, 3>{0, 1, 0}));
  EXPECT_FALSE(keys.idle());
  EXPECT_EQ(tick(), (std::array<int, 3>{0, 1, 0}));
  EXPECT_TRUE(keys.idle());
  EXPECT_EQ(tick(), (std::array<int, 3>{0, 0, 0}));
}

TEST_F(Keys, KeysWatchedBeforeTheirFirstQueryCountTheirPresses) {
  // Without: a tap before the first tick concerns no watched key, and is gone.
  EXPECT_FALSE(keys.event(kUpCode, true));
  keys.event(kUpCode, false);
  EXPECT_EQ(tick(), (std::array<int, 3>{0, 0, 0}));

  WatchedKeys handed_over;
  handed_over.set_keymap(Keymap());
  EXPECT_TRUE(handed_over.begin_watching(kUp, kNoneHeld));
  EXPECT_FALSE(handed_over.begin_watching(0, kNoneHeld));  // no key has that code
  EXPECT_TRUE(handed_over.event(kUpCode, true));
  handed_over.event(kUpCode, false);
  EXPECT_EQ(handed_over.query(kUp, kNoneHeld), 1);
  // Watching a watched key again keeps what it holds.
  handed_over.event(kUpCode, true);
  handed_over.begin_watching(kUp, kNoneHeld);
  EXPECT_EQ(handed_over.query(kUp, kNoneHeld), static_cast<std::int16_t>(0x8001));
}

TEST_F(Keys, AHeldKeyKeepsTheTicksGoingUntilItsRelease) {
  tick();
  keys.event(kDownCode, true);
  keys.confirm([](int code) { return code == kDownCode; });
  keys.event(kDownCode, true);  // auto-repeat: no new press
  EXPECT_EQ(tick()[2], static_cast<std::int16_t>(0x8001));
  EXPECT_FALSE(keys.idle());
  EXPECT_EQ(tick()[2], static_cast<std::int16_t>(0x8000));
  keys.event(kDownCode, false);
  EXPECT_TRUE(keys.idle());
  EXPECT_EQ(tick()[2], 0);
}

TEST_F(Keys, OtherKeysLeaveNothingBehind) {
  tick();
  EXPECT_FALSE(keys.event(kLetterCode, true));
  EXPECT_FALSE(keys.event(kF1Code, true));
  EXPECT_FALSE(keys.event(kF1Code, false));
  EXPECT_FALSE(keys.event(300, true));  // no such keycode
  EXPECT_TRUE(keys.idle());
  EXPECT_EQ(keys.count(), 3u);
  // F1 watched only from its first query: its earlier press was never kept.
  EXPECT_EQ(keys.query(kF1, kNoneHeld), 0);
  EXPECT_EQ(keys.count(), 3u);  // the oldest, mute, is forgotten
  EXPECT_FALSE(keys.event(kMuteCode, true));
}

// A key held while the key map moves it is released by the keycode it went down with: it must
// not stay down (a held volume key steps every tick).
TEST_F(Keys, AKeyHeldWhileTheKeyMapChangesIsStillReleased) {
  tick();
  keys.event(kUpCode, true);
  WatchedKeys::Keymap moved = Keymap();
  moved[kUpCode].clear();
  moved[200] = {XF86XK_AudioRaiseVolume};
  keys.set_keymap(moved);
  EXPECT_TRUE(keys.event(kUpCode, false));
  EXPECT_EQ(tick()[1], 1);  // pressed since, and up
  EXPECT_TRUE(keys.idle());
  EXPECT_FALSE(keys.event(kLetterCode, false));  // a release of a key nobody holds is nothing
}

// A press seen while releases were not selected may have had its release missed: another press
// of the same keycode is a new press until the key map has confirmed the key held. Once
// confirmed, presses without a release are the key's auto-repeat.
TEST_F(Keys, APressIsNewUntilTheKeyIsConfirmedHeld) {
  tick();
  keys.event(kUpCode, true);
  EXPECT_TRUE(keys.any_unconfirmed());
  keys.event(kUpCode, true);  // its release came before releases were selected
  EXPECT_EQ(tick()[1], static_cast<std::int16_t>(0x8001));
  EXPECT_EQ(tick()[1], static_cast<std::int16_t>(0x8001));
  keys.confirm([](int code) { return code == kUpCode; });
  EXPECT_FALSE(keys.any_unconfirmed());
  keys.event(kUpCode, true);  // auto-repeat
  EXPECT_EQ(tick()[1], static_cast<std::int16_t>(0x8000));
  keys.confirm(kNoneHeld);  // released, unseen: the key map says so
  EXPECT_FALSE(keys.any_down());
  EXPECT_TRUE(keys.idle());
}

TEST_F(Keys, AKeyMovedToAnotherKeycodeIsFollowed) {
  tick();
  WatchedKeys::Keymap moved = Keymap();
  moved[kUpCode].clear();
  moved[200] = {XF86XK_AudioRaiseVolume};
  keys.set_keymap(moved);
  EXPECT_FALSE(keys.event(kUpCode, true));
  EXPECT_TRUE(keys.event(200, true));
  EXPECT_EQ(tick()[1], static_cast<std::int16_t>(0x8001));
}

TEST_F(Keys, ANewlyWatchedKeyHeldAtItsFirstQueryIsDownButNotPressed) {
  EXPECT_EQ(keys.query(kUp, [](int code) { return code == kUpCode; }), static_cast<std::int16_t>(0x8000));
  keys.event(kUpCode, false);
  EXPECT_EQ(keys.query(kUp, kNoneHeld), 0);
}

// Presses from outside (brisel --key): none merges with another, so a burst of them between two
// ticks steps once per press, and the key timer keeps ticking until all are answered.
TEST_F(Keys, EachPressFromOutsideIsAnsweredByATickOfItsOwn) {
  tick();
  EXPECT_TRUE(keys.press_from_outside(kUp, kNoneHeld));
  EXPECT_TRUE(keys.press_from_outside(kUp, kNoneHeld));
  EXPECT_TRUE(keys.press_from_outside(kMute, kNoneHeld));
  EXPECT_FALSE(keys.idle());
  EXPECT_EQ(tick(), (std::array<int, 3>{1, 1, 0}));
  EXPECT_FALSE(keys.idle());
  EXPECT_EQ(tick(), (std::array<int, 3>{0, 1, 0}));
  EXPECT_TRUE(keys.idle());
  EXPECT_EQ(tick(), (std::array<int, 3>{0, 0, 0}));
}

TEST_F(Keys, KeyboardTapsAndPressesFromOutsideDoNotMerge) {
  tick();
  keys.event(kDownCode, true);
  keys.event(kDownCode, false);
  keys.press_from_outside(kDown, kNoneHeld);
  keys.event(kDownCode, true);
  keys.event(kDownCode, false);
  EXPECT_EQ(tick()[2], 1);
  EXPECT_EQ(tick()[2], 1);
  EXPECT_EQ(tick()[2], 1);
  EXPECT_EQ(tick()[2], 0);
  // While the key is held, a press from outside still counts once.
  keys.event(kDownCode, true);
  EXPECT_EQ(tick()[2], static_cast<std::int16_t>(0x8001));
  keys.press_from_outside(kDown, kNoneHeld);
  EXPECT_EQ(tick()[2], static_cast<std::int16_t>(0x8001));
  EXPECT_EQ(tick()[2], static_cast<std::int16_t>(0x8000));
}

TEST_F(Keys, APressFromOutsideWatchesItsKeyButNoCodeWithoutAKey) {
  EXPECT_FALSE(keys.press_from_outside(999, kNoneHeld));
  EXPECT_EQ(keys.count(), 0u);
  EXPECT_TRUE(keys.press_from_outside(kF1, [](int code) { return code == kF1Code; }));
  EXPECT_EQ(keys.count(), 1u);
  EXPECT_TRUE(keys.event(kF1Code, false));  // watched, and known to be down
  EXPECT_EQ(keys.query(kF1, kNoneHeld), 1);
  EXPECT_EQ(keys.query(kF1, kNoneHeld), 0);
}

}  // namespace
}  // namespace brisel::linux_x11
