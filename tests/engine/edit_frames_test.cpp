// The edits on recorded movies, checked by what the player shows: on 32- and 16-bit
// recordings with short and long key-frame blocks, every frame of each result is the frame
// the edit keeps there, pixel for pixel, the result is again an FMR movie that the
// independent parser reads, and results can be edited again. Among the shapes: cuts through
// the last pictures and of every picture, cuts and merges of a split's first part (which ends
// on a frame that draws), and a split of a movie that had another inserted in front.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "tests/engine/EditedFrames.h"
#include "tests/support/TempDir.h"

namespace {

using engine_test::ExpectEditedFrames;

struct Recording {
  int depth;
  int blockFrames;
};

// A movie file and its frames as the player shows them.
struct Shown {
  std::string path;
  Pictures frames;
  int Count() const { return static_cast<int>(frames.size()); }
};

// One edit of a movie, its numbers counted in frames:
//   remove: frames a + 1 to a + b go;         insert: the other movie after frame a;
//   split: at frame a, going on with part b;  merge: the other movie (a = 2: then this one).
// The recordings run at 10 frames per second, so frames are given to the edits as tenths.
enum class Edit { kRemove, kInsert, kSplit, kMerge };
struct Step {
  Edit edit;
  int a;
  int b;
};

// The frames (from 2) whose tags open a new key-frame block with a clean-up block.
std::vector<int> BlockStarts(const std::string& path) {
  const ZuFMRTavoFile movie{ZuString(path)};
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

// What a movie (frames shown) with other (frames otherShown) inserted after frame k shows:
// its frames 1 to k, other's frames but its last, then its frames from k + 1 on. At or past
// the end k is the last frame but one, and the last frame, the stop frame, draws nothing:
// it still shows the inserted movie's last picture.
Pictures ExpectedInsertion(const Pictures& shown, const Pictures& otherShown, int k) {
  const int frames = static_cast<int>(shown.size());
  const int others = static_cast<int>(otherShown.size());
  const int at = std::min(k, frames - 1);
  Pictures expected = Concat({FramesOf(shown, 1, at), FramesOf(otherShown, 1, others - 1),
                              FramesOf(shown, at + 1, frames)});
  if (at == frames - 1) {
    expected.back() = otherShown[others - 2];
  }
  return expected;
}

class EditedRecording : public testing::TestWithParam<Recording> {
 protected:
  void SetUp() override {
    const int seed = 300 + GetParam().depth + GetParam().blockFrames;
    m_movie = Record("movie.swf", 15, seed);
    m_other = Record("other.swf", 6, seed + 600);
    ASSERT_FALSE(HasFailure());
    m_blockStarts = BlockStarts(m_movie.path);
    ASSERT_GE(m_blockStarts.size(), 2u) << "the recording should have several blocks";
  }

  Shown Record(const std::string& name, int count, int seed) {
    Shown shown{m_folder.File(name), {}};
    shown.frames = engine_test::RecordToFile(MakeScreenFrames(21, 13, count, seed),
                                             GetParam().depth, GetParam().blockFrames, shown.path);
    EXPECT_EQ(shown.Count(), count + 2);  // with the hold and stop frames
    return shown;
  }

  // Makes the edit of the movie in, checks every frame of what it writes, and returns the
  // result to go on with.
  Shown Apply(const Shown& in, const Step& step) {
    SCOPED_TRACE(testing::Message() << in.path << ": edit " << static_cast<int>(step.edit) << " ("
                                    << step.a << ", " << step.b << ")");
    const std::string out = m_folder.File("edit" + std::to_string(m_files++) + ".swf");
    ZuFMRTavoFile movie{ZuString(in.path)};
    switch (step.edit) {
      case Edit::kRemove:
        return Remove(movie, in, step.a, step.b, out);
      case Edit::kInsert:
        EXPECT_EQ(
            movie.InsertFMRSWFFile(ZuString(m_other.path), ZuReal(step.a / 10.0), ZuString(out)),
            kZuSuccess);
        return {out, ExpectEditedFrames(out, movie,
                                        ExpectedInsertion(in.frames, m_other.frames, step.a))};
      case Edit::kSplit: {
        const std::string second = out + "-2.swf";
        EXPECT_EQ(movie.SplitSWF(ZuReal(step.a / 10.0), ZuString(out), ZuString(second)),
                  kZuSuccess);
        const Shown first{out, ExpectEditedFrames(out, movie, FramesOf(in.frames, 1, step.a))};
        const ZuFMRTavoFile secondMovie{ZuString(second)};
        const Shown rest{second, ExpectEditedFrames(second, secondMovie,
                                                    FramesOf(in.frames, step.a, in.Count()))};
        return step.b == 1 ? first : rest;
      }
      case Edit::kMerge:
        return Merge(
            movie, in,
            step.a == 1 ? std::vector<Shown>{m_other} : std::vector<Shown>{m_other, m_movie}, out);
    }
    return {};
  }

  // The result shows the frames up to the cut, then those after it, the last frame kept.
  Shown Remove(ZuFMRTavoFile& movie, const Shown& in, int start, int count,
               const std::string& out) {
    const int frames = in.Count();
    EXPECT_EQ(movie.RemoveFrames(ZuReal(start / 10.0), ZuReal(count / 10.0), ZuString(out)),
              kZuSuccess);
    const int removed = std::min(count, frames - (start + 1));
    Pictures expected = FramesOf(in.frames, 1, start);
    for (int frame = start + 1; frame <= frames - removed; ++frame) {
      expected.push_back(in.frames[frame + removed - 1]);
    }
    return {out, ExpectEditedFrames(out, movie, expected)};
  }

  // Each movie's frames but its last, in order, then the first movie's last frame, which keeps
  // only its stop action: it still shows the last merged movie's last picture.
  Shown Merge(ZuFMRTavoFile& movie, const Shown& in, const std::vector<Shown>& others,
              const std::string& out) {
    std::vector<ZuString> paths;
    Pictures expected = FramesOf(in.frames, 1, in.Count() - 1);
    for (const Shown& other : others) {
      paths.push_back(ZuString(other.path));
      expected = Concat({expected, FramesOf(other.frames, 1, other.Count() - 1)});
    }
    expected.push_back(expected.back());
    EXPECT_EQ(movie.MergeSWFs(paths, ZuString(out)), kZuSuccess);
    return {out, ExpectEditedFrames(out, movie, expected)};
  }

  // Each step applied to the movie on its own; stops at the first that fails.
  void ApplyEach(const std::vector<Step>& steps) {
    for (const Step& step : steps) {
      Apply(m_movie, step);
      if (HasFailure()) {
        return;
      }
    }
  }

  TempDir m_folder;
  const ZuTemporaryFolder::Use m_use{m_folder.Path()};
  Shown m_movie;
  Shown m_other;
  std::vector<int> m_blockStarts;
  int m_files = 0;
};

// Inside a block, across one or several block ends, from frame 1, ending right before a
// block, starting at a block, through the last pictures, of every picture, reaching the last
// two frames, clamped, at the last frame.
TEST_P(EditedRecording, Removal) {
  const int frames = m_movie.Count();
  std::set<std::pair<int, int>> cuts = {
      {0, 1},          {0, 3},          {0, frames - 3}, {0, frames - 2},  {1, 1},
      {2, 5},          {3, 10},         {6, 2},          {7, 1},           {frames - 5, 2},
      {frames - 4, 2}, {frames - 2, 1}, {frames - 1, 3}, {frames - 6, 10},
  };
  for (size_t i = 0; i < 2; ++i) {
    const int start = m_blockStarts[i];
    cuts.insert({start - 2, 1});  // ends right before the block
    cuts.insert({start - 3, 2});
    cuts.insert({start - 1, 3});  // starts with the block
  }
  std::vector<Step> steps;
  for (const auto& [start, count] : cuts) {
    if (start >= 0) {
      steps.push_back({Edit::kRemove, start, count});
    }
  }
  ApplyEach(steps);
}

// At frame 0, inside a block, at and around a block's start, just before the hold frame, at
// the last frame, and past the end.
TEST_P(EditedRecording, Insertion) {
  const int frames = m_movie.Count();
  std::set<int> points = {0, 1, 2, frames - 2, frames - 1, frames, frames + 7};
  for (size_t i = 0; i < 2; ++i) {
    points.insert({m_blockStarts[i] - 1, m_blockStarts[i], m_blockStarts[i] + 1});
  }
  std::vector<Step> steps;
  for (const int k : points) {
    steps.push_back({Edit::kInsert, k, 0});
  }
  ApplyEach(steps);
}

TEST_P(EditedRecording, Split) {
  const int frames = m_movie.Count();
  std::set<int> cuts = {1, 2, frames - 2, frames - 1};
  for (size_t i = 0; i < 2; ++i) {
    cuts.insert({m_blockStarts[i] - 1, m_blockStarts[i], m_blockStarts[i] + 1});
  }
  std::vector<Step> steps;
  for (const int cut : cuts) {
    if (cut < frames) {
      steps.push_back({Edit::kSplit, cut, 2});
    }
  }
  ApplyEach(steps);
}

TEST_P(EditedRecording, Merge) {
  ApplyEach({{Edit::kMerge, 1, 0}, {Edit::kMerge, 2, 0}});
  // The first part of a split ends on the cut frame's pictures; merged, they give way to the
  // other movie's.
  for (const int cut : {5, m_blockStarts[0], m_blockStarts[0] + 1}) {
    Apply(Apply(m_movie, {Edit::kSplit, cut, 1}), {Edit::kMerge, 1, 0});
  }
}

// Each result is edited again, across the key frames and clean-up blocks the edit before
// made.
TEST_P(EditedRecording, ChainsOfEdits) {
  const std::vector<std::vector<Step>> chains = {
      {{Edit::kRemove, 5, 4}, {Edit::kRemove, 3, 4}, {Edit::kRemove, 0, 2}},
      {{Edit::kRemove, 0, 3}, {Edit::kRemove, 0, 1}, {Edit::kRemove, 2, 6}},
      {{Edit::kRemove, 2, 1}, {Edit::kRemove, 2, 1}, {Edit::kRemove, 2, 1}},
      {{Edit::kSplit, 5, 2}, {Edit::kSplit, 1, 2}, {Edit::kSplit, 2, 2}},
      // Into the middle of the inserted frames, then split inside them.
      {{Edit::kInsert, 4, 0}, {Edit::kInsert, 6, 0}, {Edit::kSplit, 7, 1}},
      // Right after the inserted frames, then a cut straddling their start.
      {{Edit::kInsert, 4, 0}, {Edit::kInsert, 11, 0}, {Edit::kRemove, 2, 6}},
      // A cut across the first join, then a split in the second movie's frames.
      {{Edit::kMerge, 2, 0}, {Edit::kRemove, 10, 6}, {Edit::kSplit, 12, 2}},
      // The first part of a split (9 frames) ends on frames that draw: cuts up to its last
      // two frames, from frame 4 and from frame 1.
      {{Edit::kSplit, 9, 1}, {Edit::kRemove, 3, 4}},
      {{Edit::kSplit, 9, 1}, {Edit::kRemove, 0, 7}},
      // The second part holds the ids 1 and 2 of the movie's first key frame.
      {{Edit::kInsert, 0, 0}, {Edit::kSplit, 9, 2}, {Edit::kRemove, 1, 2}},
  };
  for (const std::vector<Step>& chain : chains) {
    Shown shown = m_movie;
    for (const Step& step : chain) {
      shown = Apply(shown, step);
      if (HasFailure()) {
        return;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Recordings, EditedRecording,
                         testing::Values(Recording{32, 1}, Recording{32, 3}, Recording{32, 100},
                                         Recording{16, 1}, Recording{16, 3}, Recording{16, 100}),
                         [](const testing::TestParamInfo<Recording>& info) {
                           return "depth" + std::to_string(info.param.depth) + "_block" +
                                  std::to_string(info.param.blockFrames);
                         });

}  // namespace
