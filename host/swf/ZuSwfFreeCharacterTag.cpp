#include "host/swf/ZuSwfFreeCharacterTag.h"

ZuSwfFreeCharacterTag::ZuSwfFreeCharacterTag(ZuSharedBytes body, bool longHeader)
    : ZuSwfTag(ZuSwfTagFactory::kFreeCharacter, std::move(body), longHeader) {}

ZuSwfTag* ZuSwfFreeCharacterTag::Clone() const {
  return new ZuSwfFreeCharacterTag(*this);
}

void ZuSwfFreeCharacterTag::RemapIds(const ZuTavoIDMap& map) {
  ZuSwfTag::RemapIds(map);
}

uint16_t ZuSwfFreeCharacterTag::GetReferencedId() const {
  return ReadWordAt(0);
}

void ZuSwfFreeCharacterTag::SetReferencedId(uint16_t id) {
  PatchWord(0, id);
  m_referenceIsFinal = true;
}

void ZuSwfFreeCharacterTag::GetTextRep(ZuString& text) const {
  std::string line = GetTextHeadline();
  if (m_body.size() >= 2) line += " ref=" + std::to_string(GetReferencedId());
  SetText(text, line);
}
