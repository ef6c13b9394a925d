#include "host/swf/ZuSwfDefineBitsLossless2Tag.h"

#include "host/swf/ZuSwfLosslessBitmap.h"

namespace {

// The header fields of body; all 0 when it is too short to hold them.
ZuSwfLosslessBitmap::Header HeaderOf(const ZuSharedBytes& body) {
  ZuSwfLosslessBitmap::Header header;
  ZuSwfLosslessBitmap::ReadHeader(body.span(), header);
  return header;
}

}  // namespace

ZuSwfDefineBitsLossless2Tag::ZuSwfDefineBitsLossless2Tag(enuTagType type, ZuSharedBytes body,
                                                         bool longHeader)
    : ZuSwfTag(type, std::move(body), longHeader) {}

ZuSwfTag* ZuSwfDefineBitsLossless2Tag::Clone() const {
  return new ZuSwfDefineBitsLossless2Tag(*this);
}

bool ZuSwfDefineBitsLossless2Tag::HasBitmapHeader() const {
  ZuSwfLosslessBitmap::Header header;
  return ZuSwfLosslessBitmap::ReadHeader(m_body.span(), header);
}

uint8_t ZuSwfDefineBitsLossless2Tag::GetBitmapFormat() const {
  return HeaderOf(m_body).format;
}

uint16_t ZuSwfDefineBitsLossless2Tag::GetBitmapWidth() const {
  return HeaderOf(m_body).width;
}

uint16_t ZuSwfDefineBitsLossless2Tag::GetBitmapHeight() const {
  return HeaderOf(m_body).height;
}

void ZuSwfDefineBitsLossless2Tag::GetTextRep(ZuString& text) const {
  std::string line = GetTextHeadline();
  if (m_body.size() >= 2) line += " id=" + std::to_string(GetCharacterId());
  if (HasBitmapHeader()) {
    line += " format=" + std::to_string(GetBitmapFormat()) +
            " width=" + std::to_string(GetBitmapWidth()) +
            " height=" + std::to_string(GetBitmapHeight());
  } else {
    line += " malformed";
  }
  SetText(text, line);
}
