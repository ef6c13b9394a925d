#include "host/player/ZuShapeRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/image/ZuImage.h"
#include "host/player/ZuStroker.h"
#include "host/swf/ZuSwfTypes.h"

namespace {

constexpr int32_t kFixedOne = 1 << 16;
constexpr int32_t kBitmapPixelScale = kZuTwipsPerPixel << 16;

bool IsPlainMatrix(const ZuSwfMatrix& m, int32_t scale) {
  return m.scaleX == scale && m.scaleY == scale && m.rotateSkew0 == 0 && m.rotateSkew1 == 0;
}

// A run [low, high) along one side of a rectangle, and the way its edge points.
struct Run {
  int32_t low, high;
  int direction;
};

// Whether runs cover [low, high) exactly once, all pointing the same way.
bool TilesOnce(std::vector<Run>& runs, int32_t low, int32_t high, int& direction) {
  if (runs.empty()) return false;
  std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.low < b.low; });
  direction = runs.front().direction;
  int32_t reached = low;
  for (const Run& run : runs) {
    if (run.direction != direction || run.low != reached) return false;
    reached = run.high;
  }
  return reached == high;
}

// Whether the edges of fill enclose exactly one axis-aligned rectangle, returned in box
// (shape twips). Horizontal edges do not change what a scanline fill covers, so only the
// vertical ones are checked: they must tile the left and right sides once, in opposite
// directions.
bool IsFilledRectangle(const ZuShapeGeometry& shape, int fill, ZuSwfRect& box) {
  std::vector<const ZuShapeEdge*> edges;
  for (const ZuShapeEdge& e : shape.GetEdges()) {
    if (e.fill0 == fill && e.fill1 == fill) continue;  // the same fill on both sides
    if (e.curved || (e.x0 != e.x1 && e.y0 != e.y1)) return false;
    edges.push_back(&e);
  }
  if (edges.empty()) return false;
  box = {edges[0]->x0, edges[0]->x0, edges[0]->y0, edges[0]->y0};
  for (const ZuShapeEdge* e : edges) {
    box.xMin = std::min({box.xMin, e->x0, e->x1});
    box.xMax = std::max({box.xMax, e->x0, e->x1});
    box.yMin = std::min({box.yMin, e->y0, e->y1});
    box.yMax = std::max({box.yMax, e->y0, e->y1});
  }
  if (box.xMin == box.xMax || box.yMin == box.yMax) return false;
  std::vector<Run> left, right;
  for (const ZuShapeEdge* e : edges) {
    if (e->y0 == e->y1) {
      if (e->y0 != box.yMin && e->y0 != box.yMax) return false;
      continue;
    }
    if (e->x0 != box.xMin && e->x0 != box.xMax) return false;
    // Seen from the fill's side: fill1 keeps the edge's direction, fill0 reverses it.
    int direction = (e->y1 > e->y0 ? 1 : -1) * (e->fill1 == fill ? 1 : -1);
    Run run{std::min(e->y0, e->y1), std::max(e->y0, e->y1), direction};
    (e->x0 == box.xMin ? left : right).push_back(run);
  }
  int leftDirection = 0, rightDirection = 0;
  return TilesOnce(left, box.yMin, box.yMax, leftDirection) &&
         TilesOnce(right, box.yMin, box.yMax, rightDirection) && leftDirection == -rightDirection;
}

int ClampToInt(double value, int low, int high) {
  if (!std::isfinite(value)) return value > 0 ? high : low;
  return static_cast<int>(std::clamp(value, double(low), double(high)));
}

}  // namespace

ZuShapeRenderer::ZuShapeRenderer(ZuImage& stage, IZuBitmapSource& bitmaps, int32_t originX,
                                 int32_t originY)
    : m_stage(stage),
      m_bitmaps(bitmaps),
      m_originX(originX),
      m_originY(originY),
      m_stageRect{0, 0, stage.GetWidth(), stage.GetHeight()} {}

ZuAffine ZuShapeRenderer::ShapeToStage(const ZuSwfMatrix& matrix) const {
  return ZuAffine::Scale(1.0 / kZuTwipsPerPixel)
      .After(ZuAffine::Translate(-double(m_originX), -double(m_originY)))
      .After(ZuAffine::FromMatrix(matrix));
}

