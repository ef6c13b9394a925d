// fmredit capture of an Xvfb screen whose colour the test sets, ended by its duration or by
// Ctrl-C part way, and the pointer and keys it records beside the pictures.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "host/player/ZuAnimationUtils.h"
#include "host/player/ZuTavoPlayer.h"
#include "host/pointer/ZuOverlayChoice.h"
#include "host/pointer/ZuPointerOverlay.h"
#include "host/pointer/ZuPointerTags.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/media/MediaTestUtil.h"
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

// Reads the capture's status line ("\rcaptured 1.2 s, 12 frames, 0 dropped\x1b[K"), which
// fmredit shows only on a terminal, from the pseudo-terminal it writes to, until it counts
// `frames` frames or 60 s pass. Returns the count shown last.
int WaitForFrames(int terminal, int frames) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  int shown = 0;
  std::string text;
  while (shown < frames && std::chrono::steady_clock::now() < deadline) {
    pollfd ready{terminal, POLLIN, 0};
    char bytes[256];
    const ssize_t got = poll(&ready, 1, 100) == 1 ? read(terminal, bytes, sizeof bytes) : 0;
    text.append(bytes, static_cast<size_t>(std::max<ssize_t>(got, 0)));
    const size_t end = text.rfind("\x1b[K");  // the end of the last whole status
    const size_t start = end == std::string::npos ? end : text.rfind('\r', end);
    if (start != std::string::npos) std::sscanf(&text[start], "\rcaptured %*f s, %d", &shown);
  }
  return shown;
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
  const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_TRUE(terminal >= 0 && grantpt(terminal) == 0 && unlockpt(terminal) == 0);
  const pid_t capture = StartFmredit(CaptureArguments(screen, movie), ptsname(terminal));
  ASSERT_GT(capture, 0);
  const int first = WaitForFrames(terminal, 1);
  screen.Paint(kBlue);
  // Frames counted a second (ten frames) after the paint were grabbed after it, past the few
  // grabs that wait ahead of the recording.
  const int turned = first > 0 ? WaitForFrames(terminal, first + 10) : 0;
  kill(capture, SIGINT);
  ASSERT_EQ(WaitForFmredit(capture), 0);
  close(terminal);
  ASSERT_GE(turned, first + 10) << "the capture counted " << first << ", then " << turned;

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

// A duration gives exactly its frames, after the delay, on the display $DISPLAY names, and
// the totals printed are the written file's; a video name gets a video of them; a region off
// the screen is refused with no file.
TEST(ScreenCapture, DurationAndRegion) {
  XvfbScreen screen;
  ASSERT_TRUE(screen.IsOpen());
  TempDir dir;
  setenv("DISPLAY", screen.Name().c_str(), 1);
  for (const char* name : {"short.swf", "short.mp4"}) {
    std::vector<std::string> arguments = CaptureArguments(screen, dir.File(name));
    arguments.erase(arguments.begin() + 3, arguments.begin() + 5);  // --display
    arguments.insert(arguments.end(), {"--duration", "0.5", "--delay", "0.2"});
    const FmreditRun run = RunFmredit(arguments);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find(dir.File(name) + ": 0.70 s, 7 frames"), std::string::npos) << run.out;
  }
  unsetenv("DISPLAY");
  ExpectOneLineError(RunFmredit({"capture", "-o", dir.File("x.swf")}), "no X display", 2);
  ExpectFmrMovie(dir.File("short.swf"), 5 + 2);
  double seconds = 0;
  EXPECT_EQ(DecodeVideo(dir.File("short.mp4"), &seconds).size(), 7u);
  std::filesystem::remove(dir.File("short.mp4"));

  const FmreditRun outside = RunFmredit({"capture", "-o", dir.File("outside.swf"), "--display",
                                         screen.Name(), "--region", "64x48+300+0"});
  ExpectOneLineError(outside, "not inside the screen", 1);
  EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"short.swf"});
}

