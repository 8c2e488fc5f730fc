// brisel-art OUTDIR: writes every picture of the program as a .bmp named after its control.
// brisel-art --icon SIZE FILE: writes the program's icon, SIZE x SIZE pixels, as a PNG.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "resources/art.h"
#include "resources/image.h"
#include "resources/layout.h"
#include "resources/pictures.h"
#include "resources/raster.h"

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

// ---- PNG, grey with alpha, its image data in stored (uncompressed) deflate blocks ----------

void PutBe32(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

std::uint32_t Crc32(std::string_view bytes) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t c = 0xFFFFFFFFu;
  for (const char ch : bytes) c = table[(c ^ static_cast<std::uint8_t>(ch)) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::uint32_t Adler32(std::string_view bytes) {
  std::uint32_t a = 1, b = 0;
  for (const char ch : bytes) {
    a = (a + static_cast<std::uint8_t>(ch)) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

void PutChunk(std::string& out, std::string_view type, std::string_view data) {
  PutBe32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out += type;
  out += data;
  PutBe32(out, Crc32(std::string_view(out).substr(start)));
}

// A zlib stream that holds `raw` in stored blocks of at most 65535 bytes.
std::string ZlibStored(std::string_view raw) {
  std::string z = "\x78\x01";
  std::size_t pos = 0;
  do {
    const std::size_t n = std::min<std::size_t>(raw.size() - pos, 65535);
    const bool last = pos + n == raw.size();
    z += static_cast<char>(last ? 1 : 0);
    const auto len = static_cast<std::uint16_t>(n);
    const auto nlen = static_cast<std::uint16_t>(~len);
    for (const std::uint16_t v : {len, nlen}) {
      z += static_cast<char>(v & 0xFF);
      z += static_cast<char>(v >> 8);
    }
    z += raw.substr(pos, n);
    pos += n;
  } while (pos < raw.size());
  PutBe32(z, Adler32(raw));
  return z;
}

std::string EncodePng(const brisel::GreyImage& grey, const std::vector<std::uint8_t>& alpha) {
  std::string header;
  PutBe32(header, static_cast<std::uint32_t>(grey.width));
  PutBe32(header, static_cast<std::uint32_t>(grey.height));
  header += std::string("\x08\x04\x00\x00\x00", 5);  // 8 bits, grey with alpha, no interlace
  std::string raw;
  for (int y = 0; y < grey.height; ++y) {
    raw += '\0';  // no row filter
    for (int x = 0; x < grey.width; ++x) {
      raw += static_cast<char>(grey.at(x, y));
      raw += static_cast<char>(alpha[static_cast<std::size_t>(y * grey.width + x)]);
    }
  }
  std::string png = "\x89PNG\r\n\x1a\n";
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", ZlibStored(raw));
  PutChunk(png, "IEND", "");
  return png;
}

// ---- the icon ------------------------------------------------------------------------------

// The icon is the display itself around its loudspeaker: a square of the display's background
// that leaves the loudspeaker (with its shadow) a margin of a sixth of the square on each
// side, scaled to `size` by averaging, with the display's rounded corners.
bool WriteIcon(int size, const std::filesystem::path& path) {
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
  GreyImage icon(size, size);
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
      icon.at(x, y) = static_cast<std::uint8_t>(std::lround(sum / area));
    }

  // The corners are rounded as the display's are, in proportion to its width.
  const double radius = size * (kSplashOutline.ellipse_w / 2.0) / kSplashOutline.right;
  const raster::Mask corners = raster::Cover(size, size, raster::RoundRect(0, 0, size, size, radius));
  std::vector<std::uint8_t> alpha(static_cast<std::size_t>(size * size));
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      alpha[static_cast<std::size_t>(y * size + x)] = static_cast<std::uint8_t>(std::lround(corners.at(x, y) * 255));
  return WriteFile(path, EncodePng(icon, alpha));
}

int Usage() {
  std::cerr << "usage: brisel-art OUTDIR\n"
               "       brisel-art --icon SIZE FILE.png\n";
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
  if (argc != 2 || std::string_view(argv[1]).starts_with("-")) return Usage();
  const std::filesystem::path dir = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  bool ok = Write(dir / "Splash.bmp", brisel::art::SplashBackground()) &&
            Write(dir / "Config.bmp", brisel::art::ConfigBackground()) &&
            Write(dir / "Mute.bmp", brisel::art::MutePatch()) &&
            Write(dir / "Image2.bmp", brisel::art::LevelBar(brisel::kEmptyBar));
  for (int lit = 0; ok && lit < brisel::kLevelPictureCount; ++lit)
    ok = Write(dir / (std::string(brisel::LevelPictureName(lit)) + ".bmp"), brisel::art::LevelBar(lit));
  return ok ? 0 : 1;
}
