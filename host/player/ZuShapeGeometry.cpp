#include "host/player/ZuShapeGeometry.h"

#include <algorithm>
#include <utility>

#include "host/swf/ZuBitStream.h"
#include "host/swf/ZuSwfShapeRecordFlags.h"
#include "host/swf/ZuSwfTag.h"

namespace {

// More edges than any drawing needs; a shape claiming more is refused.
constexpr size_t kMaxEdges = size_t{1} << 22;

}  // namespace

// Reads one shape body in order with a bit stream. A failed read sets the stream's sticky
// error, so records are read whole and the error is checked at the end of each step.
class ZuShapeParser {
 public:
  ZuShapeParser(const ZuSwfTag& tag, ZuShapeGeometry& out)
      : m_body(tag.GetBody()), m_in(m_body), m_out(out), m_version(VersionOf(tag.GetTagType())) {}

  bool Parse(std::string* error);

 private:
  static int VersionOf(enuTagType type) {
    switch (type) {
      case ZuSwfTagFactory::kDefineShape2:
        return 2;
      case ZuSwfTagFactory::kDefineShape3:
        return 3;
      case ZuSwfTagFactory::kDefineShape4:
        return 4;
      default:
        return 1;
    }
  }

  // A coordinate moved by delta, kept inside a range that later arithmetic cannot overflow
  // (far beyond any stage: a crafted shape may walk its pen anywhere).
  static int32_t Offset(int32_t value, int32_t delta) {
    constexpr int64_t kLimit = int64_t{1} << 29;
    return static_cast<int32_t>(std::clamp(int64_t{value} + delta, -kLimit, kLimit));
  }
  bool Failed() const { return m_malformed || m_in.HasError(); }

  void ReadHeader();
  void ReadStyleArrays();
  void ReadRecords();
  void ReadStyleChange(uint32_t flags);
  void ReadEdge();
  void AddEdge(ZuShapeEdge edge);

  ZuSharedBytes m_body;
  ZuBitStream m_in;
  ZuShapeGeometry& m_out;
  int m_version;
  bool m_malformed = false;
  std::string m_reason;

  // The style arrays in use: where they start in the geometry's lists and their sizes.
  size_t m_fillBase = 0, m_fillCount = 0, m_lineBase = 0, m_lineCount = 0;
  unsigned m_fillBits = 0, m_lineBits = 0;
  // The pen and the styles that edges take.
  int32_t m_x = 0, m_y = 0;
  int m_fill0 = -1, m_fill1 = -1, m_line = -1;
  bool m_haveBox = false;
};

bool ZuShapeParser::Parse(std::string* error) {
  ReadHeader();
  ReadStyleArrays();
  m_fillBits = m_in.NextBits(4);
  m_lineBits = m_in.NextBits(4);
  ReadRecords();
  if (!Failed()) return true;
  if (error != nullptr) *error = m_reason.empty() ? "the shape's records end early" : m_reason;
  return false;
}

void ZuShapeParser::ReadHeader() {
  m_in.NextWord();  // id
  ZuSwfRect bounds;
  bounds.Read(m_in);
  if (m_version == 4) {
    bounds.Read(m_in);  // edge bounds
    uint8_t flags = m_in.NextByte();
    m_out.m_nonZero = (flags & 0x04) != 0;
  }
}

// A new pair of style arrays: a new layer that later style indices refer to.
void ZuShapeParser::ReadStyleArrays() {
  int group = m_out.m_groupCount++;
  ZuSwfShapeStyles styles;
  if (!styles.Read(m_in, m_version, &m_reason)) m_malformed = true;
  // A cut-off array holds fewer styles than its count says.
  m_fillBase = m_out.m_fills.size();
  m_fillCount = styles.fills.size();
  for (ZuFillStyle& fill : styles.fills) {
    m_out.m_fills.push_back(std::move(fill));
    m_out.m_fillGroups.push_back(group);
  }
  m_lineBase = m_out.m_lines.size();
  m_lineCount = styles.lines.size();
  for (ZuLineStyle& line : styles.lines) {
    m_out.m_maxLineWidth = std::max(m_out.m_maxLineWidth, line.width);
    m_out.m_lines.push_back(std::move(line));
    m_out.m_lineGroups.push_back(group);
  }
}

void ZuShapeParser::ReadRecords() {
  while (!Failed()) {
    if (m_in.NextBits(1) != 0) {
      ReadEdge();
      continue;
    }
    uint32_t flags = m_in.NextBits(ZuSwfShapeRecordFlags::kBits);
    if (flags == 0) return;  // end of shape
    ReadStyleChange(flags);
  }
}

