// The X error handlers (run under tests/linux/session.sh): what each kind of protocol error
// comes to, decided and then made to happen on a real X server, on connections of the test's own.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include "platform/linux/x11_errors.h"

namespace brisel::linux_x11 {
namespace {

TEST(XErrors, ACheckedCallKeepsItsErrorsAndAnotherClientsVanishedWindowIsIgnored) {
  for (const int code : {BadWindow, BadAccess, BadValue}) {
    EXPECT_EQ(AnswerXError(code, true, true), XErrorAnswer::Kept);
    EXPECT_EQ(AnswerXError(code, true, false), XErrorAnswer::Kept);
    // A window of the connection's own making is no other client's: its error is a fault to say.
    EXPECT_EQ(AnswerXError(code, false, false), XErrorAnswer::Said);
  }
  EXPECT_EQ(AnswerXError(BadWindow, false, true), XErrorAnswer::Ignored);
  EXPECT_EQ(AnswerXError(BadAccess, false, true), XErrorAnswer::Said);
  EXPECT_EQ(AnswerXError(BadPixmap, false, true), XErrorAnswer::Said);
}

TEST(XErrors, OneLineForAnErrorToSayNoneForTheOthersAndTheProgramGoesOn) {
  InstallXErrorHandlers();
  Display* display = XOpenDisplay(nullptr);
  Display* other = XOpenDisplay(nullptr);
  ASSERT_TRUE(display && other) << "no X display";
  const Window root = DefaultRootWindow(display);
  const Window theirs = XCreateSimpleWindow(other, root, 0, 0, 1, 1, 0, 0, 0);
  XDestroyWindow(other, theirs);
  XSync(other, False);
  const Window mine = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
  XDestroyWindow(display, mine);

  testing::internal::CaptureStderr();
  XEvent answer{};
  answer.xselection.type = SelectionNotify;
  answer.xselection.requestor = theirs;
  XSendEvent(display, theirs, False, NoEventMask, &answer);  // ignored
  {
    XErrorTrap trap(display);
    XMapWindow(display, mine);
    EXPECT_EQ(trap.error(), BadWindow);  // kept
  }
  XMapWindow(display, mine);  // said, by the core request's name
  unsigned char bits[XIMaskLen(XI_RawKeyPress)] = {};
  XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
  XISelectEvents(display, mine, &mask, 1);  // said, by the extension's name and the request's number
  XSync(display, False);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "brisel: X error: X_MapWindow: BadWindow (invalid Window parameter)\n"
            "brisel: X error: XInputExtension.46: BadWindow (invalid Window parameter)\n");
  XCloseDisplay(other);
  XCloseDisplay(display);
}

}  // namespace
}  // namespace brisel::linux_x11
