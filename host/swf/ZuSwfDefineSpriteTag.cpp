#include "host/swf/ZuSwfDefineSpriteTag.h"

#include "host/swf/ZuBitStream.h"

ZuSwfDefineSpriteTag::ZuSwfDefineSpriteTag(ZuSharedBytes body, bool longHeader)
    : ZuSwfTag(ZuSwfTagFactory::kDefineSprite, std::move(body), longHeader) {}

ZuSwfTag* ZuSwfDefineSpriteTag::Clone() const {
  return new ZuSwfDefineSpriteTag(*this);
}

uint16_t ZuSwfDefineSpriteTag::GetFrameCount() const {
  return ReadWordAt(2);
}

std::optional<std::vector<ZuSwfDefineSpriteTag::NestedTag>> ZuSwfDefineSpriteTag::GetNestedTags()
    const {
  std::vector<NestedTag> tags;
  ZuBitStream in(m_body);
  if (!in.Skip(4)) return std::nullopt;
  while (in.GetRemainingBytes() > 0) {
    uint16_t header = 0;
    uint32_t length = 0;
    if (!in.ReadWord(header)) return std::nullopt;
    length = header & 0x3F;
    if (length == 0x3F && !in.ReadDWord(length)) return std::nullopt;
    size_t start = in.GetBytePosition();
    if (!in.Skip(length)) return std::nullopt;
    tags.push_back({static_cast<uint16_t>(header >> 6), m_body.Slice(start, length)});
    if (tags.back().code == ZuSwfTagFactory::kEnd) break;
  }
  return tags;
}

void ZuSwfDefineSpriteTag::GetTextRep(ZuString& text) const {
  ZuSwfTag::GetTextRep(text);
  auto nested = GetNestedTags();
  if (!nested) return;
  std::string line = text.GetUTF8String() + " tags=" + std::to_string(nested->size());
  SetText(text, line);
}
