// The record of one of the program's Win32 windows, shared by the files that make and keep its
// window (win32_windows.cpp) and its dialog controls (win32_dialog_controls.cpp).
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/win32/win32_windows.h"
#include "resources/scale.h"

namespace brisel::win32 {

// The controls' ids: the layout's interactive controls in order, from here.
inline constexpr int kFirstControlId = 100;

struct GreyDib;  // the window's picture, drawn at its scale

struct Win32Windows::Window {
  const WindowLayout* layout = nullptr;
  Win32Windows* owner = nullptr;
  HWND handle = 0;
  ::HWND hwnd = nullptr;
  std::vector<const ControlLayout*> controls;  // by control id - kFirstControlId
  ::HWND first_focus = nullptr;
  ::HWND last_focus = nullptr;  // given back when the window is activated again
  std::vector<::HWND> children;  // by control id - kFirstControlId; null where none
  Scale scale;
  std::optional<RoundRect> region;  // the outline at 96 dpi
  int lit = 0;
  bool mute = false;
  std::unique_ptr<GreyDib> picture;  // null while stale: made anew at the next paint
};

}  // namespace brisel::win32
