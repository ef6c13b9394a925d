#include "host/player/ZuStroker.h"

#include <algorithm>
#include <numbers>

namespace {

// Corners of the polygon that stands for a round join; enough for lines a few pixels wide.
constexpr int kJoinCorners = 12;

}  // namespace

void ZuStroker::AddSegment(ZuPoint from, ZuPoint to) {
  double dx = to.x - from.x;
  double dy = to.y - from.y;
  double length = std::sqrt(dx * dx + dy * dy);
  if (!(length > 0) || !std::isfinite(length)) return;
  // Segments away from the clip rectangle paint nothing in it.
  if (!m_out.Touches(std::min(from.x, to.x) - m_half, std::min(from.y, to.y) - m_half,
                     std::max(from.x, to.x) + m_half, std::max(from.y, to.y) + m_half)) {
    return;
  }
  // The normal, half a line wide. The corners go round in the same sense as AddJoin's.
  double nx = -dy / length * m_half;
  double ny = dx / length * m_half;
  m_out.AddPolygon({{from.x + nx, from.y + ny},
                    {to.x + nx, to.y + ny},
                    {to.x - nx, to.y - ny},
                    {from.x - nx, from.y - ny}});
}

void ZuStroker::AddJoin(ZuPoint at) {
  if (m_out.IsFull() ||
      !m_out.Touches(at.x - m_half, at.y - m_half, at.x + m_half, at.y + m_half)) {
    return;
  }
  std::vector<ZuPoint> corners;
  corners.reserve(kJoinCorners);
  for (int i = 0; i < kJoinCorners; ++i) {
    double angle = -2 * std::numbers::pi * i / kJoinCorners;
    corners.push_back({at.x + m_half * std::cos(angle), at.y + m_half * std::sin(angle)});
  }
  m_out.AddPolygon(corners);
}
