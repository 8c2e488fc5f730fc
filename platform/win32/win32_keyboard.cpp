#include "platform/win32/win32_keyboard.h"

#include "platform/win32/win32_headers.h"

namespace brisel::win32 {

std::int16_t Win32Keyboard::GetAsyncKeyState(std::int32_t vk) { return ::GetAsyncKeyState(vk); }

}  // namespace brisel::win32
