#include "platform/win32/win32_message_loop.h"

#include <algorithm>
#include <utility>

#include "platform/win32/win32_failure.h"
#include "platform/win32/win32_message_window.h"

namespace brisel::win32 {

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr const wchar_t* kClassName = L"BriselTimers";

// The exception a handler raised, until run() throws it. Each thread has its own loop.
thread_local std::exception_ptr pending;

}  // namespace

void Guarded(const std::function<void()>& handler) {
  if (pending) return;  // the loop is ending
  try {
    handler();
  } catch (...) {
    pending = std::current_exception();
    PostQuitMessage(1);
  }
}

Win32MessageLoop::Win32MessageLoop(TimerTable& timers, const Clock& clock, std::function<bool(MSG&)> pretranslate,
                                   InstanceChannel* channel)
    : timers_(timers), clock_(clock), pretranslate_(std::move(pretranslate)), channel_(channel) {
  window_ = CreateMessageWindow(kClassName, Proc, this);
  // Without its window no timer would ever tick, and the program would look hung.
  if (!window_) FailLastError("CreateWindowExW");
}

Win32MessageLoop::~Win32MessageLoop() {
  if (channel_) channel_->on_message({});
  if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK Win32MessageLoop::Proc(::HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER && wp == kTimerId) {
    if (auto* loop = MessageWindowOwner<Win32MessageLoop>(hwnd)) loop->tick();
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void Win32MessageLoop::set_key_timer(std::function<FormTimer*()> key_timer, std::function<bool()> idle) {
  key_timer_ = std::move(key_timer);
  idle_ = std::move(idle);
}

void Win32MessageLoop::on_message(std::function<void(const std::string&)> receive) {
  if (channel_) channel_->on_message(std::move(receive));
}

void Win32MessageLoop::key_event() {
  settle();
  arm();
}

void Win32MessageLoop::settle() {
  FormTimer* timer = key_timer_ ? key_timer_() : nullptr;
  if (!timer || !idle_) return;
  if (idle_())
    timer->sleep();
  else
    timer->wake();
}

void Win32MessageLoop::tick() {
  Guarded([this] {
    while (timers_.run_next(clock_.now_ms(), true)) {
    }
    settle();
    // A timer of the system repeats: stopped, and set again for what is due now, if anything.
    KillTimer(window_, kTimerId);
    armed_.reset();
    arm();
  });
}

void Win32MessageLoop::arm() {
  const auto due = timers_.next_due();
  if (due == armed_) return;
  armed_ = due;
  if (!due) {
    KillTimer(window_, kTimerId);
    return;
  }
  const std::uint64_t now = clock_.now_ms();
  // Windows raises anything shorter than USER_TIMER_MINIMUM (10 ms) to it.
  const std::uint64_t delay = std::max<std::uint64_t>(*due > now ? *due - now : 0, USER_TIMER_MINIMUM);
  if (!SetTimer(window_, kTimerId, static_cast<UINT>(std::min<std::uint64_t>(delay, USER_TIMER_MAXIMUM)), nullptr))
    FailLastError("SetTimer");
}

int Win32MessageLoop::run(const std::function<std::optional<int>()>& ended) {
  arm();
  MSG msg{};
  std::optional<int> status;
  // In UTF-16 throughout: a character typed into the dialog is not passed through the ANSI
  // code page on its way.
  while (!status && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!pretranslate_ || !pretranslate_(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (!pending && ended) status = ended();
    if (!status && !pending) {
      settle();  // a key's event or a press from outside may have come
      arm();     // a woken key timer, or one that input enabled ("Run" starts the fade-out)
    }
  }
  if (pending) std::rethrow_exception(std::exchange(pending, nullptr));
  return status ? *status : static_cast<int>(msg.wParam);
}

}  // namespace brisel::win32
