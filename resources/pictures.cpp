#include "resources/pictures.h"

#include <stdexcept>
#include <string>

namespace brisel {

namespace {
constexpr std::array<std::string_view, kLevelPictureCount> kNames = {
    "ImageEmpty", "Image3",  "Image4",  "Image5",  "Image6",  "Image7",  "Image8",  "Image9", "Image1",
    "Image10",    "Image11", "Image12", "Image13", "Image14", "Image15", "Image16", "Image17",
};
}  // namespace

std::string_view LevelPictureName(int lit) { return kNames.at(static_cast<std::size_t>(lit)); }

int LevelPictureLit(std::string_view name) {
  for (int lit = 0; lit < kLevelPictureCount; ++lit)
    if (kNames[static_cast<std::size_t>(lit)] == name) return lit;
  throw std::invalid_argument("no level picture named '" + std::string(name) + "'");
}

}  // namespace brisel
