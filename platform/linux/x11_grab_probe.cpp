#include "platform/linux/x11_grab_probe.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/program.h"
#include "base/key_table.h"
#include "platform/failure.h"

namespace brisel::linux_x11 {

namespace {

// A core grab that another client holds is refused with an X error, caught here instead of by
// the handler in place, which would report it. Every error of the probing connection while it
// probes is the probe's own (the queue was synced before); others go on to that handler.
Display* g_probing = nullptr;
bool g_refused = false;
XErrorHandler g_previous = nullptr;
int NoteGrabError(Display* display, XErrorEvent* e) {
  if (display != g_probing) return g_previous ? g_previous(display, e) : 0;
  g_refused = g_refused || e->error_code == BadAccess;
  return 0;
}

// An XInput2 grab of the key, as some window managers bind keys, conflicts only with another
// XInput2 grab; a refused one comes back as the modifier's status, not as an error.
bool XInputGrabRefused(Display* display, KeyCode code, Window root) {
  unsigned char bits[XIMaskLen(XI_KeyPress)] = {};
  XISetMask(bits, XI_KeyPress);
  XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
  XIGrabModifiers bare{0, 0};
  const int failed = XIGrabKeycode(display, XIAllMasterDevices, code, root, XIGrabModeAsync, XIGrabModeAsync, False,
                                   &mask, 1, &bare);
  if (failed == 0) XIUngrabKeycode(display, XIAllMasterDevices, code, root, 1, &bare);
  return failed > 0 && bare.status == BadAccess;
}

}  // namespace

bool GrabbedElsewhere(Display* display, KeySymbol keysym) {
  const KeyCode code = XKeysymToKeycode(display, keysym);
  if (code == 0) return false;  // no key carries it now
  const Window root = DefaultRootWindow(display);
  int opcode = 0, event = 0, error = 0;
  const bool xinput = XQueryExtension(display, "XInputExtension", &opcode, &event, &error);
  XSync(display, False);
  g_probing = display;
  g_refused = false;
  g_previous = XSetErrorHandler(NoteGrabError);
  XGrabKey(display, code, 0, root, False, GrabModeAsync, GrabModeAsync);
  XSync(display, False);
  const bool refused = g_refused;
  if (!refused) XUngrabKey(display, code, 0, root);
  const bool xinput_refused = !refused && xinput && XInputGrabRefused(display, code, root);
  XSync(display, False);
  XSetErrorHandler(g_previous);
  g_probing = nullptr;
  return refused || xinput_refused;
}

void SayHotKeysGrabbedElsewhere(Display* display, const Program& program) {
  std::vector<std::int32_t> said;
  for (const HotKey key : {HotKey::up, HotKey::down, HotKey::mute}) {
    const auto vk = program.hot_key_code(key);
    if (!vk || std::find(said.begin(), said.end(), *vk) != said.end()) continue;
    said.push_back(*vk);
    bool grabbed = false;
    for (const KeySymbol keysym : KeysymsOf(*vk)) grabbed = grabbed || GrabbedElsewhere(display, keysym);
    if (!grabbed) continue;
    std::string_view name;
    for (const KeyRow& row : KeyTable())
      if (name.empty() && row.code == std::to_string(*vk)) name = row.name;
    // Advice, not a failure: on standard error only, never a box at every login.
    std::string line = "brisel: \"";
    line.append(name);
    line += "\" is also bound by another program (the desktop's own shortcut?): each press acts twice; pick "
            "another key or turn that binding off";
    SayFailure(Severity::hint, line);
  }
}

}  // namespace brisel::linux_x11
