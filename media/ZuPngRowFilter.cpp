#include "media/ZuPngRowFilter.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>

namespace {

// The five filter types in the order PNG numbers them.
enum Filter : uint8_t { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };

uint8_t PaethGuess(int left, int up, int upLeft) {
  const int estimate = left + up - upLeft;
  const int toLeft = std::abs(estimate - left);
  const int toUp = std::abs(estimate - up);
  const int toUpLeft = std::abs(estimate - upLeft);
  if (toLeft <= toUp && toLeft <= toUpLeft) {
    return static_cast<uint8_t>(left);
  }
  return static_cast<uint8_t>(toUp <= toUpLeft ? up : upLeft);
}

template <Filter kFilter>
uint8_t Guess(int left, int up, int upLeft) {
  if constexpr (kFilter == kSub) {
    return static_cast<uint8_t>(left);
  } else if constexpr (kFilter == kUp) {
    return static_cast<uint8_t>(up);
  } else if constexpr (kFilter == kAverage) {
    return static_cast<uint8_t>((left + up) / 2);
  } else if constexpr (kFilter == kPaeth) {
    return PaethGuess(left, up, upLeft);
  } else {
    return 0;
  }
}

// Calls take(i, filteredByte) for every byte of the row under the given filter. A template
// so that each filter compiles to its own tight loop instead of a switch per byte; the first
// pixel, which has nothing to its left, is done apart to keep that test out of the loop.
template <Filter kFilter, typename Take>
void ForEachFiltered(const uint8_t* row, const uint8_t* above, size_t rowBytes, size_t bpp,
                     Take take) {
  const size_t first = std::min(bpp, rowBytes);
  for (size_t i = 0; i < first; ++i) {
    take(i, static_cast<uint8_t>(row[i] - Guess<kFilter>(0, above[i], 0)));
  }
  for (size_t i = first; i < rowBytes; ++i) {
    take(i, static_cast<uint8_t>(row[i] - Guess<kFilter>(row[i - bpp], above[i], above[i - bpp])));
  }
}

template <Filter kFilter>
uint64_t Cost(const uint8_t* row, const uint8_t* above, size_t rowBytes, size_t bpp) {
  uint64_t sum = 0;
  ForEachFiltered<kFilter>(row, above, rowBytes, bpp, [&sum](size_t, uint8_t value) {
    sum += static_cast<uint64_t>(std::abs(static_cast<int>(static_cast<int8_t>(value))));
  });
  return sum;
}

template <Filter kFilter>
void Apply(const uint8_t* row, const uint8_t* above, size_t rowBytes, size_t bpp, uint8_t* out) {
  out[0] = kFilter;
  ForEachFiltered<kFilter>(row, above, rowBytes, bpp,
                           [out](size_t i, uint8_t value) { out[1 + i] = value; });
}

}  // namespace

void ZuFilterPngRow(const uint8_t* row, const uint8_t* above, size_t rowBytes, int bytesPerPixel,
                    uint8_t* out) {
  const auto bpp = static_cast<size_t>(bytesPerPixel);
  // The first row predicts from a row of zeros; Up and Paeth then equal None and Sub, so
  // only those two are weighed (neither reads the row above, so row stands in for it).
  if (above == nullptr) {
    if (Cost<kSub>(row, row, rowBytes, bpp) < Cost<kNone>(row, row, rowBytes, bpp)) {
      Apply<kSub>(row, row, rowBytes, bpp, out);
    } else {
      Apply<kNone>(row, row, rowBytes, bpp, out);
    }
    return;
  }
  const std::array<uint64_t, 5> costs = {
      Cost<kNone>(row, above, rowBytes, bpp), Cost<kSub>(row, above, rowBytes, bpp),
      Cost<kUp>(row, above, rowBytes, bpp), Cost<kAverage>(row, above, rowBytes, bpp),
      Cost<kPaeth>(row, above, rowBytes, bpp)};
  size_t best = 0;
  for (size_t f = 1; f < costs.size(); ++f) {
    if (costs[f] < costs[best]) {
      best = f;
    }
  }
  switch (best) {
    case kSub:
      Apply<kSub>(row, above, rowBytes, bpp, out);
      break;
    case kUp:
      Apply<kUp>(row, above, rowBytes, bpp, out);
      break;
    case kAverage:
      Apply<kAverage>(row, above, rowBytes, bpp, out);
      break;
    case kPaeth:
      Apply<kPaeth>(row, above, rowBytes, bpp, out);
      break;
    default:
      Apply<kNone>(row, above, rowBytes, bpp, out);
      break;
  }
}