void ZuShapeParser::ReadStyleChange(uint32_t flags) {
  using Flags = ZuSwfShapeRecordFlags;
  if ((flags & Flags::kMoveTo) != 0) {
    unsigned bits = m_in.NextBits(5);
    m_x = Offset(0, m_in.NextSignedBits(bits));
    m_y = Offset(0, m_in.NextSignedBits(bits));
  }
  // Style numbers count from 1 within the current arrays; 0 (or one past the array) is none.
  auto fillIndex = [this](uint32_t number) {
    return number == 0 || number > m_fillCount ? -1 : static_cast<int>(m_fillBase + number - 1);
  };
  uint32_t fill0 = (flags & Flags::kFillStyle0) != 0 ? m_in.NextBits(m_fillBits) : 0;
  uint32_t fill1 = (flags & Flags::kFillStyle1) != 0 ? m_in.NextBits(m_fillBits) : 0;
  uint32_t line = (flags & Flags::kLineStyle) != 0 ? m_in.NextBits(m_lineBits) : 0;
  if ((flags & Flags::kNewStyles) != 0) {
    // New arrays: the numbers given in this record already refer to them.
    ReadStyleArrays();
    m_fillBits = m_in.NextBits(4);
    m_lineBits = m_in.NextBits(4);
    m_fill0 = m_fill1 = m_line = -1;
  }
  if ((flags & Flags::kFillStyle0) != 0) m_fill0 = fillIndex(fill0);
  if ((flags & Flags::kFillStyle1) != 0) m_fill1 = fillIndex(fill1);
  if ((flags & Flags::kLineStyle) != 0) {
    m_line = line == 0 || line > m_lineCount ? -1 : static_cast<int>(m_lineBase + line - 1);
  }
}

void ZuShapeParser::ReadEdge() {
  bool straight = m_in.NextBits(1) != 0;
  unsigned bits = m_in.NextBits(4) + 2;
  ZuShapeEdge edge;
  edge.x0 = m_x;
  edge.y0 = m_y;
  if (straight) {
    int32_t dx = 0, dy = 0;
    if (m_in.NextBits(1) != 0) {
      dx = m_in.NextSignedBits(bits);
      dy = m_in.NextSignedBits(bits);
    } else if (m_in.NextBits(1) != 0) {
      dy = m_in.NextSignedBits(bits);
    } else {
      dx = m_in.NextSignedBits(bits);
    }
    edge.x1 = Offset(m_x, dx);
    edge.y1 = Offset(m_y, dy);
    edge.cx = static_cast<int32_t>((int64_t{edge.x0} + edge.x1) / 2);
    edge.cy = static_cast<int32_t>((int64_t{edge.y0} + edge.y1) / 2);
  } else {
    edge.curved = true;
    edge.cx = Offset(m_x, m_in.NextSignedBits(bits));
    edge.cy = Offset(m_y, m_in.NextSignedBits(bits));
    edge.x1 = Offset(edge.cx, m_in.NextSignedBits(bits));
    edge.y1 = Offset(edge.cy, m_in.NextSignedBits(bits));
  }
  if (Failed()) return;
  m_x = edge.x1;
  m_y = edge.y1;
  AddEdge(edge);
}

void ZuShapeParser::AddEdge(ZuShapeEdge edge) {
  edge.fill0 = m_fill0;
  edge.fill1 = m_fill1;
  edge.line = m_line;
  if (edge.fill0 < 0 && edge.fill1 < 0 && edge.line < 0) return;  // draws nothing
  if (m_out.m_edges.size() >= kMaxEdges) {
    if (!Failed()) m_reason = "more than " + std::to_string(kMaxEdges) + " edges";
    m_malformed = true;
    return;
  }
  if (edge.line >= 0) m_out.m_hasLines = true;
  ZuSwfRect& box = m_out.m_edgeBox;
  int32_t xs[] = {edge.x0, edge.cx, edge.x1};
  int32_t ys[] = {edge.y0, edge.cy, edge.y1};
  if (!m_haveBox) {
    box = {edge.x0, edge.x0, edge.y0, edge.y0};
    m_haveBox = true;
  }
  for (int i = 0; i < 3; ++i) {
    box.xMin = std::min(box.xMin, xs[i]);
    box.xMax = std::max(box.xMax, xs[i]);
    box.yMin = std::min(box.yMin, ys[i]);
    box.yMax = std::max(box.yMax, ys[i]);
  }
  m_out.m_edges.push_back(edge);
}

std::unique_ptr<ZuShapeGeometry> ZuShapeGeometry::Parse(const ZuSwfTag& tag, std::string* error) {
  auto geometry = std::make_unique<ZuShapeGeometry>();
  ZuShapeParser parser(tag, *geometry);
  if (!parser.Parse(error)) return nullptr;
  return geometry;
}
