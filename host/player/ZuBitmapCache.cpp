#include "host/player/ZuBitmapCache.h"

#include "host/image/ZuImage.h"
#include "host/swf/ZuSwfDefineBitsLossless2Tag.h"

namespace {

bool AllOpaque(const ZuImage& image) {
  const uint8_t* p = image.GetBuffer();
  const uint8_t* end = p + image.GetBuffSize();
  for (p += 3; p < end; p += 4) {
    if (*p != 255) {
      return false;
    }
  }
  return true;
}

}  // namespace

ZuBitmapCache::Entry ZuBitmapCache::Decode(const ZuSwfTag& tag) {
  Entry entry;
  entry.tag = &tag;
  const auto* lossless = dynamic_cast<const ZuSwfDefineBitsLossless2Tag*>(&tag);
  if (lossless == nullptr) {
    entry.error =
        "bitmaps of this kind (tag " + std::to_string(tag.GetTagType()) + ") are not drawn";
    return entry;
  }
  std::string error;
  std::unique_ptr<ZuImage> image(lossless->DecodeImage(&error));
  if (image == nullptr) {
    entry.error = error.empty() ? "the bitmap does not decode" : error;
    entry.damaged = true;
    return entry;
  }
  entry.bitmap = std::make_unique<ZuDecodedBitmap>();
  entry.bitmap->opaque = AllOpaque(*image);
  entry.bitmap->image = std::move(image);
  return entry;
}

const ZuDecodedBitmap* ZuBitmapCache::Get(const ZuSwfTag& tag, std::string* error, bool* damaged) {
  uint16_t id = tag.GetCharacterId();
  auto found = m_entries.find(id);
  if (found == m_entries.end() || found->second.tag != &tag) {
    ++m_decodeCount;
    found = m_entries.insert_or_assign(id, Decode(tag)).first;
  }
  if (found->second.bitmap == nullptr && error != nullptr) {
    *error = found->second.error;
  }
  if (damaged != nullptr) {
    *damaged = found->second.damaged;
  }
  return found->second.bitmap.get();
}

void ZuBitmapCache::Drop(uint16_t id) {
  m_entries.erase(id);
}

void ZuBitmapCache::KeepOnly(const std::unordered_set<const ZuSwfTag*>& used) {
  std::erase_if(m_entries, [&](const auto& item) { return !used.contains(item.second.tag); });
}
