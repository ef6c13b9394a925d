#include "host/swf/ZuSwfPlaceObject2Tag.h"

#include <algorithm>
#include <cmath>

#include "host/swf/ZuBitStream.h"

namespace {

// Flags of the first byte, the same in PlaceObject2 and PlaceObject3.
constexpr uint8_t kMove = 0x01;
constexpr uint8_t kHasCharacter = 0x02;
constexpr uint8_t kHasMatrix = 0x04;
constexpr uint8_t kHasColorTransform = 0x08;
constexpr uint8_t kHasRatio = 0x10;
constexpr uint8_t kHasName = 0x20;
constexpr uint8_t kHasClipDepth = 0x40;
// Flags of PlaceObject3's second byte.
constexpr uint8_t kHasFilterList = 0x01;
constexpr uint8_t kHasClassName = 0x08;
constexpr uint8_t kHasImage = 0x10;

// The fields of a placement up to the clip depth, the ones callers read. The filter
// list, blend mode and clip actions that may follow are not decoded.
struct Placement {
  uint8_t flags = 0;
  uint16_t depth = 0;
  std::optional<uint16_t> characterId;
  std::optional<ZuSwfMatrix> matrix;
  std::optional<ZuSwfColorTransform> colorTransform;
  std::optional<uint16_t> ratio;
  std::optional<std::string> name;
  std::optional<uint16_t> clipDepth;
};

// Decodes body; false when it ends before the fields its flags announce.
bool DecodePlacement(enuTagType type, const ZuSharedBytes& body, Placement& placement) {
  ZuBitStream in(body);
  uint8_t flags2 = 0;
  in.ReadByte(placement.flags);
  bool version3 = type != ZuSwfTagFactory::kPlaceObject2;
  if (version3) in.ReadByte(flags2);
  in.ReadWord(placement.depth);
  uint8_t flags = placement.flags;
  if (version3 && ((flags2 & kHasClassName) != 0 ||
                   ((flags2 & kHasImage) != 0 && (flags & kHasCharacter) != 0))) {
    std::string className;
    in.ReadString(className);
  }
  uint16_t word = 0;
  if ((flags & kHasCharacter) != 0 && in.ReadWord(word)) placement.characterId = word;
  if ((flags & kHasMatrix) != 0) placement.matrix.emplace().Read(in);
  if ((flags & kHasColorTransform) != 0) placement.colorTransform.emplace().Read(in, true);
  if ((flags & kHasRatio) != 0 && in.ReadWord(word)) placement.ratio = word;
  if ((flags & kHasName) != 0) in.ReadString(placement.name.emplace());
  if ((flags & kHasClipDepth) != 0 && in.ReadWord(word)) placement.clipDepth = word;
  return !in.HasError();
}

std::optional<Placement> Decode(enuTagType type, const ZuSharedBytes& body) {
  Placement placement;
  if (!DecodePlacement(type, body, placement)) return std::nullopt;
  return placement;
}

int32_t PixelsToTwips(double pixels) {
  return static_cast<int32_t>(std::lround(pixels * 20.0));
}

}  // namespace

ZuSwfPlaceObject2Tag::ZuSwfPlaceObject2Tag(enuTagType type, ZuSharedBytes body, bool longHeader)
    : ZuSwfTag(type, std::move(body), longHeader) {}

