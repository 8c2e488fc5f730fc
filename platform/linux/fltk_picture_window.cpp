// Fl_X::make_xid makes a window of a visual of our choice.
#define FL_INTERNALS
#include "platform/linux/fltk_picture_window.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <algorithm>

namespace brisel::linux_fltk {

void PictureWindow::show() {
  if (!shown() && argb) Fl_X::make_xid(this, &argb->info, argb->colormap);
  Fl_Double_Window::show();
}

void PictureWindow::flush() {
  if (!argb) return Fl_Double_Window::flush();
  if (!painter_) painter_ = std::make_unique<linux_x11::ArgbPainter>(fl_display, *argb);
  if (children() > 0) {
    // An expose alone only asks for the picture again; the painter keeps it.
    if (damage() & ~(FL_DAMAGE_CHILD | FL_DAMAGE_EXPOSE) || painted_stale_ || !offscreen_)
      draw_offscreen(FL_DAMAGE_ALL);
    else if (damage() & FL_DAMAGE_CHILD)
      draw_offscreen(FL_DAMAGE_CHILD);
  } else {
    compose_if_stale();
    if (painted_stale_) painter_->set_picture(picture, region);
  }
  painted_stale_ = false;
  painter_->paint(fl_xid(this), opacity);
}

// The toolkit's drawing, of the whole window (FL_DAMAGE_ALL) or of the children that changed
// (FL_DAMAGE_CHILD) into the pixmap that keeps the rest, taken by the painter. The toolkit's one
// GC is made for the screen's own depth, which the pixmap has and the 32-bit window has not.
void PictureWindow::draw_offscreen(uchar what) {
  if (!offscreen_) {
    offscreen_ = XCreatePixmap(fl_display, RootWindow(fl_display, fl_screen), static_cast<unsigned>(w()),
                               static_cast<unsigned>(h()), static_cast<unsigned>(fl_visual->depth));
    if (!fl_gc) fl_gc = XCreateGC(fl_display, offscreen_, 0, nullptr);
  }
  clear_damage(what);
  fl_begin_offscreen(offscreen_);
  draw();
  fl_end_offscreen();
  painter_->set_content(offscreen_, fl_visual->visual, w(), h(), region);
}

void PictureWindow::compose_if_stale() {
  if (compose && stale) {
    picture = compose();
    painted_stale_ = true;
  }
  stale = false;
}

void PictureWindow::draw() {
  compose_if_stale();
  // Only a full redraw paints the picture: a child that updates part of itself would
  // otherwise find the picture painted over the rest.
  if (damage() & ~FL_DAMAGE_CHILD)
    fl_draw_image_mono(picture.pixels.data(), 0, 0, std::min(picture.width, w()), std::min(picture.height, h()), 1,
                       picture.width);
  draw_children();
}

}  // namespace brisel::linux_fltk
