#include "platform/win32/win32_windows.h"

#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/win32/win32_failure.h"
#include "platform/win32/win32_message_loop.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_window_record.h"
#include "resources/art.h"
#include "resources/placement.h"
#include "resources/scale.h"

namespace brisel::win32 {

namespace {

constexpr const wchar_t* kClassName = L"BriselForm";

// The scale of the monitor the window is on.
Scale WindowScale(::HWND hwnd) { return ScaleForDpi(GetDpiForWindow(hwnd)); }

}  // namespace

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

}  // namespace brisel::win32
