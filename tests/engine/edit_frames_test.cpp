// The edits on recorded movies of every form the chains start from (32- and 16-bit, blocks of
// one frame and one long block, colour-mapped pictures only, removals before frees, ids
// numbered again in every block): every result is an FMR movie whose every frame shows the
// source frame the edits keep there, pixel for pixel, and the independent parser reads it.
// Each edit at the positions where faults hide; the shapes that once gave wrong frames; then
// random chains of edits from fixed seeds (ZU_EDIT_CHAINS sets how many).

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "tests/engine/EditChain.h"
#include "tests/support/Oracle.h"
#include "tests/support/TempDir.h"

namespace edit_chain {
namespace {

class EditChains : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(AddRecordedSources(m_chain, m_folder.Path()), "");
    m_chain.onWritten = [this](const std::string& path) { m_written.push_back(path); };
  }
  void TearDown() override { ExpectOracleAcceptsFiles(m_written); }

  // Applies the edit to pool movie from and returns the result's pool index.
  int Apply(int from, const Edit& edit) {
    int result = -1;
    EXPECT_EQ(m_chain.Apply(from, edit, &result), "") << edit.Describe();
    return result;
  }

  TempDir m_folder;
  const ZuTemporaryFolder::Use m_use{m_folder.Path()};
  Chain m_chain{m_folder.Path()};
  std::vector<std::string> m_written;  // read by the independent parser at the end
};

TEST_F(EditChains, ShapesThatOnceGaveWrongFrames) {
  const int frames = m_chain.At(k32).Count();  // 17: 15 pictures, the hold and stop frames
  for (const int source : {k32, k16, kColourMapped, kRemovesFirst16, kIdsAgain32}) {
    SCOPED_TRACE(m_chain.At(source).path);
    // A cut up to the end leaves a key frame in the stop frame; then something is appended.
    const int toEnd = Apply(source, {Kind::kDelete, 11, frames - 2});
    Apply(toEnd, {Kind::kMerge, 0, 1, k16});
    Apply(toEnd, {Kind::kInsert, 99, 0, k32});
    // Put in front of a movie, split at its still frame 9 (a lone key frame), inserted after twice.
    const int part = Apply(Apply(source, {Kind::kInsert, 0, 0, toEnd}), {Kind::kSplit, 9, 2});
    Apply(Apply(part, {Kind::kInsert, 1, 0, source}), {Kind::kInsert, 1, 0, k16});
    // A cut that ends next to the last frame, appended to another movie: its stop frame draws.
    const int nextToLast = Apply(source, {Kind::kDelete, 5, frames - 7});
    Apply(k32, {Kind::kMerge, 0, 1, nextToLast});
    Apply(k16, {Kind::kInsert, frames - 1, 0, nextToLast});
    Apply(k16, {Kind::kInsert, 6, 0, nextToLast});
    // A speed-up to the end, then something appended.
    const int sped = Apply(source, {Kind::kSpeed, 4, frames, 0, 2.5});
    Apply(sped, {Kind::kMerge, 0, 1, k16});
    Apply(sped, {Kind::kInsert, 99, 0, k32});
    // A 16-bit movie with a 32-bit one merged in, cut and split in the 32-bit part; then
    // tightened, and cut and split again.
    const int mixed = Apply(k16, {Kind::kMerge, 0, 1, source});
    Apply(mixed, {Kind::kDelete, frames + 3, 4});
    Apply(mixed, {Kind::kSplit, frames + 5, 2});
    const int tightened = Apply(mixed, {Kind::kTighten, 0});
    Apply(tightened, {Kind::kDelete, 3, 4});
    Apply(tightened, {Kind::kSplit, frames, 2});
    // Redacted inside blocks, then cut across the range, tightened, redacted again over the
    // whole stage and appended to.
    const int redacted = Apply(source, {Kind::kRedact, 5, 9, 0, 0, {3, 2, 12, 8, 0x808080}});
    Apply(redacted, {Kind::kDelete, 6, 3});
    Apply(redacted, {Kind::kTighten, 0});
    const int again = Apply(redacted, {Kind::kRedact, 2, 7, 0, 0, {0, 0, 21, 13, 0xFFFFFF}});
    Apply(again, {Kind::kMerge, 0, 1, k16});
  }
}

