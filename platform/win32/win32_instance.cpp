#include "platform/win32/win32_instance.h"

#include "platform/win32/win32_failure.h"
#include "platform/win32/win32_message_loop.h"
#include "platform/win32/win32_message_window.h"

// Outside the program's namespace, where HWND is the system's handle type.
static const HWND kMessageOnlyParent = HWND_MESSAGE;

namespace brisel::win32 {

namespace {

constexpr const wchar_t* kClassName = L"BriselInstance";
// Marks the data of our WM_COPYDATA, so that another program's message to a window of the
// same class name is not taken for ours.
constexpr ULONG_PTR kMessageTag = 0x42524931;  // "BRI1"
// Longer texts are no message of ours.
constexpr DWORD kMaxMessage = 64;

}  // namespace

InstanceChannel::InstanceChannel() {
  window_ = CreateMessageWindow(kClassName, Proc, this);
  // Without it the program works all the same; only --quit and --key cannot reach it.
  if (!window_)
    Warn("CreateWindowExW", SystemText(GetLastError()) + " (brisel --quit and --key cannot reach this Brisel)");
}

InstanceChannel::~InstanceChannel() {
  if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK InstanceChannel::Proc(::HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_COPYDATA) return DefWindowProcW(hwnd, msg, wp, lp);
  auto* channel = MessageWindowOwner<InstanceChannel>(hwnd);
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
  if (!channel || !channel->receive_ || !data || data->dwData != kMessageTag || data->cbData > kMaxMessage)
    return FALSE;
  const std::string message(static_cast<const char*>(data->lpData), data->cbData);
  Guarded([&] { channel->receive_(message); });
  // A sent message is handled inside GetMessage, which then goes on waiting: a posted one
  // makes the loop look at the program again (a press to wake the key timer for, an end).
  PostMessageA(hwnd, WM_NULL, 0, 0);
  return TRUE;
}

SendResult SendToInstance(std::string_view message, int wait_for_end_ms) {
  ::HWND window = FindWindowExW(kMessageOnlyParent, nullptr, kClassName, nullptr);
  if (!window) return SendResult::NotRunning;
  // The process is held before the message goes, so that its end can be seen however fast.
  HANDLE process = nullptr;
  if (wait_for_end_ms > 0) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  }
  std::string text(message);
  COPYDATASTRUCT data{kMessageTag, static_cast<DWORD>(text.size()), text.data()};
  DWORD_PTR answer = 0;
  // Sent, not posted: the next brisel --key goes only once this one is in the program's queue.
  const LRESULT sent = SendMessageTimeoutA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                           SMTO_ABORTIFHUNG, 5000, &answer);
  SendResult result = sent && answer ? SendResult::Sent : SendResult::NotRunning;
  if (process) {
    if (result == SendResult::Sent && WaitForSingleObject(process, static_cast<DWORD>(wait_for_end_ms)) != WAIT_OBJECT_0)
      result = SendResult::StillRunning;
    CloseHandle(process);
  }
  return result;
}

}  // namespace brisel::win32
