#pragma once

#include "host/swf/ZuSwfTag.h"

// A FreeCharacter (3) tag: releases the character whose id it names.
class ZuSwfFreeCharacterTag : public ZuSwfTag {
 public:
  ZuSwfFreeCharacterTag(ZuSharedBytes body, bool longHeader);

  ZuSwfTag* Clone() const override;
  void RemapIds(const ZuTavoIDMap& map) override;
  uint16_t GetReferencedId() const override;
  void SetReferencedId(uint16_t id) override;
  void GetTextRep(ZuString& text) const override;
};
