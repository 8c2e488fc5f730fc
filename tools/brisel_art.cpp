// brisel-art [--scale S] OUTDIR: writes every picture of the program as a .bmp named after its
// control, drawn at the scale S (1 when not given; 1.25, 1.5 ... 8).
// brisel-art --icon SIZE FILE: writes the program's icon, SIZE x SIZE pixels, as a PNG (or, for
// FILE.bmp, its grey and alpha side by side).
// brisel-art --ico FILE.ico: writes the Windows program's icon with 16, 32, 48 and 256 px images.
#include <png.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "resources/art.h"
#include "resources/image.h"
#include "resources/layout.h"
#include "resources/pictures.h"
#include "resources/raster.h"
#include "resources/scale.h"

namespace {

bool WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  out.close();
  if (!out) std::cerr << "brisel-art: cannot write " << path.string() << "\n";
  return static_cast<bool>(out);
}

bool Write(const std::filesystem::path& path, const brisel::GreyImage& image) {
  return WriteFile(path, brisel::EncodeBmp(image));
}

// ---- the icon ------------------------------------------------------------------------------

// The icon is the display itself around its loudspeaker: a square of the display's background
// that leaves the loudspeaker (with its shadow) a margin of a sixth of the square on each
// side, scaled to `size` by averaging, with the display's rounded corners.
struct Icon {
  brisel::GreyImage grey, alpha;
};

Icon MakeIcon(int size) {
  using namespace brisel;
  const GreyImage full = art::SplashBackground();
  const GreyImage bare = art::SplashBackground(0);
  int x0 = full.width, y0 = full.height, x1 = 0, y1 = 0;
  for (int y = 0; y < full.height; ++y)
    for (int x = 0; x < full.width; ++x)
      if (full.at(x, y) != bare.at(x, y)) x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x + 1), y1 = std::max(y1, y + 1);
  const double side = std::max(x1 - x0, y1 - y0) * 1.5;
  const double left = (x0 + x1 - side) / 2, top = (y0 + y1 - side) / 2;

  // Each icon pixel averages the part of the square it covers, area-weighted.
  const double scale = side / size;
  Icon icon{GreyImage(size, size), GreyImage(size, size)};
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const double sx0 = left + x * scale, sy0 = top + y * scale;
      double sum = 0, area = 0;
      for (int py = static_cast<int>(std::floor(sy0)); py < sy0 + scale; ++py)
        for (int px = static_cast<int>(std::floor(sx0)); px < sx0 + scale; ++px) {
          const double w = std::max(0.0, std::min<double>(px + 1, sx0 + scale) - std::max<double>(px, sx0)) *
                           std::max(0.0, std::min<double>(py + 1, sy0 + scale) - std::max<double>(py, sy0));
          const int cx = std::clamp(px, 0, full.width - 1), cy = std::clamp(py, 0, full.height - 1);
          sum += w * full.at(cx, cy);
          area += w;
        }
      icon.grey.at(x, y) = static_cast<std::uint8_t>(std::lround(sum / area));
    }

  // The corners are rounded as the display's are, in proportion to its width.
  const double radius = size * (kSplashOutline.ellipse_w / 2.0) / kSplashOutline.right;
  const raster::Mask corners = raster::Cover(size, size, raster::RoundRect(0, 0, size, size, radius));
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) icon.alpha.at(x, y) = static_cast<std::uint8_t>(std::lround(corners.at(x, y) * 255));
  return icon;
}

// A PNG of grey with alpha, through libpng.
bool WritePng(const std::filesystem::path& path, const brisel::GreyImage& grey, const brisel::GreyImage& alpha) {
  std::vector<std::uint8_t> pixels;
  pixels.reserve(grey.pixels.size() * 2);
  for (std::size_t i = 0; i < grey.pixels.size(); ++i) {
    pixels.push_back(grey.pixels[i]);
    pixels.push_back(alpha.pixels[i]);
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(grey.width);
  image.height = static_cast<png_uint_32>(grey.height);
  image.format = PNG_FORMAT_GA;
  if (png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr)) return true;
  std::cerr << "brisel-art: cannot write " << path.string() << ": " << image.message << "\n";
  return false;
}

// The icon as a PNG; or, for a FILE named .bmp, its grey and its alpha side by side, to look at.
bool WriteIcon(int size, const std::filesystem::path& path) {
  const Icon icon = MakeIcon(size);
  if (path.extension() != ".bmp") return WritePng(path, icon.grey, icon.alpha);
  brisel::GreyImage sheet(2 * size, size);
  sheet.draw(icon.grey, 0, 0);
  sheet.draw(icon.alpha, size, 0);
  return Write(path, sheet);
}

