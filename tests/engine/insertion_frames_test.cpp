// Insertion on recorded movies, checked by what the player shows: at every kind of
// insertion point of 32- and 16-bit recordings with short and long key-frame blocks, the
// result shows the movie's frames up to the point, the inserted movie's frames but its
// last, then the movie's frames after the point, pixel for pixel; results can be edited
// again.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "tests/engine/EditedFrames.h"
#include "tests/engine/EngineTestAccess.h"

namespace {

using engine_test::Concat;
using engine_test::FramesOf;
using engine_test::Pictures;

struct Recording {
  int depth;
  int blockFrames;
};

std::string RecordingName(const testing::TestParamInfo<Recording>& info) {
  return "depth" + std::to_string(info.param.depth) + "_block" +
         std::to_string(info.param.blockFrames);
}

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

// What the movie M (frames shown) with other (frames otherShown) inserted after frame k
// shows: M's frames 1 to k, other's frames but its last, then M's frames from k + 1 on. At
// or past the end k is the last frame but one, and M's last frame, the stop frame, draws
// nothing: it still shows the inserted movie's last picture.
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

class RecordedInsertion : public testing::TestWithParam<Recording> {
 protected:
  void SetUp() override {
    const Recording& r = GetParam();
    m_input = m_folder.File("movie.swf");
    m_other = m_folder.File("other.swf");
    m_shown = engine_test::RecordToFile(engine_test::MakeScreenFrames(21, 13, 14, 700 + r.depth),
                                        r.depth, r.blockFrames, m_input);
    m_otherShown =
        engine_test::RecordToFile(engine_test::MakeScreenFrames(21, 13, 6, 900 + r.blockFrames),
                                  r.depth, r.blockFrames, m_other);
    ASSERT_EQ(m_shown.size(), 16u);
    ASSERT_EQ(m_otherShown.size(), 8u);
  }

  // Inserts the other movie into the movie file input after frame k (time k / 10 s), writes
  // output and checks its frames against expected. Returns what the result shows.
  Pictures InsertAndCheck(const std::string& input, int k, const std::string& output,
                          const Pictures& expected) {
    SCOPED_TRACE(testing::Message() << input << " with the other movie after frame " << k);
    ZuFMRTavoFile movie{ZuString(input)};
    EXPECT_EQ(movie.InsertFMRSWFFile(ZuString(m_other), ZuReal(k / 10.0), ZuString(output)),
              kZuSuccess);
    return engine_test::ExpectEditedFrames(output, movie, expected);
  }

  engine_test::ScratchFolder m_folder;
  std::string m_input;
  std::string m_other;
  Pictures m_shown;
  Pictures m_otherShown;
};

// At frame 0, inside a block, at a block's end, right after a block opened, just before the
// hold frame, at the last frame, and past the end.
TEST_P(RecordedInsertion, ResultShowsBothMoviesInOrder) {
  const int frames = static_cast<int>(m_shown.size());
  std::set<int> points = {0, 1, 2, frames - 2, frames - 1, frames, frames + 7};
  const std::vector<int> starts = BlockStarts(m_input);
  ASSERT_GE(starts.size(), 2u) << "the recording should have several blocks";
  for (size_t i = 0; i < 2; ++i) {
    points.insert(starts[i] - 1);  // frame k + 1 opens a block
    points.insert(starts[i]);      // frame k opens a block
    points.insert(starts[i] + 1);
  }
  for (const int k : points) {
    const std::string output = m_folder.File("at" + std::to_string(k) + ".swf");
    InsertAndCheck(m_input, k, output, ExpectedInsertion(m_shown, m_otherShown, k));
    if (HasFailure()) {
      return;
    }
  }
}

// A result takes another insertion, a split and a cut of frames, across the key frames and
// clean-up blocks the first insertion made.
TEST_P(RecordedInsertion, ResultsCanBeEditedAgain) {
  const std::string once = m_folder.File("once.swf");
  const Pictures onceShown =
      InsertAndCheck(m_input, 4, once, ExpectedInsertion(m_shown, m_otherShown, 4));
  ASSERT_FALSE(HasFailure());

  // Into the middle of the inserted frames, and right after them.
  for (const int k : {6, 11}) {
    const std::string twice = m_folder.File("twice" + std::to_string(k) + ".swf");
    InsertAndCheck(once, k, twice, ExpectedInsertion(onceShown, m_otherShown, k));
  }

  // Split inside the inserted frames: frames 1 to 7, then frame 7 again and the rest.
  {
    ZuFMRTavoFile movie{ZuString(once)};
    const std::string first = m_folder.File("first.swf");
    const std::string second = m_folder.File("second.swf");
    ASSERT_EQ(movie.SplitSWF(ZuReal(0.7), ZuString(first), ZuString(second)), kZuSuccess);
    engine_test::ExpectEditedFrames(first, movie, FramesOf(onceShown, 1, 7));
    const ZuFMRTavoFile secondMovie{ZuString(second)};
    engine_test::ExpectEditedFrames(second, secondMovie,
                                    FramesOf(onceShown, 7, static_cast<int>(onceShown.size())));
  }

  // Frames 3 to 8 go: they straddle the start of the inserted frames.
  {
    ZuFMRTavoFile movie{ZuString(once)};
    const std::string cut = m_folder.File("cut.swf");
    ASSERT_EQ(movie.RemoveFrames(ZuReal(0.2), ZuReal(0.6), ZuString(cut)), kZuSuccess);
    engine_test::ExpectEditedFrames(
        cut, movie,
        Concat({FramesOf(onceShown, 1, 2),
                FramesOf(onceShown, 9, static_cast<int>(onceShown.size()))}));
  }
}

INSTANTIATE_TEST_SUITE_P(Recordings, RecordedInsertion,
                         testing::Values(Recording{32, 1}, Recording{32, 3}, Recording{32, 100},
                                         Recording{16, 1}, Recording{16, 3}, Recording{16, 100}),
                         RecordingName);

}  // namespace
