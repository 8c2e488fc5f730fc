#include "platform/linux/x11_instance.h"

#include <X11/Xlib.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "platform/linux/x11_errors.h"

namespace brisel::linux_x11 {

namespace {

constexpr const char* kSelection = "_BRISEL_INSTANCE";
constexpr const char* kMessageType = "_BRISEL_MESSAGE";

}  // namespace

InstanceChannel::InstanceChannel(const char* display_name) : display_(XOpenDisplay(display_name)) {
  if (!display_) return;
  selection_ = XInternAtom(display_, kSelection, False);
  message_type_ = XInternAtom(display_, kMessageType, False);
  XSetWindowAttributes attrs{};
  attrs.override_redirect = True;
  window_ = XCreateWindow(display_, DefaultRootWindow(display_), -1, -1, 1, 1, 0, CopyFromParent, InputOnly,
                          CopyFromParent, CWOverrideRedirect, &attrs);
  XStoreName(display_, window_, "Brisel instance");
  // Look and take in one step: two processes starting together cannot both become the owner.
  XGrabServer(display_);
  if (XGetSelectionOwner(display_, selection_) == None) XSetSelectionOwner(display_, selection_, window_, CurrentTime);
  const Window owner = XGetSelectionOwner(display_, selection_);
  XUngrabServer(display_);
  XSync(display_, False);
  state_ = owner == window_ ? State::Owner : State::Taken;
}

InstanceChannel::~InstanceChannel() {
  if (display_) XCloseDisplay(display_);
}

int InstanceChannel::fd() const { return display_ ? ConnectionNumber(display_) : -1; }

std::vector<std::string> InstanceChannel::receive() {
  std::vector<std::string> messages;
  if (!display_) return messages;
  while (XPending(display_) > 0) {
    XEvent ev;
    XNextEvent(display_, &ev);
    if (ev.type == ClientMessage && ev.xclient.message_type == message_type_ && ev.xclient.format == 8) {
      messages.emplace_back(ev.xclient.data.b, strnlen(ev.xclient.data.b, kMaxInstanceMessage));
    } else if (ev.type == SelectionRequest) {
      // The selection marks the instance and holds nothing: refuse every conversion at once.
      const XSelectionRequestEvent& req = ev.xselectionrequest;
      XEvent reply{};
      reply.xselection.type = SelectionNotify;
      reply.xselection.requestor = req.requestor;
      reply.xselection.selection = req.selection;
      reply.xselection.target = req.target;
      reply.xselection.property = None;
      reply.xselection.time = req.time;
      XSendEvent(display_, req.requestor, False, NoEventMask, &reply);
      XFlush(display_);
    }
  }
  return messages;
}

SendResult SendToInstance(Display* display, std::string_view message, int wait_for_end_ms) {
  const Atom selection = XInternAtom(display, kSelection, False);
  const Window owner = XGetSelectionOwner(display, selection);
  if (owner == None) return SendResult::NotRunning;
  // The owner's window may go away at any moment: an error about it means "gone".
  XErrorTrap trap(display);
  if (wait_for_end_ms > 0) XSelectInput(display, owner, StructureNotifyMask);  // to see it destroyed
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = owner;
  ev.xclient.message_type = XInternAtom(display, kMessageType, False);
  ev.xclient.format = 8;
  std::memcpy(ev.xclient.data.b, message.data(), std::min(message.size(), kMaxInstanceMessage));
  XSendEvent(display, owner, False, NoEventMask, &ev);
  bool gone = trap.error() == BadWindow;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_for_end_ms);
  while (wait_for_end_ms > 0 && !gone) {
    while (!gone && XPending(display) > 0) {
      XEvent e;
      XNextEvent(display, &e);
      gone = e.type == DestroyNotify && e.xdestroywindow.window == owner;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (gone || left.count() <= 0) break;
    pollfd p{ConnectionNumber(display), POLLIN, 0};
    poll(&p, 1, static_cast<int>(left.count()));
  }
  if (wait_for_end_ms <= 0) return gone ? SendResult::NotRunning : SendResult::Sent;
  return gone ? SendResult::Sent : SendResult::StillRunning;
}

}  // namespace brisel::linux_x11
