// The painter on a real X server (run under tests/linux/session.sh, whose compositing manager
// offers the 32-bit visual): what a 32-bit window holds after each paint, read back from the
// server, is exactly the premultiplied picture at that opacity, with nothing outside the outline,
// for a picture given as the pixels and for one the server copies from a pixmap of the screen's
// depth (the dialog's way). What the dialog's window shows as it is worked: redraw_test.sh.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/x.H>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/x11_argb.h"

namespace brisel::linux_x11 {
namespace {

struct ArgbPainterTest : ::testing::Test {
  ArgbPainterTest() {
    if (!display) return;
    // The compositing manager may still be starting: 5 s at most for it to own its selection.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!(visual = CompositedArgbVisual(display, DefaultScreen(display))) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!visual) return;
    XSetWindowAttributes attributes{};
    attributes.colormap = visual->colormap;
    attributes.override_redirect = True;  // mapped at once, whatever the window manager does
    window = XCreateWindow(display, DefaultRootWindow(display), 10, 10, static_cast<unsigned>(picture.width),
                           static_cast<unsigned>(picture.height), 0, 32, InputOutput, visual->info.visual,
                           CWColormap | CWBorderPixel | CWOverrideRedirect, &attributes);
    XMapWindow(display, window);
    XSync(display, False);
  }
  ~ArgbPainterTest() override {
    if (window) XDestroyWindow(display, window);
  }
  void SetUp() override {
    ASSERT_NE(display, nullptr) << "no X display";
    ASSERT_TRUE(visual) << "no compositing manager, or no 32-bit visual";
  }
  // The window's pixels, as 0xAARRGGBB row by row.
  std::vector<std::uint32_t> Pixels() {
    XSync(display, False);
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(picture.width),
                              static_cast<unsigned>(picture.height), AllPlanes, ZPixmap);
    std::vector<std::uint32_t> pixels;
    if (!image) return pixels;
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x) pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y)));
    XDestroyImage(image);
    return pixels;
  }
  static GreyImage Picture() {
    GreyImage p(61, 47, 0);
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x) p.at(x, y) = static_cast<std::uint8_t>((x * 7 + y * 13) % 256);
    p.at(30, 20) = 255;
    return p;
  }
  // How many pixels differ, and the first of them.
  static std::string Differences(const std::vector<std::uint32_t>& got, const std::vector<std::uint32_t>& want) {
    if (got.size() != want.size()) return "size " + std::to_string(got.size());
    std::size_t count = 0, first = 0;
    for (std::size_t i = got.size(); i-- > 0;)
      if (got[i] != want[i]) ++count, first = i;
    if (!count) return "";
    char text[96];
    std::snprintf(text, sizeof text, "%zu pixels, first at %zu: %08x, not %08x", count, first, got[first], want[first]);
    return text;
  }
  // One connection for all, the toolkit's, as in the program: the visual and its colormap are
  // found and made once, on it.
  static inline Display* display = [] {
    fl_open_display();
    return fl_display;
  }();
  std::optional<ArgbVisual> visual;
  GreyImage picture = Picture();
  const RoundRect region{0, 0, 61, 47, 20, 20};
  Window window = 0;
};

TEST_F(ArgbPainterTest, EveryOpacityIsThePremultipliedPictureInsideTheOutline) {
  ArgbPainter painter(display, *visual);
  painter.set_picture(picture, region);
  for (const int opacity : {0, 1, 20, 127, 128, 220, 254, 255}) {
    painter.paint(window, opacity);
    EXPECT_EQ(Differences(Pixels(), ArgbPixels(picture, opacity, region)), "") << "opacity " << opacity;
  }
  // A new picture, without an outline, replaces the old one.
  picture.at(0, 0) = 9;
  painter.set_picture(picture, std::nullopt);
  painter.paint(window, 200);
  EXPECT_EQ(Differences(Pixels(), ArgbPixels(picture, 200, std::nullopt)), "");
}

TEST_F(ArgbPainterTest, AContentPixmapOfTheScreensDepthIsPaintedTheSame) {
  const int screen = DefaultScreen(display);
  const Pixmap content = XCreatePixmap(display, DefaultRootWindow(display), static_cast<unsigned>(picture.width),
                                       static_cast<unsigned>(picture.height),
                                       static_cast<unsigned>(DefaultDepth(display, screen)));
  const GC gc = XCreateGC(display, content, 0, nullptr);
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      const unsigned long g = picture.at(x, y);
      XSetForeground(display, gc, g << 16 | g << 8 | g);  // the 24-bit screen's TrueColor pixel
      XDrawPoint(display, content, gc, x, y);
    }
  ArgbPainter painter(display, *visual);
  painter.set_content(content, DefaultVisual(display, screen), picture.width, picture.height, region);
  for (const int opacity : {0, 90, 255}) {
    painter.paint(window, opacity);
    EXPECT_EQ(Differences(Pixels(), ArgbPixels(picture, opacity, region)), "") << "opacity " << opacity;
  }
  // Drawn again after the window was painted at its opacity: the next paint shows the new content.
  XSetForeground(display, gc, 0xffffff);
  XFillRectangle(display, content, gc, 10, 10, 20, 5);
  for (int y = 10; y < 15; ++y)
    for (int x = 10; x < 30; ++x) picture.at(x, y) = 255;
  painter.set_content(content, DefaultVisual(display, screen), picture.width, picture.height, region);
  painter.paint(window, 220);
  EXPECT_EQ(Differences(Pixels(), ArgbPixels(picture, 220, region)), "");
  XFreeGC(display, gc);
  XFreePixmap(display, content);
}

}  // namespace
}  // namespace brisel::linux_x11
