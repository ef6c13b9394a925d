#include "host/player/ZuRasterizer.h"

namespace {

// How far a flattened curve may stray from the true one, in pixels.
constexpr double kFlatness = 0.1;
// Curves never split into more pieces than this, however large they are.
constexpr int kMaxPieces = 1024;

bool IsFinite(ZuPoint p) {
  return std::isfinite(p.x) && std::isfinite(p.y);
}

}  // namespace

void ZuRasterizer::Begin(const ZuPixelRect& clip) {
  m_clip = clip;
  m_cutShort = false;
  m_edges.clear();
}

bool ZuRasterizer::Touches(double minX, double minY, double maxX, double maxY) const {
  return maxX >= m_clip.left && minX <= m_clip.right && maxY >= m_clip.top && minY <= m_clip.bottom;
}

void ZuRasterizer::AddLine(ZuPoint from, ZuPoint to) {
  if (!IsFinite(from) || !IsFinite(to) || from.y == to.y) return;
  if (from.y < to.y) {
    m_edges.push_back({from.x, from.y, to.x, to.y, 1, 0, 0});
  } else {
    m_edges.push_back({to.x, to.y, from.x, from.y, -1, 0, 0});
  }
}

void ZuRasterizer::FlattenQuad(ZuPoint from, ZuPoint control, ZuPoint to,
                               std::vector<ZuPoint>& out) {
  // A quadratic strays from its chord by at most a quarter of |from - 2 control + to|;
  // n pieces cut that by n squared.
  double dx = from.x - 2 * control.x + to.x;
  double dy = from.y - 2 * control.y + to.y;
  double deviation = std::sqrt(dx * dx + dy * dy) / 4;
  double wanted = std::ceil(std::sqrt(deviation / kFlatness));
  int pieces =
      std::isfinite(wanted) ? static_cast<int>(std::clamp(wanted, 1.0, double(kMaxPieces))) : 1;
  for (int i = 1; i < pieces; ++i) {
    double t = double(i) / pieces;
    double u = 1 - t;
    out.push_back({u * u * from.x + 2 * u * t * control.x + t * t * to.x,
                   u * u * from.y + 2 * u * t * control.y + t * t * to.y});
  }
  out.push_back(to);
}

void ZuRasterizer::AddQuad(ZuPoint from, ZuPoint control, ZuPoint to) {
  // The curve lies inside the triangle of its three points.
  bool touches = Touches(std::min({from.x, control.x, to.x}), std::min({from.y, control.y, to.y}),
                         std::max({from.x, control.x, to.x}), std::max({from.y, control.y, to.y}));
  if (!touches || IsFull()) {
    AddLine(from, to);
    return;
  }
  std::vector<ZuPoint> points;
  FlattenQuad(from, control, to, points);
  ZuPoint previous = from;
  for (ZuPoint p : points) {
    AddLine(previous, p);
    previous = p;
  }
}

void ZuRasterizer::AddPolygon(const std::vector<ZuPoint>& points) {
  for (size_t i = 0; i < points.size(); ++i) {
    AddLine(points[i], points[(i + 1) % points.size()]);
  }
}
