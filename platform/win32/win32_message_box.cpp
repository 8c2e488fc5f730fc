#include "platform/win32/win32_message_box.h"

#include "platform/win32/win32_headers.h"
#include "platform/win32/win32_text.h"

namespace brisel::win32 {

void Win32MessageBox::MsgBox(const std::string& text) { MessageBoxW(nullptr, Wide(text).c_str(), nullptr, MB_OK); }

}  // namespace brisel::win32
