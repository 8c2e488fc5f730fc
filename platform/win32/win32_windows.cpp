#include "platform/win32/win32_windows.h"

#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/win32/win32_failure.h"
#include "platform/win32/win32_message_loop.h"
#include "platform/win32/win32_text.h"
#include "resources/art.h"
#include "resources/placement.h"
#include "resources/scale.h"

namespace brisel::win32 {

namespace {

constexpr const wchar_t* kClassName = L"BriselForm";
constexpr int kFirstControlId = 100;

// The scale of the monitor the window is on.
Scale WindowScale(::HWND hwnd) { return ScaleForDpi(GetDpiForWindow(hwnd)); }

// A grey picture as an 8-bit device-independent bitmap with a grey palette, rows top to
// bottom, each padded to 4 bytes.
struct GreyDib {
  struct Info {
    BITMAPINFOHEADER header;
    RGBQUAD palette[256];
  } info{};
  std::vector<std::uint8_t> bits;

  explicit GreyDib(const GreyImage& image) {
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = image.width;
    info.header.biHeight = -image.height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = 256;
    for (int i = 0; i < 256; ++i) {
      const auto g = static_cast<BYTE>(i);
      info.palette[i] = RGBQUAD{g, g, g, 0};
    }
    const std::size_t stride = (static_cast<std::size_t>(image.width) + 3) & ~std::size_t{3};
    bits.assign(stride * static_cast<std::size_t>(image.height), 0);
    for (int y = 0; y < image.height; ++y) {
      std::uint8_t* row = bits.data() + static_cast<std::size_t>(y) * stride;
      for (int x = 0; x < image.width; ++x) row[x] = image.at(x, y);
    }
  }
  void paint(HDC dc) const {
    const int w = info.header.biWidth, h = -info.header.biHeight;
    SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0, static_cast<UINT>(h),
                      bits.data(), reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS);
  }
};

}  // namespace

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

Win32Windows::Win32Windows() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = kClassName;
  RegisterClassOrFail(wc);
  button_face_ = CreateSolidBrush(RGB(128, 128, 128));
}

Win32Windows::~Win32Windows() {
  // Gone with their records: a box that reports an error afterwards dispatches no message to
  // them.
  for (auto& [native, w] : natives_) {
    SetWindowLongPtrW(native, GWLP_USERDATA, 0);
    DestroyWindow(native);
  }
  for (auto& [key, font] : fonts_) DeleteObject(font);
  DeleteObject(button_face_);
}

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

void Win32Windows::apply_scale(Window& w, Scale scale) {
  w.scale = scale;
  SetWindowPos(w.hwnd, nullptr, 0, 0, w.layout->width(scale), w.layout->height(scale),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (std::size_t i = 0; i < w.controls.size(); ++i) {
    const ::HWND child = w.children[i];
    if (!child) continue;
    const ControlLayout& c = *w.controls[i];
    const Rect r = c.pixels(scale);
    // The height given to a drop-down combo box includes its list: about twelve names.
    const int height = c.kind == ControlKind::Selector ? r.height + scale.pixels(12 * 14) : r.height;
    MoveWindow(child, r.left, r.top, r.width, height, FALSE);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_for(c, scale)), FALSE);
    // The closed selector keeps the layout's height, whatever the font's.
    if (c.kind == ControlKind::Selector)
      SendMessageW(child, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), r.height - scale.pixels(6));
  }
  apply_region(w, true);
  w.picture.reset();
  InvalidateRect(w.hwnd, nullptr, TRUE);
}

// The outline the behaviour gave, at the window's scale; on success the region belongs to the
// window, and one it did not take is freed here.
int Win32Windows::apply_region(Window& w, bool redraw) {
  if (!w.region) return 0;
  const RoundRect& r = *w.region;
  const Scale s = w.scale;
  const ::HRGN region =
      ::CreateRoundRectRgn(s.pixels(r[0]), s.pixels(r[1]), s.pixels(r[2]), s.pixels(r[3]), s.pixels(r[4]), s.pixels(r[5]));
  if (!region) return 0;
  const int ok = ::SetWindowRgn(w.hwnd, region, redraw ? TRUE : FALSE);
  if (!ok) DeleteObject(region);
  return ok;
}

