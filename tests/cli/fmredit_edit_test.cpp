// fmredit delete, insert, split, merge, tighten, speed and redact as a user runs them: the results
// and the refusals, each on one line with its exit code and no file left behind; and the still
// stretches idle lists.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "cli/CliError.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/RecordedMovie.h"
#include "tests/support/ScreenFrames.h"
#include "tests/support/TempDir.h"

namespace {

using Arguments = std::vector<std::string>;

class FmreditEdit : public testing::Test {
 protected:
  void SetUp() override {
    WriteFmrMovie(m_in, 10);
    WriteFmrMovie(m_small, 3);
    m_inputs = FilesIn(m_dir);
  }

  TempDir m_dir;
  std::string m_in = m_dir.File("in.swf");        // 10 frames
  std::string m_small = m_dir.File("small.swf");  // 3 frames
  std::string m_out = m_dir.File("out.swf");
  std::string m_first = m_dir.File("first.swf");
  std::string m_second = m_dir.File("second.swf");
  std::vector<std::string> m_inputs;
};

TEST_F(FmreditEdit, EveryEditWritesItsResult) {
  struct Case {
    const char* name;
    Arguments arguments;
    std::vector<std::pair<std::string, int>> written;  // file and its frame count
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"delete", {"delete", m_in, "-o", m_out, "--start", "0.2", "--length", "0.4"}, {{m_out, 6}}},
      {"insert inside", {"insert", m_in, "--at", "0.3", "--movie", m_small, "-o", m_out}, {{m_out, 12}}},
      {"insert at the end", {"insert", m_in, "--at", "1", "--movie", m_small, "-o", m_out}, {{m_out, 12}}},
      {"split", {"split", m_in, "--at", "0.4", "-o", m_first, m_second}, {{m_first, 4}, {m_second, 7}}},
      {"merge", {"merge", m_in, m_small, m_small, "-o", m_out}, {{m_out, 14}}},
      {"tighten", {"tighten", m_in, "-o", m_out, "--max-idle", "0"}, {{m_out, 10}}},
      {"speed by a factor", {"speed", m_in, "-o", m_out, "--from", "0.1", "--to", "0.9", "--factor", "2"}, {{m_out, 6}}},
      {"speed to a length", {"speed", m_in, "-o", m_out, "--from", "0.1", "--to", "0.9", "--length", "0.3"}, {{m_out, 5}}},
      {"redact frames", {"redact", m_in, "-o", m_out, "--rect", "8x6+30+2", "--frames", "3-6", "--fill", "#102030"}, {{m_out, 10}}},
      {"redact a time range", {"redact", m_in, "-o", m_out, "--rect", "40x30+0+0", "--from", "0", "--to", "1"}, {{m_out, 10}}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FmreditRun run = RunFmredit(c.arguments);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    for (const auto& [path, frames] : c.written) {
      ExpectFmrMovie(path, frames);
      std::filesystem::remove(path);
    }
    EXPECT_EQ(FilesIn(m_dir), m_inputs);  // nothing else was left behind
  }
}

// Frames 3 to 6 by number, by time, and by times that round to them, give the same file.
TEST_F(FmreditEdit, DeleteByTimesAndByFrameNumbersNamesTheSameCut) {
  const std::vector<Arguments> ways = {
      {"--first-frame", "3", "--frame-count", "4"},
      {"--start", "0.2", "--length", "0.4"},
      {"--start", "0.16", "--length", "0.44"},
  };
  std::vector<std::vector<uint8_t>> written;
  for (const Arguments& way : ways) {
    Arguments arguments = {"delete", m_in, "-o", m_out};
    arguments.insert(arguments.end(), way.begin(), way.end());
    const FmreditRun run = RunFmredit(arguments);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    written.push_back(ReadFileBytes(m_out));
  }
  ExpectFmrMovie(m_out, 6);
  EXPECT_EQ(written[1], written[0]);
  EXPECT_EQ(written[2], written[0]);
  // A cut reaching the last frame (the stop frame) keeps it, and says so.
  const FmreditRun run =
      RunFmredit({"delete", m_in, "-o", m_out, "--first-frame", "8", "--frame-count", "5"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("the last frame, 10, is always kept: deleted frames 8 to 9"),
            std::string::npos)
      << run.err;
  ExpectFmrMovie(m_out, 8);
}

TEST_F(FmreditEdit, RefusalsSayWhyAndLeaveNoFile) {
  const std::string plain = m_dir.File("plain.swf");
  const std::string taller = m_dir.File("taller.swf");
  const std::string longer = m_dir.File("long.swf");
  const std::string none = m_dir.File("none.swf");
  FmrMovieBuilder(40, 30, 10).HoldFrame().HoldFrame().HoldFrame().WriteFile(plain);
  WriteFmrMovie(taller, 3, 5, 40, 31);
  // With in.swf (10 frames) 16000 frames, allowed; after small.swf is merged, 16002.
  WriteFmrMovie(longer, 15990, 0);
  const std::vector<std::string> inputs = FilesIn(m_dir);
  const std::string notFmr = plain + ": not a valid FMR movie";
  const std::string tooTall =
      taller + ": the movie to insert is 40 x 31 pixels, " + m_in + " is 40 x 30";
  const std::string tooLong = m_out + ": the result would have 16000 frames or more";
  struct Case {
    Arguments arguments;
    std::string message;
    int exitCode;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {{"delete", plain, "-o", m_out, "--start", "0", "--length", "0.1"}, notFmr, kExitNotFMR},
      {{"delete", m_in, "-o", m_out, "--first-frame", "1", "--frame-count", "9"}, "at least two must remain", kExitFailure},
      {{"delete", m_in, "-o", m_out, "--start", "0", "--length", "0.04"}, "no frame to delete", kExitFailure},
      {{"delete", m_in, "-o", m_out, "--first-frame", "12", "--frame-count", "1"}, "past the movie's last frame", kExitFailure},
      {{"delete", m_in, "-o", m_out, "--first-frame", "10", "--frame-count", "1"}, "frame 10 is the movie's last frame, which is always kept: nothing to delete", kExitFailure},
      {{"delete", none, "-o", m_out, "--start", "0", "--length", "1"}, none, kExitFailure},
      {{"delete", m_in, "-o", m_out, "--start", "0", "--frame-count", "1"}, "--first-frame", kExitUsage},
      {{"delete", m_in, "-o", m_out, "--start", "0"}, "--length", kExitUsage},
      {{"insert", plain, "--at", "0", "--movie", m_small, "-o", m_out}, notFmr, kExitNotFMR},
      {{"insert", m_in, "--at", "0", "--movie", plain, "-o", m_out}, notFmr, kExitNotFMR},
      {{"insert", m_in, "--at", "0.5", "--movie", taller, "-o", m_out}, tooTall, kExitDimensionMismatch},
      {{"insert", longer, "--at", "1", "--movie", longer, "-o", m_out}, tooLong, kExitFrameLimit},
      {{"insert", m_in, "--at", "0", "--movie", none, "-o", m_out}, none, kExitFailure},
      {{"split", m_in, "--at", "0.04", "-o", m_first, m_second}, "cannot split at 0.04 s: the cut must leave frames on both sides; give a time from 0.1 s to 0.9 s", kExitFailure},
      {{"split", m_in, "--at", "1", "-o", m_first, m_second}, "cannot split at 1 s", kExitFailure},
      {{"split", m_in, "--at", "1.06", "-o", m_first, m_second}, m_in + ": 1.06 s is past the end of the movie (1 s)", kExitUsage},
      {{"delete", m_in, "-o", m_out, "--start", "100", "--length", "1"}, m_in + ": 100 s is past the end of the movie (1 s)", kExitUsage},
      {{"delete", m_in, "-o", m_out, "--start", "1", "--length", "1"}, "the cut starts at the end of the movie: nothing to delete", kExitFailure},
      {{"insert", m_in, "--at", "99", "--movie", m_small, "-o", m_out}, m_in + ": 99 s is past the end of the movie (1 s)", kExitUsage},
      {{"split", m_in, "--at", "0.3", "-o", m_first, m_in}, m_in, kExitUsage},
      {{"split", m_in, "--at", "0.3", "-o", m_first, m_first}, "same file", kExitUsage},
      {{"split", plain, "--at", "0.1", "-o", m_first, m_second}, notFmr, kExitNotFMR},
      {{"merge", m_in, m_small, longer, "-o", m_out}, tooLong, kExitFrameLimit},
      {{"merge", m_in, m_small, plain, "-o", m_out}, notFmr, kExitNotFMR},
      {{"merge", m_in, taller, "-o", m_out}, tooTall, kExitDimensionMismatch},
      {{"merge", m_in, "-o", m_out}, "FILES", kExitUsage},
      {{"idle", none}, none, kExitFailure},
      {{"idle", plain}, notFmr, kExitNotFMR},
      {{"idle", m_in, "--longer-than", "-1"}, "--longer-than: give a time in seconds from 0", kExitUsage},
      {{"idle", m_in, "--ignore", "10x10+35+0"}, m_in + ": the ignored region 10x10+35+0 is not inside the stage (40x30)", kExitUsage},
      {{"tighten", m_in, "-o", m_out, "--max-idle", "nan"}, "--max-idle: give a time in seconds from 0", kExitUsage},
      {{"tighten", m_in, "-o", m_out, "--max-idle", "-0.5"}, "--max-idle: give a time in seconds from 0", kExitUsage},
      {{"tighten", m_in, "-o", m_out, "--max-idle", "1", "--ignore", "8x8+0+30"}, "the ignored region 8x8+0+30 is not inside the stage", kExitUsage},
      {{"tighten", m_in, "-o", m_out, "--max-idle", "1", "--ignore", "8x8"}, "--ignore 8x8: not a region", kExitUsage},
      {{"tighten", m_in, "-o", m_out, "--max-idle", "1", "--ignore-smaller-than", "-4"}, "--ignore-smaller-than: give a whole number", kExitUsage},
      {{"tighten", plain, "-o", m_out, "--max-idle", "1"}, notFmr, kExitNotFMR},
      {{"tighten", none, "-o", m_out, "--max-idle", "1"}, none, kExitFailure},
      {{"tighten", m_in, "-o", m_in, "--max-idle", "1"}, "--in-place", kExitUsage},
      {{"speed", m_in, "-o", m_out, "--from", "0", "--to", "0.5", "--factor", "0"}, "--factor: give a speed-up factor of at least 1, not '0'", kExitUsage},
      {{"speed", m_in, "-o", m_out, "--from", "0", "--to", "0.5", "--factor", "0.5"}, "at least 1, not '0.5'", kExitUsage},
      {{"speed", m_in, "-o", m_out, "--from", "0", "--to", "0.5", "--factor", "nan"}, "at least 1, not 'nan'", kExitUsage},
      {{"speed", m_in, "-o", m_out, "--from", "-1", "--to", "0.5", "--factor", "2"}, "--from: give a time in seconds from 0", kExitUsage},
      {{"speed", m_in, "-o", m_out, "--from", "0.5", "--to", "0.5", "--factor", "2"}, m_in + ": the range 0.5 s to 0.5 s is empty: give from before to", kExitUsage},
      {{"speed", m_in, "-o", m_out, "--from", "0.5", "--to", "1.5", "--factor", "2"}, m_in + ": 1.5 s is past the end of the movie (1 s)", kExitUsage},
      {{"speed", m_in, "-o", m_out, "--from", "0.51", "--to", "0.52", "--factor", "2"}, m_in + ": the range 0.51 s to 0.52 s holds no frame", kExitUsage},
      {{"speed", m_in, "-o", m_out, "--from", "0.2", "--to", "0.5", "--length", "0.4"}, m_in + ": a length of 0.4 s is longer than the range (0.3 s)", kExitUsage},
      {{"speed", m_in, "-o", m_out, "--from", "0.2", "--to", "0.5", "--length", "0"}, m_in + ": a length of 0 s shows no frame of the range", kExitUsage},
      {{"speed", m_in, "-o", m_out, "--from", "0.2", "--to", "0.5"}, "give a factor or a length", kExitUsage},
      {{"speed", m_in, "-o", m_out, "--from", "0.2", "--to", "0.5", "--factor", "2", "--length", "0.1"}, "--factor excludes --length", kExitUsage},
      {{"speed", plain, "-o", m_out, "--from", "0", "--to", "0.2", "--factor", "2"}, notFmr, kExitNotFMR},
      {{"redact", m_in, "-o", m_out, "--rect", "8x8+35+0", "--frames", "1-2"}, m_in + ": the rectangle 8x8+35+0 is not inside the 40x30 stage: it passes the right edge", kExitUsage},
      {{"redact", m_in, "-o", m_out, "--rect", "8x8+0+25", "--frames", "1-2"}, "it passes the bottom edge", kExitUsage},
      {{"redact", m_in, "-o", m_out, "--rect", "0x8+0+0", "--frames", "1-2"}, "--rect 0x8+0+0: not a region", kExitUsage},
      {{"redact", m_in, "-o", m_out, "--rect", "nanx8+0+0", "--frames", "1-2"}, "--rect nanx8+0+0: not a region", kExitUsage},
      {{"redact", m_in, "-o", m_out, "--rect", "8x8+0+0", "--frames", "4-2"}, m_in + ": the range of frames 4 to 2 is empty", kExitUsage},
      {{"redact", m_in, "-o", m_out, "--rect", "8x8+0+0", "--frames", "0-2"}, m_in + ": frames 0 to 2 are not in the movie (frames 1 to 10)", kExitUsage},
      {{"redact", m_in, "-o", m_out, "--rect", "8x8+0+0", "--frames", "2-x"}, "--frames 2-x: not a range of frames", kExitUsage},
      {{"redact", m_in, "-o", m_out, "--rect", "8x8+0+0", "--from", "0.5", "--to", "0.5"}, m_in + ": the range 0.5 s to 0.5 s is empty: give from before to", kExitUsage},
      {{"redact", m_in, "-o", m_out, "--rect", "8x8+0+0", "--from", "0.5", "--to", "2"}, m_in + ": frames 6 to 20 are not in the movie (frames 1 to 10)", kExitUsage},
      {{"redact", m_in, "-o", m_out, "--rect", "8x8+0+0", "--from", "nan", "--to", "1"}, "--from: give a time in seconds from 0", kExitUsage},
      {{"redact", m_in, "-o", m_out, "--rect", "8x8+0+0", "--from", "0.5"}, "requires --", kExitUsage},
      {{"redact", m_in, "-o", m_out, "--rect", "8x8+0+0", "--frames", "1-2", "--from", "0", "--to", "1"}, "excludes", kExitUsage},
      {{"redact", m_in, "-o", m_out, "--rect", "8x8+0+0"}, "give the range as --from and --to, or as --frames", kExitUsage},
      {{"redact", m_in, "-o", m_out, "--rect", "8x8+0+0", "--frames", "1-2", "--fill", "#12345"}, "--fill #12345: not a colour; give #RRGGBB", kExitUsage},
      {{"redact", m_in, "-o", m_out, "--rect", "8x8+0+0", "--frames", "1-2", "--fill", "#-12345"}, "--fill #-12345: not a colour", kExitUsage},
      {{"redact", m_in, "-o", m_in, "--rect", "8x8+0+0", "--frames", "1-2"}, "--in-place", kExitUsage},
      {{"redact", plain, "-o", m_out, "--rect", "8x8+0+0", "--frames", "1-2"}, notFmr, kExitNotFMR},
      {{"redact", none, "-o", m_out, "--rect", "8x8+0+0", "--frames", "1-2"}, none, kExitFailure},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.arguments));
    ExpectOneLineError(RunFmredit(c.arguments), c.message, c.exitCode);
    EXPECT_EQ(FilesIn(m_dir), inputs);
  }
}

