// Windows that carry their opacity and rounded outline in their pixels' alpha. A compositing
// manager blends such a window with what lies behind it, whatever it makes of the opacity
// property and the X shape (sway's Xwayland applies neither; mutter applies the property only a
// frame after the window maps, so a fade-in would start with one opaque frame). Where no
// compositor runs, alpha means nothing and the windows stay opaque and shaped.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/window_state.h"
#include "resources/image.h"

namespace brisel::linux_x11 {

struct ArgbVisual {
  XVisualInfo info;
  Colormap colormap;
};

// The screen's 32-bit visual, while a compositing manager runs on it (it owns the selection
// _NET_WM_CM_S<screen>); none otherwise, or where the server has no such visual. The colormap
// is made once and kept.
std::optional<ArgbVisual> CompositedArgbVisual(Display* display, int screen);

// The picture as premultiplied 0xAARRGGBB pixels, row by row: its grey at `opacity` (0 to 255),
// and alpha 0 outside `region`, where there is one.
std::vector<std::uint32_t> ArgbPixels(const GreyImage& picture, int opacity, const std::optional<RoundRect>& region);

// Paints a picture into windows of the 32-bit visual at any opacity. The picture goes to the X
// server once, at full opacity, as it changes; each opacity is then one composite of a solid
// opacity through it (the picture as a component-alpha mask), all done by the server: the 42
// steps of a press's fades send no pixels.
class ArgbPainter {
 public:
  ArgbPainter(Display* display, const ArgbVisual& visual) : display_(display), visual_(visual) {}
  ~ArgbPainter();
  ArgbPainter(const ArgbPainter&) = delete;
  ArgbPainter& operator=(const ArgbPainter&) = delete;
  // The picture, with alpha 0 outside `region`, for the next paints.
  void set_picture(const GreyImage& picture, const std::optional<RoundRect>& region);
  // The picture is what the toolkit drew into `content`, a pixmap of the screen's default
  // visual, with alpha 0 outside `region`. The server copies it: no pixel travels.
  void set_content(Drawable content, Visual* content_visual, int width, int height,
                   const std::optional<RoundRect>& region);
  // The window shows the picture at `opacity` (0 to 255).
  void paint(Window window, int opacity);

 private:
  void release_picture();
  void make_picture(int width, int height);  // an empty 32-bit picture of that size
  unsigned long outline_mask(const std::optional<RoundRect>& region);
  Display* display_;
  ArgbVisual visual_;
  int width_ = 0, height_ = 0;
  Pixmap pixmap_ = 0;
  unsigned long picture_ = 0;  // the picture's XRender Picture, with component alpha
  Window window_ = 0;
  unsigned long target_ = 0;   // the window's XRender Picture, freed by the server with the window
  std::optional<RoundRect> mask_region_;
  Pixmap mask_pixmap_ = 0;
  unsigned long mask_ = 0;     // alpha 255 inside the region, 0 outside
};

}  // namespace brisel::linux_x11
