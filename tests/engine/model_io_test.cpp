// Loading a movie from a path or a stream, the backing file's lifetime, copies and ids;
// writing it back as an SWF file and as a text dump of its tags.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "host/util/ZuMemoryStream.h"
#include "tests/engine/EngineTestAccess.h"
#include "tests/engine/StandardMovie.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/Oracle.h"

namespace {

using Access = ZuFMRTavoFileTestAccess;
using engine_test::ScratchFolder;
using engine_test::SlotAt;
using engine_test::StandardMovie;

// The int a call throws; -1 when it throws nothing.
int ThrownInt(const std::function<void()>& call) {
  try {
    call();
  } catch (int value) {
    return value;
  }
  return -1;
}

ZuSharedBytes Shared(const std::vector<uint8_t>& bytes) {
  return ZuSharedBytes::Copy(bytes.data(), bytes.size());
}

TEST(FmrMovieLoad, FromPathReadsTheMovieAndLeavesTheFile) {
  ScratchFolder folder;
  const FmrMovieBuilder builder = StandardMovie();
  const std::string path = folder.File("movie.swf");
  builder.WriteFile(path);
  ExpectOracleAccepts(path, *builder.Build());
  {
    const ZuFMRTavoFile movie{ZuString(path)};
    EXPECT_TRUE(movie.IsValidFMRSWF());
    EXPECT_EQ(movie.GetFileName(), ZuString(path));
    EXPECT_EQ(movie.GetTagCount(), engine_test::kStandardTags);
    EXPECT_EQ(movie.GetFrameCount(), engine_test::kStandardFrames);
    EXPECT_EQ(movie.GetWidth(), 32u);
    EXPECT_EQ(movie.GetHeight(), 24u);
    EXPECT_EQ(Access::GetHighestId(movie), engine_test::kStandardHighestId);
    EXPECT_EQ(Access::GetBmpBitDepth(movie), -1);
    EXPECT_FALSE(Access::GetDeleteFile(movie));
  }
  EXPECT_TRUE(std::filesystem::exists(path));
}

TEST(FmrMovieLoad, FromStreamIsBackedByACompleteTemporaryCopyDeletedWithTheMovie) {
  ScratchFolder folder;
  const std::vector<uint8_t> bytes = StandardMovie().BuildBytes();
  ZuMemoryStream stream(Shared(bytes));
  std::string copy;
  {
    const ZuFMRTavoFile movie(&stream);
    copy = movie.GetFileName().GetUTF8String();
    EXPECT_TRUE(movie.IsValidFMRSWF());
    EXPECT_TRUE(Access::GetDeleteFile(movie));
    EXPECT_EQ(std::filesystem::path(copy).parent_path(), std::filesystem::path(folder.Path()));
    EXPECT_EQ(std::filesystem::path(copy).extension(), ".SWF");
    EXPECT_EQ(ReadFileBytes(copy), bytes);
    ExpectOracleAccepts(copy, movie);
    EXPECT_EQ(movie.GetTagCount(), engine_test::kStandardTags);
  }
  EXPECT_FALSE(std::filesystem::exists(copy));
  EXPECT_TRUE(folder.List().empty());
  EXPECT_EQ(stream.GetSize(), bytes.size());  // the caller's stream is still there
}

// What a path or a stream holds when loading must fail.
struct BadInput {
  const char* name;
  bool exists;                 // whether the file is there at all
  std::vector<uint8_t> bytes;  // the file's or stream's content
};

std::vector<BadInput> BadInputs() {
  std::vector<uint8_t> truncated = StandardMovie().BuildBytes();
  truncated.resize(40);  // inside the first bitmap
  return {
      {"missing", false, {}},
      {"empty", true, {}},
      {"text", true, {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '\n'}},
      {"truncated", true, truncated},
  };
}

// From a path the int 0 and the file is never deleted; from a stream the int 0 and no
// temporary copy is left behind.
TEST(FmrMovieLoad, InputThatIsNoMovieThrowsZero) {
  for (const BadInput& input : BadInputs()) {
    SCOPED_TRACE(input.name);
    ScratchFolder folder;
    const std::string path = folder.File("input.swf");
    if (input.exists) {
      WriteFileBytes(path, input.bytes);
      ZuMemoryStream stream(Shared(input.bytes));
      EXPECT_EQ(ThrownInt([&] { ZuFMRTavoFile movie(&stream); }), 0);
    }
    EXPECT_EQ(ThrownInt([&] { ZuFMRTavoFile movie{ZuString(path)}; }), 0);
    EXPECT_EQ(folder.List().size(), input.exists ? 1u : 0u);
  }
  ScratchFolder folder;
  EXPECT_EQ(ThrownInt([] { ZuFMRTavoFile movie(static_cast<IZuStream*>(nullptr)); }), 0);
  EXPECT_TRUE(folder.List().empty());
}

// SWF movies that load but are not FMR recordings.
TEST(FmrMovieLoad, SwfThatIsNotFmrLoadsAsInvalidWithNoIds) {
  struct Case {
    const char* name;
    std::function<void(FmrMovieBuilder&)> build;
  };
  const std::vector<Case> cases = {
      {"bitmap never drawn",
       [](FmrMovieBuilder& b) {
         b.Tag(FmrMovieBuilder::MakeBitmap(5, 32, 24, 0x123456)).HoldFrame();
       }},
      {"sprite in a recording",
       [](FmrMovieBuilder& b) {
         b.KeyFrame(0xFF0000).Tag(
             FmrMovieBuilder::MakeTag(ZuSwfTagFactory::kDefineSprite, {9, 0, 1, 0, 0x40, 0, 0, 0}));
       }},
      {"no frames", [](FmrMovieBuilder&) {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchFolder folder;
    FmrMovieBuilder builder(32, 24, 10);
    c.build(builder);
    const std::string path = folder.File("other.swf");
    builder.WriteFile(path);
    ExpectOracleAccepts(path, *builder.Build());

    ZuFMRTavoFile movie{ZuString(path)};
    EXPECT_FALSE(movie.IsValidFMRSWF());
    EXPECT_EQ(movie.GetTagCount(), builder.GetMovie().GetTagCount());
    EXPECT_EQ(Access::GetHighestId(movie), 0);
    EXPECT_EQ(Access::GetId(movie), 1);
  }
}

TEST(FmrMovieLoad, ReloadingResetsWhatTheLastLoadFound) {
  const std::vector<uint8_t> fmr = StandardMovie().BuildBytes();
  FmrMovieBuilder other(32, 24, 10);
  other.Tag(FmrMovieBuilder::MakeBitmap(5, 32, 24, 0x123456)).HoldFrame();
  const std::vector<uint8_t> notFmr = other.BuildBytes();

  ZuFMRTavoFile movie;
  ZuMemoryStream first(Shared(fmr));
  ASSERT_EQ(Access::Init(movie, &first), kZuSuccess);
  EXPECT_TRUE(movie.IsValidFMRSWF());
  EXPECT_EQ(Access::GetHighestId(movie), engine_test::kStandardHighestId);

  ZuMemoryStream second(Shared(notFmr));
  ASSERT_EQ(Access::Init(movie, &second), kZuSuccess);
  EXPECT_FALSE(movie.IsValidFMRSWF());
  EXPECT_EQ(Access::GetHighestId(movie), 0);
  EXPECT_EQ(movie.GetTagCount(), other.GetMovie().GetTagCount());

  EXPECT_EQ(Access::Init(movie, nullptr), kZuFailure);
}

TEST(FmrMovieIds, HighestIdIsTheLargestDefinedAnywhereAfterTheHeader) {
  FmrMovieBuilder builder(32, 24, 10);
  builder
      .KeyFrame(0xFF0000)  // ids 1, 2
      .Tag(FmrMovieBuilder::MakeBitmap(40, 4, 4, 0x00FF00))
      .Tag(FmrMovieBuilder::MakeShape(41, 40, 0, 0, 4, 4))
      .Tag(FmrMovieBuilder::MakePlacement(41, 101))
      .HoldFrame()
      .PartialFrame(1, 1, 2, 2, 0x0000FF);  // ids 3, 4 after the larger ones
  ZuMemoryStream stream(Shared(builder.BuildBytes()));
  ZuFMRTavoFile movie(&stream);
  ASSERT_TRUE(movie.IsValidFMRSWF());
  EXPECT_EQ(Access::GetHighestId(movie), 41);
  EXPECT_EQ(Access::GetId(movie), 42);
  EXPECT_EQ(Access::GetId(movie), 43);
  EXPECT_EQ(Access::GetHighestId(movie), 43);
}

TEST(FmrMovieIds, GetIdWrapsAfter65535) {
  ZuFMRTavoFile movie;
  Access::SetHighestId(movie, 65534);
  EXPECT_EQ(Access::GetId(movie), 65535);
  EXPECT_EQ(Access::GetId(movie), 0);
  EXPECT_EQ(Access::GetId(movie), 1);
}

TEST(FmrMovieCopy, CopiesCloneTheTagsAndShareTheBackingFile) {
  ScratchFolder folder;
  ZuMemoryStream stream(Shared(StandardMovie().BuildBytes()));
  auto original = std::make_unique<ZuFMRTavoFile>(&stream);
  Access::GetId(*original);  // the highest id is copied as it stands now
  const std::string file = original->GetFileName().GetUTF8String();

  auto copied = std::make_unique<ZuFMRTavoFile>(*original);
  auto assigned = std::make_unique<ZuFMRTavoFile>();
  *assigned = *original;

  for (const ZuFMRTavoFile* copy : {copied.get(), assigned.get()}) {
    EXPECT_EQ(copy->GetFileName(), original->GetFileName());
    EXPECT_TRUE(copy->IsValidFMRSWF());
    EXPECT_TRUE(Access::GetDeleteFile(*copy));
    EXPECT_EQ(Access::GetHighestId(*copy), engine_test::kStandardHighestId + 1);
    EXPECT_EQ(Access::GetBmpBitDepth(*copy), -1);
    EXPECT_EQ(copy->GetFrameCount(), original->GetFrameCount());
    ASSERT_EQ(copy->GetTagCount(), original->GetTagCount());
    auto b = copy->begin();
    for (auto a = original->begin(); a != original->end(); ++a, ++b) {
      EXPECT_NE(*a, *b);  // a clone, not the same tag
      EXPECT_EQ((*a)->GetTagType(), (*b)->GetTagType());
    }
  }

  original.reset();
  EXPECT_FALSE(std::filesystem::exists(file));
  copied.reset();  // finds nothing to delete
  assigned.reset();
  EXPECT_TRUE(folder.List().empty());
}

TEST(FmrMovieCopy, DeleteFlagDecidesWhetherTheBackingFileGoes) {
  struct Case {
    const char* name;
    bool fromStream;
    bool deleteFile;
  };
  const std::vector<Case> cases = {
      {"path, deleted on request", false, true},
      {"stream, kept on request", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchFolder folder;
    const std::string path = folder.File("movie.swf");
    StandardMovie().WriteFile(path);
    ZuMemoryStream stream(Shared(ReadFileBytes(path)));
    std::string backing;
    {
      auto movie = c.fromStream ? std::make_unique<ZuFMRTavoFile>(&stream)
                                : std::make_unique<ZuFMRTavoFile>(ZuString(path));
      backing = movie->GetFileName().GetUTF8String();
      movie->SetDeleteFile(c.deleteFile);
    }
    EXPECT_EQ(std::filesystem::exists(backing), !c.deleteFile);
  }
}

std::string WriteStandard(const ScratchFolder& folder) {
  const FmrMovieBuilder builder = engine_test::StandardMovie();
  std::string path = folder.File("standard.swf");
  builder.WriteFile(path);
  ExpectOracleAccepts(path, *builder.Build());
  return path;
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

TEST(FmrMovieWrite, UnchangedMovieWritesBackItsOwnBytes) {
  ScratchFolder folder;
  const std::string input = WriteStandard(folder);
  ZuFMRTavoFile movie{ZuString(input)};
  const std::string output = folder.File("out.swf");
  Access::WriteToFile(movie, output);
  ExpectOracleAccepts(output, movie);
  EXPECT_EQ(ReadFileBytes(output), ReadFileBytes(input));
  EXPECT_EQ(movie.GetFileName(), ZuString(input));  // still backed by the file it came from
}

TEST(FmrMovieWrite, UnwritablePathWritesNothing) {
  ScratchFolder folder;
  ZuFMRTavoFile movie{ZuString(WriteStandard(folder))};
  const std::string swf = folder.File("missing-folder/out.swf");
  const std::string dump = folder.File("missing-folder/dump.txt");
  Access::WriteToFile(movie, swf);
  movie.DumpTextRep(ZuString(dump));
  EXPECT_FALSE(std::filesystem::exists(folder.File("missing-folder")));
}

// One line per slot in list order, starting with the tag's name; an empty line for a null
// slot; an empty file for an empty list.
TEST(FmrMovieDump, OneLinePerTagNamingIt) {
  ScratchFolder folder;
  const std::string path = folder.File("dump.txt");
  const ZuFMRTavoFile standard{ZuString(WriteStandard(folder))};
  standard.DumpTextRep(ZuString(path));
  std::vector<std::string> lines = ReadLines(path);
  ASSERT_EQ(lines.size(), engine_test::kStandardTags);
  EXPECT_EQ(lines[2].rfind("DefineBitsLossless2", 0), 0u) << lines[2];
  EXPECT_EQ(lines[4].rfind("PlaceObject2", 0), 0u) << lines[4];
  EXPECT_EQ(lines[25].rfind("DoAction", 0), 0u) << lines[25];
  EXPECT_EQ(lines[26].rfind("ShowFrame", 0), 0u) << lines[26];

  ZuFMRTavoFile movie;
  movie.DumpTextRep(ZuString(path));
  ASSERT_TRUE(std::filesystem::exists(path));
  EXPECT_TRUE(ReadLines(path).empty());

  movie.AppendTag(FmrMovieBuilder::MakeShowFrame());
  movie.AppendTag(FmrMovieBuilder::MakeShowFrame());
  delete *SlotAt(movie, 0);
  *SlotAt(movie, 0) = nullptr;
  movie.DumpTextRep(ZuString(path));
  lines = ReadLines(path);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1].rfind("ShowFrame", 0), 0u) << lines[1];
}

}  // namespace
