#include "host/swf/ZuSwfShapeStyles.h"

#include <algorithm>

#include "host/swf/ZuBitStream.h"

namespace {

// Reads style records in body order. A failed read sets the stream's sticky error, so a
// record is read whole and the error checked before the next one.
class StyleReader {
 public:
  StyleReader(ZuBitStream& in, int version) : m_in(in), m_version(version) {}

  bool Read(ZuSwfShapeStyles& styles, std::string* reason) {
    size_t fills = Count();
    for (size_t i = 0; i < fills && !Failed(); ++i) styles.fills.push_back(ReadFill());
    size_t lines = Count();
    for (size_t i = 0; i < lines && !Failed(); ++i) styles.lines.push_back(ReadLine());
    if (!m_unknownType.empty() && reason != nullptr) *reason = m_unknownType;
    return !Failed();
  }

 private:
  bool Failed() const { return !m_unknownType.empty() || m_in.HasError(); }

  // An array count: one byte, or 0xFF then a word from version 2 on.
  size_t Count() {
    size_t count = m_in.NextByte();
    if (count == 0xFF && m_version >= 2) count = m_in.NextWord();
    return count;
  }

  ZuRgba Color(bool withAlpha) {
    ZuRgba color;
    color.r = m_in.NextByte();
    color.g = m_in.NextByte();
    color.b = m_in.NextByte();
    color.a = withAlpha ? m_in.NextByte() : 255;
    return color;
  }

  ZuFillStyle ReadFill() {
    ZuFillStyle fill;
    uint8_t type = m_in.NextByte();
    switch (type) {
      case 0x00:
        fill.color = Color(m_version >= 3);
        break;
      case 0x10:
      case 0x12:
      case 0x13:
        fill.kind =
            type == 0x10 ? ZuFillStyle::Kind::kLinearGradient : ZuFillStyle::Kind::kRadialGradient;
        fill.matrix.Read(m_in);
        ReadGradient(fill);
        if (type == 0x13) m_in.NextWord();  // focal point: kept as a plain radial gradient
        break;
      case 0x40:
      case 0x41:
      case 0x42:
      case 0x43:
        fill.kind = ZuFillStyle::Kind::kBitmap;
        fill.bitmapIdOffset = m_in.GetBytePosition();
        fill.bitmapId = m_in.NextWord();
        fill.matrix.Read(m_in);
        fill.repeat = type == 0x40 || type == 0x42;
        fill.smooth = type == 0x40 || type == 0x41;
        break;
      default:
        if (!Failed()) m_unknownType = "unknown fill style type " + std::to_string(type);
    }
    return fill;
  }

  void ReadGradient(ZuFillStyle& fill) {
    uint8_t header = m_in.NextByte();
    unsigned spread = header >> 6;
    fill.spread = spread == 1   ? ZuFillStyle::Spread::kReflect
                  : spread == 2 ? ZuFillStyle::Spread::kRepeat
                                : ZuFillStyle::Spread::kPad;
    unsigned count = header & 0x0F;
    for (unsigned i = 0; i < count && !Failed(); ++i) {
      ZuGradientStop stop;
      stop.ratio = m_in.NextByte();
      stop.color = Color(m_version >= 3);
      fill.stops.push_back(stop);
    }
    std::stable_sort(
        fill.stops.begin(), fill.stops.end(),
        [](const ZuGradientStop& x, const ZuGradientStop& y) { return x.ratio < y.ratio; });
  }

  // Before version 4 a line is a width and a colour; version 4 adds join and cap flags
  // and may paint the line with a fill style.
  ZuLineStyle ReadLine() {
    ZuLineStyle line;
    line.width = m_in.NextWord();
    if (m_version < 4) {
      line.fill.color = Color(m_version == 3);
      return line;
    }
    uint8_t flags = m_in.NextByte();
    m_in.NextByte();  // no-close flag and end cap
    bool miterJoin = ((flags >> 4) & 3) == 2;
    bool hasFill = (flags & 0x08) != 0;
    if (miterJoin) m_in.NextWord();  // miter limit
    if (hasFill) {
      line.fill = ReadFill();
    } else {
      line.fill.color = Color(true);
    }
    return line;
  }

  ZuBitStream& m_in;
  int m_version;
  std::string m_unknownType;  // the reason, once a fill type is unknown
};

}  // namespace

bool ZuSwfShapeStyles::Read(ZuBitStream& in, int version, std::string* reason) {
  StyleReader reader(in, version);
  return reader.Read(*this, reason);
}
