#include "host/swf/ZuSwfTagFactory.h"

#include <vector>

#include "host/swf/ZuSwfDefineBitsLossless2Tag.h"
#include "host/swf/ZuSwfDefineShapeTag.h"
#include "host/swf/ZuSwfDefineSpriteTag.h"
#include "host/swf/ZuSwfFreeCharacterTag.h"
#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/swf/ZuSwfRemoveObjectTag.h"
#include "host/swf/ZuSwfTagInfo.h"

ZuSwfTag* ZuSwfTagFactory::CreateTagOfType(enuTagType type, int16_t /*variant*/,
                                           uint32_t /*flags*/) {
  const ZuSwfTagInfo& info = ZuSwfGetTagInfo(type);
  ZuSharedBytes body =
      ZuSharedBytes::Adopt(std::vector<uint8_t>(info.minimalBody.begin(), info.minimalBody.end()));
  // New bitmaps are written with the long header, as players expect of them.
  return CreateTagFromBody(type, body, info.isBitmap);
}

ZuSwfTag* ZuSwfTagFactory::CreateTagFromBody(enuTagType type, ZuSharedBytes body, bool longHeader) {
  switch (ZuSwfGetTagInfo(type).tagClass) {
    case ZuSwfTagClass::kPlaceObject:
      return new ZuSwfPlaceObject2Tag(type, std::move(body), longHeader);
    case ZuSwfTagClass::kRemoveObject:
      return new ZuSwfRemoveObjectTag(type, std::move(body), longHeader);
    case ZuSwfTagClass::kFreeCharacter:
      return new ZuSwfFreeCharacterTag(std::move(body), longHeader);
    case ZuSwfTagClass::kLosslessBitmap:
      return new ZuSwfDefineBitsLossless2Tag(type, std::move(body), longHeader);
    case ZuSwfTagClass::kShape:
      return new ZuSwfDefineShapeTag(type, std::move(body), longHeader);
    case ZuSwfTagClass::kSprite:
      return new ZuSwfDefineSpriteTag(std::move(body), longHeader);
    case ZuSwfTagClass::kPlain:
      break;
  }
  return new ZuSwfTag(type, std::move(body), longHeader);
}

std::string_view ZuSwfTagFactory::GetTagName(uint16_t code) {
  return ZuSwfGetTagInfo(code).name;
}
