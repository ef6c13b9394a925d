#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "host/swf/ZuSwfTagInfo.h"

// Where a tag body keeps the character ids it defines and the ones it refers to.
//
// Every id of the format is a whole, byte-aligned, little-endian 16-bit word, so ids are
// found once as body offsets and can then be read or rewritten without changing the
// body's length. Offsets are counted from the start of the body that was scanned; for a
// sprite they include the ids of the tags nested in it.
struct ZuSwfIdFields {
  // True for a definition tag: the id it defines is the body's first word.
  bool definesCharacter = false;
  // Ids an import table brings in from another movie. They are defined by the tag, so
  // they are never renumbered.
  std::vector<size_t> importedIds;
  // Ids the tag refers to, in body order. For shapes these are the bitmap fills.
  std::vector<size_t> references;
};

// Scans body, the body of a tag of code, for its id fields. Returns false when the body
// is malformed (a field runs past the end, or a value the format does not allow); fields
// is then incomplete and must not be used to change the body. Never reads outside body.
bool ZuSwfLocateIds(uint16_t code, std::span<const uint8_t> body, ZuSwfIdFields& fields);

// The id word at offset of body (little-endian); 0 when it does not fit.
uint16_t ZuSwfReadIdAt(std::span<const uint8_t> body, size_t offset);
