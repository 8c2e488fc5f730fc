// A grey picture and its 24-bit device-independent bitmap form.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brisel {

struct GreyImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // row by row, top to bottom

  GreyImage() = default;
  GreyImage(int w, int h, std::uint8_t fill = 0)
      : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}
  std::uint8_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y * width + x)]; }
  std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }

  // Copies `src` with its top-left corner at (x, y), clipped to this picture.
  void draw(const GreyImage& src, int x, int y);
};

// 24 bits per pixel, no palette, uncompressed, rows bottom to top padded to 4 bytes,
// 2834 pixels per metre; red = green = blue = the grey.
std::string EncodeBmp(const GreyImage& image);

// Reads what EncodeBmp writes (the grey is taken from the blue byte); an empty picture when
// the bytes are not such a bitmap.
GreyImage DecodeBmp(const std::string& bytes);

}  // namespace brisel
