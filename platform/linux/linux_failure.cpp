// Where the Linux program's messages go: standard error when it is a terminal, a file or a pipe;
// otherwise (started from a menu or a launcher, standard error in the session's journal or
// nowhere) FLTK's message box, on the X display, or standard error after all without one.
#include <FL/Fl.H>
#include <FL/fl_ask.H>
#include <FL/x.H>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/failure.h"

namespace brisel {

bool StandardErrorSeen() {
  struct stat st {};
  return isatty(STDERR_FILENO) ||
         (fstat(STDERR_FILENO, &st) == 0 && (S_ISREG(st.st_mode) || S_ISFIFO(st.st_mode)));
}

bool SayInABox(Severity severity, const std::string& text) {
  if (!fl_display) {  // before the program's windows, or without them
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    fl_open_display(display);
  }
  fl_message_title("Brisel");
  fl_close = "OK";  // the box's one button
  if (severity == Severity::info)
    fl_message("%s", text.c_str());
  else
    fl_alert("%s", text.c_str());
  return true;
}

}  // namespace brisel
