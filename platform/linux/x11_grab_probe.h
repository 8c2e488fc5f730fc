// Hot keys that another X client has grabbed. Brisel watches its keys and takes them from
// nobody, so a key that the desktop binds as well (most desktops bind the keyboard's volume
// keys) does both things on every press. A desktop binds a key with a passive grab on the root
// window, of the bare key or of the key with any modifiers, through the core protocol or
// through XInput2; a grab of the bare key of our own, of the same kind, is then refused with
// BadAccess, and tells. Where it succeeds, it is released at once.
#pragma once

#include "platform/linux/x11_keys.h"

typedef struct _XDisplay Display;

namespace brisel {
class Program;
}

namespace brisel::linux_x11 {

// Whether another client holds a grab, on the root window, of the bare key that carries `keysym`.
bool GrabbedElsewhere(Display* display, KeySymbol keysym);

// After the hand-over: one line on standard error for each hot key another client has grabbed,
// named as the dialog lists it.
void SayHotKeysGrabbedElsewhere(Display* display, const Program& program);

}  // namespace brisel::linux_x11
