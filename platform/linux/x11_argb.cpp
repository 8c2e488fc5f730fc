#include "platform/linux/x11_argb.h"

#include <string>

#include "resources/layout.h"

namespace brisel::linux_x11 {

std::optional<ArgbVisual> CompositedArgbVisual(Display* display, int screen) {
  const std::string selection = "_NET_WM_CM_S" + std::to_string(screen);
  if (XGetSelectionOwner(display, XInternAtom(display, selection.c_str(), False)) == None) return std::nullopt;
  static std::optional<ArgbVisual> visual;
  if (!visual) {
    XVisualInfo info{};
    if (!XMatchVisualInfo(display, screen, 32, TrueColor, &info)) return std::nullopt;
    const Colormap colormap = XCreateColormap(display, RootWindow(display, screen), info.visual, AllocNone);
    visual = ArgbVisual{info, colormap};
  }
  return visual;
}

std::vector<std::uint32_t> ArgbPixels(const GreyImage& picture, int opacity, const std::optional<RoundRect>& region) {
  std::vector<std::uint32_t> pixels(picture.pixels.size());
  const auto inside = [&](int x, int y) {
    if (!region) return true;
    const RoundRect& r = *region;
    return x >= r[0] && y >= r[1] && x < r[2] && y < r[3] && OutlineContains(Outline{r[2], r[3], r[4], r[5]}, x, y);
  };
  const std::uint32_t a = static_cast<std::uint32_t>(opacity < 0 ? 0 : opacity > 255 ? 255 : opacity);
  std::size_t i = 0;
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x, ++i) {
      if (!inside(x, y)) continue;  // transparent black
      const std::uint32_t c = (picture.pixels[i] * a + 127) / 255;
      pixels[i] = a << 24 | c << 16 | c << 8 | c;
    }
  return pixels;
}

void PutArgbPixels(Display* display, Window window, const ArgbVisual& visual, int width, int height,
                   std::vector<std::uint32_t>& pixels) {
  XImage* image = XCreateImage(display, visual.info.visual, 32, ZPixmap, 0, reinterpret_cast<char*>(pixels.data()),
                               static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
  if (!image) return;
  // A GC of the window's own depth: the toolkit's is made for the screen's default visual.
  const GC gc = XCreateGC(display, window, 0, nullptr);
  XPutImage(display, window, gc, image, 0, 0, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
  XFreeGC(display, gc);
  image->data = nullptr;  // the pixels are the caller's
  XDestroyImage(image);
}

}  // namespace brisel::linux_x11
