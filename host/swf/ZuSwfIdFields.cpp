#include "host/swf/ZuSwfIdFields.h"

#include <iterator>
#include <string>

#include "host/swf/ZuBitStream.h"
#include "host/swf/ZuSwfPlacementFields.h"
#include "host/swf/ZuSwfShapeRecordFlags.h"
#include "host/swf/ZuSwfShapeStyles.h"
#include "host/swf/ZuSwfTagFactory.h"
#include "host/swf/ZuSwfTagHeader.h"
#include "host/swf/ZuSwfTypes.h"
#include "host/util/ZuLittleEndian.h"

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

  // The steps, each for one tag code; variant tells the versions of one record apart.
  void ScanShape(int version);
  void ScanMorphShape(int version);
  void ScanButton(int version);
  void ScanText(int version);
  void ScanEditText(int);
  void ScanSprite(int);
  void ScanButtonSound(int);
  void ScanPlaceObject(int version);
  void ScanSymbolTable(int);
  void ScanImportTable(int version);
  // PlaceObject and RemoveObject: id and depth (PlaceObject goes on with a matrix).
  void ScanIdAndDepth(int withMatrix);
  // Tags whose body starts with the id they act on.
  void ScanLeadingId(int) { Reference(); }

 private:
  // The next word is an id; its offset goes to offsets.
  void RecordId(std::vector<size_t>& offsets) {
    m_in.AlignToByte();
    size_t offset = m_in.GetBytePosition();
    uint16_t id = 0;
    if (m_in.ReadWord(id)) offsets.push_back(offset);
  }
  void Reference() { RecordId(m_fields.references); }
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
  // Walks over count bits, failing when the body holds fewer.
  void SkipBits(size_t count) {
    uint32_t ignored = 0;
    for (; count > 32 && !Failed(); count -= 32) m_in.ReadBits(32, ignored);
    m_in.ReadBits(static_cast<unsigned>(count), ignored);
  }
  void Malformed() { m_malformed = true; }
  bool Failed() const { return m_malformed || m_in.HasError(); }

  void ScanShapeStyles(int version);
  void ScanShapeRecords(int version);
  void ScanMorphFillStyle();
  void ScanFilterList();
  void ScanSoundInfo();

  std::span<const uint8_t> m_body;
  ZuBitStream m_in;
  ZuSwfIdFields& m_fields;
  int m_nesting;
  bool m_malformed = false;
};

// The tags that name ids beyond their own, with the step that finds them.
struct ScanStep {
  uint16_t code;
  void (IdScanner::*scan)(int variant);
  int variant;
};

constexpr ScanStep kScanSteps[] = {
    {Factory::kDefineShape, &IdScanner::ScanShape, 1},
    {Factory::kDefineShape2, &IdScanner::ScanShape, 2},
    {Factory::kDefineShape3, &IdScanner::ScanShape, 3},
    {Factory::kDefineShape4, &IdScanner::ScanShape, 4},
    {Factory::kDefineMorphShape, &IdScanner::ScanMorphShape, 1},
    {Factory::kDefineMorphShape2, &IdScanner::ScanMorphShape, 2},
    {Factory::kDefineButton, &IdScanner::ScanButton, 1},
    {Factory::kDefineButton2, &IdScanner::ScanButton, 2},
    {Factory::kDefineText, &IdScanner::ScanText, 1},
    {Factory::kDefineText2, &IdScanner::ScanText, 2},
    {Factory::kDefineEditText, &IdScanner::ScanEditText, 0},
    {Factory::kDefineSprite, &IdScanner::ScanSprite, 0},
    {Factory::kDefineButtonSound, &IdScanner::ScanButtonSound, 0},
    {Factory::kPlaceObject2, &IdScanner::ScanPlaceObject, 2},
    {Factory::kPlaceObject3, &IdScanner::ScanPlaceObject, 3},
    {Factory::kPlaceObject4, &IdScanner::ScanPlaceObject, 4},
    {Factory::kExportAssets, &IdScanner::ScanSymbolTable, 0},
    {Factory::kSymbolClass, &IdScanner::ScanSymbolTable, 0},
    {Factory::kImportAssets, &IdScanner::ScanImportTable, 1},
    {Factory::kImportAssets2, &IdScanner::ScanImportTable, 2},
    {Factory::kPlaceObject, &IdScanner::ScanIdAndDepth, 1},
    {Factory::kRemoveObject, &IdScanner::ScanIdAndDepth, 0},
    {Factory::kFreeCharacter, &IdScanner::ScanLeadingId, 0},
    {Factory::kStartSound, &IdScanner::ScanLeadingId, 0},
    {Factory::kVideoFrame, &IdScanner::ScanLeadingId, 0},
    {Factory::kDoInitAction, &IdScanner::ScanLeadingId, 0},
    {Factory::kDefineScalingGrid, &IdScanner::ScanLeadingId, 0},
    {Factory::kCSMTextSettings, &IdScanner::ScanLeadingId, 0},
    {Factory::kDefineFontInfo, &IdScanner::ScanLeadingId, 0},
    {Factory::kDefineFontInfo2, &IdScanner::ScanLeadingId, 0},
    {Factory::kDefineFontAlignZones, &IdScanner::ScanLeadingId, 0},
    {Factory::kDefineFontName, &IdScanner::ScanLeadingId, 0},
    {Factory::kDefineButtonCxform, &IdScanner::ScanLeadingId, 0},
};

