#include "resources/image.h"

#include <algorithm>

namespace brisel {

void GreyImage::draw(const GreyImage& src, int x, int y) {
  for (int sy = std::max(0, -y); sy < src.height && y + sy < height; ++sy)
    for (int sx = std::max(0, -x); sx < src.width && x + sx < width; ++sx) at(x + sx, y + sy) = src.at(sx, sy);
}

namespace {
constexpr int kFileHeader = 14;
constexpr int kInfoHeader = 40;
constexpr std::uint32_t kPixelsPerMetre = 2834;

void Put(std::string& out, std::size_t at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}
std::uint32_t Get(const std::string& in, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[at + static_cast<std::size_t>(i)])) << (8 * i);
  return v;
}
std::size_t Stride(int width) { return (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4; }
}  // namespace

std::string EncodeBmp(const GreyImage& image) {
  const std::size_t stride = Stride(image.width);
  const std::size_t data = stride * static_cast<std::size_t>(image.height);
  std::string out(kFileHeader + kInfoHeader + data, '\0');
  out[0] = 'B';
  out[1] = 'M';
  Put(out, 2, static_cast<std::uint32_t>(out.size()), 4);
  Put(out, 10, kFileHeader + kInfoHeader, 4);
  Put(out, 14, kInfoHeader, 4);
  Put(out, 18, static_cast<std::uint32_t>(image.width), 4);
  Put(out, 22, static_cast<std::uint32_t>(image.height), 4);  // positive: bottom to top
  Put(out, 26, 1, 2);                                          // planes
  Put(out, 28, 24, 2);                                         // bits per pixel
  Put(out, 30, 0, 4);                                          // no compression
  Put(out, 34, static_cast<std::uint32_t>(data), 4);
  Put(out, 38, kPixelsPerMetre, 4);
  Put(out, 42, kPixelsPerMetre, 4);
  for (int y = 0; y < image.height; ++y) {
    std::size_t row = kFileHeader + kInfoHeader + stride * static_cast<std::size_t>(image.height - 1 - y);
    for (int x = 0; x < image.width; ++x)
      for (int c = 0; c < 3; ++c) out[row + static_cast<std::size_t>(x * 3 + c)] = static_cast<char>(image.at(x, y));
  }
  return out;
}

GreyImage DecodeBmp(const std::string& in) {
  if (in.size() < kFileHeader + kInfoHeader || in[0] != 'B' || in[1] != 'M' || Get(in, 28, 2) != 24 ||
      Get(in, 30, 4) != 0)
    return {};
  const auto w = static_cast<int>(Get(in, 18, 4));
  const auto h = static_cast<int>(Get(in, 22, 4));
  const std::size_t offset = Get(in, 10, 4);
  if (w <= 0 || h <= 0 || w > 10000 || h > 10000 || in.size() < offset + Stride(w) * static_cast<std::size_t>(h))
    return {};
  GreyImage image(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      image.at(x, y) = static_cast<std::uint8_t>(in[offset + Stride(w) * static_cast<std::size_t>(h - 1 - y) + static_cast<std::size_t>(x) * 3]);
  return image;
}

}  // namespace brisel
