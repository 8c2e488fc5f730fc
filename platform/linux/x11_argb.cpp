#include "platform/linux/x11_argb.h"

#include <X11/extensions/Xrender.h>

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

namespace {

// A 32-bit picture whose channels each scale what is composited through it (component alpha).
Picture PictureForMask(Display* display, Pixmap pixmap, Visual* visual) {
  XRenderPictureAttributes attributes{};
  attributes.component_alpha = True;
  return XRenderCreatePicture(display, pixmap, XRenderFindVisualFormat(display, visual), CPComponentAlpha, &attributes);
}

}  // namespace

ArgbPainter::~ArgbPainter() {
  release_picture();
  if (mask_) XRenderFreePicture(display_, mask_);
  if (mask_pixmap_) XFreePixmap(display_, mask_pixmap_);
}

void ArgbPainter::make_picture(int width, int height) {
  release_picture();
  width_ = width;
  height_ = height;
  pixmap_ = XCreatePixmap(display_, RootWindow(display_, visual_.info.screen), static_cast<unsigned>(width_),
                          static_cast<unsigned>(height_), 32);
  picture_ = PictureForMask(display_, pixmap_, visual_.info.visual);
}

unsigned long ArgbPainter::outline_mask(const std::optional<RoundRect>& region) {
  if (mask_ && mask_region_ == region) return mask_;
  if (mask_) XRenderFreePicture(display_, mask_);
  if (mask_pixmap_) XFreePixmap(display_, mask_pixmap_);
  mask_region_ = region;
  // The outline as an 8-bit alpha picture: the grey picture path's own mask, from one white picture.
  const std::vector<std::uint32_t> argb = ArgbPixels(GreyImage(width_, height_, 255), 255, region);
  const int stride = (width_ + 3) & ~3;
  std::vector<char> alpha(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height_), 0);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      alpha[static_cast<std::size_t>(y * stride + x)] =
          static_cast<char>(argb[static_cast<std::size_t>(y * width_ + x)] >> 24);
  mask_pixmap_ = XCreatePixmap(display_, RootWindow(display_, visual_.info.screen), static_cast<unsigned>(width_),
                               static_cast<unsigned>(height_), 8);
  XImage* image = XCreateImage(display_, nullptr, 8, ZPixmap, 0, alpha.data(), static_cast<unsigned>(width_),
                               static_cast<unsigned>(height_), 32, stride);
  if (image) {
    const GC gc = XCreateGC(display_, mask_pixmap_, 0, nullptr);
    XPutImage(display_, mask_pixmap_, gc, image, 0, 0, 0, 0, static_cast<unsigned>(width_),
              static_cast<unsigned>(height_));
    XFreeGC(display_, gc);
    image->data = nullptr;
    XDestroyImage(image);
  }
  mask_ = XRenderCreatePicture(display_, mask_pixmap_, XRenderFindStandardFormat(display_, PictStandardA8), 0, nullptr);
  return mask_;
}

void ArgbPainter::set_content(Drawable content, Visual* content_visual, int width, int height,
                              const std::optional<RoundRect>& region) {
  if (!pixmap_ || width != width_ || height != height_) {
    make_picture(width, height);
    mask_region_.reset();
    if (mask_) XRenderFreePicture(display_, mask_);
    if (mask_pixmap_) XFreePixmap(display_, mask_pixmap_);
    mask_ = 0;
    mask_pixmap_ = 0;
  }
  const Picture source = XRenderCreatePicture(display_, content, XRenderFindVisualFormat(display_, content_visual), 0, nullptr);
  XRenderComposite(display_, PictOpSrc, source, outline_mask(region), picture_, 0, 0, 0, 0, 0, 0,
                   static_cast<unsigned>(width_), static_cast<unsigned>(height_));
  XRenderFreePicture(display_, source);
}

void ArgbPainter::release_picture() {
  if (picture_) XRenderFreePicture(display_, picture_);
  if (pixmap_) XFreePixmap(display_, pixmap_);
  picture_ = 0;
  pixmap_ = 0;
}

void ArgbPainter::set_picture(const GreyImage& picture, const std::optional<RoundRect>& region) {
  release_picture();
  width_ = picture.width;
  height_ = picture.height;
  if (width_ <= 0 || height_ <= 0) return;
  std::vector<std::uint32_t> pixels = ArgbPixels(picture, 255, region);
  pixmap_ = XCreatePixmap(display_, RootWindow(display_, visual_.info.screen), static_cast<unsigned>(width_),
                          static_cast<unsigned>(height_), 32);
  XImage* image = XCreateImage(display_, visual_.info.visual, 32, ZPixmap, 0, reinterpret_cast<char*>(pixels.data()),
                               static_cast<unsigned>(width_), static_cast<unsigned>(height_), 32, 0);
  if (image) {
    // A GC of the pixmap's own depth: the toolkit's is made for the screen's default visual.
    const GC gc = XCreateGC(display_, pixmap_, 0, nullptr);
    XPutImage(display_, pixmap_, gc, image, 0, 0, 0, 0, static_cast<unsigned>(width_), static_cast<unsigned>(height_));
    XFreeGC(display_, gc);
    image->data = nullptr;  // the pixels are ours
    XDestroyImage(image);
  }
  picture_ = PictureForMask(display_, pixmap_, visual_.info.visual);
}

void ArgbPainter::paint(Window window, int opacity) {
  if (!picture_) return;
  if (window != window_) {  // a new X window at each show: the server freed the old one's picture with it
    target_ = XRenderCreatePicture(display_, window, XRenderFindVisualFormat(display_, visual_.info.visual), 0, nullptr);
    window_ = window;
  }
  const unsigned short alpha = static_cast<unsigned short>((opacity < 0 ? 0 : opacity > 255 ? 255 : opacity) * 257);
  // The opacity in every channel, each channel of the picture scaling it: the premultiplied
  // picture at that opacity, at about the cost of a copy in the server's software renderer (the
  // picture as the source, through a solid alpha, costs seven times that there; a press's fades
  // paint 42 times).
  const XRenderColor solid{alpha, alpha, alpha, alpha};
  const Picture opacity_fill = XRenderCreateSolidFill(display_, &solid);
  XRenderComposite(display_, PictOpSrc, opacity_fill, picture_, target_, 0, 0, 0, 0, 0, 0,
                   static_cast<unsigned>(width_), static_cast<unsigned>(height_));
  XRenderFreePicture(display_, opacity_fill);
}

}  // namespace brisel::linux_x11
