// The stored level-bar pictures of the display. A picture is known by the number of lit
// squares it shows (0 to 16); the controls that hold them carry names that do not follow
// that count (the eight-square picture is Image1).
#pragma once

#include <array>
#include <string_view>

namespace brisel {

inline constexpr int kLevelPictureCount = 17;
inline constexpr int kEmptyBar = 0;

// Control name of the stored picture with `lit` lit squares.
std::string_view LevelPictureName(int lit);
// The number of lit squares of the stored picture with this control name; std::invalid_argument
// for a name that is none.
int LevelPictureLit(std::string_view name);

}  // namespace brisel
