// brisel-art OUTDIR: writes every picture of the program as a .bmp named after its control.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "resources/art.h"
#include "resources/image.h"
#include "resources/pictures.h"

namespace {
bool Write(const std::filesystem::path& path, const brisel::GreyImage& image) {
  std::ofstream out(path, std::ios::binary);
  out << brisel::EncodeBmp(image);
  out.close();
  if (!out) std::cerr << "brisel-art: cannot write " << path.string() << "\n";
  return static_cast<bool>(out);
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: brisel-art OUTDIR\n";
    return 2;
  }
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
