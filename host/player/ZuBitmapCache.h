#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "host/player/ZuDecodedBitmap.h"

class ZuSwfTag;

// The bitmaps decoded for drawing, keyed by character id. A bitmap is decoded the first
// time it is drawn and kept while placements still use it; the owner drops entries when
// the id is freed or nothing on the display list shows it any more. Failures are kept too,
// so a bitmap that does not decode is tried once. The cache does not own the tags.
class ZuBitmapCache {
 public:
  // The decoded pixels of the bitmap definition tag, or null with the reason in *error
  // (a bitmap kind that is not drawn, data that does not decode); *damaged tells the second
  // from the first.
  const ZuDecodedBitmap* Get(const ZuSwfTag& tag, std::string* error, bool* damaged = nullptr);
  void Drop(uint16_t id);
  // Drops every entry whose tag is not in used.
  void KeepOnly(const std::unordered_set<const ZuSwfTag*>& used);
  void Clear() { m_entries.clear(); }

  size_t GetSize() const { return m_entries.size(); }
  // How many bitmaps have been decoded since the cache was made.
  size_t GetDecodeCount() const { return m_decodeCount; }

 private:
  struct Entry {
    const ZuSwfTag* tag = nullptr;
    std::unique_ptr<ZuDecodedBitmap> bitmap;  // null when decoding failed
    std::string error;
    bool damaged = false;  // a kind that is drawn, whose data does not decode
  };

  static Entry Decode(const ZuSwfTag& tag);

  std::unordered_map<uint16_t, Entry> m_entries;
  size_t m_decodeCount = 0;
};
