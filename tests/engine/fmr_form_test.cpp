// The FMR test on loaded tag lists: the standard recording passes, and breaking each rule
// of the form once makes it fail.

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "host/player/ZuAnimationUtils.h"
#include "tests/engine/EngineTestAccess.h"
#include "tests/engine/StandardMovie.h"
#include "tests/support/FmrMovieBuilder.h"

namespace {

using engine_test::SlotAt;
using Factory = ZuSwfTagFactory;
using Make = FmrMovieBuilder;

// Changes to the standard movie (tag indices as in StandardMovie.h).
void Replace(ZuTavoFile& movie, size_t index, ZuSwfTag* tag) {
  auto slot = SlotAt(movie, index);
  delete *slot;
  *slot = tag;
}

void Insert(ZuTavoFile& movie, size_t index, ZuSwfTag* tag) {
  movie.IncludeTag(tag, SlotAt(movie, index));
}

void Erase(ZuTavoFile& movie, size_t index) {
  auto slot = SlotAt(movie, index);
  ZuSwfTag* tag = *slot;
  movie.EraseTags(slot, std::next(slot));
  delete tag;
}

void EraseAllFrom(ZuTavoFile& movie, size_t index) {
  while (movie.GetTagCount() > index) {
    Erase(movie, index);
  }
}

// Moves the tag at from to stand before the tag now at to.
void Move(ZuTavoFile& movie, size_t from, size_t to) {
  auto slot = SlotAt(movie, from);
  ZuSwfTag* tag = *slot;
  movie.EraseTags(slot, std::next(slot));
  movie.IncludeTag(tag, SlotAt(movie, to));
}

struct FormCase {
  const char* name;
  std::function<void(ZuTavoFile&)> change;
  bool isFMR;
};

std::vector<FormCase> FormCases() {
  const auto stageBitmap = [](enuTagType type, uint8_t format) {
    return
        [=](ZuTavoFile& m) { Replace(m, 2, Make::MakeBitmap(1, 32, 24, 0xFF0000, type, format)); };
  };
  return {
      {"standard recording", [](ZuTavoFile&) {}, true},
      // 1. two header tags that draw and define nothing
      {"header only", [](ZuTavoFile& m) { EraseAllFrom(m, 2); }, false},
      {"first tag a ShowFrame", [](ZuTavoFile& m) { Replace(m, 0, Make::MakeShowFrame()); }, false},
      {"second tag a definition",
       [](ZuTavoFile& m) { Replace(m, 1, Make::MakeBitmap(30, 2, 2, 0)); }, false},
      {"first tag a placement", [](ZuTavoFile& m) { Replace(m, 0, Make::MakePlacement(2, 5)); },
       false},
      {"second tag a removal", [](ZuTavoFile& m) { Replace(m, 1, Make::MakeRemoveObject2(5)); },
       false},
      {"metadata as a header tag",
       [](ZuTavoFile& m) {
         Replace(m, 1, Make::MakeTag(Factory::kMetadata, {'<', 'x', '/', '>', 0}));
       },
       true},
      {"header tags missing",
       [](ZuTavoFile& m) {
         Erase(m, 0);
         Erase(m, 0);
       },
       false},
      // 2. frame 1 shows a stage-sized bitmap through a shape and a placement
      {"key frame in frame 2", [](ZuTavoFile& m) { Insert(m, 2, Make::MakeShowFrame()); }, false},
      {"bitmap a pixel narrower",
       [](ZuTavoFile& m) { Replace(m, 2, Make::MakeBitmap(1, 31, 24, 0xFF0000)); }, false},
      {"bitmap a pixel taller",
       [](ZuTavoFile& m) { Replace(m, 2, Make::MakeBitmap(1, 32, 25, 0xFF0000)); }, false},
      {"shape fills another bitmap",
       [](ZuTavoFile& m) { Replace(m, 3, Make::MakeShape(2, 3, 0, 0, 32, 24)); }, false},
      {"placement of another character",
       [](ZuTavoFile& m) { Replace(m, 4, Make::MakePlacement(1, 1)); }, false},
      {"placement only in frame 2", [](ZuTavoFile& m) { Move(m, 4, 6); }, false},
      {"shape before its bitmap", [](ZuTavoFile& m) { Move(m, 3, 2); }, false},
      {"DefineBitsLossless key frame", stageBitmap(Factory::kDefineBitsLossless, 5), true},
      {"key frame in format 3", stageBitmap(Factory::kDefineBitsLossless2, 3), true},
      {"key frame in format 4", stageBitmap(Factory::kDefineBitsLossless2, 4), true},
      {"PlaceObject3 placement",
       [](ZuTavoFile& m) {
         Replace(m, 4, Make::MakeTag(Factory::kPlaceObject3, {0x02, 0x00, 0x01, 0x00, 0x02, 0x00}));
       },
       true},
      {"key frame after partial pictures of frame 1",
       [](ZuTavoFile& m) {
         Insert(m, 2, Make::MakeBitmap(20, 4, 4, 0x00FF00));
         Insert(m, 3, Make::MakeShape(21, 20, 0, 0, 4, 4));
         Insert(m, 4, Make::MakePlacement(21, 101));
       },
       true},
      // 3. every tag in the FMR set
      {"sprite",
       [](ZuTavoFile& m) {
         Insert(m, 25, Make::MakeTag(Factory::kDefineSprite, {9, 0, 1, 0, 0, 0}));
       },
       false},
      {"text",
       [](ZuTavoFile& m) {
         Insert(m, 25, Make::MakeTag(Factory::kDefineText, {9, 0}));
       },
       false},
      {"ABC code",
       [](ZuTavoFile& m) {
         Insert(m, 25, Make::MakeTag(Factory::kDoABC, {1, 0, 0, 0, 0}));
       },
       false},
      {"JPEG bitmap",
       [](ZuTavoFile& m) {
         Insert(m, 25, Make::MakeTag(Factory::kDefineBitsJPEG2, {9, 0, 0xFF, 0xD8}));
       },
       false},
      {"video frame",
       [](ZuTavoFile& m) {
         Insert(m, 25, Make::MakeTag(Factory::kVideoFrame, {9, 0, 0, 0}));
       },
       false},
      {"bitmap format 2",
       [](ZuTavoFile& m) {
         Insert(m, 25, Make::MakeBitmap(9, 2, 2, 0, Factory::kDefineBitsLossless2, 2));
       },
       false},
      {"bitmap format 6",
       [](ZuTavoFile& m) {
         Insert(m, 25, Make::MakeBitmap(9, 2, 2, 0, Factory::kDefineBitsLossless2, 6));
       },
       false},
      {"bitmap body cut short",
       [](ZuTavoFile& m) {
         Insert(m, 25, Make::MakeTag(Factory::kDefineBitsLossless2, {9, 0, 5, 2}));
       },
       false},
      {"frame label",
       [](ZuTavoFile& m) {
         Insert(m, 25, Make::MakeTag(Factory::kFrameLabel, {'a', 0}));
       },
       true},
      {"sound stream",
       [](ZuTavoFile& m) {
         Insert(m, 2, Make::MakeTag(Factory::kSoundStreamHead, {0x02, 0x02, 0x00, 0x00}));
         Insert(m, 3, Make::MakeTag(Factory::kSoundStreamBlock, {0, 0}));
         Insert(m, 4, Make::MakeTag(Factory::kSoundStreamHead2, {0x02, 0x02, 0x00, 0x00}));
       },
       true},
      {"FreeCharacter later on", [](ZuTavoFile& m) { Insert(m, 25, Make::MakeFreeCharacter(3)); },
       true},
      {"old-style removal",
       [](ZuTavoFile& m) {
         Insert(m, 25, Make::MakeTag(Factory::kRemoveObject, {4, 0, 101, 0}));
       },
       true},
      {"background color later on",
       [](ZuTavoFile& m) {
         Insert(m, 25, Make::MakeTag(Factory::kSetBackgroundColor, {0, 0, 0}));
       },
       true},
      // 4. at least one ShowFrame
      {"no ShowFrame",
       [](ZuTavoFile& m) {
         EraseAllFrom(m, 5);  // the key frame stays, its ShowFrame goes
       },
       false},
      // null slots
      {"null slot in a later frame", [](ZuTavoFile& m) { Replace(m, 20, nullptr); }, false},
      {"null slot in the header", [](ZuTavoFile& m) { Replace(m, 0, nullptr); }, false},
      {"null slot in frame 1", [](ZuTavoFile& m) { Replace(m, 3, nullptr); }, false},
  };
}

TEST(FmrForm, EachRuleBrokenOnceFailsTheTest) {
  for (const FormCase& c : FormCases()) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<ZuTavoFile> movie = engine_test::StandardMovie().Build();
    c.change(*movie);
    EXPECT_EQ(ZuAnimationUtils::IsFMRSWF(*movie), c.isFMR);
  }
}

TEST(FmrForm, StageSizeIsTheMoviesOwn) {
  struct Case {
    uint16_t width;
    uint16_t height;
  };
  for (const Case& c : std::vector<Case>{{1, 1}, {640, 480}, {7, 300}}) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
    FmrMovieBuilder builder(c.width, c.height, 15);
    builder.KeyFrame(0x336699).StopFrame();
    std::unique_ptr<ZuTavoFile> movie = builder.Build();
    EXPECT_TRUE(ZuAnimationUtils::IsFMRSWF(*movie));
    movie->SetWidth(c.width + 1u);
    EXPECT_FALSE(ZuAnimationUtils::IsFMRSWF(*movie));
  }
}

}  // namespace
