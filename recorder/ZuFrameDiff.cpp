#include "recorder/ZuFrameDiff.h"

#include <algorithm>
#include <cstring>

namespace {

// The index of the first byte in [0, count) where a and b differ, or count.
size_t FirstDifference(const uint8_t* a, const uint8_t* b, size_t count) {
  size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    uint64_t wordA;
    uint64_t wordB;
    std::memcpy(&wordA, a + i, 8);
    std::memcpy(&wordB, b + i, 8);
    if (wordA != wordB) {
      break;
    }
  }
  while (i < count && a[i] == b[i]) {
    ++i;
  }
  return i;
}

// The index of the last byte in [0, count) where a and b differ; count when none does.
size_t LastDifference(const uint8_t* a, const uint8_t* b, size_t count) {
  size_t end = count;
  while (end >= 8) {
    uint64_t wordA;
    uint64_t wordB;
    std::memcpy(&wordA, a + end - 8, 8);
    std::memcpy(&wordB, b + end - 8, 8);
    if (wordA != wordB) {
      break;
    }
    end -= 8;
  }
  while (end > 0 && a[end - 1] == b[end - 1]) {
    --end;
  }
  return end == 0 ? count : end - 1;
}

}  // namespace

ZuPixelRect ZuFrameDiff::BoundsOf(const std::vector<ZuPixelRect>& rects) {
  ZuPixelRect all;
  for (const ZuPixelRect& rect : rects) {
    all = all.Union(rect);
  }
  return all;
}

ZuFrameDiff::ZuFrameDiff(int width, int height, int bytesPerPixel, int tileSide)
    : m_width(width > 0 ? width : 0),
      m_height(height > 0 ? height : 0),
      m_bytesPerPixel(bytesPerPixel > 0 ? bytesPerPixel : 1),
      m_rowBytes(static_cast<size_t>(m_width) * m_bytesPerPixel),
      m_tileSide(std::clamp(tileSide, 1, kMaxTileSide)),
      m_joinSlack(int64_t{4} * m_tileSide * m_tileSide),
      m_tilesAcross((m_width + m_tileSide - 1) / m_tileSide),
      m_tilesDown((m_height + m_tileSide - 1) / m_tileSide),
      m_changedTiles(static_cast<size_t>(m_tilesAcross) * m_tilesDown) {}

std::vector<ZuPixelRect> ZuFrameDiff::FindChangedRects(const uint8_t* before,
                                                       const uint8_t* after) {
  if (!MarkChangedTiles(before, after)) {
    return {};
  }
  std::vector<ZuPixelRect> rects = CollectRegions();
  if (rects.size() > kMaxRects) {
    rects.assign(1, BoundsOf(rects));
  }
  JoinNearRects(rects);
  for (ZuPixelRect& rect : rects) {
    rect = BoundsWithin(before, after, rect);
  }
  return rects;
}

// Joins, again and again, any two rectangles whose common rectangle holds at most
// m_joinSlack pixels more than they do, until no two qualify.
void ZuFrameDiff::JoinNearRects(std::vector<ZuPixelRect>& rects) const {
  bool joined = true;
  while (joined) {
    joined = false;
    for (size_t i = 0; i < rects.size() && !joined; ++i) {
      for (size_t j = i + 1; j < rects.size() && !joined; ++j) {
        const ZuPixelRect both = rects[i].Union(rects[j]);
        if (both.Area() <= rects[i].Area() + rects[j].Area() + m_joinSlack) {
          rects[i] = both;
          rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(j));
          joined = true;
        }
      }
    }
  }
}

bool ZuFrameDiff::MarkChangedTiles(const uint8_t* before, const uint8_t* after) {
  std::fill(m_changedTiles.begin(), m_changedTiles.end(), 0);
  bool any = false;
  for (int y = 0; y < m_height; ++y) {
    const size_t offset = RowOffset(y);
    if (std::memcmp(before + offset, after + offset, m_rowBytes) != 0) {
      MarkChangedTilesOfRow(before + offset, after + offset, y);
      any = true;
    }
  }
  return any;
}

