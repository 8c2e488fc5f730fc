// A picture drawn at twice the size against the same picture drawn at 1, for the tests: each
// 2 x 2 block of the large one, averaged, against the pixel it stands for, inside an outline.
#pragma once

#include <algorithm>
#include <cmath>
#include <string>

#include "resources/image.h"
#include "resources/layout.h"

namespace brisel::testing {

struct Agreement {
  double mean = 0;        // mean difference in grey levels
  double share_far = 0;   // share of pixels off by more than 24
  double worst_tile = 0;  // the largest mean difference of a 16 x 16 tile
  // Close enough to be the same picture: a slightly different anti-aliasing, not a fault.
  bool close() const { return mean <= 2 && share_far <= 0.005 && worst_tile <= 10; }
  std::string text() const {
    return "mean " + std::to_string(mean) + ", far " + std::to_string(share_far * 100) + " %, worst tile " +
           std::to_string(worst_tile);
  }
};

// `once`'s pixels inside `outline` (at 1) against `twice`'s blocks.
inline Agreement CompareHalved(const GreyImage& twice, const GreyImage& once, const Outline& outline) {
  Agreement a;
  constexpr int kTile = 16;
  const int tiles_x = (once.width + kTile - 1) / kTile, tiles_y = (once.height + kTile - 1) / kTile;
  std::vector<double> tile_sum(static_cast<std::size_t>(tiles_x * tiles_y)), tile_n(tile_sum.size());
  double sum = 0;
  int n = 0, far = 0;
  for (int y = 0; y < once.height && 2 * y + 1 < twice.height; ++y)
    for (int x = 0; x < once.width && 2 * x + 1 < twice.width; ++x) {
      if (!OutlineContains(outline, x, y)) continue;
      const double block = (twice.at(2 * x, 2 * y) + twice.at(2 * x + 1, 2 * y) + twice.at(2 * x, 2 * y + 1) +
                            twice.at(2 * x + 1, 2 * y + 1)) / 4.0;
      const double d = std::abs(block - once.at(x, y));
      sum += d, ++n, far += d > 24 ? 1 : 0;
      const auto t = static_cast<std::size_t>((y / kTile) * tiles_x + x / kTile);
      tile_sum[t] += d, tile_n[t] += 1;
    }
  a.mean = n ? sum / n : 0;
  a.share_far = n ? static_cast<double>(far) / n : 0;
  for (std::size_t t = 0; t < tile_sum.size(); ++t)
    if (tile_n[t] > 0) a.worst_tile = std::max(a.worst_tile, tile_sum[t] / tile_n[t]);
  return a;
}

// The share of 2 x 2 blocks inside the outline (at 1) that are not one grey: none in a
// picture blown up from 1 by doubling its pixels, many along the curves of one drawn at 2.
inline double ShareOfMixedBlocks(const GreyImage& twice, const Outline& outline) {
  int mixed = 0, n = 0;
  for (int y = 0; 2 * y + 1 < twice.height; ++y)
    for (int x = 0; 2 * x + 1 < twice.width; ++x) {
      if (!OutlineContains(outline, x, y)) continue;
      const std::uint8_t g = twice.at(2 * x, 2 * y);
      ++n;
      mixed += twice.at(2 * x + 1, 2 * y) != g || twice.at(2 * x, 2 * y + 1) != g || twice.at(2 * x + 1, 2 * y + 1) != g;
    }
  return n ? static_cast<double>(mixed) / n : 0;
}

}  // namespace brisel::testing
