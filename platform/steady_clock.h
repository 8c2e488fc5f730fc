// The real programs' monotonic clock: milliseconds of std::chrono::steady_clock since the clock
// was made. On Linux that is CLOCK_MONOTONIC; MinGW-w64's runtime reads the performance counter
// (GetTickCount64 would move in steps of about 15.6 ms, too coarse for timers that tick every
// 10 ms).
#pragma once

#include <chrono>
#include <cstdint>

#include "platform/platform.h"

namespace brisel {

class SteadyClock : public Clock {
 public:
  std::uint64_t now_ms() const override {
    const auto since = std::chrono::steady_clock::now() - start_;
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace brisel
