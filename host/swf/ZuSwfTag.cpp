#include "host/swf/ZuSwfTag.h"

#include <cstdio>

#include "host/swf/ZuBitStream.h"
#include "host/swf/ZuSwfIdFields.h"
#include "host/swf/ZuTavoIDMap.h"
#include "host/util/ZuLittleEndian.h"
#include "host/util/ZuMappedFile.h"

namespace {

// Bodies from this size up that lie in a mapped file are patched through a private view of
// their pages instead of a copy; smaller ones are cheaper to copy than to map.
constexpr size_t kPrivateViewMinimum = size_t{16} << 10;

// Makes text from a tag body fit on one line of a dump.
std::string OneLine(const std::string& text) {
  std::string line;
  for (char c : text) {
    line.push_back(static_cast<unsigned char>(c) < 0x20 ? '?' : c);
  }
  return line;
}

}  // namespace

ZuSwfTag::ZuSwfTag(enuTagType type, ZuSharedBytes body, bool longHeader)
    : m_body(std::move(body)), m_type(type), m_longHeader(longHeader) {}

ZuSwfTag::~ZuSwfTag() = default;

ZuBitStream* ZuSwfTag::GetDataStream() const {
  return new ZuBitStream(GetBody());
}

ZuSwfTag* ZuSwfTag::Clone() const {
  return new ZuSwfTag(*this);
}

uint16_t ZuSwfTag::GetCharacterId() const {
  return ZuSwfIsDefinitionCode(m_type) ? ReadWordAt(0) : 0;
}

void ZuSwfTag::SetCharacterId(uint16_t id) {
  if (ZuSwfIsDefinitionCode(m_type)) {
    PatchWord(0, id);
  }
}

void ZuSwfTag::RemapIds(const ZuTavoIDMap& map) {
  if (m_referenceIsFinal) {
    return;
  }
  ZuSwfIdFields fields;
  if (!ZuSwfLocateIds(m_type, m_body.span(), fields)) {
    return;  // malformed: leave it as it is
  }
  std::vector<std::pair<size_t, uint16_t>> patches;
  for (size_t offset : fields.references) {
    uint16_t id = ReadWordAt(offset);
    uint16_t mapped = map.Map(id);
    if (id != 0 && mapped != id) {
      patches.emplace_back(offset, mapped);
    }
  }
  PatchWords(patches);
}

uint16_t ZuSwfTag::GetReferencedId() const {
  return m_type == ZuSwfTagFactory::kFreeCharacter ? ReadWordAt(0) : 0;
}

void ZuSwfTag::SetReferencedId(uint16_t id) {
  if (m_type != ZuSwfTagFactory::kFreeCharacter) {
    return;
  }
  PatchWord(0, id);
  m_referenceIsFinal = true;
}

void ZuSwfTag::GetTextRep(ZuString& text) const {
  std::string line = GetTextHeadline();
  if (ZuSwfTagFactory::GetTagName(m_type) == "Unknown") {
    SetText(text, line);
    return;
  }
  ZuSwfIdFields fields;
  bool wellFormed = ZuSwfLocateIds(m_type, m_body.span(), fields);
  if (fields.definesCharacter && m_body.size() >= 2) {
    line += " id=" + std::to_string(ReadWordAt(0));
  }
  if (wellFormed) {
    for (size_t offset : fields.importedIds) {
      line += " import=" + std::to_string(ReadWordAt(offset));
    }
    for (size_t offset : fields.references) {
      line += " ref=" + std::to_string(ReadWordAt(offset));
    }
  }
  ZuBitStream in(m_body);
  switch (m_type) {
    case ZuSwfTagFactory::kSetBackgroundColor: {
      uint8_t red = 0, green = 0, blue = 0;
      if (in.ReadByte(red) && in.ReadByte(green) && in.ReadByte(blue)) {
        char color[8];
        std::snprintf(color, sizeof color, "#%02x%02x%02x", red, green, blue);
        line += std::string(" color=") + color;
      }
      break;
    }
    case ZuSwfTagFactory::kFrameLabel: {
      std::string name;
      if (in.ReadString(name)) {
        line += " name=" + OneLine(name);
      }
      break;
    }
    case ZuSwfTagFactory::kFileAttributes: {
      uint32_t flags = 0;
      if (in.ReadDWord(flags)) {
        line += " flags=" + std::to_string(flags);
      }
      break;
    }
    case ZuSwfTagFactory::kDefineSprite: {
      uint16_t id = 0, frames = 0;
      if (in.ReadWord(id) && in.ReadWord(frames)) {
        line += " frames=" + std::to_string(frames);
      }
      break;
    }
    default:
      break;
  }
  if (!wellFormed) {
    line += " malformed";
  }
  SetText(text, line);
}

void ZuSwfTag::SetBody(ZuSharedBytes body) {
  m_body = std::move(body);
  m_referenceIsFinal = false;
}

bool ZuSwfTag::UsesLongHeader() const {
  return m_longHeader || GetBody().size() >= 63;
}

size_t ZuSwfTag::GetWrittenSize() const {
  return (UsesLongHeader() ? 6 : 2) + GetBody().size();
}

void ZuSwfTag::PatchWord(size_t offset, uint16_t value) {
  if (offset + 2 <= m_body.size()) {
    PatchWords({{offset, value}});
    return;
  }
  std::vector<uint8_t> bytes(m_body.begin(), m_body.end());
  bytes.resize(offset + 2, 0);
  ZuLittleEndian::WriteU16(bytes.data() + offset, value);
  m_body = ZuSharedBytes::Adopt(std::move(bytes));
}

void ZuSwfTag::PatchWords(const std::vector<std::pair<size_t, uint16_t>>& patches) {
  if (patches.empty()) {
    return;
  }
  uint8_t* writable = nullptr;
  ZuSharedBytes patched;
  if (m_body.size() >= kPrivateViewMinimum &&
      ZuMappedFile::MapPrivateView(m_body, patched, writable)) {
    // A large body of a mapped file (a bitmap, mostly): only the pages written are copied.
  } else {
    std::vector<uint8_t> bytes(m_body.begin(), m_body.end());
    writable = bytes.data();
    patched = ZuSharedBytes::Adopt(std::move(bytes));
  }
  for (const auto& [offset, value] : patches) {
    if (offset + 2 <= patched.size()) {
      ZuLittleEndian::WriteU16(writable + offset, value);
    }
  }
  m_body = std::move(patched);
}

uint16_t ZuSwfTag::ReadWordAt(size_t offset) const {
  return ZuSwfReadIdAt(m_body.span(), offset);
}

std::string ZuSwfTag::GetTextHeadline() const {
  return std::string(ZuSwfTagFactory::GetTagName(m_type)) + " (" + std::to_string(m_type) +
         ") length=" + std::to_string(GetBody().size());
}

void ZuSwfTag::SetText(ZuString& text, const std::string& line) {
  text = ZuString(std::string_view(line));
}
