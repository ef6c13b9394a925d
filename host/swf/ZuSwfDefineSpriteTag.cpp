#include "host/swf/ZuSwfDefineSpriteTag.h"

#include "host/swf/ZuSwfTagHeader.h"

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
  const std::span<const uint8_t> bytes = m_body.span();
  size_t pos = 4;  // after the id and the frame count
  if (bytes.size() < pos) return std::nullopt;
  while (pos < bytes.size()) {
    ZuSwfTagHeader header;
    if (!header.Decode(bytes.subspan(pos)) || header.TagSize() > bytes.size() - pos) {
      return std::nullopt;
    }
    tags.push_back({header.code, m_body.Slice(pos + header.Size(), header.length)});
    pos += header.TagSize();
    if (header.code == ZuSwfTagFactory::kEnd) break;
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
