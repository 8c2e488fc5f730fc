#include "platform/win32/win32_message_window.h"

#include "platform/win32/win32_failure.h"

// Outside the program's namespace, where HWND is the system's handle type.
static const HWND kMessageOnlyParent = HWND_MESSAGE;

namespace brisel::win32 {

::HWND CreateMessageWindow(const wchar_t* class_name, WNDPROC proc, void* owner) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = class_name;
  RegisterClassOrFail(wc);
  ::HWND window = CreateWindowExW(0, class_name, L"", 0, 0, 0, 0, 0, kMessageOnlyParent, nullptr, wc.hInstance, nullptr);
  if (window) SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
  return window;
}

}  // namespace brisel::win32
