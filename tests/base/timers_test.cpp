// The timer table (the scenario traces pin the 10 ms floor and handlers that enable other
// timers, on the simulated clock).
#include "base/timers.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/sim/sim_platform.h"

namespace brisel {
namespace {

struct Timers {
  sim::SimClock clock;
  TimerTable table{clock};
  std::string log;
  void wait(std::uint64_t ms) { sim::Advance(clock, table, ms); }
  void note(const char* what) { log += std::to_string(clock.now_ms()) + what + " "; }
};

TEST(Timers, TiesRunInEnablingOrderAndReEnablingRestarts) {
  Timers t;
  FormTimer a(t.table, "a", 10, [&] { t.note("a"); });
  FormTimer b(t.table, "b", 10, [&] { t.note("b"); });
  b.enable();
  a.enable();
  t.wait(10);
  EXPECT_EQ(t.log, "10b 10a ");
  t.log.clear();
  t.wait(5);
  b.enable();  // already enabled: its schedule and place stay
  b.disable();
  a.enable();
  b.enable();  // enabled anew at 15: ticks at 25, after a
  t.wait(15);
  EXPECT_EQ(t.log, "20a 25b 30a ");
  a.disable();
  b.disable();
  EXPECT_FALSE(t.table.next_due());  // nothing to wait for
}

// On the real clock a loop that was held up gets one tick, then the 10 ms grid again; and no
// tick runs while a handler runs (a loop run from inside it).
TEST(Timers, RealClockSkipsMissedTicksAndNoTickRunsInsideAHandler) {
  Timers t;
  int ticks = 0, nested = 0;
  FormTimer a(t.table, "a", 10, [&] { ++ticks, nested += t.table.run_next(1000) ? 1 : 0; });
  FormTimer b(t.table, "b", 10, [] {});
  a.enable();
  b.enable();
  t.clock.set(55);
  while (t.table.run_next(55, true)) {}
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(nested, 0);
  EXPECT_EQ(t.table.next_due(), 60u);
}

// A sleeping timer is left out of the schedule but keeps its place among ties; woken, it ticks
// at once and then every period from the wake-up, not on its old grid.
TEST(Timers, ASleepingTimerWakesOnItsOwnNewGrid) {
  Timers t;
  FormTimer keys(t.table, "keys", 1, [&] { t.note("k"); });
  FormTimer fade(t.table, "fade", 10, [&] { t.note("f"); });
  keys.enable();
  t.wait(10);
  keys.sleep();
  fade.enable();  // enabled later: runs after keys at the same instant
  EXPECT_EQ(t.table.next_due(), 20u);  // the fade's tick; the key timer is not due while it sleeps
  t.wait(33);
  EXPECT_EQ(t.log, "10k 20f 30f 40f ");
  keys.wake();                          // at 43
  EXPECT_TRUE(keys.enabled() && !keys.sleeping());
  t.wait(20);
  EXPECT_EQ(t.log, "10k 20f 30f 40f 43k 50f 53k 60f 63k ");
  keys.wake();  // awake already: nothing changes
  t.log.clear();
  t.wait(7);
  EXPECT_EQ(t.log, "70f ");
  keys.sleep();
  t.wait(3);
  keys.wake();
  fade.disable();
  fade.enable();
  keys.sleep();
  keys.disable();  // a disabled timer neither sleeps nor wakes
  keys.wake();
  EXPECT_FALSE(keys.sleeping());
  t.wait(20);
  EXPECT_EQ(t.log, "70f 83f 93f ");
}

}  // namespace
}  // namespace brisel
