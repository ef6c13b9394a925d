#include "host/swf/ZuSwfTagFactory.h"

#include <vector>

#include "host/swf/ZuSwfDefineBitsLossless2Tag.h"
#include "host/swf/ZuSwfDefineShapeTag.h"
#include "host/swf/ZuSwfDefineSpriteTag.h"
#include "host/swf/ZuSwfFreeCharacterTag.h"
#include "host/swf/ZuSwfIdFields.h"
#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/swf/ZuSwfRemoveObjectTag.h"

namespace {

// The smallest body a new tag of type can have and still be read by a player: zeros
// for the fixed fields, empty lists and terminators where the format needs them.
std::vector<uint8_t> MinimalBody(enuTagType type) {
  switch (type) {
    case ZuSwfTagFactory::kFreeCharacter:
    case ZuSwfTagFactory::kRemoveObject2:
      return {0, 0};
    case ZuSwfTagFactory::kRemoveObject:
      return {0, 0, 0, 0};
    case ZuSwfTagFactory::kPlaceObject2:
      return {0, 0, 0};
    case ZuSwfTagFactory::kPlaceObject3:
      return {0, 0, 0, 0};
    case ZuSwfTagFactory::kSetBackgroundColor:
      return {0, 0, 0};
    case ZuSwfTagFactory::kFileAttributes:
      return {0, 0, 0, 0};
    case ZuSwfTagFactory::kFrameLabel:
    case ZuSwfTagFactory::kDoAction:
      return {0};
    case ZuSwfTagFactory::kPlaceObject:  // id, depth, matrix
      return {0, 0, 0, 0, 0};
    case ZuSwfTagFactory::kPlaceObject4:
      return {0, 0, 0, 0};
    // Tags that act on one id, with the fewest bytes that can follow it.
    case ZuSwfTagFactory::kStartSound:
    case ZuSwfTagFactory::kDoInitAction:
    case ZuSwfTagFactory::kDefineScalingGrid:
    case ZuSwfTagFactory::kDefineFontAlignZones:
    case ZuSwfTagFactory::kDefineButtonCxform:
      return {0, 0, 0};
    case ZuSwfTagFactory::kVideoFrame:
    case ZuSwfTagFactory::kDefineFontInfo:
    case ZuSwfTagFactory::kDefineFontName:
      return {0, 0, 0, 0};
    case ZuSwfTagFactory::kDefineFontInfo2:
      return {0, 0, 0, 0, 0};
    case ZuSwfTagFactory::kCSMTextSettings:
      return std::vector<uint8_t>(12, 0);
    case ZuSwfTagFactory::kDefineButtonSound:
      return std::vector<uint8_t>(10, 0);
    // Empty tables.
    case ZuSwfTagFactory::kExportAssets:
    case ZuSwfTagFactory::kSymbolClass:
      return {0, 0};
    case ZuSwfTagFactory::kImportAssets:
      return {0, 0, 0};
    case ZuSwfTagFactory::kImportAssets2:
      return {0, 1, 0, 0, 0};
    // Definitions with empty record lists.
    case ZuSwfTagFactory::kDefineButton:
      return {0, 0, 0, 0};
    case ZuSwfTagFactory::kDefineButton2:
      return {0, 0, 0, 0, 0, 0};
    case ZuSwfTagFactory::kDefineText:
    case ZuSwfTagFactory::kDefineText2:
      return {0, 0, 0, 0, 0, 0, 0};
    case ZuSwfTagFactory::kDefineEditText:  // id, bounds, flags, no variable name
      return {0, 0, 0, 0, 0, 0};
    // id, bounds, the offset of the end edges, no styles, two empty edge lists
    case ZuSwfTagFactory::kDefineMorphShape:
      return {0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    case ZuSwfTagFactory::kDefineMorphShape2:
      return {0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    // id, empty bounds, no fill or line styles, no style bits, the end record
    case ZuSwfTagFactory::kDefineShape:
    case ZuSwfTagFactory::kDefineShape2:
    case ZuSwfTagFactory::kDefineShape3:
      return {0, 0, 0, 0, 0, 0, 0};
    case ZuSwfTagFactory::kDefineShape4:
      return {0, 0, 0, 0, 0, 0, 0, 0, 0};
    // id, frame count 0, an End tag
    case ZuSwfTagFactory::kDefineSprite:
      return {0, 0, 0, 0, 0, 0};
    // id, 32-bit format, 0 x 0 pixels, the zlib stream of no bytes
    case ZuSwfTagFactory::kDefineBitsLossless:
    case ZuSwfTagFactory::kDefineBitsLossless2:
      return {0, 0, 5, 0, 0, 0, 0, 0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01};
    default:
      break;
  }
  if (ZuSwfIsDefinitionCode(type)) return {0, 0};
  return {};
}

}  // namespace

ZuSwfTag* ZuSwfTagFactory::CreateTagOfType(enuTagType type, int16_t /*variant*/,
                                           uint32_t /*flags*/) {
  ZuSharedBytes body = ZuSharedBytes::Adopt(MinimalBody(type));
  // New bitmaps are written with the long header, as players expect of them.
  return CreateTagFromBody(type, body, ZuSwfIsBitmapCode(type));
}

ZuSwfTag* ZuSwfTagFactory::CreateTagFromBody(enuTagType type, ZuSharedBytes body, bool longHeader) {
  switch (type) {
    case kPlaceObject2:
    case kPlaceObject3:
      return new ZuSwfPlaceObject2Tag(type, std::move(body), longHeader);
    case kRemoveObject:
    case kRemoveObject2:
      return new ZuSwfRemoveObjectTag(type, std::move(body), longHeader);
    case kFreeCharacter:
      return new ZuSwfFreeCharacterTag(std::move(body), longHeader);
    case kDefineBitsLossless:
    case kDefineBitsLossless2:
      return new ZuSwfDefineBitsLossless2Tag(type, std::move(body), longHeader);
    case kDefineShape:
    case kDefineShape2:
    case kDefineShape3:
    case kDefineShape4:
      return new ZuSwfDefineShapeTag(type, std::move(body), longHeader);
    case kDefineSprite:
      return new ZuSwfDefineSpriteTag(std::move(body), longHeader);
    default:
      return new ZuSwfTag(type, std::move(body), longHeader);
  }
}

std::string_view ZuSwfTagFactory::GetTagName(uint16_t code) {
  switch (code) {
    case kEnd:
      return "End";
    case kShowFrame:
      return "ShowFrame";
    case kDefineShape:
      return "DefineShape";
    case kFreeCharacter:
      return "FreeCharacter";
    case kPlaceObject:
      return "PlaceObject";
    case kRemoveObject:
      return "RemoveObject";
    case kDefineBits:
      return "DefineBits";
    case kDefineButton:
      return "DefineButton";
    case kJPEGTables:
      return "JPEGTables";
    case kSetBackgroundColor:
      return "SetBackgroundColor";
    case kDefineFont:
      return "DefineFont";
    case kDefineText:
      return "DefineText";
    case kDoAction:
      return "DoAction";
    case kDefineFontInfo:
      return "DefineFontInfo";
    case kDefineSound:
      return "DefineSound";
    case kStartSound:
      return "StartSound";
    case kDefineButtonSound:
      return "DefineButtonSound";
    case kSoundStreamHead:
      return "SoundStreamHead";
    case kSoundStreamBlock:
      return "SoundStreamBlock";
    case kDefineBitsLossless:
      return "DefineBitsLossless";
    case kDefineBitsJPEG2:
      return "DefineBitsJPEG2";
    case kDefineShape2:
      return "DefineShape2";
    case kDefineButtonCxform:
      return "DefineButtonCxform";
    case kProtect:
      return "Protect";
    case kPlaceObject2:
      return "PlaceObject2";
    case kRemoveObject2:
      return "RemoveObject2";
    case kDefineShape3:
      return "DefineShape3";
    case kDefineText2:
      return "DefineText2";
    case kDefineButton2:
      return "DefineButton2";
    case kDefineBitsJPEG3:
      return "DefineBitsJPEG3";
    case kDefineBitsLossless2:
      return "DefineBitsLossless2";
    case kDefineEditText:
      return "DefineEditText";
    case kDefineSprite:
      return "DefineSprite";
    case kProductInfo:
      return "ProductInfo";
    case kFrameLabel:
      return "FrameLabel";
    case kSoundStreamHead2:
      return "SoundStreamHead2";
    case kDefineMorphShape:
      return "DefineMorphShape";
    case kDefineFont2:
      return "DefineFont2";
    case kExportAssets:
      return "ExportAssets";
    case kImportAssets:
      return "ImportAssets";
    case kEnableDebugger:
      return "EnableDebugger";
    case kDoInitAction:
      return "DoInitAction";
    case kDefineVideoStream:
      return "DefineVideoStream";
    case kVideoFrame:
      return "VideoFrame";
    case kDefineFontInfo2:
      return "DefineFontInfo2";
    case kDebugID:
      return "DebugID";
    case kEnableDebugger2:
      return "EnableDebugger2";
    case kScriptLimits:
      return "ScriptLimits";
    case kSetTabIndex:
      return "SetTabIndex";
    case kFileAttributes:
      return "FileAttributes";
    case kPlaceObject3:
      return "PlaceObject3";
    case kImportAssets2:
      return "ImportAssets2";
    case kDefineFontAlignZones:
      return "DefineFontAlignZones";
    case kCSMTextSettings:
      return "CSMTextSettings";
    case kDefineFont3:
      return "DefineFont3";
    case kSymbolClass:
      return "SymbolClass";
    case kMetadata:
      return "Metadata";
    case kDefineScalingGrid:
      return "DefineScalingGrid";
    case kDoABC:
      return "DoABC";
    case kDefineShape4:
      return "DefineShape4";
    case kDefineMorphShape2:
      return "DefineMorphShape2";
    case kDefineSceneAndFrameLabelData:
      return "DefineSceneAndFrameLabelData";
    case kDefineBinaryData:
      return "DefineBinaryData";
    case kDefineFontName:
      return "DefineFontName";
    case kStartSound2:
      return "StartSound2";
    case kDefineBitsJPEG4:
      return "DefineBitsJPEG4";
    case kDefineFont4:
      return "DefineFont4";
    case kEnableTelemetry:
      return "EnableTelemetry";
    case kPlaceObject4:
      return "PlaceObject4";
    default:
      return "Unknown";
  }
}
