#include "host/swf/ZuSwfDefineBitsLossless2Tag.h"

// The header of the body: id (2 bytes), format (1), width (2), height (2).
namespace {
constexpr size_t kHeaderBytes = 7;
}

ZuSwfDefineBitsLossless2Tag::ZuSwfDefineBitsLossless2Tag(enuTagType type, ZuSharedBytes body,
                                                         bool longHeader)
    : ZuSwfTag(type, std::move(body), longHeader) {}

ZuSwfTag* ZuSwfDefineBitsLossless2Tag::Clone() const {
  return new ZuSwfDefineBitsLossless2Tag(*this);
}

uint8_t ZuSwfDefineBitsLossless2Tag::GetBitmapFormat() const {
  return m_body.size() >= kHeaderBytes ? m_body[2] : 0;
}

uint16_t ZuSwfDefineBitsLossless2Tag::GetBitmapWidth() const {
  return m_body.size() >= kHeaderBytes ? ReadWordAt(3) : 0;
}

uint16_t ZuSwfDefineBitsLossless2Tag::GetBitmapHeight() const {
  return m_body.size() >= kHeaderBytes ? ReadWordAt(5) : 0;
}

void ZuSwfDefineBitsLossless2Tag::GetTextRep(ZuString& text) const {
  std::string line = GetTextHeadline();
  if (m_body.size() >= 2) line += " id=" + std::to_string(GetCharacterId());
  if (m_body.size() >= kHeaderBytes) {
    line += " format=" + std::to_string(GetBitmapFormat()) +
            " width=" + std::to_string(GetBitmapWidth()) +
            " height=" + std::to_string(GetBitmapHeight());
  } else {
    line += " malformed";
  }
  SetText(text, line);
}
