#include "host/swf/ZuSwfDefineShapeTag.h"

#include <algorithm>

#include "host/swf/ZuBitStream.h"
#include "host/swf/ZuSwfIdFields.h"
#include "host/swf/ZuSwfShapeRecordFlags.h"
#include "host/swf/ZuSwfTypes.h"

namespace {

// A straight edge stores its delta in at most 17 signed bits (a 4-bit count plus 2).
constexpr int32_t kMaxEdgeDelta = (1 << 16) - 1;
constexpr uint8_t kClippedUnsmoothedBitmapFill = 0x43;

// Writes one straight edge along one axis.
void WriteAxisEdge(ZuBitWriter& out, bool vertical, int32_t delta) {
  unsigned bits = std::max(ZuBitWriter::SignedBitsNeeded(delta), 2u);
  out.WriteBits(1, 1);  // edge
  out.WriteBits(1, 1);  // straight
  out.WriteBits(4, bits - 2);
  out.WriteBits(1, 0);  // not a general line
  out.WriteBits(1, vertical ? 1 : 0);
  out.WriteSignedBits(bits, delta);
}

// Writes a run of edges along one axis covering delta, split where one edge cannot
// hold the whole distance.
void WriteAxisLine(ZuBitWriter& out, bool vertical, int32_t delta) {
  while (delta != 0) {
    int32_t step = std::clamp(delta, -kMaxEdgeDelta, kMaxEdgeDelta);
    WriteAxisEdge(out, vertical, step);
    delta -= step;
  }
}

}  // namespace

ZuSwfDefineShapeTag::ZuSwfDefineShapeTag(enuTagType type, ZuSharedBytes body, bool longHeader)
    : ZuSwfTag(type, std::move(body), longHeader) {}

ZuSwfTag* ZuSwfDefineShapeTag::Clone() const {
  return new ZuSwfDefineShapeTag(*this);
}

ZuSwfRect ZuSwfDefineShapeTag::GetShapeBounds() const {
  ZuBitStream in(m_body);
  ZuSwfRect bounds;
  if (!in.Skip(2) || !bounds.Read(in)) return ZuSwfRect();
  return bounds;
}

std::vector<uint16_t> ZuSwfDefineShapeTag::GetBitmapIds() const {
  ZuSwfIdFields fields;
  std::vector<uint16_t> ids;
  if (!ZuSwfLocateIds(GetTagType(), m_body.span(), fields)) return ids;
  for (size_t offset : fields.references) ids.push_back(ReadWordAt(offset));
  return ids;
}

void ZuSwfDefineShapeTag::CreateShapeForImage(uint16_t bitmapId, int x, int y, int width,
                                              int height, int /*bitmapWidth*/, int /*bitmapHeight*/,
                                              int16_t /*flags*/) {
  // The fill draws one bitmap pixel per stage pixel whatever the bitmap's size: the
  // bitmap's own width and height do not enter the shape.
  int32_t left = x * kZuTwipsPerPixel;
  int32_t top = y * kZuTwipsPerPixel;
  int32_t widthTwips = width * kZuTwipsPerPixel;
  int32_t heightTwips = height * kZuTwipsPerPixel;

  ZuBitWriter out;
  out.WriteWord(GetCharacterId());
  ZuSwfRect bounds{left, left + widthTwips, top, top + heightTwips};
  bounds.Write(out);

  // One fill: the bitmap at its own size (20 twips a pixel), its corner at (x, y).
  out.WriteByte(1);
  out.WriteByte(kClippedUnsmoothedBitmapFill);
  out.WriteWord(bitmapId);
  ZuSwfMatrix matrix;
  matrix.scaleX = kZuTwipsPerPixel << 16;
  matrix.scaleY = kZuTwipsPerPixel << 16;
  matrix.translateX = left;
  matrix.translateY = top;
  matrix.Write(out);
  out.WriteByte(0);  // no line styles

  out.WriteBits(4, 1);  // fill style index bits
  out.WriteBits(4, 0);  // line style index bits
  // Style change: move to the corner and select fill style 1 as fill style 0.
  unsigned moveBits =
      std::max(ZuBitWriter::SignedBitsNeeded(left), ZuBitWriter::SignedBitsNeeded(top));
  out.WriteBits(1, 0);
  out.WriteBits(ZuSwfShapeRecordFlags::kBits,
                ZuSwfShapeRecordFlags::kFillStyle0 | ZuSwfShapeRecordFlags::kMoveTo);
  out.WriteBits(5, moveBits);
  out.WriteSignedBits(moveBits, left);
  out.WriteSignedBits(moveBits, top);
  out.WriteBits(1, 1);
  // The four sides, clockwise from the top left corner.
  WriteAxisLine(out, false, widthTwips);
  WriteAxisLine(out, true, heightTwips);
  WriteAxisLine(out, false, -widthTwips);
  WriteAxisLine(out, true, -heightTwips);
  out.WriteBits(6, 0);  // end of shape
  out.AlignToByte();

  SetTagType(ZuSwfTagFactory::kDefineShape3);
  SetBody(ZuSharedBytes::Adopt(out.TakeBytes()));
}

void ZuSwfDefineShapeTag::GetTextRep(ZuString& text) const {
  std::string line = GetTextHeadline();
  if (m_body.size() >= 2) line += " id=" + std::to_string(GetCharacterId());
  ZuBitStream in(m_body);
  ZuSwfRect bounds;
  if (in.Skip(2) && bounds.Read(in)) {
    line += " bounds=" + std::to_string(bounds.xMin) + "," + std::to_string(bounds.yMin) + "," +
            std::to_string(bounds.xMax) + "," + std::to_string(bounds.yMax);
  }
  ZuSwfIdFields fields;
  if (ZuSwfLocateIds(GetTagType(), m_body.span(), fields)) {
    for (size_t offset : fields.references) line += " bitmap=" + std::to_string(ReadWordAt(offset));
  } else {
    line += " malformed";
  }
  SetText(text, line);
}
