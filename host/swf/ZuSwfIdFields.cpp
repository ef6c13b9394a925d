#include "host/swf/ZuSwfIdFields.h"

#include <string>

#include "host/swf/ZuBitStream.h"
#include "host/swf/ZuSwfTagFactory.h"
#include "host/swf/ZuSwfTypes.h"

namespace {

using Factory = ZuSwfTagFactory;

// Sprites nest tags; a sprite inside a sprite is malformed for the player, but a body
// may claim it. Deeper nesting than this is treated as malformed to bound the recursion.
constexpr int kMaxSpriteNesting = 4;

// Scans one tag body with a bit stream, recording id offsets as it goes. Each Scan...
// step reads one record of the format; a failed read sets the stream's sticky error,
// so the result is checked once at the end.
class IdScanner {
 public:
  IdScanner(std::span<const uint8_t> body, ZuSwfIdFields& fields, int nesting)
      : m_body(body), m_in(body), m_fields(fields), m_nesting(nesting) {}

  bool Scan(uint16_t code);

 private:
  // The next word is an id the tag refers to.
  void Reference() {
    m_in.AlignToByte();
    size_t offset = m_in.GetBytePosition();
    uint16_t id = 0;
    if (m_in.ReadWord(id)) m_fields.references.push_back(offset);
  }
  void Imported() {
    m_in.AlignToByte();
    size_t offset = m_in.GetBytePosition();
    uint16_t id = 0;
    if (m_in.ReadWord(id)) m_fields.importedIds.push_back(offset);
  }
  void SkipBytes(size_t count) { m_in.Skip(count); }
  void SkipWord() { SkipBytes(2); }
  void SkipString() {
    std::string ignored;
    m_in.ReadString(ignored);
  }
  void SkipRect() {
    ZuSwfRect rect;
    rect.Read(m_in);
  }
  void SkipMatrix() {
    ZuSwfMatrix matrix;
    matrix.Read(m_in);
  }
  void SkipColorTransform(bool withAlpha) {
    ZuSwfColorTransform transform;
    transform.Read(m_in, withAlpha);
  }
  uint8_t Byte() {
    uint8_t value = 0;
    m_in.ReadByte(value);
    return value;
  }
  uint16_t Word() {
    uint16_t value = 0;
    m_in.ReadWord(value);
    return value;
  }
  uint32_t Bits(unsigned count) {
    uint32_t value = 0;
    m_in.ReadBits(count, value);
    return value;
  }
  // Walks over count bits, failing when the body holds fewer.
  void SkipBits(size_t count) {
    uint32_t ignored = 0;
    for (; count > 32 && !Failed(); count -= 32) m_in.ReadBits(32, ignored);
    m_in.ReadBits(static_cast<unsigned>(count), ignored);
  }
  void Malformed() { m_malformed = true; }
  bool Failed() const { return m_malformed || m_in.HasError(); }

  // A style array count: one byte, or 0xFF then a word when extended counts are allowed.
  size_t StyleCount(bool extended) {
    size_t count = Byte();
    if (count == 0xFF && extended) count = Word();
    return count;
  }

  void ScanShape(int version);
  void ScanFillStyles(int version);
  void ScanFillStyle(int version);
  void ScanLineStyles(int version);
  void ScanGradient(bool withAlpha);
  void ScanShapeRecords(int version);
  void ScanMorphShape(int version);
  void ScanMorphFillStyle();
  void ScanButton(int version);
  void ScanFilterList();
  void ScanText(bool withAlpha);
  void ScanEditText();
  void ScanSprite();
  void ScanButtonSound();
  void ScanSoundInfo();
  void ScanPlaceObject2();
  void ScanPlaceObject3();
  void ScanSymbolTable();
  void ScanImportTable(bool version2);

