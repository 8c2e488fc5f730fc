#include "platform/win32/win32_keyboard.h"

#include "platform/win32/win32_failure.h"
#include "platform/win32/win32_message_window.h"

namespace brisel::win32 {

namespace {

constexpr const wchar_t* kClassName = L"BriselKeys";
constexpr USHORT kGenericDesktop = 0x01, kKeyboard = 0x06;  // HID usage page and usage
// GetAsyncKeyState may answer from a cache for a while after an earlier query (Wine keeps one
// for 50 ms): a key the raw events hold down is taken as released only once this many queries
// in a row, a tick each, found it up.
constexpr std::uint32_t kUpAnswersForARelease = 10;

// Raw events name the shift, control and alt keys by their generic codes.
std::int32_t Generic(std::int32_t vk) {
  switch (vk) {
    case VK_LSHIFT: case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL: case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU: case VK_RMENU: return VK_MENU;
    default: return vk;
  }
}

// Whether a raw event's key is the watched key: by its code, or, for the keypad's keys, whose
// code follows Num Lock, by the key's scan code.
bool Carries(const RAWKEYBOARD& key, std::int32_t vk, UINT scan_code) {
  if (key.VKey == vk || key.VKey == Generic(vk)) return true;
  return scan_code != 0 && key.MakeCode == scan_code && !(key.Flags & RI_KEY_E0);
}

}  // namespace

Win32Keyboard::Win32Keyboard(bool raw_input) {
  if (!raw_input) return;
  window_ = CreateMessageWindow(kClassName, Proc, this);
  if (!window_) {
    Warn("CreateWindowExW", SystemText(GetLastError()) + "; the keys are polled every 10 ms instead");
    return;
  }
  const RAWINPUTDEVICE device{kGenericDesktop, kKeyboard, RIDEV_INPUTSINK, window_};
  if (!RegisterRawInputDevices(&device, 1, sizeof device)) {
    Warn("RegisterRawInputDevices", SystemText(GetLastError()) + "; the keys are polled every 10 ms instead");
    DestroyWindow(window_);
    window_ = nullptr;
  }
}

Win32Keyboard::~Win32Keyboard() {
  if (!window_) return;
  const RAWINPUTDEVICE device{kGenericDesktop, kKeyboard, RIDEV_REMOVE, nullptr};
  RegisterRawInputDevices(&device, 1, sizeof device);
  DestroyWindow(window_);
}

LRESULT CALLBACK Win32Keyboard::Proc(::HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INPUT) {
    RAWINPUT raw{};
    UINT size = sizeof raw;
    auto* keyboard = MessageWindowOwner<Win32Keyboard>(hwnd);
    if (keyboard &&
        GetRawInputData(reinterpret_cast<HRAWINPUT>(lp), RID_INPUT, &raw, &size, sizeof(RAWINPUTHEADER)) !=
            static_cast<UINT>(-1) &&
        raw.header.dwType == RIM_TYPEKEYBOARD)
      keyboard->raw_event(raw.data.keyboard);
  }
  return DefWindowProcW(hwnd, msg, wp, lp);  // for WM_INPUT too: it frees the event
}

void Win32Keyboard::raw_event(const RAWKEYBOARD& key) {
  const bool press = !(key.Flags & RI_KEY_BREAK);
  keys_.each_key([&](std::int32_t vk) {
    Watched& w = watched_[static_cast<std::size_t>(vk)];
    if (!Carries(key, vk, w.scan_code)) return;
    // The key's own code holds it: a press while it is down is the key's auto-repeat.
    if (press)
      keys_.press(vk, vk);
    else
      keys_.release(vk);
    w.up_answers = 0;
  });
}

bool Win32Keyboard::begin_watching(std::int32_t vk) {
  if (vk <= 0 || vk > 0xFE) return false;
  if (keys_.watch(vk)) {
    watched_[static_cast<std::size_t>(vk)] = {MapVirtualKeyA(static_cast<UINT>(vk), MAPVK_VK_TO_VSC), 0};
    // The key may be held as it starts being watched: only its release will come.
    if (raw_input() && (::GetAsyncKeyState(vk) & 0x8000)) keys_.hold(vk, vk);
  }
  return true;
}

std::int16_t Win32Keyboard::GetAsyncKeyState(std::int32_t vk) {
  if (!begin_watching(vk)) return 0;
  const std::int16_t system = ::GetAsyncKeyState(vk);
  if (!raw_input()) return static_cast<std::int16_t>(system | keys_.answer(vk));
  std::uint32_t& up_answers = watched_[static_cast<std::size_t>(vk)].up_answers;
  if (system & 0x8000)
    up_answers = 0;
  else if (keys_.down(vk) && ++up_answers >= kUpAnswersForARelease)
    keys_.release(vk);
  return keys_.answer(vk);
}

void Win32Keyboard::watch(std::int32_t vk) { begin_watching(vk); }

void Win32Keyboard::press_from_outside(std::int32_t vk) {
  if (begin_watching(vk)) keys_.press_from_outside(vk);
}

}  // namespace brisel::win32
