// The PNG row filter: rows made for one filter to fit exactly must get that filter, and every
// filtered row must come back whole through the reconstruction a PNG decoder does.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

#include "media/ZuPngRowFilter.h"

namespace {

constexpr size_t kBpp = 4;
constexpr size_t kRowBytes = kBpp * 23;  // 23 pixels

int Paeth(int left, int up, int upLeft) {
  const int estimate = left + up - upLeft;
  const int toLeft = std::abs(estimate - left);
  const int toUp = std::abs(estimate - up);
  const int toUpLeft = std::abs(estimate - upLeft);
  if (toLeft <= toUp && toLeft <= toUpLeft) {
    return left;
  }
  return toUp <= toUpLeft ? up : upLeft;
}

// What a decoder does with a filtered row: each byte plus the prediction from the bytes
// already rebuilt. above is null for the first row.
std::vector<uint8_t> Reconstruct(const std::vector<uint8_t>& filtered, const uint8_t* above) {
  std::vector<uint8_t> row(filtered.size() - 1);
  for (size_t i = 0; i < row.size(); ++i) {
    const int left = i >= kBpp ? row[i - kBpp] : 0;
    const int up = above != nullptr ? above[i] : 0;
    const int upLeft = above != nullptr && i >= kBpp ? above[i - kBpp] : 0;
    const int guesses[] = {0, left, up, (left + up) / 2, Paeth(left, up, upLeft)};
    row[i] = static_cast<uint8_t>(filtered[1 + i] + guesses[filtered[0]]);
  }
  return row;
}

std::vector<uint8_t> Noise(uint32_t seed, int levels = 256) {
  std::vector<uint8_t> bytes(kRowBytes);
  for (uint8_t& byte : bytes) {
    seed = seed * 1664525 + 1013904223;
    byte = static_cast<uint8_t>((seed >> 24) % levels * (256 / levels));
  }
  return bytes;
}

// A row built so that the given prediction from it and above is exact, and a little noise
// in the first pixel keeps the other filters from fitting as well.
std::vector<uint8_t> Predicted(const std::vector<uint8_t>& above,
                               const std::function<int(int, int, int)>& guess) {
  std::vector<uint8_t> row = Noise(99);
  for (size_t i = kBpp; i < row.size(); ++i) {
    row[i] = static_cast<uint8_t>(guess(row[i - kBpp], above[i], above[i - kBpp]));
  }
  return row;
}

struct FilterCase {
  const char* what;
  bool firstRow;  // no row above
  std::function<std::vector<uint8_t>(const std::vector<uint8_t>& above)> make;
  int expected;  // the filter type that must be chosen, -1 for any
};

const FilterCase kCases[] = {
    {"small values around zero", false,
     [](const auto&) {
       std::vector<uint8_t> row = Noise(3);
       for (uint8_t& byte : row) {
         byte = static_cast<uint8_t>(byte % 5 - 2);
       }
       return row;
     },
     0},
    {"flat first row", true, [](const auto&) { return std::vector<uint8_t>(kRowBytes, 0); }, 0},
    {"ramp first row", true,
     [](const auto& above) { return Predicted(above, [](int l, int, int) { return l + 3; }); }, 1},
    {"like the row above", false, [](const auto& above) { return above; }, 2},
    {"average of left and above", false,
     [](const auto& above) {
       return Predicted(above, [](int l, int u, int) { return (l + u) / 2; });
     },
     3},
    {"Paeth's guess with its ties", false,
     [](const auto& above) {
       // Grey levels, each byte Paeth's guess except where the noise is 0: this seed gives
       // a row Paeth fits best that holds ties between up and up-left, which it breaks
       // toward up.
       std::vector<uint8_t> row = Noise(2, 4);
       for (size_t i = kBpp; i < row.size(); ++i) {
         if (row[i] != 0) {
           row[i] = static_cast<uint8_t>(Paeth(row[i - kBpp], above[i], above[i - kBpp]));
         }
       }
       return row;
     },
     4},
    {"noise", false, [](const auto&) { return Noise(5); }, -1},
    {"noise first row", true, [](const auto&) { return Noise(6); }, -1},
};

TEST(PngRowFilter, ChoosesTheExactFilterAndReconstructs) {
  // Four levels of grey above make the ties of Paeth's guess common.
  const std::vector<uint8_t> above = Noise(1, 4);
  for (const FilterCase& c : kCases) {
    // The first row's prediction reads zeros above.
    const std::vector<uint8_t> row = c.make(c.firstRow ? std::vector<uint8_t>(kRowBytes) : above);
    const uint8_t* abovePointer = c.firstRow ? nullptr : above.data();
    std::vector<uint8_t> filtered(1 + kRowBytes, 0xEE);
    ZuFilterPngRow(row.data(), abovePointer, kRowBytes, kBpp, filtered.data());
    ASSERT_LE(filtered[0], 4) << c.what;
    if (c.expected >= 0) {
      EXPECT_EQ(filtered[0], c.expected) << c.what;
    }
    EXPECT_EQ(Reconstruct(filtered, abovePointer), row) << c.what;
  }
}

}  // namespace
