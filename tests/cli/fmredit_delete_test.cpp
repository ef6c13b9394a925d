// fmredit delete as a user runs it: by time or by frame numbers, into a new file or in
// place, and the refusals, each on one line with no output file left behind.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/CliError.h"
#include "host/player/ZuAnimationUtils.h"
#include "host/swf/ZuTavoFile.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/Oracle.h"
#include "tests/support/TempDir.h"

namespace {

// Ten frames in two blocks at 10 frames per second.
std::string WriteMovie(const TempDir& dir, const std::string& name) {
  FmrMovieBuilder builder(40, 30, 10);
  builder.KeyFrame(0x336699)
      .PartialFrame(4, 4, 8, 8, 0xFF0000)
      .PartialFrame(20, 10, 5, 3, 0x00FF00);
  builder.PartialFrame(1, 1, 2, 2, 0x0000FF).KeyFrame(0xEEEEEE).PartialFrame(1, 2, 3, 4, 0x0000FF);
  builder.PartialFrame(30, 20, 6, 6, 0x123456).PartialFrame(0, 0, 1, 1, 0x654321);
  builder.HoldFrame().StopFrame();
  const std::string path = dir.File(name);
  builder.WriteFile(path);
  return path;
}

std::vector<std::string> FilesIn(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Frames 3 to 6 by number, by time, and by times that round to them, give the same file.
TEST(FmreditDelete, TimesAndFrameNumbersNameTheSameCut) {
  TempDir dir;
  const std::string input = WriteMovie(dir, "in.swf");
  const std::vector<std::vector<std::string>> ways = {
      {"--first-frame", "3", "--frame-count", "4"},
      {"--start", "0.2", "--length", "0.4"},
      {"--start", "0.16", "--length", "0.44"},
  };
  std::vector<uint8_t> first;
  for (size_t i = 0; i < ways.size(); ++i) {
    SCOPED_TRACE(i);
    const std::string output = dir.File("out" + std::to_string(i) + ".swf");
    std::vector<std::string> arguments = {"delete", input, "-o", output};
    arguments.insert(arguments.end(), ways[i].begin(), ways[i].end());
    const FmreditRun run = RunFmredit(arguments);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::unique_ptr<ZuTavoFile> movie = LoadMovieFile(output);
    EXPECT_EQ(movie->GetFrameCount(), 6);
    EXPECT_TRUE(ZuAnimationUtils::IsFMRSWF(*movie));
    ExpectOracleAccepts(output, *movie);
    // A new output gets the permissions of any new file.
    struct stat info {};
    ASSERT_EQ(stat(output.c_str(), &info), 0);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
    const std::vector<uint8_t> bytes = ReadFileBytes(output);
    if (i == 0) {
      first = bytes;
    } else {
      EXPECT_EQ(bytes, first);
    }
  }
}

TEST(FmreditDelete, InPlaceOnlyWhenAsked) {
  TempDir dir;
  const std::string input = WriteMovie(dir, "in.swf");
  const std::vector<uint8_t> original = ReadFileBytes(input);

  const FmreditRun refused =
      RunFmredit({"delete", input, "-o", input, "--first-frame", "2", "--frame-count", "1"});
  ExpectOneLineError(refused, input, kExitUsage);
  EXPECT_EQ(ReadFileBytes(input), original);

  const FmreditRun run = RunFmredit(
      {"delete", input, "-o", input, "--in-place", "--first-frame", "2", "--frame-count", "1"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::unique_ptr<ZuTavoFile> movie = LoadMovieFile(input);
  EXPECT_EQ(movie->GetFrameCount(), 9);
  EXPECT_TRUE(ZuAnimationUtils::IsFMRSWF(*movie));
  ExpectOracleAccepts(input, *movie);
  EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"in.swf"});
}

TEST(FmreditDelete, RefusalsLeaveNoOutput) {
  TempDir dir;
  const std::string input = WriteMovie(dir, "in.swf");
  const std::string notFmr = dir.File("plain.swf");
  FmrMovieBuilder(16, 12, 10).HoldFrame().HoldFrame().HoldFrame().WriteFile(notFmr);
  const std::string output = dir.File("out.swf");
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::string text;
    int exitCode;
  };
  const std::vector<Case> cases = {
      {"not FMR",
       {"delete", notFmr, "-o", output, "--start", "0", "--length", "0.1"},
       notFmr + ": not a valid FMR movie",
       kExitNotFMR},
      {"all but one frame",
       {"delete", input, "-o", output, "--first-frame", "1", "--frame-count", "9"},
       "at least two must remain",
       kExitFailure},
      {"less than half a frame",
       {"delete", input, "-o", output, "--start", "0", "--length", "0.04"},
       "no frame to delete",
       kExitFailure},
      {"past the last frame",
       {"delete", input, "-o", output, "--first-frame", "12", "--frame-count", "1"},
       "past the movie's last frame",
       kExitFailure},
      {"far past the last frame",
       {"delete", input, "-o", output, "--start", "1e300", "--length", "0.1"},
       "past the movie's last frame",
       kExitFailure},
      {"missing input",
       {"delete", dir.File("none.swf"), "-o", output, "--start", "0", "--length", "1"},
       dir.File("none.swf"),
       kExitFailure},
      {"times and frames mixed",
       {"delete", input, "-o", output, "--start", "0", "--frame-count", "1"},
       "--first-frame",
       kExitUsage},
      {"half a cut", {"delete", input, "-o", output, "--start", "0"}, "--length", kExitUsage},
      {"negative length",
       {"delete", input, "-o", output, "--start", "0", "--length", "-1"},
       "--length",
       kExitUsage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FmreditRun run = RunFmredit(c.arguments);
    ExpectOneLineError(run, c.text, c.exitCode);
    EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"in.swf", "plain.swf"}));
  }
}

}  // namespace
