// fmredit delete, insert, split and merge as a user runs them: the results and the refusals,
// each on one line with its exit code and no file left behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "cli/CliError.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FmrMovieBuilder.h"
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
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.arguments));
    ExpectOneLineError(RunFmredit(c.arguments), c.message, c.exitCode);
    EXPECT_EQ(FilesIn(m_dir), inputs);
  }
}

}  // namespace