// Only tiles not yet marked are compared: a tile that changed in an earlier row of its
// band needs no second look.
void ZuFrameDiff::MarkChangedTilesOfRow(const uint8_t* before, const uint8_t* after, int y) {
  uint8_t* tiles = m_changedTiles.data() + static_cast<size_t>(y / m_tileSide) * m_tilesAcross;
  const size_t tileBytes = static_cast<size_t>(m_tileSide) * m_bytesPerPixel;
  for (int tile = 0; tile < m_tilesAcross; ++tile) {
    if (tiles[tile] != 0) {
      continue;
    }
    const size_t start = tile * tileBytes;
    const size_t count = std::min(tileBytes, m_rowBytes - start);
    if (std::memcmp(before + start, after + start, count) != 0) {
      tiles[tile] = 1;
    }
  }
}

std::vector<ZuPixelRect> ZuFrameDiff::CollectRegions() {
  std::vector<ZuPixelRect> regions;
  std::vector<int> stack;
  for (int tile = 0; tile < static_cast<int>(m_changedTiles.size()); ++tile) {
    if (m_changedTiles[tile] != 0) {
      regions.push_back(TakeRegion(tile, stack));
    }
  }
  return regions;
}

// Clears the changed tiles that touch startTile, directly or through others, and returns
// the pixels they cover.
ZuPixelRect ZuFrameDiff::TakeRegion(int startTile, std::vector<int>& stack) {
  int left = m_tilesAcross, top = m_tilesDown, right = -1, bottom = -1;
  m_changedTiles[startTile] = 0;
  stack.assign(1, startTile);
  while (!stack.empty()) {
    const int tile = stack.back();
    stack.pop_back();
    const int x = tile % m_tilesAcross;
    const int y = tile / m_tilesAcross;
    left = std::min(left, x);
    right = std::max(right, x);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
    for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, m_tilesDown - 1); ++ny) {
      for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, m_tilesAcross - 1); ++nx) {
        const int next = ny * m_tilesAcross + nx;
        if (m_changedTiles[next] != 0) {
          m_changedTiles[next] = 0;
          stack.push_back(next);
        }
      }
    }
  }
  return {left * m_tileSide, top * m_tileSide, std::min((right + 1) * m_tileSide, m_width),
          std::min((bottom + 1) * m_tileSide, m_height)};
}

bool ZuFrameDiff::RowDiffers(const uint8_t* before, const uint8_t* after, int y, int left,
                             int right) const {
  const size_t offset = RowOffset(y) + static_cast<size_t>(left) * m_bytesPerPixel;
  return std::memcmp(before + offset, after + offset,
                     static_cast<size_t>(right - left) * m_bytesPerPixel) != 0;
}

ZuPixelRect ZuFrameDiff::BoundsWithin(const uint8_t* before, const uint8_t* after,
                                      const ZuPixelRect& area) const {
  int top = area.top;
  while (top < area.bottom && !RowDiffers(before, after, top, area.left, area.right)) {
    ++top;
  }
  int bottom = area.bottom;
  while (bottom > top && !RowDiffers(before, after, bottom - 1, area.left, area.right)) {
    --bottom;
  }
  int left = area.right;
  int right = area.left;
  for (int y = top; y < bottom && (left > area.left || right < area.right); ++y) {
    const size_t offset = RowOffset(y);
    WidenToRowChanges(before + offset, after + offset, area, left, right);
  }
  return {left, top, right, bottom};
}

// Widens [left, right) to the changes of one row inside area; only the columns outside
// it so far can widen it.
void ZuFrameDiff::WidenToRowChanges(const uint8_t* before, const uint8_t* after,
                                    const ZuPixelRect& area, int& left, int& right) const {
  const size_t bpp = static_cast<size_t>(m_bytesPerPixel);
  const size_t areaStart = static_cast<size_t>(area.left) * bpp;
  const size_t leftCount = static_cast<size_t>(left - area.left) * bpp;
  const size_t first = FirstDifference(before + areaStart, after + areaStart, leftCount);
  if (first < leftCount) {
    left = static_cast<int>((areaStart + first) / bpp);
  }
  const size_t rightStart = static_cast<size_t>(right) * bpp;
  const size_t rightCount = static_cast<size_t>(area.right - right) * bpp;
  const size_t last = LastDifference(before + rightStart, after + rightStart, rightCount);
  if (last < rightCount) {
    right = static_cast<int>((rightStart + last) / bpp) + 1;
  }
}