HWND Win32Windows::create_window(const WindowLayout& layout) {
  auto [handle, w] = windows_.add(layout);
  w.owner = this;
  w.handle = handle;
  const int width = layout.width(), height = layout.height();  // at 1 until the window knows its monitor
  DWORD exstyle = WS_EX_TOOLWINDOW;
  if (!layout.takes_focus) exstyle |= WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  const std::wstring title = Wide(layout.title);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  w.hwnd = CreateWindowExW(exstyle, kClassName, title.c_str(), WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                           instance, nullptr);
  if (!w.hwnd) FailLastError("CreateWindowExW");
  SetWindowLongPtrW(w.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&w));
  natives_[w.hwnd] = &w;

  // Made in tab order: the order of the children is the order Tab visits them; placed and
  // given their fonts by apply_scale.
  for (const ControlLayout* c : layout.interactive_controls()) {
    const Rect r = c->pixels();
    const auto id = static_cast<std::intptr_t>(kFirstControlId + static_cast<int>(w.controls.size()));
    const auto menu = reinterpret_cast<HMENU>(id);
    const std::wstring text = Wide(c->text);
    ::HWND child = nullptr;
    switch (c->kind) {
      case ControlKind::Label:
        // Centred and wrapped at word boundaries; drawn without a background (WM_CTLCOLORSTATIC).
        child = CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER, r.left, r.top, r.width,
                                r.height, w.hwnd, menu, instance, nullptr);
        break;
      case ControlKind::Selector: {
        child = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN,
                                r.left, r.top, r.width, r.height, w.hwnd, menu, instance, nullptr);
        if (c->items)
          for (const KeyRow& row : c->items()) {
            const std::wstring name = Wide(row.name);
            SendMessageW(child, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
          }
        SetWindowTextW(child, text.c_str());
        break;
      }
      case ControlKind::Button:
        child = CreateWindowExW(0, L"BUTTON", text.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, r.left,
                                r.top, r.width, r.height, w.hwnd, menu, instance, nullptr);
        break;
      default:
        break;
    }
    w.controls.push_back(c);
    w.children.push_back(child);
    if (child && c->tab_order >= 0 && !w.first_focus) w.first_focus = child;
  }
  w.last_focus = w.first_focus;
  apply_scale(w, WindowScale(w.hwnd));
  return handle;
}

void Win32Windows::show(HWND hwnd) {
  Window* w = windows_.find(hwnd);
  if (!w || IsWindowVisible(w->hwnd)) return;
  // Centred on the work area of the monitor under the pointer, at that monitor's scale: moved
  // there first, the window learns the monitor's DPI, and is sized and centred again.
  POINT pointer{};
  GetCursorPos(&pointer);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoA(MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST), &info);
  const auto rect = [](const RECT& r) { return Rect{r.left, r.top, r.right - r.left, r.bottom - r.top}; };
  const Monitor monitor{rect(info.rcMonitor), rect(info.rcWork)};
  // (The move may bring WM_DPICHANGED, which scales the window at once.)
  for (int pass = 0; pass < 2; ++pass) {
    const Scale before = w->scale;
    const Rect place = PlaceWindow({&monitor, 1}, pointer.x, pointer.y, w->layout->width(before),
                                   w->layout->height(before));
    SetWindowPos(w->hwnd, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (const Scale now = WindowScale(w->hwnd); now != w->scale) apply_scale(*w, now);
    if (w->scale == before) break;  // placed at the size it has
  }
  if (!w->layout->takes_focus) {
    ShowWindow(w->hwnd, SW_SHOWNOACTIVATE);  // never takes the focus from where the user types
    return;
  }
  ShowWindow(w->hwnd, SW_SHOW);
  SetForegroundWindow(w->hwnd);
  if (w->last_focus) SetFocus(w->last_focus);
}

void Win32Windows::hide(HWND hwnd) {
  if (Window* w = windows_.find(hwnd)) ShowWindow(w->hwnd, SW_HIDE);
}

std::int32_t Win32Windows::GetWindowLongA(HWND hwnd, std::int32_t index) {
  Window* w = windows_.find(hwnd);
  return w ? static_cast<std::int32_t>(::GetWindowLongW(w->hwnd, index)) : 0;
}

