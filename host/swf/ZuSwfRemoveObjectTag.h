#pragma once

#include "host/swf/ZuSwfTag.h"

// A RemoveObject2 (28) or RemoveObject (5) tag: empties a depth of the display list.
// The depth (and, for RemoveObject, the character id) are plain fields that callers
// write directly; the body is built from them when the tag is written.
class ZuSwfRemoveObjectTag : public ZuSwfTag {
 public:
  ZuSwfRemoveObjectTag(enuTagType type, ZuSharedBytes body, bool longHeader);

  ZuSwfTag* Clone() const override;
  void RemapIds(const ZuTavoIDMap& map) override;
  void GetTextRep(ZuString& text) const override;
  ZuSharedBytes GetBody() const override;
  void SetBody(ZuSharedBytes body) override;

  uint16_t m_depth = 0;
  uint16_t m_characterId = 0;  // RemoveObject only

 private:
  bool m_malformed = false;  // a body too short for its fields: written back unchanged
};