ZuPixelRect ZuShapeRenderer::Bounds(const ZuShapeGeometry& shape, const ZuSwfMatrix& matrix) const {
  if (shape.GetEdges().empty()) return {};
  ZuAffine toStage = ShapeToStage(matrix);
  const ZuSwfRect& box = shape.GetEdgeBox();
  double xs[] = {double(box.xMin), double(box.xMax)};
  double ys[] = {double(box.yMin), double(box.yMax)};
  double minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY;
  for (double x : xs) {
    for (double y : ys) {
      minX = std::min(minX, toStage.MapX(x, y));
      maxX = std::max(maxX, toStage.MapX(x, y));
      minY = std::min(minY, toStage.MapY(x, y));
      maxY = std::max(maxY, toStage.MapY(x, y));
    }
  }
  // Lines reach half their width beyond the edges; one more pixel for rounding.
  double pad = 1;
  if (shape.HasLines()) pad += std::max(1.0, shape.GetMaxLineWidth() * toStage.MeanScale()) / 2;
  ZuPixelRect bounds{ClampToInt(std::floor(minX - pad), 0, m_stageRect.right),
                     ClampToInt(std::floor(minY - pad), 0, m_stageRect.bottom),
                     ClampToInt(std::ceil(maxX + pad), 0, m_stageRect.right),
                     ClampToInt(std::ceil(maxY + pad), 0, m_stageRect.bottom)};
  return bounds.IsEmpty() ? ZuPixelRect{} : bounds;
}

void ZuShapeRenderer::Draw(const ZuShapeGeometry& shape, const ZuSwfMatrix& matrix,
                           const ZuColorTransform& transform, const ZuPixelRect& clip) {
  ZuPixelRect area = clip.Intersect(m_stageRect);
  if (area.IsEmpty() || shape.GetEdges().empty()) return;
  if (TryDrawExact(shape, matrix, transform, area)) return;

  std::vector<std::vector<size_t>> byFill, byLine;
  SortEdgesByStyle(shape, byFill, byLine);
  ZuAffine toStage = ShapeToStage(matrix);
  // Layers in order; within a layer its fills, then its lines. Group numbers only grow
  // along each style list.
  const auto& fillGroups = shape.GetFillGroups();
  const auto& lineGroups = shape.GetLineGroups();
  size_t fill = 0, line = 0;
  for (int group = 0; group < shape.GetGroupCount(); ++group) {
    for (; fill < byFill.size() && fillGroups[fill] == group; ++fill) {
      if (!byFill[fill].empty()) {
        DrawFill(shape, byFill[fill], int(fill), toStage, transform, area);
      }
    }
    for (; line < byLine.size() && lineGroups[line] == group; ++line) {
      if (!byLine[line].empty()) {
        DrawLine(shape, byLine[line], int(line), toStage, transform, area);
      }
    }
  }
}

std::optional<ZuShapeRenderer::ExactCopy> ZuShapeRenderer::FindExactCopy(
    const ZuShapeGeometry& shape, const ZuSwfMatrix& matrix, const ZuColorTransform& transform,
    int32_t originX, int32_t originY) {
  if (!transform.IsIdentity() || shape.HasLines() || !IsPlainMatrix(matrix, kFixedOne)) {
    return std::nullopt;
  }
  int fill = -1;
  for (const ZuShapeEdge& e : shape.GetEdges()) {
    for (int side : {e.fill0, e.fill1}) {
      if (side < 0) continue;
      if (fill >= 0 && side != fill) return std::nullopt;
      fill = side;
    }
  }
  if (fill < 0) return std::nullopt;
  const ZuFillStyle& style = shape.GetFills()[size_t(fill)];
  if (style.kind != ZuFillStyle::Kind::kBitmap || !IsPlainMatrix(style.matrix, kBitmapPixelScale)) {
    return std::nullopt;
  }
  ZuSwfRect box;
  if (!IsFilledRectangle(shape, fill, box)) return std::nullopt;

  // Everything in twips relative to the stage's corner; all of it on whole pixels.
  int64_t dx = int64_t{matrix.translateX} - originX;
  int64_t dy = int64_t{matrix.translateY} - originY;
  int64_t twips[] = {box.xMin + dx,
                     box.yMin + dy,
                     box.xMax + dx,
                     box.yMax + dy,
                     style.matrix.translateX + dx,
                     style.matrix.translateY + dy};
  for (int64_t value : twips) {
    if (value % kZuTwipsPerPixel != 0) return std::nullopt;
  }
  return ExactCopy{twips[0] / kZuTwipsPerPixel,
                   twips[1] / kZuTwipsPerPixel,
                   twips[2] / kZuTwipsPerPixel,
                   twips[3] / kZuTwipsPerPixel,
                   twips[4] / kZuTwipsPerPixel,
                   twips[5] / kZuTwipsPerPixel,
                   style.bitmapId};
}