  std::span<const uint8_t> m_body;
  ZuBitStream m_in;
  ZuSwfIdFields& m_fields;
  int m_nesting;
  bool m_malformed = false;
};

bool IdScanner::Scan(uint16_t code) {
  m_fields.definesCharacter = ZuSwfIsDefinitionCode(code);
  if (m_fields.definesCharacter && m_body.size() < 2) return false;
  switch (code) {
    case Factory::kDefineShape:
      ScanShape(1);
      break;
    case Factory::kDefineShape2:
      ScanShape(2);
      break;
    case Factory::kDefineShape3:
      ScanShape(3);
      break;
    case Factory::kDefineShape4:
      ScanShape(4);
      break;
    case Factory::kDefineMorphShape:
      ScanMorphShape(1);
      break;
    case Factory::kDefineMorphShape2:
      ScanMorphShape(2);
      break;
    case Factory::kDefineButton:
      ScanButton(1);
      break;
    case Factory::kDefineButton2:
      ScanButton(2);
      break;
    case Factory::kDefineText:
      ScanText(false);
      break;
    case Factory::kDefineText2:
      ScanText(true);
      break;
    case Factory::kDefineEditText:
      ScanEditText();
      break;
    case Factory::kDefineSprite:
      ScanSprite();
      break;
    case Factory::kDefineButtonSound:
      ScanButtonSound();
      break;
    case Factory::kPlaceObject2:
      ScanPlaceObject2();
      break;
    case Factory::kPlaceObject3:
    case Factory::kPlaceObject4:
      ScanPlaceObject3();
      break;
    case Factory::kExportAssets:
    case Factory::kSymbolClass:
      ScanSymbolTable();
      break;
    case Factory::kImportAssets:
      ScanImportTable(false);
      break;
    case Factory::kImportAssets2:
      ScanImportTable(true);
      break;
    case Factory::kPlaceObject:  // id, depth, matrix (and a colour transform)
      Reference();
      SkipWord();
      SkipMatrix();
      break;
    case Factory::kRemoveObject:  // id, depth
      Reference();
      SkipWord();
      break;
    // Tags whose body starts with the id they act on.
    case Factory::kFreeCharacter:
    case Factory::kStartSound:
    case Factory::kVideoFrame:
    case Factory::kDoInitAction:
    case Factory::kDefineScalingGrid:
    case Factory::kCSMTextSettings:
    case Factory::kDefineFontInfo:
    case Factory::kDefineFontInfo2:
    case Factory::kDefineFontAlignZones:
    case Factory::kDefineFontName:
    case Factory::kDefineButtonCxform:
      Reference();
      break;
    default:
      break;  // other definitions name nothing but themselves
  }
  return !Failed();
}

// DefineShape 1-4: id, bounds, (edge bounds and flags), styles, then the shape records.
void IdScanner::ScanShape(int version) {
  SkipWord();
  SkipRect();
  if (version == 4) {
    SkipRect();
    Byte();
  }
  ScanFillStyles(version);
  ScanLineStyles(version);
  ScanShapeRecords(version);
}

void IdScanner::ScanFillStyles(int version) {
  size_t count = StyleCount(version >= 2);
  for (size_t i = 0; i < count && !Failed(); ++i) ScanFillStyle(version);
}

void IdScanner::ScanFillStyle(int version) {
  uint8_t type = Byte();
  bool withAlpha = version >= 3;
  switch (type) {
    case 0x00:
      SkipBytes(withAlpha ? 4 : 3);
      break;
    case 0x10:
    case 0x12:
      SkipMatrix();
      ScanGradient(withAlpha);
      break;
    case 0x13:
      SkipMatrix();
      ScanGradient(withAlpha);
      SkipWord();  // focal point
      break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
      Reference();
      SkipMatrix();
      break;
    default:
      Malformed();
  }
}

void IdScanner::ScanGradient(bool withAlpha) {
  size_t stops = Byte() & 0x0F;
  SkipBytes(stops * (withAlpha ? 5 : 4));
}

void IdScanner::ScanLineStyles(int version) {
  size_t count = StyleCount(version >= 2);
  for (size_t i = 0; i < count && !Failed(); ++i) {
    SkipWord();  // width
    if (version < 4) {
      SkipBytes(version == 3 ? 4 : 3);
      continue;
    }
    uint8_t flags = Byte();
    Byte();
    if (((flags >> 4) & 3) == 2) SkipWord();  // miter limit
    if ((flags & 0x08) != 0) {
      ScanFillStyle(4);
    } else {
      SkipBytes(4);
    }
  }
}

// The records of a shape, up to the end record. Only style-change records with new
// styles hold ids; the rest are walked over bit by bit.
void IdScanner::ScanShapeRecords(int version) {
  unsigned fillBits = Bits(4);
  unsigned lineBits = Bits(4);
  while (!Failed()) {
    if (Bits(1) != 0) {  // an edge
      bool straight = Bits(1) != 0;
      unsigned bits = Bits(4) + 2;
      if (!straight) {
        SkipBits(4 * bits);  // control and anchor deltas
      } else if (Bits(1) != 0) {
        SkipBits(2 * bits);  // a general line: both deltas
      } else {
        SkipBits(1 + bits);  // the vertical flag, then one delta
      }
      continue;
    }
    uint32_t flags = Bits(5);
    if (flags == 0) return;  // end of shape
    if ((flags & 0x01) != 0) {
      SkipBits(2 * Bits(5));
    }
    if ((flags & 0x02) != 0) SkipBits(fillBits);
    if ((flags & 0x04) != 0) SkipBits(fillBits);
    if ((flags & 0x08) != 0) SkipBits(lineBits);
    if ((flags & 0x10) != 0) {
      ScanFillStyles(version);
      ScanLineStyles(version);
      fillBits = Bits(4);
      lineBits = Bits(4);
    }
  }
}

// DefineMorphShape 1-2: bitmap fills stand in the style arrays that open the tag.
void IdScanner::ScanMorphShape(int version) {
  SkipWord();
  SkipRect();
  SkipRect();
  if (version == 2) {
    SkipRect();
    SkipRect();
    Byte();
  }
  SkipBytes(4);  // offset of the end edges
  size_t fills = StyleCount(true);
  for (size_t i = 0; i < fills && !Failed(); ++i) ScanMorphFillStyle();
  size_t lines = StyleCount(true);
  for (size_t i = 0; i < lines && !Failed(); ++i) {
    SkipBytes(4);  // start and end widths
    if (version == 1) {
      SkipBytes(8);
      continue;
    }
    uint8_t flags = Byte();
    Byte();
    if (((flags >> 4) & 3) == 2) SkipWord();
    if ((flags & 0x08) != 0) {
      ScanMorphFillStyle();
    } else {
      SkipBytes(8);
    }
  }
}

void IdScanner::ScanMorphFillStyle() {
  uint8_t type = Byte();
  switch (type) {
    case 0x00:
      SkipBytes(8);
      break;
    case 0x10:
    case 0x12:
    case 0x13:
      SkipMatrix();
      SkipMatrix();
      SkipBytes((Byte() & 0x0F) * 10);
      if (type == 0x13) SkipBytes(4);  // start and end focal points
      break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
      Reference();
      SkipMatrix();
      SkipMatrix();
      break;
    default:
      Malformed();
  }
}

// DefineButton / DefineButton2: id, then button records up to a zero byte.
void IdScanner::ScanButton(int version) {
  SkipWord();
  if (version == 2) SkipBytes(3);  // menu flag, action offset
  while (!Failed()) {
    uint8_t flags = Byte();
    if (flags == 0) return;
    Reference();
    SkipWord();  // depth
    SkipMatrix();
    if (version == 1) continue;
    SkipColorTransform(true);
    if ((flags & 0x10) != 0) ScanFilterList();
    if ((flags & 0x20) != 0) Byte();  // blend mode
  }
}

void IdScanner::ScanFilterList() {
  size_t count = Byte();
  for (size_t i = 0; i < count && !Failed(); ++i) {
    switch (Byte()) {
      case 0:
        SkipBytes(23);
        break;  // drop shadow
      case 1:
        SkipBytes(9);
        break;  // blur
      case 2:
        SkipBytes(15);
        break;  // glow
      case 3:
        SkipBytes(27);
        break;  // bevel
      case 4:   // gradient glow
      case 7:   // gradient bevel
        SkipBytes(Byte() * size_t{5} + 19);
        break;
      case 5: {  // convolution
        size_t width = Byte();
        size_t height = Byte();
        SkipBytes(8 + 4 * width * height + 5);
        break;
      }
      case 6:
        SkipBytes(80);
        break;  // colour matrix
      default:
        Malformed();
    }
  }
}

// DefineText / DefineText2: the text records name their fonts.
void IdScanner::ScanText(bool withAlpha) {
  SkipWord();
  SkipRect();
  SkipMatrix();
  unsigned glyphBits = Byte();
  unsigned advanceBits = Byte();
  while (!Failed()) {
    uint8_t flags = Byte();
    if (flags == 0) return;
    bool hasFont = (flags & 0x08) != 0;
    if (hasFont) Reference();
    if ((flags & 0x04) != 0) SkipBytes(withAlpha ? 4 : 3);
    if ((flags & 0x01) != 0) SkipWord();
    if ((flags & 0x02) != 0) SkipWord();
    if (hasFont) SkipWord();  // text height
    size_t glyphs = Byte();
    SkipBits(glyphs * (glyphBits + advanceBits));
    m_in.AlignToByte();
  }
}

void IdScanner::ScanEditText() {
  SkipWord();
  SkipRect();
  uint8_t flags = Byte();
  Byte();
  if ((flags & 0x01) != 0) Reference();  // HasFont
}

// DefineSprite: id, frame count, then whole tags whose ids count as the sprite's.
void IdScanner::ScanSprite() {
  SkipWord();
  SkipWord();
  if (m_nesting >= kMaxSpriteNesting) {
    Malformed();
    return;
  }
  while (!Failed() && m_in.GetRemainingBytes() > 0) {
    uint16_t header = Word();
    uint16_t code = header >> 6;
    size_t length = header & 0x3F;
    if (length == 0x3F) {
      uint32_t longLength = 0;
      m_in.ReadDWord(longLength);
      length = longLength;
    }
    if (Failed() || length > m_in.GetRemainingBytes()) {
      Malformed();
      return;
    }
    size_t start = m_in.GetBytePosition();
    ZuSwfIdFields nested;
    IdScanner scanner(m_body.subspan(start, length), nested, m_nesting + 1);
    if (!scanner.Scan(code)) {
      Malformed();
      return;
    }
    for (size_t offset : nested.references) m_fields.references.push_back(start + offset);
    SkipBytes(length);
    if (code == Factory::kEnd) return;
  }
}

// DefineButtonSound: the button, then four sound ids, each with sound info when set.
void IdScanner::ScanButtonSound() {
  Reference();
  for (int state = 0; state < 4 && !Failed(); ++state) {
    m_in.AlignToByte();
    size_t offset = m_in.GetBytePosition();
    uint16_t soundId = Word();
    if (soundId == 0 || Failed()) continue;
    m_fields.references.push_back(offset);
    ScanSoundInfo();
  }
}

void IdScanner::ScanSoundInfo() {
  uint8_t flags = Byte();
  if ((flags & 0x01) != 0) SkipBytes(4);  // in point
  if ((flags & 0x02) != 0) SkipBytes(4);  // out point
  if ((flags & 0x04) != 0) SkipWord();    // loop count
  if ((flags & 0x08) != 0) SkipBytes(Byte() * size_t{8});
}

void IdScanner::ScanPlaceObject2() {
  uint8_t flags = Byte();
  SkipWord();  // depth
  if ((flags & 0x02) != 0) Reference();
}

void IdScanner::ScanPlaceObject3() {
  uint8_t flags = Byte();
  uint8_t flags2 = Byte();
  SkipWord();  // depth
  bool hasCharacter = (flags & 0x02) != 0;
  bool hasClassName = (flags2 & 0x08) != 0 || ((flags2 & 0x10) != 0 && hasCharacter);
  if (hasClassName) SkipString();
  if (hasCharacter) Reference();
}

// ExportAssets / SymbolClass: a count, then (id, name) pairs.
void IdScanner::ScanSymbolTable() {
  size_t count = Word();
  for (size_t i = 0; i < count && !Failed(); ++i) {
    Reference();
    SkipString();
  }
}

void IdScanner::ScanImportTable(bool version2) {
  SkipString();  // the movie imported from
  if (version2) SkipWord();
  size_t count = Word();
  for (size_t i = 0; i < count && !Failed(); ++i) {
    Imported();
    SkipString();
  }
}

}  // namespace

