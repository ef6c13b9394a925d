#include "host/swf/ZuSwfPlaceObject2Tag.h"

#include <algorithm>
#include <cmath>

#include "host/swf/ZuBitStream.h"
#include "host/swf/ZuSwfPlacementFields.h"

namespace {

using Flags = ZuSwfPlacementFields;

int32_t PixelsToTwips(double pixels) {
  return static_cast<int32_t>(std::lround(pixels * kZuTwipsPerPixel));
}

}  // namespace

ZuSwfPlaceObject2Tag::ZuSwfPlaceObject2Tag(enuTagType type, ZuSharedBytes body, bool longHeader)
    : ZuSwfTag(type, std::move(body), longHeader) {}

ZuSwfPlaceObject2Tag* ZuSwfPlaceObject2Tag::Create(uint16_t characterId, uint16_t depth, double x,
                                                   double y, const std::string& name,
                                                   const std::vector<ZuTavoFilter*>& filters) {
  bool withFilters = !filters.empty();
  uint8_t flags = Flags::kHasCharacter | Flags::kHasMatrix | (name.empty() ? 0 : Flags::kHasName);
  ZuBitWriter out;
  out.WriteByte(flags);
  if (withFilters) out.WriteByte(Flags::kHasFilterList);
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
  auto placement = ZuSwfPlacementFields::Decode(GetTagType(), m_body);
  return placement ? placement->characterId : std::nullopt;
}

bool ZuSwfPlaceObject2Tag::IsMove() const {
  return !m_body.empty() && (m_body[0] & Flags::kMove) != 0;
}

std::optional<ZuSwfMatrix> ZuSwfPlaceObject2Tag::GetMatrix() const {
  auto placement = ZuSwfPlacementFields::Decode(GetTagType(), m_body);
  return placement ? placement->matrix : std::nullopt;
}

std::optional<ZuSwfColorTransform> ZuSwfPlaceObject2Tag::GetColorTransform() const {
  auto placement = ZuSwfPlacementFields::Decode(GetTagType(), m_body);
  return placement ? placement->colorTransform : std::nullopt;
}

std::optional<uint16_t> ZuSwfPlaceObject2Tag::GetClipDepth() const {
  auto placement = ZuSwfPlacementFields::Decode(GetTagType(), m_body);
  return placement ? placement->clipDepth : std::nullopt;
}

void ZuSwfPlaceObject2Tag::GetTextRep(ZuString& text) const {
  std::string line = GetTextHeadline();
  auto placement = ZuSwfPlacementFields::Decode(GetTagType(), m_body);
  if (!placement) {
    SetText(text, line + " malformed");
    return;
  }
  line += " depth=" + std::to_string(placement->depth);
  if (placement->characterId) line += " id=" + std::to_string(*placement->characterId);
  if (placement->move) line += " move";
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
