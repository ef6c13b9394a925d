#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "host/swf/ZuSwfTagFactory.h"
#include "host/util/ZuSharedBytes.h"
#include "host/util/ZuString.h"

class ZuBitStream;
class ZuTavoIDMap;

// One tag of an SWF movie: its code and its body, the bytes after the tag header.
//
// The body is an immutable range shared with the file the tag was loaded from: loading
// and writing copy nothing, and Clone shares it too. An operation that changes the tag
// gives it a body of its own. Fields are decoded from the body when asked for.
//
// This base class serves every tag code. It knows, for each code, where the character
// ids the tag defines and refers to stand in the body, so ids work for all tags; the
// subclasses add the fields that the engine reads by name.
class ZuSwfTag {
 public:
  ZuSwfTag(enuTagType type, ZuSharedBytes body, bool longHeader);
  ZuSwfTag(const ZuSwfTag&) = default;
  ZuSwfTag& operator=(const ZuSwfTag&) = delete;

  enuTagType GetTagType() const { return m_type; }
  // A new reader over the body, owned by the caller.
  ZuBitStream* GetDataStream() const;

  // A new, equal tag owned by the caller. Shares the body.
  virtual ZuSwfTag* Clone() const;
  // The id the tag defines (definition tags), or 0 when it defines none. Setting it on a
  // tag that defines nothing does nothing.
  virtual void SetCharacterId(uint16_t id);
  virtual uint16_t GetCharacterId() const;
  // Renumbers every character id the tag refers to (placements, bitmap fills, sprite
  // contents, fonts of texts, export tables, ...) through map. Ids without an entry stay.
  // The id the tag defines is not touched (SetCharacterId gives it), and neither is an
  // id given with SetReferencedId: both are already in the new numbering.
  virtual void RemapIds(const ZuTavoIDMap& map);
  // The id a FreeCharacter tag frees; 0 for other tags.
  virtual uint16_t GetReferencedId() const;
  virtual void SetReferencedId(uint16_t id);
  virtual ~ZuSwfTag();
  // Replaces text with one line describing the tag: its name, code, body length and
  // the fields worth reading ("PlaceObject2 (26) length=7 depth=1 id=2 ..."). Fields
  // are " key=value": the defined id as id=, referenced ids as ref= (bitmap= in shapes,
  // import= for ids an import table defines); a body that does not parse adds
  // " malformed". Tags of codes the format lacks get the first part only.
  virtual void GetTextRep(ZuString& text) const;

  // The bytes written after the tag header.
  virtual ZuSharedBytes GetBody() const { return m_body; }
  // Gives the tag new content. Subclasses that cache decoded fields drop them, and an id
  // given with SetReferencedId is no longer final.
  virtual void SetBody(ZuSharedBytes body);

  // Whether the tag is written with the long (6-byte) header: when it was loaded in that
  // form, when its body is 63 bytes or more (the short form cannot say the length), and
  // for bitmap definitions made by ZuSwfTagFactory::CreateTagOfType, which players expect
  // in the long form. A loaded short bitmap tag keeps its short form.
  bool UsesLongHeader() const;
  void SetLongHeader(bool longHeader) { m_longHeader = longHeader; }
  // Header plus body, as written.
  size_t GetWrittenSize() const;

 protected:
  // Writes a 16-bit little-endian value at offset, giving the tag its own body first.
  // An offset past the end grows the body with zeros to hold the word.
  void PatchWord(size_t offset, uint16_t value);
  // Writes several (offset, value) words with a single copy of the body; offsets must
  // lie inside the body. A large body of a mapped file gets a private view of its pages
  // instead of a copy, so giving a loaded bitmap a new id copies a page, not the bitmap.
  void PatchWords(const std::vector<std::pair<size_t, uint16_t>>& patches);
  // The 16-bit little-endian value at offset; 0 when the body is too short.
  uint16_t ReadWordAt(size_t offset) const;
  // Changes the tag code, for subclasses that rebuild a tag as another version of itself.
  void SetTagType(enuTagType type) { m_type = type; }
  // The start of every text line: "Name (code) length=N".
  std::string GetTextHeadline() const;
  // Replaces text with line.
  static void SetText(ZuString& text, const std::string& line);

  ZuSharedBytes m_body;
  bool m_referenceIsFinal = false;  // set by SetReferencedId: RemapIds leaves it alone

 private:
  enuTagType m_type;
  bool m_longHeader;
};