// A rectangle reaching past its bitmap tiles or stretches the edges: not a plain copy.
bool ZuShapeRenderer::FitsBitmap(const ExactCopy& copy, const ZuImage& image) {
  return copy.left >= copy.bitmapX && copy.top >= copy.bitmapY &&
         copy.right <= copy.bitmapX + image.GetWidth() &&
         copy.bottom <= copy.bitmapY + image.GetHeight();
}

bool ZuShapeRenderer::CoversOpaquely(const ZuShapeGeometry& shape, const ZuSwfMatrix& matrix,
                                     const ZuColorTransform& transform, const ZuPixelRect& area) {
  std::optional<ExactCopy> copy = FindExactCopy(shape, matrix, transform, m_originX, m_originY);
  if (!copy || copy->left > area.left || copy->top > area.top || copy->right < area.right ||
      copy->bottom < area.bottom) {
    return false;
  }
  const ZuDecodedBitmap* bitmap = m_bitmaps.FindBitmap(copy->bitmapId);
  return bitmap != nullptr && bitmap->image != nullptr && bitmap->opaque &&
         FitsBitmap(*copy, *bitmap->image);
}

bool ZuShapeRenderer::TryDrawExact(const ZuShapeGeometry& shape, const ZuSwfMatrix& matrix,
                                   const ZuColorTransform& transform, const ZuPixelRect& clip) {
  std::optional<ExactCopy> copy = FindExactCopy(shape, matrix, transform, m_originX, m_originY);
  if (!copy) return false;
  const ZuDecodedBitmap* bitmap = m_bitmaps.FindBitmap(copy->bitmapId);
  if (bitmap == nullptr || bitmap->image == nullptr) return true;  // nothing to draw
  const ZuImage& image = *bitmap->image;
  if (!FitsBitmap(*copy, image)) return false;
  ZuPixelRect area{int(std::max<int64_t>(copy->left, clip.left)),
                   int(std::max<int64_t>(copy->top, clip.top)),
                   int(std::min<int64_t>(copy->right, clip.right)),
                   int(std::min<int64_t>(copy->bottom, clip.bottom))};
  if (area.IsEmpty()) return true;
  size_t count = size_t(area.right - area.left);
  for (int y = area.top; y < area.bottom; ++y) {
    const uint8_t* source =
        image.Row(int(y - copy->bitmapY)) + size_t(area.left - copy->bitmapX) * 4;
    uint8_t* target = m_stage.Row(y) + size_t(area.left) * 4;
    if (bitmap->opaque) {
      std::memcpy(target, source, count * 4);
      continue;
    }
    for (size_t i = 0; i < count; ++i, source += 4, target += 4) {
      ZuBlendOver(target, {source[0], source[1], source[2], source[3]});
    }
  }
  return true;
}

void ZuShapeRenderer::SortEdgesByStyle(const ZuShapeGeometry& shape,
                                       std::vector<std::vector<size_t>>& byFill,
                                       std::vector<std::vector<size_t>>& byLine) {
  const auto& edges = shape.GetEdges();
  byFill.assign(shape.GetFills().size(), {});
  byLine.assign(shape.GetLines().size(), {});
  for (size_t i = 0; i < edges.size(); ++i) {
    const ZuShapeEdge& e = edges[i];
    if (e.fill0 >= 0) byFill[size_t(e.fill0)].push_back(i);
    if (e.fill1 >= 0 && e.fill1 != e.fill0) byFill[size_t(e.fill1)].push_back(i);
    if (e.line >= 0) byLine[size_t(e.line)].push_back(i);
  }
}

void ZuShapeRenderer::AddFillEdges(const ZuShapeGeometry& shape, const std::vector<size_t>& edges,
                                   int fill, const ZuAffine& toStage) {
  for (size_t i : edges) {
    const ZuShapeEdge& e = shape.GetEdges()[i];
    ZuPoint from{toStage.MapX(e.x0, e.y0), toStage.MapY(e.x0, e.y0)};
    ZuPoint control{toStage.MapX(e.cx, e.cy), toStage.MapY(e.cx, e.cy)};
    ZuPoint to{toStage.MapX(e.x1, e.y1), toStage.MapY(e.x1, e.y1)};
    // fill1 edges go as they run and fill0 edges the other way round, so every closed
    // outline of the fill winds the same way.
    if (e.fill1 == fill) {
      e.curved ? m_rasterizer.AddQuad(from, control, to) : m_rasterizer.AddLine(from, to);
    }
    if (e.fill0 == fill) {
      e.curved ? m_rasterizer.AddQuad(to, control, from) : m_rasterizer.AddLine(to, from);
    }
  }
}

