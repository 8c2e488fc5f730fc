#include "platform/linux/x11_keyboard.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <string>

#include "platform/failure.h"
#include "platform/linux/x11_display.h"
#include "platform/linux/x11_errors.h"

namespace brisel::linux_x11 {

namespace {

constexpr const char* kPolled = "the keys are polled every 10 ms instead";

}  // namespace

X11Keyboard::X11Keyboard(const char* display_name) {
  errno = 0;
  display_ = XOpenDisplay(display_name);
  held_ = [this](int code) {
    if (!keymap_asked_) XQueryKeymap(display_, keymap_state_.data());
    keymap_asked_ = true;
    return (keymap_state_[static_cast<std::size_t>(code / 8)] & (1 << (code % 8))) != 0;
  };
  if (!display_) {
    failure_ = CannotOpenDisplay(display_name, errno);
    return;
  }
  int event = 0, error = 0, major = 2, minor = 0;
  if (!XQueryExtension(display_, "XInputExtension", &xi_opcode_, &event, &error)) {
    Warn("XQueryExtension", std::string("the X server has no XInputExtension; ") + kPolled);
    xi_opcode_ = -1;
  } else if (XIQueryVersion(display_, &major, &minor) != Success) {
    Warn("XIQueryVersion", "the X server offers XInput " + std::to_string(major) + "." + std::to_string(minor) +
                               ", not 2.0; " + kPolled);
    xi_opcode_ = -1;
  } else {
    XErrorTrap trap(display_);  // the one request the keyboard checks
    select_events(false);
    if (const int refused = trap.error(); refused != Success) {
      Warn("XISelectEvents", XErrorText(display_, refused) + "; " + kPolled);
      xi_opcode_ = -1;
    }
  }
  // A key map change (xmodmap, a layout switch) comes as an XKB event to a client that uses
  // XKB, as Xlib does by itself: without these the keys could move unnoticed.
  int xkb_opcode = 0, xkb_error = 0, xkb_major = XkbMajorVersion, xkb_minor = XkbMinorVersion;
  if (XkbQueryExtension(display_, &xkb_opcode, &xkb_event_, &xkb_error, &xkb_major, &xkb_minor)) {
    constexpr unsigned long kChanges = XkbNewKeyboardNotifyMask | XkbMapNotifyMask;
    XkbSelectEvents(display_, XkbUseCoreKbd, kChanges, kChanges);
  } else {
    xkb_event_ = -1;
  }
  load_keymap();
  XFlush(display_);
}

X11Keyboard::~X11Keyboard() {
  if (display_) XCloseDisplay(display_);
}

void X11Keyboard::select_events(bool releases) {
  unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
  XISetMask(bits, XI_RawKeyPress);
  if (releases) XISetMask(bits, XI_RawKeyRelease);
  XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
  XISelectEvents(display_, DefaultRootWindow(display_), &mask, 1);
  releases_ = releases;
}

const std::function<bool(int)>& X11Keyboard::held_now() {
  keymap_asked_ = false;
  return held_;
}

void X11Keyboard::follow_releases() {
  if (!raw_events() || keys_.any_down() == releases_) return;
  select_events(!releases_);
}

bool X11Keyboard::confirm_down() {
  if (!raw_events() || !releases_ || !keys_.any_unconfirmed()) return false;
  // A release that came before the selection took effect was not sent: the key map, asked
  // after it, tells. The events that came before the answer are read first, since the answer
  // already counts them.
  const auto& held = held_now();
  held(0);
  const bool concerns = read_queue();
  keys_.confirm(held);
  return concerns;
}

int X11Keyboard::fd() const { return display_ ? ConnectionNumber(display_) : -1; }

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

bool X11Keyboard::drain() {
  if (!display_) return false;
  bool concerns = false;
  // Following the releases asks the server, and Xlib may queue events meanwhile.
  do {
    concerns = read_queue() || concerns;
    follow_releases();
    concerns = confirm_down() || concerns;
  } while (XPending(display_) > 0);
  return concerns;
}

bool X11Keyboard::read_queue() {
  bool concerns = false;
  while (XPending(display_) > 0) {
    XEvent ev;
    XNextEvent(display_, &ev);
    if (ev.type == MappingNotify) {
      XRefreshKeyboardMapping(&ev.xmapping);
      load_keymap();
      concerns = true;
      continue;
    }
    if (xkb_event_ >= 0 && ev.type == xkb_event_) {  // XkbNewKeyboardNotify or XkbMapNotify
      load_keymap();
      concerns = true;
      continue;
    }
    if (ev.type != GenericEvent || ev.xcookie.extension != xi_opcode_ || !XGetEventData(display_, &ev.xcookie))
      continue;
    const int code = static_cast<const XIRawEvent*>(ev.xcookie.data)->detail;
    if (ev.xcookie.evtype == XI_RawKeyPress) {
      keys_.each_key([&](std::int32_t vk) {
        if (!carries(code, vk)) return;
        keys_.press(vk, code);
        concerns = true;
      });
    } else {
      concerns = keys_.release(code) || concerns;  // by the keycode it went down with
    }
    XFreeEventData(display_, &ev.xcookie);
  }
  return concerns;
}

bool X11Keyboard::begin_watching(std::int32_t vk) {
  if (KeysymsOf(vk).empty()) return false;
  if (keys_.watch(vk) && raw_events()) {
    const auto& held = held_now();
    for (int code = 0; code < 256; ++code)
      if (carries(code, vk) && held(code)) keys_.hold(vk, code);
  }
  return true;
}

std::int16_t X11Keyboard::GetAsyncKeyState(std::int32_t vk) {
  if (!display_) return 0;
  drain();
  if (raw_events()) {
    if (!begin_watching(vk)) return 0;
    const std::int16_t state = keys_.answer(vk);
    follow_releases();  // a key newly watched may be down
    return state;
  }
  // Without raw events: the state at this moment, a held key counting as pressed.
  const auto& held = held_now();
  for (int code = 0; code < 256; ++code)
    if (carries(code, vk) && held(code)) return static_cast<std::int16_t>(0x8001);
  // A press from outside still counts; with no key events the ledger holds nothing else.
  return begin_watching(vk) ? static_cast<std::int16_t>(keys_.answer(vk) & 1) : std::int16_t{0};
}

void X11Keyboard::watch(std::int32_t vk) {
  if (display_ && begin_watching(vk)) follow_releases();  // it may be down
}

void X11Keyboard::press_from_outside(std::int32_t vk) {
  if (!display_) return;
  drain();
  if (!begin_watching(vk)) return;
  keys_.press_from_outside(vk);
  follow_releases();  // a key newly watched may be down
}

}  // namespace brisel::linux_x11
