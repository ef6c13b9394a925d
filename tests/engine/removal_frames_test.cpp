// Frame removal on recorded movies, checked by what the player shows: for many cuts on
// 32- and 16-bit recordings with short and long key-frame blocks, every frame of the
// result is the input frame the edit keeps there, pixel for pixel; the result is again an
// FMR movie that can be cut again.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "tests/engine/EngineTestAccess.h"
#include "tests/engine/RecordedMovies.h"
#include "tests/support/Oracle.h"

namespace {

using Access = ZuFMRTavoFileTestAccess;
using Pictures = std::vector<ZuImage>;

struct Recording {
  int depth;
  int blockFrames;
};

std::string RecordingName(const testing::TestParamInfo<Recording>& info) {
  return "depth" + std::to_string(info.param.depth) + "_block" +
         std::to_string(info.param.blockFrames);
}

// The frames (from 2) whose tags open a new key-frame block with a clean-up block.
std::vector<int> BlockStarts(const ZuTavoFile& movie) {
  std::vector<int> starts;
  int frame = 1;
  bool hasFree = false;
  for (const ZuSwfTag* tag : movie) {
    if (tag->GetTagType() == ZuSwfTagFactory::kFreeCharacter) {
      hasFree = true;
    } else if (tag->GetTagType() == ZuSwfTagFactory::kShowFrame) {
      if (hasFree) {
        starts.push_back(frame);
      }
      hasFree = false;
      ++frame;
    }
  }
  return starts;
}

// Cuts (S, N) of every kind for a movie of frames frames with the given block starts:
// inside a block, across one or several block ends, from frame 1, ending right before a
// block, starting at a block, reaching the last two frames, clamped, and empty.
std::vector<std::pair<int, int>> ChooseCuts(int frames, const std::vector<int>& blockStarts) {
  std::set<std::pair<int, int>> cuts = {
      {0, 1},          {0, 3},          {0, frames - 3},  {0, frames - 2}, {1, 1},
      {2, 5},          {3, 10},         {6, 2},           {7, 1},          {frames - 5, 2},
      {frames - 4, 2}, {frames - 2, 1}, {frames - 6, 10}, {frames - 1, 3},
  };
  for (size_t i = 0; i < blockStarts.size() && i < 2; ++i) {
    const int start = blockStarts[i];
    for (int count : {1, 2}) {
      if (start - 1 - count >= 0) {
        cuts.insert({start - 1 - count, count});  // ends right before the block
      }
    }
    cuts.insert({start - 1, 3});  // starts with the block
  }
  return std::vector<std::pair<int, int>>(cuts.begin(), cuts.end());
}

// Removes frames S + 1 to S + N from the movie file input (whose frames are shown), writes
// the result to output, and checks every frame of it. Returns the result's frames.
Pictures CutAndCheck(const std::string& input, const Pictures& shown, int start, int count,
                     const std::string& output) {
  SCOPED_TRACE(testing::Message() << "S = " << start << ", N = " << count);
  const int frames = static_cast<int>(shown.size());
  ZuFMRTavoFile movie{ZuString(input)};
  EXPECT_TRUE(movie.IsValidFMRSWF());
  EXPECT_EQ(Access::RemoveFrames(movie, start, count, output), kZuSuccess);
  const int removed = std::min(count, frames - (start + 1));
  const bool reachesLastTwo = start + 1 + removed >= frames - 1;
  EXPECT_EQ(movie.GetFrameCount(), frames - removed);
  ExpectOracleAccepts(output, movie);

  ZuFMRTavoFile result{ZuString(output)};
  // A cut from frame 1 to the last two frames leaves no picture to build on.
  if (!(start == 0 && reachesLastTwo)) {
    EXPECT_TRUE(result.IsValidFMRSWF());
  }
  const Pictures pictures = RenderAllFrames(output);
  EXPECT_EQ(static_cast<int>(pictures.size()), frames - removed);
  for (int frame = 1; frame <= static_cast<int>(pictures.size()); ++frame) {
    int expected = frame;  // the input frame this result frame shows
    if (frame > start) {
      expected = reachesLastTwo ? start : frame + removed;
    }
    if (expected == 0) {
      continue;  // nothing is left to show
    }
    std::string where;
    const size_t different = CountDifferentPixels(pictures[frame - 1], shown[expected - 1], &where);
    EXPECT_EQ(different, 0u) << "frame " << frame << " should show input frame " << expected << ": "
                             << where;
    if (different != 0) {
      break;
    }
  }
  return pictures;
}

class RecordedRemoval : public testing::TestWithParam<Recording> {
 protected:
  void SetUp() override {
    const Recording& r = GetParam();
    m_frames = engine_test::MakeScreenFrames(21, 13, 18, 400 + r.depth + r.blockFrames);
    std::unique_ptr<ZuTavoFile> movie = RecordFrames(m_frames, r.depth, r.blockFrames);
    ASSERT_TRUE(movie != nullptr);
    m_blockStarts = BlockStarts(*movie);
    m_input = m_folder.File("input.swf");
    WriteMovieFile(*movie, m_input);
    m_shown = RenderAllFrames(m_input);
    ASSERT_EQ(m_shown.size(), m_frames.size() + 2);  // with the hold and stop frames
  }

  engine_test::ScratchFolder m_folder;
  Pictures m_frames;
  std::vector<int> m_blockStarts;
  std::string m_input;
  Pictures m_shown;
};

TEST_P(RecordedRemoval, EveryFrameOfTheResultIsTheFrameKept) {
  const int frames = static_cast<int>(m_shown.size());
  ASSERT_GE(m_blockStarts.size(), 2u) << "the recording should have several blocks";
  int index = 0;
  for (const auto& [start, count] : ChooseCuts(frames, m_blockStarts)) {
    const std::string output = m_folder.File("cut" + std::to_string(index++) + ".swf");
    CutAndCheck(m_input, m_shown, start, count, output);
    if (HasFatalFailure()) {
      return;
    }
  }
}

// A result is cut again, and that result once more, across the synthesized key frames.
TEST_P(RecordedRemoval, ResultsCanBeCutAgain) {
  struct Step {
    int start;
    int count;
  };
  const std::vector<std::vector<Step>> chains = {
      {{5, 4}, {3, 4}, {0, 2}},
      {{0, 3}, {0, 1}, {2, 6}},
      {{2, 1}, {2, 1}, {2, 1}},
  };
  int index = 0;
  for (const std::vector<Step>& chain : chains) {
    std::string input = m_input;
    Pictures shown = m_shown;
    for (const Step& step : chain) {
      const std::string output = m_folder.File("again" + std::to_string(index++) + ".swf");
      shown = CutAndCheck(input, shown, step.start, step.count, output);
      input = output;
      if (HasFailure()) {
        return;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Recordings, RecordedRemoval,
                         testing::Values(Recording{32, 1}, Recording{32, 3}, Recording{32, 100},
                                         Recording{16, 1}, Recording{16, 3}, Recording{16, 100}),
                         RecordingName);

}  // namespace