// What xdotool does during a capture of the region 64x48+8+8, each step lasting several
// frames: the pointer starts in the middle of the screen (outside the region), stops at two
// places inside it, clicks and types at the second, and leaves.
const std::vector<std::vector<std::string>> kInputSteps = {
    {"mousemove", "30", "20"},
    {"mousemove", "50", "40"},
    {"click", "1"},
    {"key", "ctrl+s"},
    {"key", "a"},
    {"mousemove", "200", "200"},
};
// Where the pointer stood for the steps above, relative to the region; (-1, -1): outside.
using Stops = std::vector<std::pair<int, int>>;
const Stops kPointerStops = {{-1, -1}, {22, 12}, {42, 32}, {-1, -1}};
using Clicks = std::vector<std::tuple<uint8_t, int, int>>;  // buttons pressed, where

// Whether every pixel of picture inside area (clipped to it) is red.
bool RedIn(const ZuImage& picture, ZuPixelRect area) {
  area = area.Intersect({0, 0, picture.GetWidth(), picture.GetHeight()});
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      const uint8_t* pixel = picture.Row(y) + ptrdiff_t{4} * x;
      if ((uint32_t{pixel[0]} << 16 | pixel[1] << 8 | pixel[2]) != kRed) {
        return false;
      }
    }
  }
  return true;
}

// Over the captured pictures (all red), the overlay draws the cursor image at each recorded
// position, pixel for pixel, and nothing else. (Rings, captions and the pointer hidden are the
// export tests' part.)
void ExpectOverlayOfCapture(const ZuTavoFile& movie, const ZuPointerTrack& track) {
  const int width = static_cast<int>(movie.GetWidth());
  const int height = static_cast<int>(movie.GetHeight());
  ZuOverlayChoice choice;
  choice.pointer = ZuPointerLook::kShow;
  const std::unique_ptr<ZuPointerOverlay> overlay = ZuOverlayForMovie(movie, choice);
  ASSERT_TRUE(overlay != nullptr);
  ZuTavoPlayer player(32);
  ASSERT_TRUE(player.LoadMovie(movie));
  for (int frame = 0; frame < player.GetFrameCount(); ++frame) {
    SCOPED_TRACE("frame " + std::to_string(frame + 1));
    ASSERT_TRUE(player.GotoFrameAndPlay(frame + 1));
    const ZuImage* picture = player.DrawCurrentScreen();
    ASSERT_TRUE(picture != nullptr);
    ZuPixelRect redrawn = player.GetRedrawnArea();
    const ZuImage& shown = overlay->Draw(*picture, frame + 1, redrawn);
    const ZuPointerFrame& pointer = track.frames[static_cast<size_t>(frame)];
    if (!pointer.shown) {
      EXPECT_TRUE(RedIn(shown, {0, 0, width, height}));
      continue;
    }
    const ZuPointerShape& shape = track.shapes[static_cast<size_t>(pointer.shape)];
    const ZuPixelRect box{pointer.x - shape.hotX, pointer.y - shape.hotY,
                          pointer.x - shape.hotX + shape.width,
                          pointer.y - shape.hotY + shape.height};
    EXPECT_TRUE(
        RedIn(shown, {0, 0, width, box.top}) && RedIn(shown, {0, box.bottom, width, height}) &&
        RedIn(shown, {0, 0, box.left, height}) && RedIn(shown, {box.right, 0, width, height}))
        << "drawn outside the cursor image";
    for (int y = std::max(box.top, 0); y < std::min(box.bottom, height); ++y) {
      for (int x = std::max(box.left, 0); x < std::min(box.right, width); ++x) {
        const uint8_t* want =
            &shape.rgba[4 * static_cast<size_t>((y - box.top) * shape.width + x - box.left)];
        if (want[3] == 255) {
          ASSERT_EQ(std::memcmp(shown.Row(y) + ptrdiff_t{4} * x, want, 3), 0)
              << "the cursor image's pixel at " << x << "," << y;
        }
      }
    }
  }
}

