#pragma once

#include "host/player/ZuRasterizer.h"

// Turns the segments of a line into polygons for the rasterizer: each segment becomes a
// rectangle as wide as the line, each end point a small disc (round joins and caps). All
// polygons turn the same way, so the non-zero rule draws their union, and overlaps are
// painted once.
class ZuStroker {
 public:
  ZuStroker(ZuRasterizer& rasterizer, double width) : m_out(rasterizer), m_half(width / 2) {}

  void AddSegment(ZuPoint from, ZuPoint to);
  void AddJoin(ZuPoint at);

 private:
  ZuRasterizer& m_out;
  double m_half;
};
