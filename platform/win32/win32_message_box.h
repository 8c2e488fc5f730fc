// The message box: MessageBoxW with an OK button and no caption of its own, so Windows gives
// it its default title.
#pragma once

#include "platform/platform.h"

namespace brisel::win32 {

class Win32MessageBox : public MessageBox {
 public:
  void MsgBox(const std::string& text) override;
};

}  // namespace brisel::win32
