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

// Puts pixels made by ArgbPixels (width x height) into a window of the 32-bit visual.
void PutArgbPixels(Display* display, Window window, const ArgbVisual& visual, int width, int height,
                   std::vector<std::uint32_t>& pixels);

}  // namespace brisel::linux_x11