// The smallest rectangle holding every pixel that differs between two pictures of one size.
ZuPixelRect ChangedBox(const ZuImage& before, const ZuImage& after) {
  ZuPixelRect box;
  for (int y = 0; y < before.GetHeight(); ++y) {
    for (int x = 0; x < before.GetWidth(); ++x) {
      if (std::memcmp(before.Row(y) + x * 4, after.Row(y) + x * 4, 4) != 0) {
        box = box.Union({x, y, x + 1, y + 1});
      }
    }
  }
  return box;
}

// A recording of typing and pauses, with a clock ticking in the corner: what idle lists is the
// runs of frames that show the same picture as the frame before (outside the ignored region,
// or but for a change smaller than the least area counted), found from the pictures recorded.
TEST(FmreditIdle, ListsTheStillStretchesOfARecording) {
  TempDir dir;
  const std::string movie = dir.File("typing.swf");
  // One character a frame after the first: t types (a 6 x 6 rectangle), k ticks the clock
  // (2 x 2 pixels at 0,0), . changes nothing.
  const std::string script = "t...t.k...t..k.";
  Pictures pictures = {ZuImage(32, 24)};
  std::mt19937 random(7);
  for (size_t i = 0; i < script.size(); ++i) {
    ZuImage next = pictures.back();
    if (script[i] == 't') FillRect(next, 20, 12, 6, 6, random);
    if (script[i] == 'k') FillRect(next, 0, 0, 2, 2, random);
    pictures.push_back(next);
  }
  const std::unique_ptr<ZuTavoFile> recorded = RecordFrames(pictures, 32, 100);
  ASSERT_TRUE(recorded);
  WriteMovieFile(*recorded, movie);
  ExpectFmrMovie(movie, static_cast<int>(pictures.size()) + 2);
  // The recorder ends with a hold frame and the stop frame: two more of the last picture.
  pictures.push_back(pictures.back());
  pictures.push_back(pictures.back());

  struct Case {
    std::vector<std::string> options;
    ZuPixelRect ignore;
    int64_t smallerThan = 0;
    int longerThan = 0;  // frames
  };
  const ZuPixelRect clock{0, 0, 4, 4};
  const std::vector<Case> cases = {
      {{"--longer-than", "0"}, {}, 0, 0},
      {{}, {}, 0, 10},
      {{"--longer-than", "0.2"}, {}, 0, 2},
      {{"--ignore", "4x4+0+0", "--longer-than", "0"}, clock, 0, 0},
      {{"--ignore-smaller-than", "5", "--longer-than", "0.4"}, {}, 5, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.options));
    nlohmann::json expected = nlohmann::json::array();
    int first = 0;
    for (size_t frame = 1; frame <= pictures.size(); ++frame) {
      const ZuPixelRect changed = frame == 1 ? ZuPixelRect{0, 0, 32, 24}
                                             : ChangedBox(pictures[frame - 2], pictures[frame - 1]);
      const bool still = changed.IsEmpty() || changed.Intersect(c.ignore) == changed ||
                         changed.Area() < c.smallerThan;
      if (still && first == 0) first = static_cast<int>(frame);
      if (first != 0 && (!still || frame == pictures.size())) {
        const int last = still ? static_cast<int>(frame) : static_cast<int>(frame) - 1;
        if (last - first + 1 > c.longerThan) expected.push_back({first, last});
        first = 0;
      }
    }
    std::vector<std::string> arguments = {"idle", movie, "--json"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    const FmreditRun run = RunFmredit(arguments);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const nlohmann::json listing = nlohmann::json::parse(run.out);
    EXPECT_EQ(listing["frameRate"], 10);
    EXPECT_EQ(listing["frameCount"], pictures.size());
    nlohmann::json found = nlohmann::json::array();
    for (const nlohmann::json& stretch : listing["stretches"]) {
      const int from = stretch["first"], to = stretch["last"];
      found.push_back({from, to});
      EXPECT_DOUBLE_EQ(stretch["start"], (from - 1) / 10.0);
      EXPECT_DOUBLE_EQ(stretch["end"], to / 10.0);
      EXPECT_DOUBLE_EQ(stretch["length"], (to - from + 1) / 10.0);
    }
    EXPECT_EQ(found, expected);
  }
}

}  // namespace
