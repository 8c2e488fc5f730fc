// The window timers and the one schedule they share. The rules hold on every platform:
// - a timer ticks at most once per `floor` ms (10, as Windows does for any shorter interval);
// - enabling a timer that is already enabled changes nothing; disabling and enabling again
//   restarts its schedule from that moment;
// - ticks due at the same instant run in the order their timers were enabled;
// - each handler runs to its end before the next tick runs.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace brisel {

class TimerTable;

// A window's timer. It joins its table when bound to it, from the window's timer table (below).
class FormTimer {
 public:
  FormTimer() = default;
  FormTimer(TimerTable& table, std::string_view name, std::uint32_t interval_ms, std::function<void()> handler) {
    bind(table, name, interval_ms, std::move(handler));
  }
  ~FormTimer();
  FormTimer(const FormTimer&) = delete;
  FormTimer& operator=(const FormTimer&) = delete;

  void bind(TimerTable& table, std::string_view name, std::uint32_t interval_ms, std::function<void()> handler);

  void enable();
  void disable();
  bool enabled() const { return enabled_; }

  // An enabled timer whose ticks cannot do anything for now may sleep: it stays enabled and
  // keeps its place among ties, but is not due until woken. Woken, it ticks at once and then
  // every period from that moment. Waking a timer that does not sleep changes nothing.
  void sleep();
  void wake();
  bool sleeping() const { return sleeping_; }
  std::string_view name() const { return name_; }

 private:
  friend class TimerTable;
  TimerTable* table_ = nullptr;
  std::string_view name_;
  std::uint32_t interval_ = 0;
  std::function<void()> handler_;
  bool enabled_ = false;
  bool sleeping_ = false;
  std::uint64_t due_ = 0;
  std::uint64_t order_ = 0;  // position among ties: when it was last enabled
};

class TimerTable {
 public:
  explicit TimerTable(const Clock& clock, std::uint32_t floor_ms = 10) : clock_(clock), floor_(floor_ms) {}

  // The earliest instant at which an enabled timer is due.
  std::optional<std::uint64_t> next_due() const;
  // Runs the one tick due first, if it is due at or before `limit`; false when none is. A
  // call made while a handler runs (from a nested message loop) runs nothing. With
  // `skip_missed`, for a real clock, a timer that fell behind `limit` ticks once and resumes
  // its schedule after `limit` instead of catching up tick by tick.
  bool run_next(std::uint64_t limit, bool skip_missed = false);

 private:
  friend class FormTimer;
  FormTimer* first_due() const;
  const Clock& clock_;
  std::uint32_t floor_;
  std::uint64_t next_order_ = 0;
  bool running_ = false;
  std::vector<FormTimer*> timers_;
};

// One row of a window's timer table: the timer's name, its interval in milliseconds, the member
// that holds it and the handler each tick runs.
template <typename Form>
struct TimerRow {
  std::string_view name;
  std::uint32_t interval_ms;
  FormTimer Form::*timer;
  void (Form::*handler)();
};

// Binds each timer of a window to the shared schedule, as its table describes it.
template <typename Form, std::size_t N>
void BindTimers(Form& form, TimerTable& table, const std::array<TimerRow<Form>, N>& rows) {
  for (const TimerRow<Form>& row : rows)
    (form.*row.timer).bind(table, row.name, row.interval_ms, [&form, handler = row.handler] { (form.*handler)(); });
}

}  // namespace brisel
