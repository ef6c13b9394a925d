#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "host/image/ZuPixelRect.h"

// A point in stage pixels.
struct ZuPoint {
  double x = 0;
  double y = 0;
};

// Scanline fill of a set of directed edges in stage pixels. A pixel is covered when its
// centre (x + 0.5, y + 0.5) lies inside, by the even-odd or the non-zero rule, so a
// rectangle on whole pixels covers exactly its pixels and nothing else. Each edge adds +1
// or -1 to the winding depending on whether it runs down or up.
//
// The fill only depends on the pixel, never on the clip rectangle or on the order of
// edges, so drawing a region in parts gives the same pixels as drawing it at once.
//
// Work is bounded whatever the input: curves that cannot reach the clip rectangle count
// as their chord (which winds the same for every pixel to their right), curves past an
// edge budget likewise, and a fill that would take too many steps stops early.
class ZuRasterizer {
 public:
  // maxEdges: edges kept before further curves count as chords; maxCrossings: edge
  // crossings one Rasterize may visit before it stops.
  explicit ZuRasterizer(size_t maxEdges = size_t{1} << 20, size_t maxCrossings = size_t{1} << 23)
      : m_maxEdges(maxEdges), m_maxCrossings(maxCrossings) {}

  // Starts a new set of edges to be drawn inside clip.
  void Begin(const ZuPixelRect& clip);
  const ZuPixelRect& GetClip() const { return m_clip; }
  // Whether the last Rasterize stopped early for lack of budget.
  bool WasCutShort() const { return m_cutShort; }
  // Whether the edge budget is used up (callers may leave out optional pieces).
  bool IsFull() const { return m_edges.size() >= m_maxEdges; }

  // A directed straight edge. Horizontal edges and ones that are not finite add nothing.
  void AddLine(ZuPoint from, ZuPoint to);
  // A quadratic curve, flattened into straight edges.
  void AddQuad(ZuPoint from, ZuPoint control, ZuPoint to);
  // Whether a box (in pixels) comes near enough to the clip rectangle to matter.
  bool Touches(double minX, double minY, double maxX, double maxY) const;
  // A closed polygon, its last point joined back to the first.
  void AddPolygon(const std::vector<ZuPoint>& points);

  // The points that approximate a quadratic curve within a tenth of a pixel, after from.
  static void FlattenQuad(ZuPoint from, ZuPoint control, ZuPoint to, std::vector<ZuPoint>& out);

  // Calls span(y, x0, x1) for every run of covered pixels [x0, x1) of row y inside the
  // clip rectangle, rows from top to bottom.
  template <class SpanFunction>
  void Rasterize(bool nonZero, SpanFunction&& span);

 private:
  size_t m_maxEdges;
  size_t m_maxCrossings;

  struct Edge {
    double x0, y0, x1, y1;  // y0 < y1
    int direction;          // +1 when the edge ran down, -1 up
    int firstRow, lastRow;  // rows whose centres it crosses, inclusive
  };
  struct Crossing {
    double x;
    int direction;
  };

  // The first row whose centre lies at or below y, clamped into [low, high].
  static int RowAtOrBelow(double y, int low, int high) {
    return static_cast<int>(std::clamp(std::ceil(y - 0.5), double(low), double(high)));
  }

  ZuPixelRect m_clip;
  bool m_cutShort = false;
  std::vector<Edge> m_edges;
  std::vector<size_t> m_active;
  std::vector<Crossing> m_crossings;
};

template <class SpanFunction>
void ZuRasterizer::Rasterize(bool nonZero, SpanFunction&& span) {
  const ZuPixelRect& clip = m_clip;
  m_cutShort = false;
  if (clip.IsEmpty() || m_edges.empty()) {
    return;
  }
  size_t crossings = 0;
  for (Edge& e : m_edges) {
    e.firstRow = RowAtOrBelow(e.y0, clip.top, clip.bottom);
    e.lastRow = RowAtOrBelow(e.y1, clip.top, clip.bottom) - 1;
  }
  std::sort(m_edges.begin(), m_edges.end(),
            [](const Edge& a, const Edge& b) { return a.firstRow < b.firstRow; });
  m_active.clear();
  size_t next = 0;
  int y = m_edges.front().firstRow;
  while (y < clip.bottom && (next < m_edges.size() || !m_active.empty())) {
    if (m_active.empty() && next < m_edges.size()) {
      y = std::max(y, m_edges[next].firstRow);
    }
    while (next < m_edges.size() && m_edges[next].firstRow <= y) {
      m_active.push_back(next++);
    }
    std::erase_if(m_active, [&](size_t i) { return m_edges[i].lastRow < y; });
    if (y >= clip.bottom) {
      break;
    }
    crossings += m_active.size();
    if (crossings > m_maxCrossings) {
      m_cutShort = true;
      return;
    }
    double centre = y + 0.5;
    m_crossings.clear();
    for (size_t i : m_active) {
      const Edge& e = m_edges[i];
      double x = e.x0 + (centre - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0);
      m_crossings.push_back({x, e.direction});
    }
    std::sort(m_crossings.begin(), m_crossings.end(),
              [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
    int winding = 0;
    double start = 0;
    for (const Crossing& c : m_crossings) {
      bool wasInside = nonZero ? winding != 0 : (winding & 1) != 0;
      winding += c.direction;
      bool isInside = nonZero ? winding != 0 : (winding & 1) != 0;
      if (!wasInside && isInside) {
        start = c.x;
      } else if (wasInside && !isInside) {
        int x0 = RowAtOrBelow(start, clip.left, clip.right);
        int x1 = RowAtOrBelow(c.x, clip.left, clip.right);
        if (x0 < x1) {
          span(y, x0, x1);
        }
      }
    }
    ++y;
  }
}
