// Tighten and speed-up, end to end on recorded terminal sessions (32- and 16-bit, blocks of
// several lengths): the frames each edit keeps are worked out here from the recording's
// pictures, never from its tags, and must be the ones the library finds; the movie it writes
// is an FMR movie of that many frames whose every frame shows, pixel for pixel, the input
// frame it keeps, and the independent parser reads it. Then what DropFrames refuses.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "host/player/ZuAnimationUtils.h"
#include "host/util/ZuMemoryStream.h"
#include "retime/FrameDrop.h"
#include "retime/KeptFrames.h"
#include "retime/StillFrames.h"
#include "tests/support/FileBytes.h"
#include "tests/support/Oracle.h"
#include "tests/support/RecordedMovie.h"
#include "tests/support/ScreenFrames.h"
#include "tests/support/TempDir.h"

namespace {

using Keep = std::vector<bool>;

// The screen: a terminal on the left, a clock in the top right corner, a caret at the bottom.
constexpr int kWidth = 40;
constexpr int kHeight = 24;
constexpr ZuPixelRect kTerminal{0, 2, 30, 20};  // six lines of two rows and a gap
constexpr ZuPixelRect kClock{33, 1, 38, 4};
constexpr ZuPixelRect kAroundClock{31, 0, 40, 6};
constexpr ZuPixelRect kCaret{2, 21, 3, 23};  // two pixels
constexpr int64_t kSmallerThanClock = 4;     // the caret's two pixels count, the clock's 15 not

// A session: lines typed in two frames each, a pause after each (the first pause may come
// before any line, and the session may end in a pause). Every other pause (the second, the
// fourth, ...) has the clock tick every fourth frame and the caret blink every fifth from
// the third (both in its eighth), so that only the rules that ignore them see it all still. The
// seventh line scrolls the terminal, a change large enough to open a key-frame block.
Pictures TerminalSession(const std::vector<int>& pauses, bool idleFirst, bool endInPause,
                         uint32_t seed) {
  std::mt19937 random(seed);
  ZuImage screen(kWidth, kHeight);
  FillRect(screen, 0, 0, kWidth, kHeight, random);
  Pictures frames = {screen};
  int lines = 0;
  const auto typeLine = [&] {
    const int y = kTerminal.top + 3 * std::min(lines++, 5);
    if (lines > 6) {
      for (int row = kTerminal.top; row + 3 < kTerminal.bottom; ++row) {
        std::copy_n(screen.Row(row + 3), 4 * kTerminal.right, screen.Row(row));
      }
    }
    for (const int x : {2, 8}) {
      FillRect(screen, x, y, 6, 2, random);
      frames.push_back(screen);
    }
  };
  for (size_t i = 0; i < pauses.size(); ++i) {
    if (i > 0 || !idleFirst) {
      typeLine();
    }
    const bool busy = i % 2 == 1;
    for (int j = 1; j <= pauses[i]; ++j) {
      for (const ZuPixelRect& part : {busy && j % 4 == 0 ? kClock : ZuPixelRect{},
                                      busy && j % 5 == 3 ? kCaret : ZuPixelRect{}}) {
        FillRect(screen, part.left, part.top, part.Width(), part.Height(), random);
      }
      frames.push_back(screen);
    }
  }
  if (!endInPause) {
    typeLine();
  }
  return frames;
}

// Whether after shows nothing new over before under the rule, from the pixels alone: every
// pixel that differs lies in an ignored region, or the box of those that do not is smaller
// than the rule's area. (The clock and the caret are far apart, so that the recorder makes
// each a picture of its own, as a screen's would be.)
bool StillInPixels(const ZuImage& before, const ZuImage& after, const StillRule& rule) {
  ZuPixelRect counted;
  for (int y = 0; y < after.GetHeight(); ++y) {
    for (int x = 0; x < after.GetWidth(); ++x) {
      const ZuPixelRect pixel{x, y, x + 1, y + 1};
      const bool ignored = std::any_of(rule.ignore.begin(), rule.ignore.end(), [&](auto& region) {
        return region.Intersect(pixel) == pixel;
      });
      if (!ignored &&
          !std::equal(before.Row(y) + 4 * x, before.Row(y) + 4 * x + 4, after.Row(y) + 4 * x)) {
        counted = counted.Union(pixel);
      }
    }
  }
  return counted.IsEmpty() || counted.Area() < rule.ignoreSmallerThan;
}

// The still frames of the recording shown: by its pictures, but a frame where the recorder
// opened a key-frame block places the whole stage, so the movie cannot know it still (the
// recorder opens blocks on changed frames only, by picture count as well as by area: with
// one-picture blocks, every blink of the caret opens one).
Keep ExpectedStill(const Pictures& shown, const std::vector<int>& keyFrames,
                   const StillRule& rule) {
  Keep still(shown.size(), false);
  for (size_t i = 1; i < shown.size(); ++i) {
    still[i] = StillInPixels(shown[i - 1], shown[i], rule);
  }
  for (const int frame : keyFrames) {
    still[size_t(frame) - 1] = false;
  }
  return still;
}

// Every still run longer than maxStill keeps its first maxStill frames; a run that reaches
// the last frame keeps that one in place of its last kept frame.
Keep ExpectedTighten(const Keep& still, int maxStill, std::vector<StillStretch>* stretches) {
  const int n = static_cast<int>(still.size());
  Keep keep(still.size(), true);
  for (int first = 1; first <= n; ++first) {
    int last = first - 1;
    while (last < n && still[size_t(last)]) ++last;
    if (last - first + 1 > maxStill) {
      stretches->push_back({first, last});
      for (int frame = first + maxStill; frame <= last; ++frame) keep[size_t(frame) - 1] = false;
      if (last == n) {
        if (maxStill > 0) keep[size_t(first + maxStill - 2)] = false;
        keep.back() = true;
      }
    }
    first = std::max(first, last + 1);
  }
  return keep;
}

// Frames first to last show every step-th one from the first (with shown > 0: shown of
// them, spread evenly); frame 1 and the last frame always stay.
Keep ExpectedSpeed(int n, int first, int last, double step, int shown) {
  Keep keep(size_t(n), true);
  const int range = last - first + 1;
  std::fill(keep.begin() + (first - 1), keep.begin() + last, false);
  for (int k = 0; shown > 0 ? k < shown : std::floor(k * step) < range; ++k) {
    keep[size_t(first - 1 + (shown > 0 ? k * range / shown : int(std::floor(k * step))))] = true;
  }
  keep.front() = keep.back() = true;
  return keep;
}

struct Recording {
  const char* name;
  int depth;
  int blockPictures;
  bool idleFirst;  // the session opens and ends with a pause
};

void PrintTo(const Recording& recording, std::ostream* out) {
  *out << recording.name;
}

class TimingEdits : public testing::TestWithParam<Recording> {
 protected:
  void SetUp() override {
    const Recording& r = GetParam();
    const Pictures frames = r.idleFirst
                                ? TerminalSession({10, 25, 1, 3, 10, 1, 3, 10}, true, true, 7)
                                : TerminalSession({1, 10, 3, 25, 10, 3, 25, 2}, false, false, 8);
    std::string error;
    const std::unique_ptr<ZuTavoFile> movie =
        RecordPictures(frames, r.depth, r.blockPictures, &error, 10, 2, &m_keyFrames);
    ASSERT_TRUE(movie != nullptr) << error;
    WriteMovieFile(*movie, m_input);
    m_shown = RenderAllFrames(m_input);
    ASSERT_EQ(m_shown.size(), frames.size() + 2);  // the hold and stop frames
  }
  void TearDown() override { ExpectOracleAcceptsFiles(m_written); }

