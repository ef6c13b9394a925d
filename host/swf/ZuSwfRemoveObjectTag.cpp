#include "host/swf/ZuSwfRemoveObjectTag.h"

#include <vector>

#include "host/swf/ZuTavoIDMap.h"
#include "host/util/ZuLittleEndian.h"

namespace {

bool IsVersion1(enuTagType type) {
  return type == ZuSwfTagFactory::kRemoveObject;
}

// Bytes that the fields take: RemoveObject (id, depth), RemoveObject2 (depth).
size_t FieldBytes(enuTagType type) {
  return IsVersion1(type) ? 4 : 2;
}

}  // namespace

ZuSwfRemoveObjectTag::ZuSwfRemoveObjectTag(enuTagType type, ZuSharedBytes body, bool longHeader)
    : ZuSwfTag(type, ZuSharedBytes(), longHeader) {
  SetBody(std::move(body));
}

ZuSwfTag* ZuSwfRemoveObjectTag::Clone() const {
  return new ZuSwfRemoveObjectTag(*this);
}

void ZuSwfRemoveObjectTag::SetBody(ZuSharedBytes body) {
  ZuSwfTag::SetBody(std::move(body));
  m_malformed = m_body.size() < FieldBytes(GetTagType());
  m_characterId = 0;
  m_depth = 0;
  if (m_malformed) return;
  if (IsVersion1(GetTagType())) {
    m_characterId = ReadWordAt(0);
    m_depth = ReadWordAt(2);
  } else {
    m_depth = ReadWordAt(0);
  }
}

ZuSharedBytes ZuSwfRemoveObjectTag::GetBody() const {
  bool version1 = IsVersion1(GetTagType());
  // A short body nobody gave fields to is written back as loaded.
  if (m_malformed && m_depth == 0 && m_characterId == 0) return m_body;
  uint16_t bodyId = m_malformed ? 0 : (version1 ? ReadWordAt(0) : 0);
  uint16_t bodyDepth = m_malformed ? 0 : ReadWordAt(version1 ? 2 : 0);
  if (!m_malformed && bodyDepth == m_depth && (!version1 || bodyId == m_characterId)) {
    return m_body;  // unchanged: keep sharing the loaded bytes
  }
  std::vector<uint8_t> bytes;
  if (version1) {
    ZuLittleEndian::AppendU16(bytes, m_characterId);
  }
  ZuLittleEndian::AppendU16(bytes, m_depth);
  // Bytes past the fields (none in a well-formed tag) are kept.
  size_t used = FieldBytes(GetTagType());
  if (m_body.size() > used) bytes.insert(bytes.end(), m_body.begin() + used, m_body.end());
  return ZuSharedBytes::Adopt(std::move(bytes));
}

void ZuSwfRemoveObjectTag::RemapIds(const ZuTavoIDMap& map) {
  if (IsVersion1(GetTagType()) && m_characterId != 0) m_characterId = map.Map(m_characterId);
}

void ZuSwfRemoveObjectTag::GetTextRep(ZuString& text) const {
  std::string line = GetTextHeadline();
  if (IsVersion1(GetTagType())) line += " ref=" + std::to_string(m_characterId);
  line += " depth=" + std::to_string(m_depth);
  SetText(text, line);
}
