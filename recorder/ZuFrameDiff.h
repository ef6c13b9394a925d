#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/image/ZuPixelRect.h"

// Finds where two frames of one size differ, as a few rectangles that together hold every
// changed pixel. Frames are rows of width x bytesPerPixel bytes, packed one after another,
// top to bottom.
//
// The frame is cut into square tiles. Changed tiles that touch (by a side or a corner) form
// one region, and two regions are joined when the rectangle around both would hold at most
// four tiles' pixels more than the two do apart: every rectangle becomes a picture of its
// own, whose tags cost about as much as that many pixels. So a ticking clock and a scrolling
// terminal far apart give two small rectangles, not one that spans the screen. Each rectangle is
// then narrowed to the changed pixels inside it.
//
// Rows are compared with memcmp first, so unchanged rows cost one pass over memory.
class ZuFrameDiff {
 public:
  static constexpr int kDefaultTileSide = 16;
  static constexpr int kMaxTileSide = 256;
  // More regions than this are taken together as one rectangle: changes spread that
  // widely are better stored as one picture.
  static constexpr size_t kMaxRects = 32;

  // tileSide: 1 to kMaxTileSide pixels; smaller tiles find smaller rectangles.
  ZuFrameDiff(int width, int height, int bytesPerPixel, int tileSide = kDefaultTileSide);

  // Rectangles holding every pixel that differs, none of them empty, each as small as the
  // changes inside it allow; none when the frames match.
  std::vector<ZuPixelRect> FindChangedRects(const uint8_t* before, const uint8_t* after);

  // The smallest rectangle holding all of rects.
  static ZuPixelRect BoundsOf(const std::vector<ZuPixelRect>& rects);

 private:
  // Marks m_changedTiles; false when no row differs.
  bool MarkChangedTiles(const uint8_t* before, const uint8_t* after);
  void MarkChangedTilesOfRow(const uint8_t* before, const uint8_t* after, int y);
  // The pixel rectangles of the regions of touching changed tiles.
  std::vector<ZuPixelRect> CollectRegions();
  ZuPixelRect TakeRegion(int startTile, std::vector<int>& stack);
  void JoinNearRects(std::vector<ZuPixelRect>& rects) const;
  // The smallest rectangle inside area holding every pixel of it that differs.
  ZuPixelRect BoundsWithin(const uint8_t* before, const uint8_t* after,
                           const ZuPixelRect& area) const;
  void WidenToRowChanges(const uint8_t* before, const uint8_t* after, const ZuPixelRect& area,
                         int& left, int& right) const;
  bool RowDiffers(const uint8_t* before, const uint8_t* after, int y, int left, int right) const;
  size_t RowOffset(int y) const { return static_cast<size_t>(y) * m_rowBytes; }

  int m_width;
  int m_height;
  int m_bytesPerPixel;
  size_t m_rowBytes;
  int m_tileSide;
  int64_t m_joinSlack;  // pixels a joined rectangle may hold beyond its two parts
  int m_tilesAcross;
  int m_tilesDown;
  std::vector<uint8_t> m_changedTiles;  // scratch of FindChangedRects, one flag per tile
};