bool ZuSwfIsDefinitionCode(uint16_t code) {
  switch (code) {
    case Factory::kDefineShape:
    case Factory::kDefineBits:
    case Factory::kDefineButton:
    case Factory::kDefineFont:
    case Factory::kDefineText:
    case Factory::kDefineSound:
    case Factory::kDefineBitsLossless:
    case Factory::kDefineBitsJPEG2:
    case Factory::kDefineShape2:
    case Factory::kDefineShape3:
    case Factory::kDefineText2:
    case Factory::kDefineButton2:
    case Factory::kDefineBitsJPEG3:
    case Factory::kDefineBitsLossless2:
    case Factory::kDefineEditText:
    case Factory::kDefineSprite:
    case Factory::kDefineMorphShape:
    case Factory::kDefineFont2:
    case Factory::kDefineVideoStream:
    case Factory::kDefineFont3:
    case Factory::kDefineShape4:
    case Factory::kDefineMorphShape2:
    case Factory::kDefineBinaryData:
    case Factory::kDefineBitsJPEG4:
    case Factory::kDefineFont4:
      return true;
    default:
      return false;
  }
}

bool ZuSwfIsBitmapCode(uint16_t code) {
  switch (code) {
    case Factory::kDefineBits:
    case Factory::kDefineBitsLossless:
    case Factory::kDefineBitsJPEG2:
    case Factory::kDefineBitsJPEG3:
    case Factory::kDefineBitsLossless2:
    case Factory::kDefineBitsJPEG4:
      return true;
    default:
      return false;
  }
}

bool ZuSwfLocateIds(uint16_t code, std::span<const uint8_t> body, ZuSwfIdFields& fields) {
  fields = ZuSwfIdFields();
  IdScanner scanner(body, fields, 0);
  return scanner.Scan(code);
}

uint16_t ZuSwfReadIdAt(std::span<const uint8_t> body, size_t offset) {
  if (offset > body.size() || body.size() - offset < 2) return 0;
  return static_cast<uint16_t>(body[offset] | (body[offset + 1] << 8));
}
