#include "platform/linux/x11_keyboard.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <algorithm>

namespace brisel::linux_x11 {

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
  for (auto& syms : keymap_) syms.clear();
  int min = 0, max = 0, per = 0;
  XDisplayKeycodes(display_, &min, &max);
  KeySym* map = XGetKeyboardMapping(display_, static_cast<KeyCode>(min), max - min + 1, &per);
  if (!map) return;
  for (int code = min; code <= max && code < 256; ++code)
    for (int i = 0; i < per; ++i)
      if (const KeySym sym = map[(code - min) * per + i]; sym != NoSymbol)
        keymap_[static_cast<std::size_t>(code)].push_back(sym);
  XFree(map);
}

bool X11Keyboard::carries(int keycode, std::int32_t vk) const {
  if (keycode < 0 || keycode >= 256) return false;
  const auto& syms = keymap_[static_cast<std::size_t>(keycode)];
  for (KeySymbol sym : KeysymsOf(vk))
    if (std::find(syms.begin(), syms.end(), sym) != syms.end()) return true;
  return false;
}

void X11Keyboard::key_event(int keycode, bool press) {
  for (Watched& w : watched_) {
    if (!carries(keycode, w.vk)) continue;
    const auto held = std::find(w.down.begin(), w.down.end(), keycode);
    if (press && held == w.down.end()) {  // auto-repeat sends presses without releases
      w.down.push_back(keycode);
      ++w.presses;
    } else if (!press && held != w.down.end()) {
      w.down.erase(held);
    }
  }
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
    key_event(raw->detail, ev.xcookie.evtype == XI_RawKeyPress);
    XFreeEventData(display_, &ev.xcookie);
  }
}

X11Keyboard::Watched& X11Keyboard::watch(std::int32_t vk) {
  auto it = std::find_if(watched_.begin(), watched_.end(), [vk](const Watched& w) { return w.vk == vk; });
  if (it != watched_.end()) {
    std::rotate(it, it + 1, watched_.end());  // most recently queried last
    return watched_.back();
  }
  // A key starts being watched: the oldest one no longer queried is forgotten, and the new
  // one's keys held at this moment count as down (not as a press).
  if (watched_.size() == kMaxWatched) watched_.erase(watched_.begin());
  Watched& w = watched_.emplace_back(Watched{vk, {}, 0});
  char keys[32] = {};
  XQueryKeymap(display_, keys);
  for (int code = 0; code < 256; ++code)
    if ((keys[code / 8] & (1 << (code % 8))) && carries(code, vk)) w.down.push_back(code);
  return w;
}

std::int16_t X11Keyboard::GetAsyncKeyState(std::int32_t vk) {
  if (!display_ || KeysymsOf(vk).empty()) return 0;
  drain();
  if (!raw_events()) {
    char keys[32] = {};
    XQueryKeymap(display_, keys);
    for (int code = 0; code < 256; ++code)
      if ((keys[code / 8] & (1 << (code % 8))) && carries(code, vk)) return static_cast<std::int16_t>(0x8001);
    return 0;
  }
  Watched& w = watch(vk);
  const int state = (w.down.empty() ? 0 : 0x8000) | (w.presses > 0 ? 1 : 0);
  w.presses = 0;
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(state));
}

}  // namespace brisel::linux_x11