bool IdScanner::Scan(uint16_t code) {
  m_fields.definesCharacter = ZuSwfIsDefinitionCode(code);
  if (m_fields.definesCharacter && m_body.size() < 2) return false;
  // Other definitions name nothing but themselves; other tags name nothing.
  for (const ScanStep& step : kScanSteps) {
    if (step.code == code) {
      (this->*step.scan)(step.variant);
      break;
    }
  }
  return !Failed();
}

// DefineShape 1-4: id, bounds, (edge bounds and flags), styles, then the shape records.
void IdScanner::ScanShape(int version) {
  SkipWord();
  SkipRect();
  if (version == 4) {
    SkipRect();
    m_in.NextByte();
  }
  ScanShapeStyles(version);
  ScanShapeRecords(version);
}

// A pair of style arrays: the bitmap fills name bitmaps, in body order.
void IdScanner::ScanShapeStyles(int version) {
  ZuSwfShapeStyles styles;
  if (!styles.Read(m_in, version, nullptr)) {
    Malformed();
    return;
  }
  auto recordBitmap = [this](const ZuFillStyle& fill) {
    if (fill.kind == ZuFillStyle::Kind::kBitmap) m_fields.references.push_back(fill.bitmapIdOffset);
  };
  for (const ZuFillStyle& fill : styles.fills) recordBitmap(fill);
  for (const ZuLineStyle& line : styles.lines) recordBitmap(line.fill);
}

// The records of a shape, up to the end record. Only style-change records with new
// styles hold ids; the rest are walked over bit by bit.
void IdScanner::ScanShapeRecords(int version) {
  unsigned fillBits = m_in.NextBits(4);
  unsigned lineBits = m_in.NextBits(4);
  while (!Failed()) {
    if (m_in.NextBits(1) != 0) {  // an edge
      bool straight = m_in.NextBits(1) != 0;
      const size_t bits = m_in.NextBits(4) + 2;
      if (!straight) {
        SkipBits(4 * bits);  // control and anchor deltas
      } else if (m_in.NextBits(1) != 0) {
        SkipBits(2 * bits);  // a general line: both deltas
      } else {
        SkipBits(1 + bits);  // the vertical flag, then one delta
      }
      continue;
    }
    using Flags = ZuSwfShapeRecordFlags;
    uint32_t flags = m_in.NextBits(Flags::kBits);
    if (flags == 0) return;  // end of shape
    if ((flags & Flags::kMoveTo) != 0) {
      SkipBits(2 * static_cast<size_t>(m_in.NextBits(5)));
    }
    if ((flags & Flags::kFillStyle0) != 0) SkipBits(fillBits);
    if ((flags & Flags::kFillStyle1) != 0) SkipBits(fillBits);
    if ((flags & Flags::kLineStyle) != 0) SkipBits(lineBits);
    if ((flags & Flags::kNewStyles) != 0) {
      ScanShapeStyles(version);
      fillBits = m_in.NextBits(4);
      lineBits = m_in.NextBits(4);
    }
  }
}

