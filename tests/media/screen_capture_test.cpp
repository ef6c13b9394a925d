// fmredit capture of an Xvfb screen whose colour the test sets, ended by its duration or by
// Ctrl-C part way.

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "host/player/ZuAnimationUtils.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/media/XvfbScreen.h"
#include "tests/support/Oracle.h"
#include "tests/support/RecordedMovie.h"
#include "tests/support/TempDir.h"

namespace {

constexpr uint32_t kRed = 0xd02020;
constexpr uint32_t kBlue = 0x2040c0;

uint32_t UniformColour(const ZuImage& picture) {
  const uint8_t* first = picture.GetBuffer();
  for (size_t i = 0; i < picture.GetBuffSize(); i += 4) {
    if (std::memcmp(first, picture.GetBuffer() + i, 3) != 0) {
      return 0xffffffff;
    }
  }
  return static_cast<uint32_t>(first[0]) << 16 | first[1] << 8 | first[2];
}

std::vector<std::string> CaptureArguments(const XvfbScreen& screen, const std::string& output) {
  return {"capture",  "-o",        output,  "--display", screen.Name(),
          "--region", "64x48+8+8", "--fps", "10"};
}

// The screen turns from red to blue while fmredit records it; Ctrl-C ends the recording,
// which gives a complete movie showing red, then blue, that the edits take.
TEST(ScreenCapture, InterruptedCaptureIsACompleteMovieOfTheScreen) {
  XvfbScreen screen;
  ASSERT_TRUE(screen.IsOpen());
  TempDir dir;
  const std::string movie = dir.File("capture.swf");
  screen.Paint(kRed);
  const pid_t capture = StartFmredit(CaptureArguments(screen, movie));
  ASSERT_GT(capture, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  screen.Paint(kBlue);
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  kill(capture, SIGINT);
  ASSERT_EQ(WaitForFmredit(capture), 0);

  std::unique_ptr<ZuTavoFile> loaded = LoadMovieFile(movie);
  ASSERT_TRUE(loaded != nullptr);
  EXPECT_TRUE(ZuAnimationUtils::IsFMRSWF(*loaded));
  ExpectOracleAccepts(movie, *loaded);
  std::vector<uint32_t> colours;
  for (const ZuImage& frame : RenderAllFrames(movie)) {
    colours.push_back(UniformColour(frame));
  }
  ASSERT_GE(colours.size(), 4u);
  EXPECT_EQ(colours.front(), kRed);
  EXPECT_EQ(colours.back(), kBlue);
  const auto turn = std::find(colours.begin(), colours.end(), kBlue);
  EXPECT_TRUE(std::all_of(colours.begin(), turn, [](uint32_t c) { return c == kRed; }));
  EXPECT_TRUE(std::all_of(turn, colours.end(), [](uint32_t c) { return c == kBlue; }));

  const FmreditRun edit = RunFmredit(
      {"delete", movie, "-o", dir.File("edited.swf"), "--first-frame", "2", "--frame-count", "1"});
  EXPECT_EQ(edit.exitCode, 0) << edit.err;
  ExpectFmrMovie(dir.File("edited.swf"), static_cast<int>(colours.size()) - 1);
}

// A duration gives exactly its frames; a region off the screen is refused with no file.
TEST(ScreenCapture, DurationAndRegion) {
  XvfbScreen screen;
  ASSERT_TRUE(screen.IsOpen());
  TempDir dir;
  std::vector<std::string> arguments = CaptureArguments(screen, dir.File("short.swf"));
  arguments.insert(arguments.end(), {"--duration", "0.5"});
  const FmreditRun run = RunFmredit(arguments);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ExpectFmrMovie(dir.File("short.swf"), 5 + 2);

  const FmreditRun outside = RunFmredit({"capture", "-o", dir.File("outside.swf"), "--display",
                                         screen.Name(), "--region", "64x48+300+0"});
  ExpectOneLineError(outside, "not inside the screen", 1);
  EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"short.swf"});
}

}  // namespace
