#include "platform/win32/win32_message_loop.h"

#include <algorithm>
#include <utility>

#include "platform/win32/win32_failure.h"

// Outside the program's namespace, where HWND is the system's handle type.
static const HWND kMessageOnlyParent = HWND_MESSAGE;

namespace brisel::win32 {

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr const char* kClassName = "BriselTimers";

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

Win32MessageLoop::Win32MessageLoop(TimerTable& timers, const Clock& clock) : timers_(timers), clock_(clock) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kClassName;
  // Without its window no timer would ever tick, and the program would look hung.
  RegisterClassOrFail(wc);
  window_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, kMessageOnlyParent, nullptr, wc.hInstance, nullptr);
  if (!window_) FailLastError("CreateWindowExA");
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32MessageLoop::~Win32MessageLoop() {
  if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK Win32MessageLoop::Proc(::HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER && wp == kTimerId) {
    if (auto* loop = reinterpret_cast<Win32MessageLoop*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA))) loop->tick();
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void Win32MessageLoop::tick() {
  Guarded([this] {
    while (timers_.run_next(clock_.now_ms(), true)) {
    }
    armed_.reset();  // a timer of the system repeats: set it again for what is due now
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

int Win32MessageLoop::run(const std::function<bool(MSG&)>& pretranslate,
                          const std::function<std::optional<int>()>& ended) {
  arm();
  MSG msg{};
  std::optional<int> status;
  while (!status && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (!pretranslate || !pretranslate(msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (!pending && ended) status = ended();
    if (!status && !pending) arm();  // input may have enabled a timer ("Run" starts the fade-out)
  }
  if (pending) std::rethrow_exception(std::exchange(pending, nullptr));
  return status ? *status : static_cast<int>(msg.wParam);
}

}  // namespace brisel::win32
