// Chains of edits on recorded movies of several forms (32- and 16-bit, one long block,
// colour-mapped pictures only, clean-up blocks that empty depths before freeing, ids numbered
// from 1 again in every block): every result is an FMR movie whose every frame shows the
// source frame the chain keeps there, and the independent parser reads it. The shapes that
// once gave wrong frames come first; then random chains from fixed seeds (ZU_EDIT_CHAINS
// sets how many).

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tests/engine/EditChain.h"
#include "tests/engine/EditedFrames.h"
#include "tests/support/TempDir.h"

namespace {

using edit_chain::Edit;
using edit_chain::Form;
using edit_chain::Kind;

// Pool indices of the sources.
enum Source { k32, k16, kLongBlock, kColourMapped, kRemovesFirst16, kIdsAgain32, kSources };

// Frames whose colours fit a colour table: 4 levels a channel.
Pictures FewColours(Pictures frames) {
  for (ZuImage& frame : frames) {
    for (int y = 0; y < frame.GetHeight(); ++y) {
      for (int x = 0; x < 4 * frame.GetWidth(); ++x) {
        frame.Row(y)[x] |= (x % 4 == 3) ? 0xFF : 0x3F;
      }
    }
  }
  return frames;
}

class EditChains : public testing::Test {
 protected:
  void SetUp() override {
    struct Recording {
      int depth;
      int blockFrames;
      bool fewColours;
      std::optional<Form> form;
    };
    const std::vector<Recording> recordings = {
        {32, 3, false, {}},
        {16, 3, false, {}},
        {32, 100, false, {}},
        {32, 3, true, Form::kColourMapped},
        {16, 3, false, Form::kRemovesFirst},
        {32, 4, false, Form::kIdsAgain},
    };
    for (size_t i = 0; i < recordings.size(); ++i) {
      const Recording& r = recordings[i];
      const std::string path = m_folder.File("source" + std::to_string(i) + ".swf");
      Pictures frames = MakeScreenFrames(21, 13, 15, 40 + static_cast<uint32_t>(i));
      const std::unique_ptr<ZuTavoFile> movie =
          RecordFrames(r.fewColours ? FewColours(frames) : frames, r.depth, r.blockFrames);
      ASSERT_NE(movie, nullptr);
      WriteMovieFile(*movie, path);
      if (r.form) {
        ASSERT_EQ(edit_chain::RewriteMovie(path, *r.form), "");
      }
      int index = -1;
      ASSERT_EQ(m_chain.AddSource(path, &index), "");
      ASSERT_EQ(index, static_cast<int>(i));
    }
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
  edit_chain::Chain m_chain{m_folder.Path()};
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
    // A cut that ends next to the last frame, appended to another movie: its stop frame draws.
    const int nextToLast = Apply(source, {Kind::kDelete, 5, frames - 7});
    Apply(k32, {Kind::kMerge, 0, 1, nextToLast});
    Apply(k16, {Kind::kInsert, frames - 1, 0, nextToLast});
    Apply(k16, {Kind::kInsert, 6, 0, nextToLast});
    // A 16-bit movie with a 32-bit one merged in, cut and split in the 32-bit part.
    const int mixed = Apply(k16, {Kind::kMerge, 0, 1, source});
    Apply(mixed, {Kind::kDelete, frames + 3, 4});
    Apply(mixed, {Kind::kSplit, frames + 5, 2});
    // Cut and split inside, across and at the start of blocks; inserted into other movies.
    for (const int at : {1, 3, 4, 6, 8}) {
      Apply(source, {Kind::kSplit, at, 2});
      Apply(source, {Kind::kDelete, at, 2});
      Apply(k16, {Kind::kInsert, at, 0, source});
    }
  }
}

TEST_F(EditChains, RandomChainsShowTheFramesTheyKeep) {
  const char* setting = std::getenv("ZU_EDIT_CHAINS");
  const int chains = setting != nullptr ? std::atoi(setting) : 24;
  for (int seed = 1; seed <= chains && !HasFailure(); ++seed) {
    std::mt19937 random(static_cast<uint32_t>(seed));
    const auto below = [&random](uint32_t n) { return static_cast<uint32_t>(random() % n); };
    const int source = static_cast<int>(below(kSources));
    EXPECT_EQ(m_chain.Run(source, 6 + static_cast<int>(below(5)), below), "") << "seed " << seed;
  }
}

}  // namespace