  // Drops the frames keep leaves out of the recording, writes the result and checks it.
  void ExpectDropShows(const Keep& keep) {
    ZuFMRTavoFile movie{ZuString(m_input)};
    ASSERT_EQ(DropFrames(movie, keep), "");
    const std::string output = m_folder.File("out" + std::to_string(m_written.size()) + ".swf");
    WriteMovieFile(movie, output);
    m_written.push_back(output);
    const ZuFMRTavoFile written{ZuString(output)};
    EXPECT_TRUE(ZuAnimationUtils::IsFMRSWF(written)) << ZuAnimationUtils::WhyNotFMRSWF(written);
    Pictures expected;
    for (size_t i = 0; i < keep.size(); ++i) {
      if (keep[i]) expected.push_back(m_shown[i]);
    }
    EXPECT_EQ(written.GetFrameCount(), expected.size());
    ExpectSamePictures(RenderAllFrames(output), expected);
  }

  TempDir m_folder;
  const ZuTemporaryFolder::Use m_use{m_folder.Path()};
  const std::string m_input = m_folder.File("session.swf");
  std::vector<int> m_keyFrames;
  Pictures m_shown;
  std::vector<std::string> m_written;
};

TEST_P(TimingEdits, TightenKeepsWhatThePicturesSay) {
  const struct {
    const char* name;
    StillRule rule;
  } rules[] = {
      {"every change counts", {}},
      {"the clock ignored", {{kAroundClock}, 0}},
      {"the caret ignored", {{}, kSmallerThanClock}},
      {"clock and caret ignored", {{kAroundClock}, kSmallerThanClock}},
  };
  const ZuFMRTavoFile movie{ZuString(m_input)};
  for (const auto& [name, rule] : rules) {
    const Keep still = ExpectedStill(m_shown, m_keyFrames, rule);
    ASSERT_EQ(FindStillFrames(movie, rule), still) << name;
    for (const int maxStill : {0, 1, 4}) {
      SCOPED_TRACE(std::string(name) + ", at most " + std::to_string(maxStill) + " still");
      std::vector<StillStretch> stretches;
      const Keep keep = ExpectedTighten(still, maxStill, &stretches);
      EXPECT_EQ(StillStretches(still, maxStill), stretches);
      ASSERT_EQ(TightenKeeps(still, maxStill), keep);
      ExpectDropShows(keep);
    }
  }
}

TEST_P(TimingEdits, SpeedKeepsEveryStepOrACount) {
  const int n = static_cast<int>(m_shown.size());
  const struct {
    int first, last;
    double step;  // 0: shown frames instead
    int shown;
  } rows[] = {
      {1, 20, 2, 0},     {1, 9, 0, 4},       {21, 50, 2.5, 0},   {30, 52, 0, 1},
      {n - 30, n, 4, 0}, {n - 15, n, 0, 15}, {2, n - 1, 2.5, 0}, {10, 40, 0, 7},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.first) + " to " + std::to_string(row.last) + " step " +
                 std::to_string(row.step) + " shown " + std::to_string(row.shown));
    const Keep keep = ExpectedSpeed(n, row.first, row.last, row.step, row.shown);
    ASSERT_EQ(row.step > 0 ? SpeedKeeps(n, row.first, row.last, row.step)
                           : SpeedKeepsCount(n, row.first, row.last, row.shown),
              keep);
    ExpectDropShows(keep);
  }
}

