#pragma once

#include <cstdint>
#include <string_view>

#include "host/util/ZuSharedBytes.h"

class ZuSwfTag;

// Makes tag objects of the right class for a tag code, empty or from a loaded body.
class ZuSwfTagFactory {
 public:
  // The tag codes of the published SWF format. Codes not listed here are still valid
  // values of the type: unknown tags pass through unchanged.
  enum enuTagType : uint16_t {
    kEnd = 0,
    kShowFrame = 1,
    kDefineShape = 2,
    kFreeCharacter = 3,
    kPlaceObject = 4,
    kRemoveObject = 5,
    kDefineBits = 6,
    kDefineButton = 7,
    kJPEGTables = 8,
    kSetBackgroundColor = 9,
    kDefineFont = 10,
    kDefineText = 11,
    kDoAction = 12,
    kDefineFontInfo = 13,
    kDefineSound = 14,
    kStartSound = 15,
    kDefineButtonSound = 17,
    kSoundStreamHead = 18,
    kSoundStreamBlock = 19,
    kDefineBitsLossless = 20,
    kDefineBitsJPEG2 = 21,
    kDefineShape2 = 22,
    kDefineButtonCxform = 23,
    kProtect = 24,
    kPlaceObject2 = 26,
    kRemoveObject2 = 28,
    kDefineShape3 = 32,
    kDefineText2 = 33,
    kDefineButton2 = 34,
    kDefineBitsJPEG3 = 35,
    kDefineBitsLossless2 = 36,
    kDefineEditText = 37,
    kDefineSprite = 39,
    kProductInfo = 41,
    kFrameLabel = 43,
    kSoundStreamHead2 = 45,
    kDefineMorphShape = 46,
    kDefineFont2 = 48,
    kExportAssets = 56,
    kImportAssets = 57,
    kEnableDebugger = 58,
    kDoInitAction = 59,
    kDefineVideoStream = 60,
    kVideoFrame = 61,
    kDefineFontInfo2 = 62,
    kDebugID = 63,
    kEnableDebugger2 = 64,
    kScriptLimits = 65,
    kSetTabIndex = 66,
    kFileAttributes = 69,
    kPlaceObject3 = 70,
    kImportAssets2 = 71,
    kDefineFontAlignZones = 73,
    kCSMTextSettings = 74,
    kDefineFont3 = 75,
    kSymbolClass = 76,
    kMetadata = 77,
    kDefineScalingGrid = 78,
    kDoABC = 82,
    kDefineShape4 = 83,
    kDefineMorphShape2 = 84,
    kDefineSceneAndFrameLabelData = 86,
    kDefineBinaryData = 87,
    kDefineFontName = 88,
    kStartSound2 = 89,
    kDefineBitsJPEG4 = 90,
    kDefineFont4 = 91,
    kEnableTelemetry = 93,
    kPlaceObject4 = 94,
  };

  // A new, empty tag of the class for type. The two further arguments (a variant and a
  // flags word) are reserved; callers pass 0, 0. The caller owns the tag.
  static ZuSwfTag* CreateTagOfType(enuTagType type, int16_t variant, uint32_t flags);

  // A tag of the class for type holding body as loaded, written back with the same
  // header form (longHeader). The caller owns the tag.
  static ZuSwfTag* CreateTagFromBody(enuTagType type, ZuSharedBytes body, bool longHeader);

  // The format's name of a tag code ("PlaceObject2"), or "Unknown" for codes it lacks.
  static std::string_view GetTagName(uint16_t code);
};

using enuTagType = ZuSwfTagFactory::enuTagType;
