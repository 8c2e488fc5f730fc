// A toolkit window that draws a grey picture behind its children, and where a compositor runs
// carries its opacity and rounded outline in its pixels' alpha (platform/linux/x11_argb.h).
//
// `compose`, where set, makes the picture anew before a draw that follows a change (set stale):
// a handler may change the display's picture many times in one tick, and only the last one is
// ever seen.
//
// A window shown with `argb` set is made with that 32-bit visual and carries `opacity` and
// `region` in its pixels' alpha: a window without children paints its picture so; the toolkit
// draws one with children (the dialog) into a pixmap of the screen's own depth, which the
// server then copies into the window through the outline and the opacity, at every flush in
// which the toolkit drew: the whole window, or only the children that changed (a field's text,
// its cursor, the focus, a pressed button), over what the pixmap already holds. A window shown
// without `argb` is an ordinary window of the screen's depth, and draws as the toolkit does.
#pragma once

#include <FL/Fl_Double_Window.H>
#include <X11/Xlib.h>

#include <functional>
#include <memory>
#include <optional>

#include "platform/linux/x11_argb.h"
#include "platform/window_state.h"
#include "resources/image.h"

namespace brisel::linux_fltk {

class PictureWindow : public Fl_Double_Window {
 public:
  PictureWindow(int w, int h, const char* title) : Fl_Double_Window(w, h, title) {}
  GreyImage picture;
  std::function<GreyImage()> compose;
  bool stale = false;
  std::optional<linux_x11::ArgbVisual> argb;
  int opacity = 255;
  std::optional<RoundRect> region;
  void show() override;
  // The region changed: the picture goes to the server again.
  void reshape() {
    painted_stale_ = true;
    redraw();
  }
  void flush() override;
  void draw() override;

 private:
  void draw_offscreen(uchar what);
  void compose_if_stale();
  std::unique_ptr<linux_x11::ArgbPainter> painter_;
  bool painted_stale_ = true;
  Pixmap offscreen_ = 0;
};

}  // namespace brisel::linux_fltk