// DefineMorphShape 1-2: bitmap fills stand in the style arrays that open the tag. Each
// style holds its start and end state, and counts are always allowed to be extended.
void IdScanner::ScanMorphShape(int version) {
  SkipWord();
  SkipRect();
  SkipRect();
  if (version == 2) {
    SkipRect();
    SkipRect();
    m_in.NextByte();
  }
  SkipBytes(4);  // offset of the end edges
  auto count = [this] {
    size_t value = m_in.NextByte();
    return value == 0xFF ? m_in.NextWord() : value;
  };
  size_t fills = count();
  for (size_t i = 0; i < fills && !Failed(); ++i) ScanMorphFillStyle();
  size_t lines = count();
  for (size_t i = 0; i < lines && !Failed(); ++i) {
    SkipBytes(4);  // start and end widths
    if (version == 1) {
      SkipBytes(8);
      continue;
    }
    uint8_t flags = m_in.NextByte();
    m_in.NextByte();
    if (((flags >> 4) & 3) == 2) SkipWord();
    if ((flags & 0x08) != 0) {
      ScanMorphFillStyle();
    } else {
      SkipBytes(8);
    }
  }
}

void IdScanner::ScanMorphFillStyle() {
  uint8_t type = m_in.NextByte();
  switch (type) {
    case 0x00:
      SkipBytes(8);
      break;
    case 0x10:
    case 0x12:
    case 0x13:
      SkipMatrix();
      SkipMatrix();
      SkipBytes(static_cast<size_t>(m_in.NextByte() & 0x0F) * 10);  // gradient records
      if (type == 0x13) SkipBytes(4);                               // start and end focal points
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
    uint8_t flags = m_in.NextByte();
    if (flags == 0) return;
    Reference();
    SkipWord();  // depth
    SkipMatrix();
    if (version == 1) continue;
    ZuSwfColorTransform transform;
    transform.Read(m_in, true);
    if ((flags & 0x10) != 0) ScanFilterList();
    if ((flags & 0x20) != 0) m_in.NextByte();  // blend mode
  }
}

// Sizes of the filters whose body has a fixed size, by filter id (drop shadow, blur,
// glow, bevel, -, -, colour matrix); 0 marks the ones sized by their own counts.
constexpr size_t kFixedFilterSizes[] = {23, 9, 15, 27, 0, 0, 80, 0};

void IdScanner::ScanFilterList() {
  size_t count = m_in.NextByte();
  for (size_t i = 0; i < count && !Failed(); ++i) {
    uint8_t id = m_in.NextByte();
    if (id == 4 || id == 7) {  // gradient glow, gradient bevel
      SkipBytes(m_in.NextByte() * size_t{5} + 19);
    } else if (id == 5) {  // convolution
      size_t width = m_in.NextByte();
      size_t height = m_in.NextByte();
      SkipBytes(8 + 4 * width * height + 5);
    } else if (id < std::size(kFixedFilterSizes)) {
      SkipBytes(kFixedFilterSizes[id]);
    } else {
      Malformed();
    }
  }
}

// DefineText / DefineText2: the text records name their fonts.
void IdScanner::ScanText(int version) {
  bool withAlpha = version == 2;
  SkipWord();
  SkipRect();
  SkipMatrix();
  unsigned glyphBits = m_in.NextByte();
  unsigned advanceBits = m_in.NextByte();
  while (!Failed()) {
    uint8_t flags = m_in.NextByte();
    if (flags == 0) return;
    bool hasFont = (flags & 0x08) != 0;
    if (hasFont) Reference();
    if ((flags & 0x04) != 0) SkipBytes(withAlpha ? 4 : 3);
    if ((flags & 0x01) != 0) SkipWord();
    if ((flags & 0x02) != 0) SkipWord();
    if (hasFont) SkipWord();  // text height
    size_t glyphs = m_in.NextByte();
    SkipBits(glyphs * (glyphBits + advanceBits));
    m_in.AlignToByte();
  }
}