// The pointer, the click and the keys are recorded frame by frame as the options ask, and
// never drawn into the pictures.
TEST(ScreenCapture, RecordsThePointerAndKeysBesideThePictures) {
  struct Case {
    std::vector<std::string> options;
    Stops stops;
    Clicks clicks;
    std::vector<std::string> keys;
  };
  const Clicks click = {{kZuLeftButton, 42, 32}};
  const Case cases[] = {
      {{"--keys"}, kPointerStops, click, {"Ctrl+S"}},
      {{"--keys", "all"}, kPointerStops, click, {"Ctrl+S", "A"}},
      {{"--no-pointer", "--keys"}, {{-1, -1}}, {}, {"Ctrl+S"}},
  };
  XvfbScreen screen;
  ASSERT_TRUE(screen.IsOpen());
  screen.Paint(kRed);
  int cursorWidth = 0;
  int cursorHeight = 0;
  int hotX = 0;
  int hotY = 0;
  ASSERT_TRUE(screen.CursorImage(cursorWidth, cursorHeight, hotX, hotY));
  TempDir dir;
  for (const Case& test : cases) {
    SCOPED_TRACE(test.options.front());
    ASSERT_TRUE(screen.Xdotool({"mousemove", "160", "120"}));
    const std::string movie = dir.File("input.swf");
    std::vector<std::string> arguments = CaptureArguments(screen, movie);
    arguments.back() = "20";  // frames a second
    arguments.insert(arguments.end(), test.options.begin(), test.options.end());
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(terminal >= 0 && grantpt(terminal) == 0 && unlockpt(terminal) == 0);
    const pid_t capture = StartFmredit(arguments, ptsname(terminal));
    int shown = WaitForFrames(terminal, 4);
    for (const std::vector<std::string>& step : kInputSteps) {
      EXPECT_TRUE(screen.Xdotool(step));
      shown = WaitForFrames(terminal, shown + 5);
    }
    kill(capture, SIGINT);
    ASSERT_EQ(WaitForFmredit(capture), 0);
    close(terminal);

    std::unique_ptr<ZuTavoFile> loaded = LoadMovieFile(movie);
    ASSERT_TRUE(loaded != nullptr);
    ExpectOracleAccepts(movie, *loaded);
    for (const ZuImage& frame : RenderAllFrames(movie)) {
      ASSERT_EQ(UniformColour(frame), kRed) << "a picture holds the pointer";
    }
    const ZuPointerTrack track = ZuReadPointerTrack(*loaded);
    ASSERT_EQ(track.frames.size(), static_cast<size_t>(loaded->GetFrameCount()));
    std::vector<std::string> keys;
    Stops stops;
    Clicks clicks;
    int framesAtFirstStop = 0;
    for (const ZuPointerFrame& frame : track.frames) {
      keys.insert(keys.end(), frame.keys.begin(), frame.keys.end());
      const std::pair<int, int> at = frame.shown ? std::pair(frame.x, frame.y) : std::pair(-1, -1);
      if (stops.empty() || stops.back() != at) {
        stops.push_back(at);
      }
      framesAtFirstStop += stops.size() == 2 ? 1 : 0;
      if (frame.pressed != 0) {
        clicks.emplace_back(frame.pressed, at.first, at.second);
      }
      if (frame.shown) {
        const ZuPointerShape& shape = track.shapes.at(static_cast<size_t>(frame.shape));
        EXPECT_EQ(std::tie(shape.width, shape.height, shape.hotX, shape.hotY),
                  std::tie(cursorWidth, cursorHeight, hotX, hotY));
      }
    }
    EXPECT_EQ(keys, test.keys);
    EXPECT_EQ(stops, test.stops);
    EXPECT_EQ(clicks, test.clicks);
    if (test.stops.size() > 1) {
      EXPECT_GE(framesAtFirstStop, 3);  // stood still there for several frames
    }
    if (test.options.size() == 1) {
      ExpectOverlayOfCapture(*loaded, track);
    }
  }
}

}  // namespace