TEST_F(EditChains, RandomChainsShowTheFramesTheyKeep) {
  const char* setting = std::getenv("ZU_EDIT_CHAINS");
  const int chains = setting != nullptr ? std::atoi(setting) : 100;
  for (int seed = 1; seed <= chains && !HasFailure(); ++seed) {
    std::mt19937 random(static_cast<uint32_t>(seed));
    const auto below = [&random](uint32_t n) { return static_cast<uint32_t>(random() % n); };
    const int source = static_cast<int>(below(kSources));
    EXPECT_EQ(m_chain.Run(source, 6 + static_cast<int>(below(5)), below), "") << "seed " << seed;
  }
  std::printf("%d chains, %d edits\n", chains, m_chain.EditsMade());
}

// Each edit at the positions where faults hide, on one source movie.
class EditedRecording : public EditChains, public testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    EditChains::SetUp();
    m_frames = m_chain.At(GetParam()).Count();
    m_blockStarts = BlockStarts(ZuFMRTavoFile{ZuString(m_chain.At(GetParam()).path)});
    ASSERT_GE(m_blockStarts.size(), 2u) << "the recording should have several blocks";
  }

  // Each edit made to pool movie from (the recording by default) on its own.
  std::vector<int> ApplyEach(const std::vector<Edit>& edits, int from = -1) {
    std::vector<int> results;
    for (const Edit& edit : edits) {
      results.push_back(Apply(from < 0 ? GetParam() : from, edit));
    }
    return results;
  }

  int m_frames = 0;
  std::vector<int> m_blockStarts;
};

// Inside a block, across one or several block ends, from frame 1, ending right before a
// block, starting at a block, through the last pictures, of every picture, reaching the last
// two frames, cut short, at the last frame.
TEST_P(EditedRecording, Removal) {
  const int frames = m_frames;
  std::set<std::pair<int, int>> cuts = {
      {0, 1},          {0, 3},          {0, frames - 3}, {0, frames - 2},  {1, 1},
      {2, 5},          {3, 10},         {6, 2},          {7, 1},           {frames - 5, 2},
      {frames - 4, 2}, {frames - 2, 1}, {frames - 1, 3}, {frames - 6, 10},
  };
  for (size_t i = 0; i < 2; ++i) {
    const int start = m_blockStarts[i];
    cuts.insert({{start - 2, 1}, {start - 3, 2}, {start - 1, 3}});
  }
  std::vector<Edit> edits;
  for (const auto& [start, count] : cuts) {
    if (start >= 0) {
      edits.push_back({Kind::kDelete, start, count});
    }
  }
  ApplyEach(edits);
}

// At frame 0, inside a block, at and around a block's start, just before the hold frame, at
// the last frame, and past the end; of a movie of another form and depth too.
TEST_P(EditedRecording, Insertion) {
  std::set<int> points = {0, 1, 2, m_frames - 2, m_frames - 1, m_frames, m_frames + 7};
  for (size_t i = 0; i < 2; ++i) {
    points.insert({m_blockStarts[i] - 1, m_blockStarts[i], m_blockStarts[i] + 1});
  }
  std::vector<Edit> edits;
  for (const int at : points) {
    edits.push_back({Kind::kInsert, at, 0, k32});
    edits.push_back({Kind::kInsert, at, 0, (GetParam() + 1) % kSources});
  }
  ApplyEach(edits);
}

// Around block starts and at the ends; then the first part, which ends on a frame that draws,
// merged with another movie and cut.
TEST_P(EditedRecording, SplitAndMerge) {
  std::set<int> cuts = {1, 2, m_frames - 2, m_frames - 1};
  for (size_t i = 0; i < 2; ++i) {
    cuts.insert({m_blockStarts[i] - 1, m_blockStarts[i], m_blockStarts[i] + 1});
  }
  for (const int cut : cuts) {
    const int first = ApplyEach({{Kind::kSplit, cut, 1}}).front();
    ApplyEach({{Kind::kMerge, 0, 1, k16}}, first);
    if (cut >= 4) {  // a cut keeps two frames
      ApplyEach({{Kind::kDelete, cut / 2, 2}}, first);
    }
  }
  ApplyEach(
      {{Kind::kMerge, 0, 1, k32}, {Kind::kMerge, 0, 2, k16}, {Kind::kMerge, 0, 1, kIdsAgain32}});
}

std::string FormName(const testing::TestParamInfo<int>& info) {
  static const std::vector<std::string> kNames = {"depth32",       "depth16_block1", "long_block",
                                                  "colour_mapped", "removes_first",  "ids_again"};
  return kNames.at(static_cast<size_t>(info.param));
}

INSTANTIATE_TEST_SUITE_P(Forms, EditedRecording, testing::Range(0, static_cast<int>(kSources)),
                         FormName);

}  // namespace
}  // namespace edit_chain
