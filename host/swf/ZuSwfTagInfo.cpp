#include "host/swf/ZuSwfTagInfo.h"

#include <array>
#include <cstddef>

#include "host/swf/ZuSwfTagFactory.h"

namespace {

using C = ZuSwfTagClass;
using F = ZuSwfTagFactory;

constexpr uint8_t kZeroBytes[12] = {};
constexpr std::span<const uint8_t> Zeros(size_t count) {
  return {kZeroBytes, count};
}
constexpr std::span<const uint8_t> kNone;
// Id, 32-bit format, 0 x 0 pixels, the zlib stream of no bytes.
constexpr uint8_t kLossless[] = {0,    0,    5,    0,    0,    0,    0,   0x78,
                                 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01};
// Id, bounds, the offset of the end edges, no styles, two empty edge lists.
constexpr uint8_t kMorphShape[] = {0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0};
constexpr uint8_t kMorphShape2[] = {0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0};
// No movie name, a reserved byte of 1 and a reserved byte of 0, no entries.
constexpr uint8_t kImportAssets2[] = {0, 1, 0, 0, 0};

// One row per tag code of the format, in code order. The minimal bodies: definitions hold
// their id and, where the format needs them, bounds, empty lists and terminators; tags
// that act on one id hold it and the fewest bytes that can follow it.
constexpr ZuSwfTagInfo kTags[] = {
    {F::kEnd, "End", false, false, C::kPlain, kNone},
    {F::kShowFrame, "ShowFrame", false, false, C::kPlain, kNone},
    {F::kDefineShape, "DefineShape", true, false, C::kShape, Zeros(7)},
    {F::kFreeCharacter, "FreeCharacter", false, false, C::kFreeCharacter, Zeros(2)},
    {F::kPlaceObject, "PlaceObject", false, false, C::kPlain, Zeros(5)},
    {F::kRemoveObject, "RemoveObject", false, false, C::kRemoveObject, Zeros(4)},
    {F::kDefineBits, "DefineBits", true, true, C::kPlain, Zeros(2)},
    {F::kDefineButton, "DefineButton", true, false, C::kPlain, Zeros(4)},
    {F::kJPEGTables, "JPEGTables", false, false, C::kPlain, kNone},
    {F::kSetBackgroundColor, "SetBackgroundColor", false, false, C::kPlain, Zeros(3)},
    {F::kDefineFont, "DefineFont", true, false, C::kPlain, Zeros(2)},
    {F::kDefineText, "DefineText", true, false, C::kPlain, Zeros(7)},
    {F::kDoAction, "DoAction", false, false, C::kPlain, Zeros(1)},
    {F::kDefineFontInfo, "DefineFontInfo", false, false, C::kPlain, Zeros(4)},
    {F::kDefineSound, "DefineSound", true, false, C::kPlain, Zeros(2)},
    {F::kStartSound, "StartSound", false, false, C::kPlain, Zeros(3)},
    {F::kDefineButtonSound, "DefineButtonSound", false, false, C::kPlain, Zeros(10)},
    {F::kSoundStreamHead, "SoundStreamHead", false, false, C::kPlain, kNone},
    {F::kSoundStreamBlock, "SoundStreamBlock", false, false, C::kPlain, kNone},
    {F::kDefineBitsLossless, "DefineBitsLossless", true, true, C::kLosslessBitmap, kLossless},
    {F::kDefineBitsJPEG2, "DefineBitsJPEG2", true, true, C::kPlain, Zeros(2)},
    {F::kDefineShape2, "DefineShape2", true, false, C::kShape, Zeros(7)},
    {F::kDefineButtonCxform, "DefineButtonCxform", false, false, C::kPlain, Zeros(3)},
    {F::kProtect, "Protect", false, false, C::kPlain, kNone},
    {F::kPlaceObject2, "PlaceObject2", false, false, C::kPlaceObject, Zeros(3)},
    {F::kRemoveObject2, "RemoveObject2", false, false, C::kRemoveObject, Zeros(2)},
    {F::kDefineShape3, "DefineShape3", true, false, C::kShape, Zeros(7)},
    {F::kDefineText2, "DefineText2", true, false, C::kPlain, Zeros(7)},
    {F::kDefineButton2, "DefineButton2", true, false, C::kPlain, Zeros(6)},
    {F::kDefineBitsJPEG3, "DefineBitsJPEG3", true, true, C::kPlain, Zeros(2)},
    {F::kDefineBitsLossless2, "DefineBitsLossless2", true, true, C::kLosslessBitmap, kLossless},
    {F::kDefineEditText, "DefineEditText", true, false, C::kPlain, Zeros(6)},
    {F::kDefineSprite, "DefineSprite", true, false, C::kSprite, Zeros(6)},
    {F::kProductInfo, "ProductInfo", false, false, C::kPlain, kNone},
    {F::kFrameLabel, "FrameLabel", false, false, C::kPlain, Zeros(1)},
    {F::kSoundStreamHead2, "SoundStreamHead2", false, false, C::kPlain, kNone},
    {F::kDefineMorphShape, "DefineMorphShape", true, false, C::kPlain, kMorphShape},
    {F::kDefineFont2, "DefineFont2", true, false, C::kPlain, Zeros(2)},
    {F::kExportAssets, "ExportAssets", false, false, C::kPlain, Zeros(2)},
    {F::kImportAssets, "ImportAssets", false, false, C::kPlain, Zeros(3)},
    {F::kEnableDebugger, "EnableDebugger", false, false, C::kPlain, kNone},
    {F::kDoInitAction, "DoInitAction", false, false, C::kPlain, Zeros(3)},
    {F::kDefineVideoStream, "DefineVideoStream", true, false, C::kPlain, Zeros(2)},
    {F::kVideoFrame, "VideoFrame", false, false, C::kPlain, Zeros(4)},
    {F::kDefineFontInfo2, "DefineFontInfo2", false, false, C::kPlain, Zeros(5)},
    {F::kDebugID, "DebugID", false, false, C::kPlain, kNone},
    {F::kEnableDebugger2, "EnableDebugger2", false, false, C::kPlain, kNone},
    {F::kScriptLimits, "ScriptLimits", false, false, C::kPlain, kNone},
    {F::kSetTabIndex, "SetTabIndex", false, false, C::kPlain, kNone},
    {F::kFileAttributes, "FileAttributes", false, false, C::kPlain, Zeros(4)},
    {F::kPlaceObject3, "PlaceObject3", false, false, C::kPlaceObject, Zeros(4)},
    {F::kImportAssets2, "ImportAssets2", false, false, C::kPlain, kImportAssets2},
    {F::kDefineFontAlignZones, "DefineFontAlignZones", false, false, C::kPlain, Zeros(3)},
    {F::kCSMTextSettings, "CSMTextSettings", false, false, C::kPlain, Zeros(12)},
    {F::kDefineFont3, "DefineFont3", true, false, C::kPlain, Zeros(2)},
    {F::kSymbolClass, "SymbolClass", false, false, C::kPlain, Zeros(2)},
    {F::kMetadata, "Metadata", false, false, C::kPlain, kNone},
    {F::kDefineScalingGrid, "DefineScalingGrid", false, false, C::kPlain, Zeros(3)},
    {F::kDoABC, "DoABC", false, false, C::kPlain, kNone},
    {F::kDefineShape4, "DefineShape4", true, false, C::kShape, Zeros(9)},
    {F::kDefineMorphShape2, "DefineMorphShape2", true, false, C::kPlain, kMorphShape2},
    {F::kDefineSceneAndFrameLabelData, "DefineSceneAndFrameLabelData", false, false, C::kPlain,
     kNone},
    {F::kDefineBinaryData, "DefineBinaryData", true, false, C::kPlain, Zeros(2)},
    {F::kDefineFontName, "DefineFontName", false, false, C::kPlain, Zeros(4)},
    {F::kStartSound2, "StartSound2", false, false, C::kPlain, kNone},
    {F::kDefineBitsJPEG4, "DefineBitsJPEG4", true, true, C::kPlain, Zeros(2)},
    {F::kDefineFont4, "DefineFont4", true, false, C::kPlain, Zeros(2)},
    {F::kEnableTelemetry, "EnableTelemetry", false, false, C::kPlain, kNone},
    {F::kPlaceObject4, "PlaceObject4", false, false, C::kPlain, Zeros(4)},
};

constexpr ZuSwfTagInfo kUnknown{0, "Unknown", false, false, C::kPlain, kNone};

constexpr uint16_t kHighestCode = 1023;  // 10 bits of a tag header

// Where each code's row is in kTags; kNoRow for codes without one.
constexpr uint8_t kNoRow = 0xFF;
constexpr std::array<uint8_t, kHighestCode + 1> MakeIndex() {
  std::array<uint8_t, kHighestCode + 1> index{};
  index.fill(kNoRow);
  for (size_t row = 0; row < std::size(kTags); ++row) {
    index[kTags[row].code] = static_cast<uint8_t>(row);
  }
  return index;
}
constexpr std::array<uint8_t, kHighestCode + 1> kIndex = MakeIndex();

}  // namespace

const ZuSwfTagInfo& ZuSwfGetTagInfo(uint16_t code) {
  if (code > kHighestCode || kIndex[code] == kNoRow) return kUnknown;
  return kTags[kIndex[code]];
}

std::span<const ZuSwfTagInfo> ZuSwfKnownTags() {
  return kTags;
}
