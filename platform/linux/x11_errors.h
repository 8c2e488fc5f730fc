// The program's one pair of X error handlers, for every connection it opens (the windows', the
// keyboard's, the instance channel's, the one that sends to another Brisel), set once before
// the first connection opens.
//
// A protocol error is one of three things. While a checked call runs on its connection
// (XErrorTrap), it is that call's answer: kept for it and said nowhere. An error about a window
// that another client made and has since destroyed (a client that asked for the instance
// selection and went away before the answer, a requestor of the toolkit's clipboard that did
// the same) is no fault of this program: ignored. Any other is said in one line, `brisel: X
// error: REQUEST: what the server said`, and the program goes on. Xlib's own handler, which
// would end the program, never runs.
//
// A connection lost (the X server went away) is one line, `brisel: lost the X display NAME`;
// what was registered with StopOnLostDisplay is stopped, and the process ends with status 1 at
// once (_exit): Xlib, were the handler to return, would say more and call exit() itself, and
// exit() would run the static destructors and the libraries' exit handlers under the program's
// objects, whose connections are gone, while they still live. Standard output and the trace
// file are flushed first.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <string>

namespace brisel::linux_x11 {

enum class XErrorAnswer { Kept, Ignored, Said };

// What becomes of a protocol error `error_code` (BadWindow, BadAccess...): kept where a checked
// call runs on its connection, ignored where it is a BadWindow about a window that another
// client made (`others_resource`: the resource the error names is not of the connection's
// making), said otherwise.
XErrorAnswer AnswerXError(int error_code, bool checked, bool others_resource);

// Sets the pair. Again is harmless.
void InstallXErrorHandlers();

// The server's words for an error code, as Xlib has them ("BadWindow (invalid Window parameter)").
std::string XErrorText(Display* display, int error_code);

// A checked call on `display` (GLFW's grab and release of the error handler): while the trap
// lives, an error on that connection is the call's, kept and said nowhere; errors on other
// connections are handled as ever. Requests made before it are answered first (a round trip),
// so that their errors are not taken for the call's.
class XErrorTrap {
 public:
  explicit XErrorTrap(Display* display);
  ~XErrorTrap();
  XErrorTrap(const XErrorTrap&) = delete;
  XErrorTrap& operator=(const XErrorTrap&) = delete;
  // The first error of the requests made since the trap was set (after a round trip that makes
  // sure all of them were answered), or Success.
  int error();

 private:
  Display* display_;
  Display* outer_display_;  // the trap this one is inside, if any
  int outer_error_;
  XErrorHandler previous_;
};

// While it lives, `stop` runs before the process ends on a lost display: what must not run on
// while the process ends under it (the sound server's thread). The last made runs first.
class StopOnLostDisplay {
 public:
  explicit StopOnLostDisplay(std::function<void()> stop);
  ~StopOnLostDisplay();
  StopOnLostDisplay(const StopOnLostDisplay&) = delete;
  StopOnLostDisplay& operator=(const StopOnLostDisplay&) = delete;

 private:
  std::function<void()> stop_;
};

}  // namespace brisel::linux_x11
