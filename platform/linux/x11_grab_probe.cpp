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
#include "platform/linux/x11_errors.h"

namespace brisel::linux_x11 {

namespace {

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
  // A core grab that another client holds is refused with an X error: the probe's answer, not
  // a failure to say.
  XErrorTrap trap(display);
  XGrabKey(display, code, 0, root, False, GrabModeAsync, GrabModeAsync);
  const bool refused = trap.error() == BadAccess;
  if (!refused) XUngrabKey(display, code, 0, root);
  return refused || (xinput && XInputGrabRefused(display, code, root));
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