std::int32_t Win32Windows::SetWindowLongA(HWND hwnd, std::int32_t index, std::int32_t value) {
  Window* w = windows_.find(hwnd);
  return w ? static_cast<std::int32_t>(::SetWindowLongW(w->hwnd, index, value)) : 0;
}

bool Win32Windows::SetLayeredWindowAttributes(HWND hwnd, std::uint32_t crKey, std::uint8_t bAlpha,
                                              std::uint32_t dwFlags) {
  Window* w = windows_.find(hwnd);
  return w && ::SetLayeredWindowAttributes(w->hwnd, crKey, bAlpha, dwFlags);
}

// The behaviour's regions are at 96 dpi: kept as numbers until a window takes one, and made at
// that window's scale (again whenever the scale changes).
HRGN Win32Windows::CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) {
  return regions_.create(left, top, right, bottom, width, height);
}

int Win32Windows::SetWindowRgn(HWND hwnd, HRGN rgn, bool redraw) {
  Window* w = windows_.find(hwnd);
  if (!w) return 0;
  const auto r = regions_.take(rgn);
  if (!r) return 0;
  w->region = r;
  return apply_region(*w, redraw);
}

void Win32Windows::set_picture(HWND hwnd, PictureControl control, int picture) {
  Window* w = windows_.find(hwnd);
  if (!w || control != PictureControl::Image2 || w->lit == picture) return;
  w->lit = picture;
  w->picture.reset();
  InvalidateRect(w->hwnd, nullptr, FALSE);
}

void Win32Windows::set_visible(HWND hwnd, PictureControl control, bool visible) {
  Window* w = windows_.find(hwnd);
  if (!w || control != PictureControl::Mute || w->mute == visible) return;
  w->mute = visible;
  w->picture.reset();
  InvalidateRect(w->hwnd, nullptr, FALSE);
}

bool Win32Windows::dialog_message(MSG& msg) {
  if (!msg.hwnd) return false;
  const ::HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  const auto it = natives_.find(root);
  if (it == natives_.end() || !it->second->layout->takes_focus) return false;
  return IsDialogMessageW(root, &msg) != FALSE;
}

LRESULT CALLBACK Win32Windows::Proc(::HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  // Set once CreateWindowExW has returned; the messages before that need nothing of ours.
  auto* w = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return w ? w->owner->handle(*w, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT Win32Windows::handle(Window& w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT:
      paint(w);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the picture covers the whole window
    case WM_DPICHANGED: {
      // Moved to a monitor of another DPI: drawn at its scale, where Windows suggests.
      apply_scale(w, ScaleForDpi(LOWORD(wp)));
      const auto* suggested = reinterpret_cast<const RECT*>(lp);
      SetWindowPos(w.hwnd, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      // The label: its text on the picture, without a background of its own.
      const auto dc = reinterpret_cast<HDC>(wp);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(0, 0, 0));
      return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    case WM_DRAWITEM:
      draw_button(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      return TRUE;
    case WM_COMMAND:
      command(w, wp, lp);
      return 0;
    case WM_CLOSE:
      // Alt+F4, the window manager's close (SC_CLOSE): the program decides. The window itself
      // lives as long as the program; DefWindowProc would destroy it.
      if (input_) Guarded([&] { input_->close(w.handle); });
      return 0;
    case WM_MOUSEACTIVATE:
      if (!w.layout->takes_focus) return MA_NOACTIVATE;
      break;
    case WM_ACTIVATE:
      if (!w.layout->takes_focus) break;
      if (LOWORD(wp) == WA_INACTIVE) {
        // Where the user was typing, given back when the window is active again.
        const ::HWND focus = GetFocus();
        if (focus && IsChild(w.hwnd, focus)) w.last_focus = focus;
      } else if (w.last_focus) {
        SetFocus(w.last_focus);
      }
      return 0;
    case WM_SETFOCUS:
      if (w.layout->takes_focus && w.last_focus) SetFocus(w.last_focus);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(w.hwnd, msg, wp, lp);
}

void Win32Windows::paint(Window& w) {
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(w.hwnd, &ps);
  if (!w.picture) w.picture = std::make_unique<GreyDib>(art::WindowPicture(*w.layout, w.lit, w.mute, w.scale));
  w.picture->paint(dc);
  EndPaint(w.hwnd, &ps);
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
