// Presses, holds and releases the three keys at random over many simulated minutes and checks
// the display's invariants, and the volume the output was last sent, after every 10 ms.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "base/text_numbers.h"
#include "harness.h"

namespace brisel {
namespace {

class RandomKeys {
 public:
  explicit RandomKeys(unsigned seed) : rng_(seed) { h_.start_watching(); }

  void run(std::uint64_t minutes) {
    const std::uint64_t end = now() + minutes * 60'000;
    while (now() < end && !::testing::Test::HasFailure()) {
      const int key = keys_[static_cast<std::size_t>(pick(3))];
      switch (pick(10)) {
        case 0: case 1: case 2: case 3: press_at([&] { h_.sim.keyboard.tap(key); }); break;
        case 4: press_at([&] { h_.sim.keyboard.down(key); }); held_[index(key)] = true; break;
        case 5: h_.sim.keyboard.up(key); held_[index(key)] = false; break;
        case 6: step(2600 + static_cast<std::uint64_t>(pick(400))); break;  // long enough to come to rest
        default: step(static_cast<std::uint64_t>(pick(1200))); break;
      }
      if (pick(4) == 0) release_all();
    }
    release_all();
    step(2600);
  }

 private:
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  std::uint64_t now() const { return h_.sim.clock.now_ms(); }
  static std::size_t index(int key) { return static_cast<std::size_t>(key - test::kMute); }
  bool at_rest() { return h_.display_at_rest(); }
  template <typename Press>
  void press_at(Press press) {
    if (at_rest()) full_cycle_due_ = now() + 250;
    press();
    last_press_ = now();
  }
  void release_all() {
    for (int key : keys_) h_.sim.keyboard.up(key);
    held_ = {};
  }
  void step(std::uint64_t ms) {
    for (std::uint64_t t = 0; t < ms && !::testing::Test::HasFailure(); t += 10) {
      h_.wait(10);
      if (held_[0] || held_[1] || held_[2]) last_press_ = now();
      check();
    }
  }

  void check() {
    SplashForm& d = h_.splash();
    const double level = Number(d.VolCount);
    ASSERT_TRUE(level >= 0 && level <= 80 && level == static_cast<int>(level)) << d.VolCount;
    ASSERT_EQ(d.Volume, Text(1 + 1.25 * level));
    if (const auto sent = h_.sim.mixer.value(11)) {  // the percent the bar stands for, 101 % clamped
      ASSERT_EQ(*sent, std::min(65535, 655 * ToInt32(d.Volume))) << d.VolCount;
    }
    ASSERT_EQ(h_.sim.msgbox.shown(), 0);
    if (const auto& opacity = h_.window("Splash").opacity) {
      ASSERT_TRUE(*opacity >= 10 && *opacity <= 220) << *opacity;
      ASSERT_TRUE(d.first != "last" || d.FadeOut.enabled() || *opacity == 220) << "faded in to " << *opacity;
    }
    ASSERT_FALSE(d.FadeIn.enabled() && d.first == "first" && d.FadeOut.enabled()) << "fade-in against fade-out";
    if (now() >= last_press_ + 2500) {
      ASSERT_TRUE(at_rest()) << "not at rest at " << now();
    }
    if (full_cycle_due_ && now() >= *full_cycle_due_) {
      ASSERT_EQ(d.first, "last") << "no full fade-in for the press at " << *full_cycle_due_ - 250;
      full_cycle_due_.reset();
    }
  }

  test::Harness h_;
  std::mt19937 rng_;
  const std::array<int, 3> keys_ = {test::kMute, test::kDown, test::kUp};  // kMute, kDown, kUp are 173 to 175
  std::array<bool, 3> held_{};
  std::uint64_t last_press_ = 0;
  std::optional<std::uint64_t> full_cycle_due_;
};

TEST(RandomKeys, DisplayInvariantsHoldOverManyMinutes) {
  for (unsigned seed : {1u, 2u, 3u, 20261206u}) {
    SCOPED_TRACE(seed);
    RandomKeys(seed).run(10);
  }
}

}  // namespace
}  // namespace brisel
