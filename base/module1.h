// Module1: the whole-window opacity and the rounded outline that both windows use.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "resources/layout.h"

namespace brisel {

class Module1 {
 public:
  explicit Module1(Platform& platform) : platform_(platform) {}

  // Makes the window layered and sets its opacity (0 to 255). An opacity out of range shows
  // a message box with the error and leaves the window as it was; no error reaches the caller.
  void SetTranslucency(HWND hwnd, std::int16_t opacity);

  // Cuts the window to its rounded outline; the region then belongs to the window.
  void SetOutline(HWND hwnd, const Outline& outline);

 private:
  Platform& platform_;
};

}  // namespace brisel
