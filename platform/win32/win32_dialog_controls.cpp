// The dialog's controls on Win32: their fonts at the window's scale, the dialog's keyboard
// navigation, a selector's text set by the program or changed by the user (typed, or picked from
// its list), a click on "Run", and Run's face drawn as a raised grey button.
#include <stdexcept>
#include <string>

#include "platform/win32/win32_message_loop.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_window_record.h"
#include "platform/win32/win32_windows.h"

namespace brisel::win32 {

HFONT Win32Windows::font_for(const ControlLayout& c, Scale scale) {
  const auto system = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  if (!c.font && scale == Scale{}) return system;
  HFONT& font = fonts_[{c.font ? (c.font->bold ? 2 : 1) : 0, scale.quarters()}];
  if (font) return font;
  if (!c.font) {
    // The system's font, its height at the scale.
    LOGFONTW lf{};
    GetObjectW(system, sizeof lf, &lf);
    lf.lfHeight = lf.lfHeight * scale.quarters() / 4;
    return font = CreateFontIndirectW(&lf);
  }
  // Negative: the character height in pixels, 8.25 pt is -11 at 96 dpi.
  const std::wstring face = Wide(c.font->name);
  return font = CreateFontW(-scale.font_pixels(c.font->points), 0, 0, 0, c.font->bold ? FW_BOLD : FW_NORMAL, FALSE,
                            FALSE, FALSE, static_cast<DWORD>(c.font->charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

bool Win32Windows::dialog_message(MSG& msg) {
  if (!msg.hwnd) return false;
  const ::HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  const auto it = natives_.find(root);
  if (it == natives_.end() || !it->second->layout->takes_focus) return false;
  return IsDialogMessageW(root, &msg) != FALSE;
}

namespace {

std::wstring WindowText(::HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

void Win32Windows::type(HWND window, std::string_view control, const std::string& text) {
  Window* w = windows_.find(window);
  for (std::size_t i = 0; w && i < w->controls.size(); ++i) {
    if (w->controls[i]->name != control || w->controls[i]->kind != ControlKind::Selector) continue;
    // Set by the program, the field sends no CBN_EDITCHANGE: the input hears of it here.
    SetWindowTextW(GetDlgItem(w->hwnd, kFirstControlId + static_cast<int>(i)), Wide(text).c_str());
    if (input_) input_->text_changed(window, control, text);
    return;
  }
  throw std::invalid_argument("no selector " + std::string(control) + " in window " + std::to_string(window));
}

void Win32Windows::command(Window& w, WPARAM wp, LPARAM lp) {
  const int index = static_cast<int>(LOWORD(wp)) - kFirstControlId;  // IDOK and IDCANCEL fall below
  if (index < 0 || index >= static_cast<int>(w.controls.size()) || !input_) return;
  const ControlLayout& c = *w.controls[static_cast<std::size_t>(index)];
  const auto child = reinterpret_cast<::HWND>(lp);
  const UINT code = HIWORD(wp);
  if (c.kind == ControlKind::Button && code == BN_CLICKED) {
    Guarded([&] { input_->click(w.handle, c.name); });
  } else if (c.kind == ControlKind::Selector && (code == CBN_EDITCHANGE || code == CBN_SELCHANGE)) {
    std::wstring text;
    if (code == CBN_EDITCHANGE) {
      text = WindowText(child);
    } else {
      // The edit field takes the picked name only after this notification: read the list.
      const auto item = static_cast<WPARAM>(SendMessageW(child, CB_GETCURSEL, 0, 0));
      const LRESULT length = SendMessageW(child, CB_GETLBTEXTLEN, item, 0);
      if (length < 0) return;
      text.assign(static_cast<std::size_t>(length) + 1, L'\0');
      const LRESULT copied = SendMessageW(child, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text.data()));
      text.resize(copied < 0 ? 0 : static_cast<std::size_t>(copied));
    }
    Guarded([&] { input_->text_changed(w.handle, c.name, Utf8(text)); });
  }
}

// "Run": a solid grey face with the raised edge of a push button (sunken while pressed) and
// its caption in its own font.
void Win32Windows::draw_button(const DRAWITEMSTRUCT& item) {
  const HDC dc = item.hDC;
  RECT face = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &face, button_face_);
  DrawEdge(dc, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  const std::wstring caption = WindowText(item.hwndItem);
  const auto font = reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
  const HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  RECT text = face;
  if (pressed) OffsetRect(&text, 1, 1);
  DrawTextW(dc, caption.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = face;
    const Window* w = natives_.count(GetParent(item.hwndItem)) ? natives_.at(GetParent(item.hwndItem)) : nullptr;
    const int inset = w ? w->scale.pixels(4) : 4;
    InflateRect(&focus, -inset, -inset);
    DrawFocusRect(dc, &focus);
  }
  SelectObject(dc, old);
}

}  // namespace brisel::win32
