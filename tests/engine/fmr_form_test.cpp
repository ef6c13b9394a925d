// The FMR test on loaded tag lists: the standard recording passes, and breaking each rule
// of the form once makes it fail, for the reason given.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/player/ZuAnimationUtils.h"
#include "tests/engine/StandardMovie.h"
#include "tests/support/FmrMovieBuilder.h"

namespace {

using Factory = ZuSwfTagFactory;
using Make = FmrMovieBuilder;

// Changes to the standard movie (tag indices as in StandardMovie.h).
using Change = std::function<void(ZuTavoFile&)>;

ZuSwfTagSet::iterator SlotAt(ZuTavoFile& movie, size_t index) {
  return std::next(movie.begin(), static_cast<std::ptrdiff_t>(index));
}

// The tag at index is replaced by tag.
Change Swap(size_t index, ZuSwfTag* tag) {
  return [=](ZuTavoFile& movie) {
    auto slot = SlotAt(movie, index);
    delete *slot;
    *slot = tag;
  };
}

// The tags go in before the tag at index, in order.
Change Add(size_t index, std::vector<ZuSwfTag*> tags) {
  return [=](ZuTavoFile& movie) {
    for (size_t i = 0; i < tags.size(); ++i) {
      movie.IncludeTag(tags[i], SlotAt(movie, index + i));
    }
  };
}

// count tags from index on go (all of them for SIZE_MAX).
Change Erase(size_t index, size_t count) {
  return [=](ZuTavoFile& movie) {
    for (size_t i = 0; i < count && movie.GetTagCount() > index; ++i) {
      auto slot = SlotAt(movie, index);
      ZuSwfTag* tag = *slot;
      movie.EraseTags(slot, std::next(slot));
      delete tag;
    }
  };
}

// The tag at from moves to stand before the tag now at to.
Change Move(size_t from, size_t to) {
  return [=](ZuTavoFile& movie) {
    auto slot = SlotAt(movie, from);
    ZuSwfTag* tag = *slot;
    movie.EraseTags(slot, std::next(slot));
    movie.IncludeTag(tag, SlotAt(movie, to));
  };
}

ZuSwfTag* Tag(enuTagType type, std::vector<uint8_t> body) {
  return Make::MakeTag(type, std::move(body));
}

struct FormCase {
  const char* name;
  Change change;
  bool isFMR;
  const char* reason = "";  // part of what WhyNotFMRSWF says
};

std::vector<FormCase> FormCases() {
  const auto stageBitmap = [](enuTagType type, uint8_t format) {
    return Swap(2, Make::MakeBitmap(1, 32, 24, 0xFF0000, type, format));
  };
  const auto late = [](ZuSwfTag* tag) { return Add(25, {tag}); };  // before the stop action
  const std::vector<uint8_t> soundHead = {0x02, 0x02, 0x00, 0x00};
  return {
      {"standard recording", Add(0, {}), true},
      // 1. two header tags that draw and define nothing
      {"header only", Erase(2, SIZE_MAX), false},
      {"first tag a ShowFrame", Swap(0, Make::MakeShowFrame()), false},
      {"second tag a definition", Swap(1, Make::MakeBitmap(30, 2, 2, 0)), false},
      {"metadata as a header tag", Swap(1, Tag(Factory::kMetadata, {'<', 'x', '/', '>', 0})), true},
      {"header tags missing", Erase(0, 2), false},
      // 2. frame 1 shows a stage-sized bitmap through a shape and a placement
      {"key frame in frame 2", Add(2, {Make::MakeShowFrame()}), false},
      {"bitmap a pixel narrower", Swap(2, Make::MakeBitmap(1, 31, 24, 0xFF0000)), false},
      {"stage a pixel wider", [](ZuTavoFile& m) { m.SetWidth(33); }, false},
      {"shape fills another bitmap", Swap(3, Make::MakeShape(2, 3, 0, 0, 32, 24)), false},
      {"placement of another character", Swap(4, Make::MakePlacement(1, 1)), false},
      {"placement only in frame 2", Move(4, 6), false},
      {"shape before its bitmap", Move(3, 2), false},
      {"DefineBitsLossless key frame", stageBitmap(Factory::kDefineBitsLossless, 5), true},
      {"key frame in format 4", stageBitmap(Factory::kDefineBitsLossless2, 4), true},
      {"PlaceObject3 placement", Swap(4, Tag(Factory::kPlaceObject3, {2, 0, 1, 0, 2, 0})), true},
      {"key frame after partial pictures of frame 1",
       Add(2, {Make::MakeBitmap(20, 4, 4, 0x00FF00), Make::MakeShape(21, 20, 0, 0, 4, 4),
               Make::MakePlacement(21, 101)}),
       true},
      // 3. every tag in the FMR set
      {"sprite", late(Tag(Factory::kDefineSprite, {9, 0, 1, 0, 0, 0})), false},
      {"ABC code", late(Tag(Factory::kDoABC, {1, 0, 0, 0, 0})), false},
      {"JPEG bitmap", late(Tag(Factory::kDefineBitsJPEG2, {9, 0, 0xFF, 0xD8})), false},
      {"bitmap format 2", late(Make::MakeBitmap(9, 2, 2, 0, Factory::kDefineBitsLossless2, 2)),
       false},
      {"bitmap format 6", late(Make::MakeBitmap(9, 2, 2, 0, Factory::kDefineBitsLossless2, 6)),
       false},
      {"bitmap body cut short", late(Tag(Factory::kDefineBitsLossless2, {9, 0, 5, 2})), false},
      {"frame label", late(Tag(Factory::kFrameLabel, {'a', 0})), true},
      {"sound stream",
       Add(2, {Tag(Factory::kSoundStreamHead, soundHead), Tag(Factory::kSoundStreamBlock, {0, 0}),
               Tag(Factory::kSoundStreamHead2, soundHead)}),
       true},
      {"FreeCharacter later on", late(Make::MakeFreeCharacter(3)), true},
      {"old-style removal", late(Tag(Factory::kRemoveObject, {4, 0, 101, 0})), true},
      // 4. at least one ShowFrame
      {"no ShowFrame: the key frame stays, its ShowFrame goes", Erase(5, SIZE_MAX), false},
      // 5. what the edits need to keep every frame's picture
      {"a character id defined twice", late(Make::MakeBitmap(8, 2, 2, 0)), false,
       "character id 8 is defined twice"},
      {"an id defined again after FreeCharacter", late(Make::MakeBitmap(3, 2, 2, 0)), true},
      {"a partial picture at depth 100 in frame 2", Swap(8, Make::MakePlacement(4, 100)), false,
       "frame 2 changes depth 100"},
      {"a clean-up block's removals before its frees",
       [](ZuTavoFile& m) { Move(19, 14)(m), Move(20, 15)(m), Move(21, 16)(m); }, true},
      {"a picture placed at depth 2 in frame 2", Swap(8, Make::MakePlacement(4, 2)), false,
       "frame 2 changes depth 2"},
      {"depth 99 emptied in frame 6", late(Make::MakeRemoveObject2(99)), false,
       "frame 6 changes depth 99"},
      {"depth 1 filled after a FreeCharacter in frame 3",
       Add(13, {Make::MakeFreeCharacter(5), Make::MakePlacement(4, 1)}), true},
      {"depth 1 filled after freeing an id never defined",
       Add(13, {Make::MakeFreeCharacter(9), Make::MakePlacement(4, 1)}), false,
       "frame 3 changes depth 1"},
      {"depth 1 filled before the FreeCharacter of frame 4", Move(22, 14), false,
       "frame 4 changes depth 1"},
      // null slots
      {"null slot in a later frame", Swap(20, nullptr), false},
      {"null slot in frame 1", Swap(3, nullptr), false},
  };
}

TEST(FmrForm, EachRuleBrokenOnceFailsTheTest) {
  for (const FormCase& c : FormCases()) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<ZuTavoFile> movie = engine_test::StandardMovie().Build();
    c.change(*movie);
    EXPECT_EQ(ZuAnimationUtils::IsFMRSWF(*movie), c.isFMR);
    EXPECT_NE(ZuAnimationUtils::WhyNotFMRSWF(*movie).find(c.reason), std::string::npos)
        << ZuAnimationUtils::WhyNotFMRSWF(*movie);
  }
}

}  // namespace
