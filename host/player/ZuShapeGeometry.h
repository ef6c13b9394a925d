#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/swf/ZuSwfShapeStyles.h"
#include "host/swf/ZuSwfTypes.h"

class ZuSwfTag;

// One edge in shape twips, with the styles on each side and the line drawn along it.
// Style numbers index the geometry's fill and line arrays; -1 is none. fill0 and fill1
// lie on opposite sides of the edge, so an outline is closed from the edges of one fill
// by taking its fill1 edges as they run and its fill0 edges the other way round.
struct ZuShapeEdge {
  int32_t x0 = 0, y0 = 0;
  int32_t cx = 0, cy = 0;  // control point, for a quadratic curve
  int32_t x1 = 0, y1 = 0;
  bool curved = false;
  int fill0 = -1;
  int fill1 = -1;
  int line = -1;
};

// A DefineShape (versions 1 to 4) decoded into its styles and edges. Styles of every
// style array the shape introduces are kept in one list each; group numbers tell which
// array (layer) a style came from, and layers draw in order: fills, then lines.
class ZuShapeGeometry {
 public:
  // Decodes a DefineShape tag. Returns null with a one-line reason in *error when the body
  // is malformed: a record that runs past the end, an unknown fill type.
  static std::unique_ptr<ZuShapeGeometry> Parse(const ZuSwfTag& tag, std::string* error);

  const std::vector<ZuFillStyle>& GetFills() const { return m_fills; }
  const std::vector<ZuLineStyle>& GetLines() const { return m_lines; }
  const std::vector<int>& GetFillGroups() const { return m_fillGroups; }
  const std::vector<int>& GetLineGroups() const { return m_lineGroups; }
  int GetGroupCount() const { return m_groupCount; }
  const std::vector<ZuShapeEdge>& GetEdges() const { return m_edges; }
  // DefineShape4 may ask for the non-zero winding rule; the default is even-odd.
  bool UsesNonZeroRule() const { return m_nonZero; }
  // The box around every edge and control point, in twips (empty shapes: all zero).
  const ZuSwfRect& GetEdgeBox() const { return m_edgeBox; }
  uint16_t GetMaxLineWidth() const { return m_maxLineWidth; }
  bool HasLines() const { return m_hasLines; }

 private:
  friend class ZuShapeParser;

  std::vector<ZuFillStyle> m_fills;
  std::vector<ZuLineStyle> m_lines;
  std::vector<int> m_fillGroups;
  std::vector<int> m_lineGroups;
  int m_groupCount = 0;
  std::vector<ZuShapeEdge> m_edges;
  bool m_nonZero = false;
  ZuSwfRect m_edgeBox;
  uint16_t m_maxLineWidth = 0;
  bool m_hasLines = false;
};