// ---- the Windows icon ----------------------------------------------------------------------

void Put16(std::string& out, unsigned v) {
  out += static_cast<char>(v & 0xff);
  out += static_cast<char>((v >> 8) & 0xff);
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xffff);
  Put16(out, v >> 16);
}

// One image of an .ico as Windows reads it below 256 px: a 32-bit bitmap without its file
// header, twice as high as the image (the colours, bottom row first, then the 1-bit mask).
std::string IcoBitmap(const Icon& icon) {
  const int size = icon.grey.width;
  std::string out;
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(size));
  Put32(out, static_cast<std::uint32_t>(2 * size));
  Put16(out, 1);
  Put16(out, 32);
  for (int i = 0; i < 6; ++i) Put32(out, 0);  // no compression; the rest unused
  for (int y = size - 1; y >= 0; --y)
    for (int x = 0; x < size; ++x) {
      const char g = static_cast<char>(icon.grey.at(x, y));
      out += {g, g, g, static_cast<char>(icon.alpha.at(x, y))};
    }
  const int row = (size + 31) / 32 * 4;  // mask rows are padded to 32 bits
  for (int y = size - 1; y >= 0; --y) {
    std::string mask(static_cast<std::size_t>(row), '\0');
    for (int x = 0; x < size; ++x)
      if (icon.alpha.at(x, y) == 0) mask[static_cast<std::size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
    out += mask;
  }
  return out;
}

// The 256 px image as a PNG, which Windows takes in an .ico at that size.
bool IcoPng(const Icon& icon, std::string& out) {
  std::vector<std::uint8_t> pixels;
  for (std::size_t i = 0; i < icon.grey.pixels.size(); ++i)
    pixels.insert(pixels.end(), {icon.grey.pixels[i], icon.grey.pixels[i], icon.grey.pixels[i], icon.alpha.pixels[i]});
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = image.height = static_cast<png_uint_32>(icon.grey.width);
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr)) return false;
  out.resize(size);
  return png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr) != 0;
}

bool WriteIco(const std::filesystem::path& path) {
  constexpr int kSizes[] = {16, 32, 48, 256};
  std::vector<std::string> images;
  for (int size : kSizes) {
    const Icon icon = MakeIcon(size);
    std::string image = size < 256 ? IcoBitmap(icon) : std::string();
    if (size == 256 && !IcoPng(icon, image)) {
      std::cerr << "brisel-art: cannot encode the 256 px icon\n";
      return false;
    }
    images.push_back(std::move(image));
  }
  std::string out;
  Put16(out, 0);
  Put16(out, 1);  // an icon
  Put16(out, static_cast<unsigned>(images.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const char side = static_cast<char>(kSizes[i] & 0xff);  // 256 is written 0
    out += {side, side, 0, 0};
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, static_cast<std::uint32_t>(images[i].size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(images[i].size());
  }
  for (const std::string& image : images) out += image;
  return WriteFile(path, out);
}

int Usage() {
  std::cerr << "usage: brisel-art [--scale S] OUTDIR\n"
               "       brisel-art --icon SIZE FILE.png|FILE.bmp\n"
               "       brisel-art --ico FILE.ico\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string_view(argv[1]) == "--icon") {
    const std::string_view text = argv[2];
    int size = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), size);
    if (ec != std::errc() || end != text.data() + text.size() || size < 16 || size > 1024) return Usage();
    return WriteIcon(size, argv[3]) ? 0 : 1;
  }
  if (argc == 3 && std::string_view(argv[1]) == "--ico") return WriteIco(argv[2]) ? 0 : 1;
  brisel::Scale scale;
  if (argc == 4 && std::string_view(argv[1]) == "--scale") {
    const std::optional<brisel::Scale> s = brisel::ParseScale(argv[2]);
    if (!s) return Usage();
    scale = *s;
    argv += 2;
    argc -= 2;
  }
  if (argc != 2 || std::string_view(argv[1]).starts_with("-")) return Usage();
  const std::filesystem::path dir = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  using namespace brisel::art;
  bool ok = Write(dir / "Splash.bmp", SplashBackground(kSpeakerBody | kSpeakerWaves, scale)) &&
            Write(dir / "Config.bmp", ConfigBackground(scale)) && Write(dir / "Mute.bmp", MutePatch(scale)) &&
            Write(dir / "Image2.bmp", LevelBar(brisel::kEmptyBar, scale));
  for (int lit = 0; ok && lit < brisel::kLevelPictureCount; ++lit)
    ok = Write(dir / (std::string(brisel::LevelPictureName(lit)) + ".bmp"), LevelBar(lit, scale));
  return ok ? 0 : 1;
}
