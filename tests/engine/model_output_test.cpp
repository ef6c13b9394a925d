// Writing the movie back as an SWF file and as a text dump of its tags.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "tests/engine/EngineTestAccess.h"
#include "tests/engine/StandardMovie.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/Oracle.h"

namespace {

using Access = ZuFMRTavoFileTestAccess;
using engine_test::ScratchFolder;
using engine_test::SlotAt;

std::string WriteStandard(const ScratchFolder& folder) {
  const FmrMovieBuilder builder = engine_test::StandardMovie();
  std::string path = folder.File("standard.swf");
  builder.WriteFile(path);
  ExpectOracleAccepts(path, *builder.Build());
  return path;
}

void ExpectSameTags(const ZuTavoFile& a, const ZuTavoFile& b) {
  ASSERT_EQ(a.GetTagCount(), b.GetTagCount());
  size_t index = 0;
  for (auto x = a.begin(), y = b.begin(); x != a.end(); ++x, ++y, ++index) {
    SCOPED_TRACE(index);
    EXPECT_EQ((*x)->GetTagType(), (*y)->GetTagType());
    const ZuSharedBytes bodyX = (*x)->GetBody();
    const ZuSharedBytes bodyY = (*y)->GetBody();
    EXPECT_TRUE(std::equal(bodyX.begin(), bodyX.end(), bodyY.begin(), bodyY.end()));
  }
}

TEST(FmrMovieWrite, UnchangedMovieWritesBackItsOwnBytes) {
  ScratchFolder folder;
  const std::string input = WriteStandard(folder);
  ZuFMRTavoFile movie{ZuString(input)};
  const std::string output = folder.File("out.swf");

  Access::WriteToFile(movie, output);

  ExpectOracleAccepts(output, movie);
  EXPECT_EQ(ReadFileBytes(output), ReadFileBytes(input));
  const ZuFMRTavoFile reloaded{ZuString(output)};
  EXPECT_TRUE(reloaded.IsValidFMRSWF());
  EXPECT_EQ(reloaded.GetFrameCount(), movie.GetFrameCount());
  EXPECT_EQ(reloaded.GetFrameRate(), movie.GetFrameRate());
  EXPECT_EQ(reloaded.GetWidth(), movie.GetWidth());
  EXPECT_EQ(reloaded.GetHeight(), movie.GetHeight());
  ExpectSameTags(reloaded, movie);
}

TEST(FmrMovieWrite, EditedMovieReloadsAsEdited) {
  ScratchFolder folder;
  ZuFMRTavoFile movie{ZuString(WriteStandard(folder))};
  std::list<ZuSwfTag*> taken;
  const auto first = SlotAt(movie, 6);
  const auto last = SlotAt(movie, 14);
  taken.assign(first, last);
  Access::EraseTagsAndUpdateFrameCount(movie, first, last, 2);  // frames 2 and 3
  Access::ClearTavoTagList(taken);
  const std::string output = folder.File("edited.swf");

  Access::WriteToFile(movie, output);

  ExpectOracleAccepts(output, movie);
  const ZuFMRTavoFile reloaded{ZuString(output)};
  EXPECT_TRUE(reloaded.IsValidFMRSWF());
  EXPECT_EQ(reloaded.GetFrameCount(), 4);
  EXPECT_EQ(reloaded.GetTagCount(), engine_test::kStandardTags - 8);
  ExpectSameTags(reloaded, movie);
  EXPECT_EQ(movie.GetFileName(), ZuString(folder.File("standard.swf")));  // not rewritten
}

TEST(FmrMovieWrite, UnwritablePathWritesNothing) {
  ScratchFolder folder;
  ZuFMRTavoFile movie{ZuString(WriteStandard(folder))};
  const std::string output = folder.File("missing-folder/out.swf");
  Access::WriteToFile(movie, output);
  EXPECT_FALSE(std::filesystem::exists(output));
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

// What DumpTextRep must write for a tag list: each tag's own text, one per line.
std::string ExpectedDump(const ZuTavoFile& movie) {
  std::string dump;
  for (const ZuSwfTag* tag : movie) {
    if (tag != nullptr) {
      ZuString text;
      tag->GetTextRep(text);
      dump += text.GetUTF8String();
    }
    dump += '\n';
  }
  return dump;
}

TEST(FmrMovieDump, OneLinePerTagInListOrder) {
  struct Case {
    const char* name;
    std::function<void(ZuFMRTavoFile&, const ScratchFolder&)> make;
    size_t lines;
  };
  const std::vector<Case> cases = {
      {"standard movie",
       [](ZuFMRTavoFile& movie, const ScratchFolder& folder) {
         movie = ZuFMRTavoFile(ZuString(WriteStandard(folder)));
       },
       engine_test::kStandardTags},
      {"empty list", [](ZuFMRTavoFile&, const ScratchFolder&) {}, 0},
      {"null slot gives an empty line",
       [](ZuFMRTavoFile& movie, const ScratchFolder&) {
         movie.AppendTag(FmrMovieBuilder::MakeShowFrame());
         movie.AppendTag(FmrMovieBuilder::MakeStopAction());
         auto slot = SlotAt(movie, 0);
         delete *slot;
         *slot = nullptr;
       },
       2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchFolder folder;
    ZuFMRTavoFile movie;
    c.make(movie, folder);
    const std::string path = folder.File("dump.txt");

    movie.DumpTextRep(ZuString(path));

    ASSERT_TRUE(std::filesystem::exists(path));
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), ExpectedDump(movie));
    EXPECT_EQ(ReadLines(path).size(), c.lines);
  }
}

TEST(FmrMovieDump, LinesNameTheirTags) {
  ScratchFolder folder;
  const ZuFMRTavoFile movie{ZuString(WriteStandard(folder))};
  const std::string path = folder.File("dump.txt");
  movie.DumpTextRep(ZuString(path));
  const std::vector<std::string> lines = ReadLines(path);
  ASSERT_EQ(lines.size(), engine_test::kStandardTags);
  EXPECT_EQ(lines[2].rfind("DefineBitsLossless2", 0), 0u) << lines[2];
  EXPECT_EQ(lines[4].rfind("PlaceObject2", 0), 0u) << lines[4];
  EXPECT_EQ(lines[26].rfind("ShowFrame", 0), 0u) << lines[26];
}

TEST(FmrMovieDump, UnwritablePathWritesNothing) {
  ScratchFolder folder;
  const ZuFMRTavoFile movie{ZuString(WriteStandard(folder))};
  const std::string path = folder.File("missing-folder/dump.txt");
  movie.DumpTextRep(ZuString(path));
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