void ZuShapeRenderer::MarkCoverage(const ZuShapeGeometry& shape, const ZuSwfMatrix& matrix,
                                   const ZuPixelRect& area, std::vector<uint8_t>& mask) {
  ZuPixelRect clip = area.Intersect(m_stageRect);
  if (clip.IsEmpty()) return;
  std::vector<std::vector<size_t>> byFill, byLine;
  SortEdgesByStyle(shape, byFill, byLine);
  ZuAffine toStage = ShapeToStage(matrix);
  size_t width = size_t(area.right - area.left);
  for (size_t fill = 0; fill < byFill.size(); ++fill) {
    if (byFill[fill].empty()) continue;
    m_rasterizer.Begin(clip);
    AddFillEdges(shape, byFill[fill], int(fill), toStage);
    m_rasterizer.Rasterize(shape.UsesNonZeroRule(), [&](int y, int x0, int x1) {
      size_t row = size_t(y - area.top) * width;
      std::fill(mask.begin() + std::ptrdiff_t(row + size_t(x0 - area.left)),
                mask.begin() + std::ptrdiff_t(row + size_t(x1 - area.left)), uint8_t{1});
    });
    m_cutShort = m_cutShort || m_rasterizer.WasCutShort();
  }
}

void ZuShapeRenderer::DrawFill(const ZuShapeGeometry& shape, const std::vector<size_t>& edges,
                               int fill, const ZuAffine& toStage, const ZuColorTransform& transform,
                               const ZuPixelRect& clip) {
  ZuPaint paint = MakePaint(shape.GetFills()[size_t(fill)], toStage, transform);
  if (paint.DrawsNothing()) return;
  m_rasterizer.Begin(clip);
  AddFillEdges(shape, edges, fill, toStage);
  Paint(paint, shape.UsesNonZeroRule());
}

void ZuShapeRenderer::DrawLine(const ZuShapeGeometry& shape, const std::vector<size_t>& edges,
                               int line, const ZuAffine& toStage, const ZuColorTransform& transform,
                               const ZuPixelRect& clip) {
  const ZuLineStyle& style = shape.GetLines()[size_t(line)];
  ZuPaint paint = MakePaint(style.fill, toStage, transform);
  if (paint.DrawsNothing()) return;
  // Lines scale with the placement; a hairline (or anything thinner) is one pixel wide.
  double width = std::max(1.0, style.width * toStage.MeanScale());
  m_rasterizer.Begin(clip);
  ZuStroker stroker(m_rasterizer, width);
  std::vector<ZuPoint> points;
  for (size_t i : edges) {
    const ZuShapeEdge& e = shape.GetEdges()[i];
    ZuPoint from{toStage.MapX(e.x0, e.y0), toStage.MapY(e.x0, e.y0)};
    ZuPoint to{toStage.MapX(e.x1, e.y1), toStage.MapY(e.x1, e.y1)};
    points.clear();
    if (e.curved) {
      ZuPoint control{toStage.MapX(e.cx, e.cy), toStage.MapY(e.cx, e.cy)};
      ZuRasterizer::FlattenQuad(from, control, to, points);
    } else {
      points.push_back(to);
    }
    stroker.AddJoin(from);
    ZuPoint previous = from;
    for (ZuPoint p : points) {
      stroker.AddSegment(previous, p);
      stroker.AddJoin(p);
      previous = p;
    }
  }
  Paint(paint, true);
}

ZuPaint ZuShapeRenderer::MakePaint(const ZuFillStyle& fill, const ZuAffine& toStage,
                                   const ZuColorTransform& transform) {
  switch (fill.kind) {
    case ZuFillStyle::Kind::kSolid:
      return ZuPaint::Solid(fill.color, transform);
    case ZuFillStyle::Kind::kBitmap: {
      const ZuDecodedBitmap* bitmap = m_bitmaps.FindBitmap(fill.bitmapId);
      if (bitmap == nullptr) return ZuPaint();
      return ZuPaint::Bitmap(*bitmap, toStage.After(ZuAffine::FromMatrix(fill.matrix)), fill.repeat,
                             fill.smooth, transform);
    }
    case ZuFillStyle::Kind::kLinearGradient:
    case ZuFillStyle::Kind::kRadialGradient:
      return ZuPaint::Gradient(fill, toStage.After(ZuAffine::FromMatrix(fill.matrix)), transform);
  }
  return ZuPaint();
}

void ZuShapeRenderer::Paint(const ZuPaint& paint, bool nonZero) {
  m_rasterizer.Rasterize(nonZero,
                         [&](int y, int x0, int x1) { paint.FillSpan(m_stage.Row(y), y, x0, x1); });
  m_cutShort = m_cutShort || m_rasterizer.WasCutShort();
}
