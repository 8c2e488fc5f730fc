#include "platform/linux/x11_keyboard.h"

#include <X11/XF86keysym.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

#include <span>

namespace brisel::linux_x11 {

namespace {

// The keysyms that stand for a Windows virtual-key code.
std::span<const KeySym> KeysymsOf(std::int32_t vk) {
  static const KeySym f[16] = {XK_F1,  XK_F2,  XK_F3,  XK_F4,  XK_F5,  XK_F6,  XK_F7,  XK_F8,
                               XK_F9,  XK_F10, XK_F11, XK_F12, XK_F13, XK_F14, XK_F15, XK_F16};
  static const KeySym add[] = {XK_KP_Add}, sub[] = {XK_KP_Subtract}, mul[] = {XK_KP_Multiply},
                      div[] = {XK_KP_Divide}, up[] = {XF86XK_AudioRaiseVolume}, down[] = {XF86XK_AudioLowerVolume},
                      mute[] = {XF86XK_AudioMute}, del[] = {XK_Delete}, ins[] = {XK_Insert},
                      alt[] = {XK_Alt_L, XK_Alt_R}, ctrl[] = {XK_Control_L, XK_Control_R},
                      shift[] = {XK_Shift_L, XK_Shift_R}, esc[] = {XK_Escape};
  auto list = [](const KeySym* p, std::size_t n) { return std::span<const KeySym>(p, n); };
  if (vk >= 112 && vk <= 127) return list(&f[vk - 112], 1);
  switch (vk) {
    case 107: return list(add, 1);
    case 109: return list(sub, 1);
    case 106: return list(mul, 1);
    case 111: return list(div, 1);
    case 175: return list(up, 1);
    case 174: return list(down, 1);
    case 173: return list(mute, 1);
    case 46: return list(del, 1);
    case 45: return list(ins, 1);
    case 18: return list(alt, 2);
    case 17: return list(ctrl, 2);
    case 16: return list(shift, 2);
    case 27: return list(esc, 1);
    default: return {};
  }
}

}  // namespace

X11Keyboard::X11Keyboard(const char* display_name) : display_(XOpenDisplay(display_name)) {
  if (!display_) return;
  int event = 0, error = 0, major = 2, minor = 0;
  if (XQueryExtension(display_, "XInputExtension", &xi_opcode_, &event, &error) &&
      XIQueryVersion(display_, &major, &minor) == Success) {
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
    XISelectEvents(display_, DefaultRootWindow(display_), &mask, 1);
  } else {
    xi_opcode_ = -1;
  }
  load_keymap();
  XFlush(display_);
}

X11Keyboard::~X11Keyboard() {
  if (display_) XCloseDisplay(display_);
}

void X11Keyboard::load_keymap() {
  keysym_to_keycodes_.clear();
  int min = 0, max = 0, per = 0;
  XDisplayKeycodes(display_, &min, &max);
  KeySym* map = XGetKeyboardMapping(display_, static_cast<KeyCode>(min), max - min + 1, &per);
  if (!map) return;
  for (int code = min; code <= max; ++code)
    for (int i = 0; i < per; ++i) {
      const KeySym sym = map[(code - min) * per + i];
      if (sym != NoSymbol) keysym_to_keycodes_.emplace(sym, code);
    }
  XFree(map);
}

void X11Keyboard::drain() {
  while (XPending(display_) > 0) {
    XEvent ev;
    XNextEvent(display_, &ev);
    if (ev.type == MappingNotify) {
      XRefreshKeyboardMapping(&ev.xmapping);
      load_keymap();
      continue;
    }
    if (ev.type != GenericEvent || ev.xcookie.extension != xi_opcode_ || !XGetEventData(display_, &ev.xcookie))
      continue;
    const auto* raw = static_cast<const XIRawEvent*>(ev.xcookie.data);
    const int code = raw->detail;
    if (code >= 0 && code < 256) {
      const bool press = ev.xcookie.evtype == XI_RawKeyPress;
      // Auto-repeat sends presses without releases: count only a fresh press.
      if (press && !down_[static_cast<std::size_t>(code)]) ++presses_[static_cast<std::size_t>(code)];
      down_[static_cast<std::size_t>(code)] = press;
    }
    XFreeEventData(display_, &ev.xcookie);
  }
}

std::int16_t X11Keyboard::GetAsyncKeyState(std::int32_t vk) {
  if (!display_) return 0;
  drain();
  // The keycodes that carry the key's keysyms in the keymap as it is now.
  int state = 0;
  char keys[32] = {};
  if (!raw_events()) XQueryKeymap(display_, keys);
  for (KeySym sym : KeysymsOf(vk)) {
    auto [from, to] = keysym_to_keycodes_.equal_range(sym);
    for (auto it = from; it != to; ++it) {
      const auto code = static_cast<std::size_t>(it->second);
      if (!raw_events()) {
        if (keys[code / 8] & (1 << (code % 8))) state |= 0x8001;
        continue;
      }
      if (down_[code]) state |= 0x8000;
      if (presses_[code] > 0) state |= 1;
      presses_[code] = 0;
    }
  }
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(state));
}

}  // namespace brisel::linux_x11