void IdScanner::ScanEditText(int) {
  SkipWord();
  SkipRect();
  uint8_t flags = m_in.NextByte();
  m_in.NextByte();
  if ((flags & 0x01) != 0) Reference();  // HasFont
}

// DefineSprite: id, frame count, then whole tags whose ids count as the sprite's.
void IdScanner::ScanSprite(int) {
  SkipWord();
  SkipWord();
  if (m_nesting >= kMaxSpriteNesting) {
    Malformed();
    return;
  }
  while (!Failed() && m_in.GetRemainingBytes() > 0) {
    const size_t pos = m_in.GetBytePosition();
    ZuSwfTagHeader header;
    if (!header.Decode(m_body.subspan(pos)) || header.TagSize() > m_body.size() - pos) {
      Malformed();
      return;
    }
    const size_t start = pos + header.Size();
    ZuSwfIdFields nested;
    IdScanner scanner(m_body.subspan(start, header.length), nested, m_nesting + 1);
    if (!scanner.Scan(header.code)) {
      Malformed();
      return;
    }
    for (size_t offset : nested.references) m_fields.references.push_back(start + offset);
    SkipBytes(header.TagSize());
    if (header.code == Factory::kEnd) return;
  }
}

// DefineButtonSound: the button, then four sound ids, each with sound info when set.
void IdScanner::ScanButtonSound(int) {
  Reference();
  for (int state = 0; state < 4 && !Failed(); ++state) {
    m_in.AlignToByte();
    size_t offset = m_in.GetBytePosition();
    uint16_t soundId = m_in.NextWord();
    if (soundId == 0 || Failed()) continue;
    m_fields.references.push_back(offset);
    ScanSoundInfo();
  }
}

void IdScanner::ScanSoundInfo() {
  uint8_t flags = m_in.NextByte();
  if ((flags & 0x01) != 0) SkipBytes(4);  // in point
  if ((flags & 0x02) != 0) SkipBytes(4);  // out point
  if ((flags & 0x04) != 0) SkipWord();    // loop count
  if ((flags & 0x08) != 0) SkipBytes(m_in.NextByte() * size_t{8});
}

// PlaceObject2 and later: flags (two bytes from version 3), depth, an optional class
// name, then the placed character when the tag names one.
void IdScanner::ScanPlaceObject(int version) {
  uint8_t flags = m_in.NextByte();
  uint8_t flags2 = version >= 3 ? m_in.NextByte() : 0;
  SkipWord();  // depth
  using Flags = ZuSwfPlacementFields;
  bool hasCharacter = (flags & Flags::kHasCharacter) != 0;
  bool hasClassName =
      (flags2 & Flags::kHasClassName) != 0 || ((flags2 & Flags::kHasImage) != 0 && hasCharacter);
  if (hasClassName) SkipString();
  if (hasCharacter) Reference();
}

void IdScanner::ScanIdAndDepth(int withMatrix) {
  Reference();
  SkipWord();
  if (withMatrix != 0) SkipMatrix();
}

// ExportAssets / SymbolClass: a count, then (id, name) pairs.
void IdScanner::ScanSymbolTable(int) {
  size_t count = m_in.NextWord();
  for (size_t i = 0; i < count && !Failed(); ++i) {
    Reference();
    SkipString();
  }
}

void IdScanner::ScanImportTable(int version) {
  SkipString();  // the movie imported from
  if (version == 2) SkipWord();
  size_t count = m_in.NextWord();
  for (size_t i = 0; i < count && !Failed(); ++i) {
    RecordId(m_fields.importedIds);
    SkipString();
  }
}

}  // namespace

bool ZuSwfLocateIds(uint16_t code, std::span<const uint8_t> body, ZuSwfIdFields& fields) {
  fields = ZuSwfIdFields();
  IdScanner scanner(body, fields, 0);
  return scanner.Scan(code);
}

uint16_t ZuSwfReadIdAt(std::span<const uint8_t> body, size_t offset) {
  if (offset > body.size() || body.size() - offset < 2) return 0;
  return ZuLittleEndian::ReadU16(&body[offset]);
}