ZuSwfPlaceObject2Tag* ZuSwfPlaceObject2Tag::Create(uint16_t characterId, uint16_t depth, double x,
                                                   double y, const std::string& name,
                                                   const std::vector<ZuTavoFilter*>& filters) {
  bool withFilters = !filters.empty();
  uint8_t flags = kHasCharacter | kHasMatrix | (name.empty() ? 0 : kHasName);
  ZuBitWriter out;
  out.WriteByte(flags);
  if (withFilters) out.WriteByte(kHasFilterList);
  out.WriteWord(depth);
  out.WriteWord(characterId);
  ZuSwfMatrix matrix;
  matrix.translateX = PixelsToTwips(x);
  matrix.translateY = PixelsToTwips(y);
  matrix.Write(out);
  if (!name.empty()) out.WriteString(name);
  if (withFilters) {
    size_t count = 0;
    for (const ZuTavoFilter* filter : filters) count += filter != nullptr ? 1 : 0;
    out.WriteByte(static_cast<uint8_t>(std::min<size_t>(count, 255)));
    size_t written = 0;
    for (const ZuTavoFilter* filter : filters) {
      if (filter == nullptr || written++ == 255) continue;
      out.WriteByte(filter->filterId);
      out.WriteBytes(filter->data);
    }
  }
  enuTagType type = withFilters ? ZuSwfTagFactory::kPlaceObject3 : ZuSwfTagFactory::kPlaceObject2;
  return new ZuSwfPlaceObject2Tag(type, ZuSharedBytes::Adopt(out.TakeBytes()), false);
}

ZuSwfTag* ZuSwfPlaceObject2Tag::Clone() const {
  return new ZuSwfPlaceObject2Tag(*this);
}

void ZuSwfPlaceObject2Tag::RemapIds(const ZuTavoIDMap& map) {
  ZuSwfTag::RemapIds(map);
}

uint16_t ZuSwfPlaceObject2Tag::GetDepth() const {
  // The depth follows the flag byte(s); it is readable even when later fields are cut.
  size_t offset = GetTagType() == ZuSwfTagFactory::kPlaceObject2 ? 1 : 2;
  return ReadWordAt(offset);
}

std::optional<uint16_t> ZuSwfPlaceObject2Tag::GetPlacedCharacterId() const {
  auto placement = Decode(GetTagType(), m_body);
  return placement ? placement->characterId : std::nullopt;
}

bool ZuSwfPlaceObject2Tag::IsMove() const {
  return !m_body.empty() && (m_body[0] & kMove) != 0;
}

std::optional<ZuSwfMatrix> ZuSwfPlaceObject2Tag::GetMatrix() const {
  auto placement = Decode(GetTagType(), m_body);
  return placement ? placement->matrix : std::nullopt;
}

std::optional<ZuSwfColorTransform> ZuSwfPlaceObject2Tag::GetColorTransform() const {
  auto placement = Decode(GetTagType(), m_body);
  return placement ? placement->colorTransform : std::nullopt;
}

std::optional<uint16_t> ZuSwfPlaceObject2Tag::GetClipDepth() const {
  auto placement = Decode(GetTagType(), m_body);
  return placement ? placement->clipDepth : std::nullopt;
}

void ZuSwfPlaceObject2Tag::GetTextRep(ZuString& text) const {
  std::string line = GetTextHeadline();
  auto placement = Decode(GetTagType(), m_body);
  if (!placement) {
    SetText(text, line + " malformed");
    return;
  }
  line += " depth=" + std::to_string(placement->depth);
  if (placement->characterId) line += " id=" + std::to_string(*placement->characterId);
  if ((placement->flags & kMove) != 0) line += " move";
  if (const auto& m = placement->matrix) {
    line += " matrix=" + std::to_string(m->scaleX) + "," + std::to_string(m->scaleY) + "," +
            std::to_string(m->rotateSkew0) + "," + std::to_string(m->rotateSkew1) + "," +
            std::to_string(m->translateX) + "," + std::to_string(m->translateY);
  }
  if (placement->colorTransform) line += " cxform";
  if (placement->ratio) line += " ratio=" + std::to_string(*placement->ratio);
  if (placement->name) {
    std::string name;
    for (char c : *placement->name) name.push_back(static_cast<unsigned char>(c) < 0x20 ? '?' : c);
    line += " name=" + name;
  }
  if (placement->clipDepth) line += " clipdepth=" + std::to_string(*placement->clipDepth);
  SetText(text, line);
}
