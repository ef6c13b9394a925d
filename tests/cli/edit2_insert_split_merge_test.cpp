// fmredit insert, split and merge as a user runs them: the results, writing in place only
// when asked, and the refusals, each on one line with its exit code and no file left behind.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/CliError.h"
#include "host/player/ZuAnimationUtils.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuFileStream.h"
#include "tests/cli/RunFmredit.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/Oracle.h"
#include "tests/support/TempDir.h"

namespace {

using Names = std::vector<std::string>;

// Ten frames in two blocks, 40 x 30 at 10 frames per second.
void WriteMovie(const std::string& path) {
  FmrMovieBuilder builder(40, 30, 10);
  builder.KeyFrame(0x336699)
      .PartialFrame(4, 4, 8, 8, 0xFF0000)
      .PartialFrame(20, 10, 5, 3, 0x00FF00);
  builder.PartialFrame(1, 1, 2, 2, 0x0000FF).KeyFrame(0xEEEEEE).PartialFrame(1, 2, 3, 4, 0x0000FF);
  builder.PartialFrame(30, 20, 6, 6, 0x123456).PartialFrame(0, 0, 1, 1, 0x654321);
  builder.HoldFrame().StopFrame();
  builder.WriteFile(path);
}

// A key frame, frames - 2 lone ShowFrames and a stop frame.
void WriteLongMovie(const std::string& path, uint16_t width, uint16_t height, int frames) {
  FmrMovieBuilder builder(width, height, 10);
  builder.KeyFrame(0xABCDEF);
  for (int frame = 2; frame < frames; ++frame) {
    builder.HoldFrame();
  }
  builder.StopFrame().WriteFile(path);
}

std::unique_ptr<ZuTavoFile> Load(const std::string& path) {
  std::unique_ptr<ZuFileStream> stream(ZuFileStream::Open(path, ZuFileStream::Mode::kRead));
  auto movie = std::make_unique<ZuTavoFile>();
  EXPECT_TRUE(stream != nullptr) << path;
  if (stream) {
    EXPECT_EQ(movie->LoadFromStream(stream.get()), kZuSuccess) << movie->GetLastError();
  }
  return movie;
}

// The file is an FMR movie of frames frames that the independent parser reads.
void ExpectFmrMovie(const std::string& path, int frames) {
  SCOPED_TRACE(path);
  const std::unique_ptr<ZuTavoFile> movie = Load(path);
  EXPECT_EQ(movie->GetFrameCount(), frames);
  EXPECT_TRUE(ZuAnimationUtils::IsFMRSWF(*movie));
  ExpectOracleAccepts(path, *movie);
}

Names FilesIn(const TempDir& dir) {
  Names names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class EditCommands : public testing::Test {
 protected:
  void SetUp() override {
    WriteMovie(m_in);
    FmrMovieBuilder(40, 30, 10).KeyFrame(0xFF00FF).HoldFrame().StopFrame().WriteFile(m_small);
    m_inputs = FilesIn(m_dir);
  }

  TempDir m_dir;
  std::string m_in = m_dir.File("in.swf");        // 10 frames
  std::string m_small = m_dir.File("small.swf");  // 3 frames
  std::string m_out = m_dir.File("out.swf");
  Names m_inputs;
};

TEST_F(EditCommands, InsertSplitAndMergeWriteTheirResults) {
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::vector<std::pair<std::string, int>> written;  // file and its frame count
  };
  const std::string first = m_dir.File("first.swf");
  const std::string second = m_dir.File("second.swf");
  const std::vector<Case> cases = {
      {"insert inside",
       {"insert", m_in, "--at", "0.3", "--movie", m_small, "-o", m_out},
       {{m_out, 12}}},
      {"insert past the end",
       {"insert", m_in, "--at", "99", "--movie", m_small, "-o", m_out},
       {{m_out, 12}}},
      {"split", {"split", m_in, "--at", "0.4", "-o", first, second}, {{first, 4}, {second, 7}}},
      {"merge", {"merge", m_in, m_small, m_small, "-o", m_out}, {{m_out, 14}}},
  };
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

TEST_F(EditCommands, WritingOverAnInputOnlyInPlace) {
  const std::vector<uint8_t> original = ReadFileBytes(m_in);
  const std::vector<std::vector<std::string>> ways = {
      {"insert", m_in, "--at", "0.2", "--movie", m_small, "-o", m_in},
      {"merge", m_in, m_small, "-o", m_in},
  };
  for (const std::vector<std::string>& way : ways) {
    SCOPED_TRACE(way[0]);
    const FmreditRun refused = RunFmredit(way);
    EXPECT_EQ(refused.exitCode, kExitUsage) << refused.err;
    EXPECT_NE(refused.err.find("--in-place"), std::string::npos) << refused.err;
    EXPECT_EQ(ReadFileBytes(m_in), original);
  }
  std::vector<std::string> inPlace = ways[0];
  inPlace.push_back("--in-place");
  const FmreditRun run = RunFmredit(inPlace);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ExpectFmrMovie(m_in, 12);
  EXPECT_EQ(FilesIn(m_dir), m_inputs);
}

TEST_F(EditCommands, RefusalsSayWhyAndLeaveNoFile) {
  const std::string plain = m_dir.File("plain.swf");
  const std::string taller = m_dir.File("taller.swf");
  const std::string longer = m_dir.File("long.swf");
  FmrMovieBuilder(40, 30, 10).HoldFrame().HoldFrame().HoldFrame().WriteFile(plain);
  FmrMovieBuilder(40, 31, 10).KeyFrame(0x00FF00).HoldFrame().StopFrame().WriteFile(taller);
  // With in.swf (10 frames) 16000 frames, allowed; after small.swf is merged, 16002.
  WriteLongMovie(longer, 40, 30, 15990);
  const Names inputs = FilesIn(m_dir);
  const std::string first = m_dir.File("first.swf");
  const std::string second = m_dir.File("second.swf");
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::string message;
    int exitCode;
  };
  const std::vector<Case> cases = {
      {"insert into a movie that is not FMR",
       {"insert", plain, "--at", "0", "--movie", m_small, "-o", m_out},
       plain + ": not a valid FMR movie",
       kExitNotFMR},
      {"insert a movie that is not FMR",
       {"insert", m_in, "--at", "0", "--movie", plain, "-o", m_out},
       plain + ": not a valid FMR movie",
       kExitNotFMR},
      {"insert a taller movie",
       {"insert", m_in, "--at", "0.5", "--movie", taller, "-o", m_out},
       taller + ": the movie to insert is 40 x 31 pixels, " + m_in + " is 40 x 30",
       kExitDimensionMismatch},
      {"insert past the frame limit",
       {"insert", longer, "--at", "1", "--movie", longer, "-o", m_out},
       m_out + ": the result would have more than 16000 frames",
       kExitFrameLimit},
      {"insert a missing movie",
       {"insert", m_in, "--at", "0", "--movie", m_dir.File("none.swf"), "-o", m_out},
       m_dir.File("none.swf"),
       kExitFailure},
      {"split at frame 0",
       {"split", m_in, "--at", "0.04", "-o", first, second},
       "cannot split at frame 0",
       kExitFailure},
      {"split at the last frame",
       {"split", m_in, "--at", "1", "-o", first, second},
       "cannot split at frame 10",
       kExitFailure},
      {"split over the input", {"split", m_in, "--at", "0.3", "-o", first, m_in}, m_in, kExitUsage},
      {"split into one file",
       {"split", m_in, "--at", "0.3", "-o", first, first},
       "same file",
       kExitUsage},
      {"split a movie that is not FMR",
       {"split", plain, "--at", "0.1", "-o", first, second},
       plain + ": not a valid FMR movie",
       kExitNotFMR},
      {"merge past the frame limit on the second movie",
       {"merge", m_in, m_small, longer, "-o", m_out},
       m_out + ": the result would have more than 16000 frames",
       kExitFrameLimit},
      {"merge a movie that is not FMR",
       {"merge", m_in, m_small, plain, "-o", m_out},
       plain + ": not a valid FMR movie",
       kExitNotFMR},
      {"merge a taller movie",
       {"merge", m_in, taller, "-o", m_out},
       taller + ": the movie to insert is 40 x 31 pixels, " + m_in + " is 40 x 30",
       kExitDimensionMismatch},
      {"merge one movie", {"merge", m_in, "-o", m_out}, "FILES", kExitUsage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FmreditRun run = RunFmredit(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(FilesIn(m_dir), inputs);
  }
}

}  // namespace
