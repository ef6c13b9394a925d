#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "host/image/ZuPixelRect.h"
#include "host/player/ZuAffine.h"
#include "host/player/ZuPaint.h"
#include "host/player/ZuRasterizer.h"
#include "host/player/ZuShapeGeometry.h"

class ZuImage;

// Where the renderer finds the bitmaps that fills name.
class IZuBitmapSource {
 public:
  virtual ~IZuBitmapSource() = default;
  // The decoded bitmap for a character id, or null when there is none to draw.
  virtual const ZuDecodedBitmap* FindBitmap(uint16_t id) = 0;
};

// Draws placed shapes onto an opaque RGBA stage. Layer by layer, each fill style's edges
// are filled by the shape's winding rule and each line style is stroked; bitmap fills,
// gradients and solid colours go through the placement's colour transform.
//
// A shape that is one rectangle on whole pixels, filled by one bitmap shown at one stage
// pixel per bitmap pixel without a colour transform, is drawn by copying the bitmap's
// rows instead: exactly its pixels, composited "over" only where they are not opaque.
class ZuShapeRenderer {
 public:
  // origin: the stage's top left corner in twips (the header rectangle's minimum).
  ZuShapeRenderer(ZuImage& stage, IZuBitmapSource& bitmaps, int32_t originX, int32_t originY);

  // Draws shape placed with matrix and transform, touching only pixels inside clip.
  void Draw(const ZuShapeGeometry& shape, const ZuSwfMatrix& matrix,
            const ZuColorTransform& transform, const ZuPixelRect& clip);

  // Whether the placed shape paints every pixel of area opaquely as a plain bitmap copy, so
  // that whatever lies beneath need not be drawn there.
  bool CoversOpaquely(const ZuShapeGeometry& shape, const ZuSwfMatrix& matrix,
                      const ZuColorTransform& transform, const ZuPixelRect& area);

  // Sets to 1 the bytes of mask (one per pixel of area, rows top to bottom) whose pixels the
  // placed shape's fills cover: the shape as a clipping layer. Lines do not count.
  void MarkCoverage(const ZuShapeGeometry& shape, const ZuSwfMatrix& matrix,
                    const ZuPixelRect& area, std::vector<uint8_t>& mask);

  // The stage pixels a placed shape can touch (a conservative box), inside stage.
  ZuPixelRect Bounds(const ZuShapeGeometry& shape, const ZuSwfMatrix& matrix) const;

  // Whether some fill was too complex to finish since the last call (which resets it).
  bool TakeCutShort() {
    bool cutShort = m_cutShort;
    m_cutShort = false;
    return cutShort;
  }

  // The transform from shape twips to stage pixels.
  ZuAffine ShapeToStage(const ZuSwfMatrix& matrix) const;

 private:
  // A shape drawn by copying bitmap rows: its rectangle and the bitmap's corner, in stage
  // pixels (which may lie off the stage).
  struct ExactCopy {
    int64_t left, top, right, bottom;
    int64_t bitmapX, bitmapY;
    uint16_t bitmapId;
  };

  static std::optional<ExactCopy> FindExactCopy(const ZuShapeGeometry& shape,
                                                const ZuSwfMatrix& matrix,
                                                const ZuColorTransform& transform, int32_t originX,
                                                int32_t originY);
  static bool FitsBitmap(const ExactCopy& copy, const ZuImage& image);
  bool TryDrawExact(const ZuShapeGeometry& shape, const ZuSwfMatrix& matrix,
                    const ZuColorTransform& transform, const ZuPixelRect& clip);
  static void SortEdgesByStyle(const ZuShapeGeometry& shape,
                               std::vector<std::vector<size_t>>& byFill,
                               std::vector<std::vector<size_t>>& byLine);
  void AddFillEdges(const ZuShapeGeometry& shape, const std::vector<size_t>& edges, int fill,
                    const ZuAffine& toStage);
  void DrawFill(const ZuShapeGeometry& shape, const std::vector<size_t>& edges, int fill,
                const ZuAffine& toStage, const ZuColorTransform& transform,
                const ZuPixelRect& clip);
  void DrawLine(const ZuShapeGeometry& shape, const std::vector<size_t>& edges, int line,
                const ZuAffine& toStage, const ZuColorTransform& transform,
                const ZuPixelRect& clip);
  ZuPaint MakePaint(const ZuFillStyle& fill, const ZuAffine& toStage,
                    const ZuColorTransform& transform);
  void Paint(const ZuPaint& paint, bool nonZero);

  ZuImage& m_stage;
  IZuBitmapSource& m_bitmaps;
  int32_t m_originX;
  int32_t m_originY;
  ZuPixelRect m_stageRect;
  ZuRasterizer m_rasterizer;
  bool m_cutShort = false;
};
