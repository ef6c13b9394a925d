#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "host/swf/ZuSwfTag.h"

// A DefineSprite (39) tag: a movie clip with its own timeline, made of control tags
// (placements, frames, actions) nested in its body. The ids of the nested tags count as
// the sprite's own references; RemapIds renumbers them in place.
class ZuSwfDefineSpriteTag : public ZuSwfTag {
 public:
  ZuSwfDefineSpriteTag(ZuSharedBytes body, bool longHeader);

  // One tag of the sprite's timeline; body shares the sprite's bytes.
  struct NestedTag {
    uint16_t code = 0;
    ZuSharedBytes body;
  };

  ZuSwfTag* Clone() const override;
  void GetTextRep(ZuString& text) const override;

  uint16_t GetFrameCount() const;
  // The nested tags up to and including End, or nothing when a header runs past the body.
  std::optional<std::vector<NestedTag>> GetNestedTags() const;
};
