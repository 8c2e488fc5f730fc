#include "base/module1.h"

#include "base/text_numbers.h"

namespace brisel {

namespace {
// Yellow; passed as the colour key, but only the alpha mode is selected, so it has no effect.
constexpr std::uint32_t kColourKey = 255u | (255u << 8) | (0u << 16);
}  // namespace

void Module1::SetTranslucency(HWND hwnd, std::int16_t opacity) {
  WindowSystem& ws = platform_.windows;
  try {
    const std::int32_t style = ws.GetWindowLongA(hwnd, GWL_EXSTYLE);
    ws.SetWindowLongA(hwnd, GWL_EXSTYLE, style | WS_EX_LAYERED);
    const std::uint8_t alpha = ToByte(opacity);
    ws.SetLayeredWindowAttributes(hwnd, kColourKey, alpha, LWA_ALPHA);
  } catch (const RuntimeError& e) {
    platform_.msgbox.MsgBox(e.description() + " Source : " + e.source());
  }
}

void Module1::SetOutline(HWND hwnd, const Outline& o) {
  WindowSystem& ws = platform_.windows;
  const HRGN rgn = ws.CreateRoundRectRgn(0, 0, o.right, o.bottom, o.ellipse_w, o.ellipse_h);
  ws.SetWindowRgn(hwnd, rgn, true);
}

}  // namespace brisel
