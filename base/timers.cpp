#include "base/timers.h"

#include <algorithm>
#include <utility>

namespace brisel {

void FormTimer::bind(TimerTable& table, std::string_view name, std::uint32_t interval_ms,
                     std::function<void()> handler) {
  if (table_) std::erase(table_->timers_, this);
  table_ = &table;
  name_ = name;
  interval_ = interval_ms;
  handler_ = std::move(handler);
  table_->timers_.push_back(this);
}

FormTimer::~FormTimer() {
  if (table_) std::erase(table_->timers_, this);
}

void FormTimer::enable() {
  if (enabled_ || !table_) return;
  enabled_ = true;
  due_ = table_->clock_.now_ms() + std::max(interval_, table_->floor_);
  order_ = table_->next_order_++;
}

void FormTimer::disable() {
  enabled_ = false;
  sleeping_ = false;
}

void FormTimer::sleep() {
  if (enabled_) sleeping_ = true;
}

void FormTimer::wake() {
  if (!sleeping_) return;
  sleeping_ = false;
  due_ = table_->clock_.now_ms();
}

FormTimer* TimerTable::first_due() const {
  FormTimer* best = nullptr;
  for (FormTimer* t : timers_) {
    if (!t->enabled_ || t->sleeping_) continue;
    if (!best || t->due_ < best->due_ || (t->due_ == best->due_ && t->order_ < best->order_)) best = t;
  }
  return best;
}

std::optional<std::uint64_t> TimerTable::next_due() const {
  if (FormTimer* t = first_due()) return t->due_;
  return std::nullopt;
}

bool TimerTable::run_next(std::uint64_t limit, bool skip_missed) {
  if (running_) return false;
  FormTimer* t = first_due();
  if (!t || t->due_ > limit) return false;
  const std::uint64_t order = t->order_;
  struct Running {
    bool& flag;
    explicit Running(bool& f) : flag(f) { flag = true; }
    ~Running() { flag = false; }
  } running(running_);
  t->handler_();
  // A handler that disabled and re-enabled its own timer has already set a new schedule.
  if (t->enabled_ && t->order_ == order) {
    const std::uint64_t period = std::max(t->interval_, floor_);
    t->due_ += period;
    if (skip_missed && t->due_ <= limit) t->due_ += (limit - t->due_) / period * period + period;
  }
  return true;
}

}  // namespace brisel
