// A message-only window of a class of our own: the target of the timer, the raw key events and
// the instance channel; a Unicode window, as all of the program's are. Its GWLP_USERDATA holds
// `owner`, for the window procedure to find.
#pragma once

#include "platform/win32/win32_headers.h"

namespace brisel::win32 {

// Registers the class (once per process) and makes the window; nullptr, with GetLastError
// set, when it cannot be made. The class failing to register is a failure (Fail).
::HWND CreateMessageWindow(const wchar_t* class_name, WNDPROC proc, void* owner);

// The owner given to CreateMessageWindow, or nullptr before it is set.
template <typename Owner>
Owner* MessageWindowOwner(::HWND hwnd) {
  return reinterpret_cast<Owner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace brisel::win32
