#include "platform/linux/x11_errors.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/failure.h"

// The connection's extensions and the range of its resource ids, which the error's line and
// its answer need, and which Xlib keeps in its private record of the connection. (Last: it
// defines min and max as macros.)
#include <X11/Xlibint.h>

namespace brisel::linux_x11 {

namespace {

// The checked call in progress: its connection, and its first error.
Display* g_checked = nullptr;
int g_checked_error = Success;
std::vector<const std::function<void()>*> g_stops;  // in the order they were made

// The request as the error database names it: "X_SendEvent", or for an extension's request
// its name or else "EXTENSION.MINOR" ("XInputExtension.46").
std::string RequestName(Display* display, const XErrorEvent& e) {
  char text[128] = "";
  std::string key = std::to_string(e.request_code);
  if (e.request_code >= 128) {
    const _XExtension* ext = display->ext_procs;
    while (ext && ext->codes.major_opcode != e.request_code) ext = ext->next;
    key = (ext && ext->name ? std::string(ext->name) : "extension " + key) + "." + std::to_string(e.minor_code);
  }
  XGetErrorDatabaseText(display, "XRequest", key.c_str(), "", text, sizeof text);
  const char* name = text;
  while (*name == ' ') ++name;  // some of the database's names start with a blank
  return *name ? name : key;
}

int OnError(Display* display, XErrorEvent* e) {
  const bool others = (e->resourceid & ~display->resource_mask) != display->resource_base;
  switch (AnswerXError(e->error_code, display == g_checked, others)) {
    case XErrorAnswer::Kept:
      if (g_checked_error == Success) g_checked_error = e->error_code;
      break;
    case XErrorAnswer::Ignored:
      break;
    case XErrorAnswer::Said:  // on standard error only: a box would talk to the X server from inside Xlib
      SayFailure(Severity::hint, FailureLine("X error: " + RequestName(display, *e), XErrorText(display, e->error_code)));
      break;
  }
  return 0;
}

// Never returns: Xlib ends the process when its I/O handler does.
int OnIoError(Display* display) {
  static bool ending = false;
  if (!ending) {  // a stop that touches a connection comes back here: it ends at once
    ending = true;
    SayFailure(Severity::hint, std::string("brisel: lost the X display ") + DisplayString(display));  // no box: no display
    for (auto s = g_stops.rbegin(); s != g_stops.rend(); ++s) (**s)();
  }
  std::fflush(nullptr);
  _exit(1);
}

}  // namespace

XErrorAnswer AnswerXError(int error_code, bool checked, bool others_resource) {
  if (checked) return XErrorAnswer::Kept;
  if (error_code == BadWindow && others_resource) return XErrorAnswer::Ignored;
  return XErrorAnswer::Said;
}

void InstallXErrorHandlers() {
  XSetErrorHandler(OnError);
  XSetIOErrorHandler(OnIoError);
}

std::string XErrorText(Display* display, int error_code) {
  char text[160] = "";
  XGetErrorText(display, error_code, text, sizeof text);
  return text;
}

XErrorTrap::XErrorTrap(Display* display)
    : display_(display), outer_display_(g_checked), outer_error_(g_checked_error), previous_(XSetErrorHandler(OnError)) {
  XSync(display_, False);
  g_checked = display_;
  g_checked_error = Success;
}

XErrorTrap::~XErrorTrap() {
  XSync(display_, False);  // the call's errors are the call's, not said after it
  g_checked = outer_display_;
  g_checked_error = outer_error_;
  XSetErrorHandler(previous_);
}

int XErrorTrap::error() {
  XSync(display_, False);
  return g_checked_error;
}

StopOnLostDisplay::StopOnLostDisplay(std::function<void()> stop) : stop_(std::move(stop)) { g_stops.push_back(&stop_); }

StopOnLostDisplay::~StopOnLostDisplay() { g_stops.erase(std::find(g_stops.begin(), g_stops.end(), &stop_)); }

}  // namespace brisel::linux_x11
