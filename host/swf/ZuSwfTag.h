#pragma once

#include <cstdint>

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
  // the fields worth reading ("PlaceObject2 (26) length=7 depth=1 id=2 ...").
  virtual void GetTextRep(ZuString& text) const;

  // The bytes written after the tag header.
  virtual ZuSharedBytes GetBody() const { return m_body; }
  // Gives the tag new content. Subclasses that cache decoded fields drop them.
  virtual void SetBody(ZuSharedBytes body);

  // Whether the tag is written with the long (6-byte) header. A loaded tag keeps the
  // form it had; a body of 63 bytes or more, and every bitmap definition, needs it.
  bool UsesLongHeader() const;
  void SetLongHeader(bool longHeader) { m_longHeader = longHeader; }
  // Header plus body, as written.
  size_t GetWrittenSize() const;

 protected:
  // Writes a 16-bit little-endian value at offset, giving the tag its own body first.
  void PatchWord(size_t offset, uint16_t value);
  uint16_t ReadWordAt(size_t offset) const;

  ZuSharedBytes m_body;
  bool m_referenceIsFinal = false;  // set by SetReferencedId: RemapIds leaves it alone

 private:
  enuTagType m_type;
  bool m_longHeader;
};