// A list of the wrong size, or one that drops the first or the last frame: refused in one
// line, the movie unchanged.
TEST_P(TimingEdits, DropFramesRefusesListsThatBreakTheMovie) {
  const size_t n = m_shown.size();
  Keep dropFirst(n, true), dropLast(n, true);
  dropFirst.front() = false;
  dropLast.back() = false;
  for (const Keep& keep : {Keep(n - 1, true), Keep(n + 1, true), dropFirst, dropLast}) {
    ZuFMRTavoFile movie{ZuString(m_input)};
    const std::string reason = DropFrames(movie, keep);
    EXPECT_NE(reason, "");
    EXPECT_EQ(reason.find('\n'), std::string::npos) << reason;
    ZuMemoryStream bytes;
    ASSERT_EQ(movie.DumpToStream(&bytes), kZuSuccess);
    EXPECT_EQ(bytes.TakeBytes(), ReadFileBytes(m_input)) << reason;
  }
}

INSTANTIATE_TEST_SUITE_P(Recordings, TimingEdits,
                         testing::Values(Recording{"depth32_blocks3", 32, 3, false},
                                         Recording{"depth32_blocks100_idle_ends", 32, 100, true},
                                         Recording{"depth16_blocks1_idle_ends", 16, 1, true},
                                         Recording{"depth16_blocks8", 16, 8, false},
                                         Recording{"depth32_blocks1", 32, 1, false},
                                         Recording{"depth16_blocks100", 16, 100, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
