// Refused edits of every kind: each returns its code (or throws the int 0 when a frame cannot
// be rendered), says why where it can (the player's reason when a frame cannot be rendered),
// writes nothing, not even a temporary copy, and leaves no GDI object or global block behind;
// the movie keeps every tag and its frame count unless the edit had begun. Only a split that
// reaches the missing stop action has written its second file. And the frame limit: 16000
// frames are allowed, 16001 are not, and a merge stops its list there, writing what it merged.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "platform/ZuWinGdi.h"
#include "platform/ZuWinGlobalMemory.h"
#include "tests/engine/EditTestUtil.h"
#include "tests/engine/StandardMovie.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/Oracle.h"
#include "tests/support/RecordedMovie.h"
#include "tests/support/ScreenFrames.h"
#include "tests/support/TempDir.h"

namespace {

using B = FmrMovieBuilder;
using engine_test::DescribeLine;
using EditCall = std::function<ZuErrorCodeEnum(ZuFMRTavoFile&)>;

// What an edit that throws the int 0 counts as.
constexpr int kThrows = -1;

// Frames are tenths of a second in these movies.
EditCall Remove(int start, int count, const std::string& out) {
  return [=](ZuFMRTavoFile& m) {
    return m.RemoveFrames(ZuReal(start / 10.0), ZuReal(count / 10.0), ZuString(out));
  };
}
EditCall Insert(const std::string& other, double seconds, const std::string& out) {
  return [=](ZuFMRTavoFile& m) {
    return m.InsertFMRSWFFile(ZuString(other), ZuReal(seconds), ZuString(out));
  };
}
EditCall Merge(const std::vector<std::string>& others, const std::string& out) {
  return [=](ZuFMRTavoFile& m) {
    std::vector<ZuString> paths(others.begin(), others.end());
    return m.MergeSWFs(paths, ZuString(out));
  };
}
EditCall Split(double seconds, const std::string& first, const std::string& second) {
  return [=](ZuFMRTavoFile& m) {
    return m.SplitSWF(ZuReal(seconds), ZuString(first), ZuString(second));
  };
}
// The edit while the movie's backing file is away, or while global memory cannot be had;
// the file and the memory come back also when the edit throws.
EditCall WithoutBackingFile(const EditCall& edit) {
  return [=](ZuFMRTavoFile& m) {
    const std::string file = m.GetFileName().GetUTF8String();
    std::filesystem::rename(file, file + ".away");
    const std::shared_ptr<void> back(nullptr,
                                     [&](void*) { std::filesystem::rename(file + ".away", file); });
    return edit(m);
  };
}
EditCall WithoutGlobalMemory(const EditCall& edit) {
  return [=](ZuFMRTavoFile& m) {
    ZuGlobalMemoryFailNextAllocs(1);
    const std::shared_ptr<void> back(nullptr, [](void*) { ZuGlobalMemoryFailNextAllocs(0); });
    return edit(m);
  };
}

// A 32 x 24 movie of four frames whose key frame has a damaged body (its header reads well).
B BrokenKeyFrame() {
  B movie(32, 24, 10);
  movie.Tag(B::MakeBrokenBitmap(1, 32, 24));
  movie.Tag(B::MakeShape(2, 1, 0, 0, 32, 24)).Tag(B::MakePlacement(2, 1)).Tag(B::MakeShowFrame());
  movie.Tag(B::MakeBitmap(3, 4, 4, 0x00FF00)).Tag(B::MakeShape(4, 3, 2, 2, 4, 4));
  movie.Tag(B::MakePlacement(4, 101)).Tag(B::MakeShowFrame());
  movie.HoldFrame().StopFrame();
  return movie;
}

TEST(Refusals, NothingIsWrittenAndTheMovieStaysAsItWas) {
  TempDir folder;
  const ZuTemporaryFolder::Use use(folder.Path());
  const auto file = [&folder](const char* name) { return folder.File(name); };
  const std::string standard = file("standard.swf"), plain = file("plain.swf");
  const std::string noStop = file("nostop.swf"), fits = file("fits.swf");
  const std::string wider = file("wider.swf"), taller = file("taller.swf");
  const std::string tooLong = file("toolong.swf"), fullIds = file("fullids.swf");
  const std::string broken = file("broken.swf"), patched = file("patched.swf");
  const std::string twice = file("twice.swf"), sixteen = file("sixteen.swf");
  engine_test::StandardMovie().WriteFile(standard);
  B(32, 24, 10).HoldFrame().HoldFrame().HoldFrame().WriteFile(plain);
  B(32, 24, 10)
      .KeyFrame(0x112233)
      .PartialFrame(2, 2, 3, 3, 0x445566)
      .KeyFrame(0x778899)
      .HoldFrame()
      .WriteFile(noStop);
  B::Simple(3, 0).WriteFile(fits);
  B::Simple(3, 0, 33, 24).WriteFile(wider);
  B::Simple(3, 0, 32, 25).WriteFile(taller);
  // With the standard movie's 6 frames: 16001.
  B::Simple(ZuFMRTavoFile::m_maxSWFFramesLimit - engine_test::kStandardFrames + 1, 0)
      .WriteFile(tooLong);
  B(32, 24, 10)
      .KeyFrame(0x102030)
      .Tag(B::MakeBitmap(65534, 2, 2, 0x405060))
      .PartialFrame(1, 1, 2, 2, 0x708090)
      .HoldFrame()
      .HoldFrame()
      .StopFrame()
      .WriteFile(fullIds);
  BrokenKeyFrame().WriteFile(broken);
  // A change picture at depth 2, under the key frames edits add at depth 100.
  B(32, 24, 10)
      .KeyFrame(0x203040)
      .Tag(B::MakeBitmap(3, 4, 4, 0xFF0000))
      .Tag(B::MakeShape(4, 3, 1, 1, 4, 4))
      .Tag(B::MakePlacement(4, 2))
      .HoldFrame()
      .HoldFrame()
      .StopFrame()
      .WriteFile(patched);
  B(32, 24, 10)
      .KeyFrame(0x506070)
      .Tag(B::MakeBitmap(1, 4, 4, 0x0000FF))
      .HoldFrame()
      .StopFrame()
      .WriteFile(twice);
  WriteMovieFile(*RecordFrames(MakeScreenFrames(9, 6, 8, 5), 16, 3), sixteen);
  const std::vector<std::string> inputs = FilesIn(folder);
  const std::string out = file("out.swf"), second = file("second.swf");

  struct Case {
    const char* name;
    std::string movie;
    EditCall edit;
    int result;
    std::string why;       // in the edit error
    bool tagsKept = true;  // false: the edit had begun, or merged up to the refused movie
    bool secondWritten = false;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"removal: not an FMR movie", plain, Remove(1, 1, out), kZuErrorNotFMR},
      {"removal: pictures under the key frames' depth", patched, Remove(1, 1, out), kZuErrorNotFMR},
      {"removal: no frames", standard, Remove(1, 0, out), kZuFailure},
      {"removal: start before frame 0", standard, Remove(-2, 1, out), kZuFailure},
      {"removal: no output path", standard, Remove(1, 1, ""), kZuFailure},
      {"removal: all but one frame", standard, Remove(0, 5, out), kZuFailure},
      {"removal: more frames than the movie", standard, Remove(0, 60000, out), kZuFailure},
      {"removal: start past the last frame", standard, Remove(6, 1, out), kZuFailure},
      {"removal: negative count", standard, Remove(1, -1, out), kZuFailure},
      {"removal: ids used up", fullIds, Remove(1, 1, out), kZuFailure, "65534"},
      {"removal: damaged key frame", broken, Remove(1, 1, out), kThrows, "bitmap 1 does not decode", false},
      {"removal: no backing file", standard, WithoutBackingFile(Remove(1, 1, out)), kThrows, "frame 3 cannot be rendered: " + standard + ": cannot open", false},
      {"removal: no global memory", sixteen, WithoutGlobalMemory(Remove(1, 1, out)), kThrows, "", false},
      {"insertion: this movie is not FMR", plain, Insert(fits, 0.1, out), kZuErrorNotFMR},
      {"insertion: the other is not FMR", standard, Insert(plain, 0.1, out), kZuErrorNotFMR},
      {"insertion: the other defines an id twice", standard, Insert(twice, 0.1, out), kZuErrorNotFMR},
      {"insertion: wider", standard, Insert(wider, 0.1, out), kZuErrorDimensionMismatch},
      {"insertion: taller", standard, Insert(taller, 0.1, out), kZuErrorDimensionMismatch},
      {"insertion: 16001 frames", standard, Insert(tooLong, 0.1, out), kZuErrorFrameLimit},
      {"insertion: a negative time", standard, Insert(fits, -0.5, out), kZuFailure},
      {"insertion: ids used up", fullIds, Insert(fits, 9.0, out), kZuFailure, "65534"},
      {"insertion: unreadable other movie", standard, Insert(file("missing.swf"), 0.1, out), kThrows},
      {"insertion: damaged key frame", broken, Insert(fits, 0.1, out), kThrows, "bitmap 1 does not decode", false},
      {"merge: this movie is not FMR", plain, Merge({fits}, out), kZuErrorNotFMR},
      {"merge: an empty list", standard, Merge({}, out), kZuFailure},
      {"merge: the first is not FMR", standard, Merge({plain, fits}, out), kZuErrorNotFMR},
      {"merge: the second is taller", standard, Merge({fits, taller}, out), kZuErrorDimensionMismatch, "", false},
      {"merge: ids used up", fullIds, Merge({fits}, out), kZuFailure, "65534"},
      {"split: not FMR", plain, Split(0.1, out, second), kZuErrorNotFMR},
      {"split: at frame 0", standard, Split(0.0, out, second), kZuFailure},
      {"split: before frame 0", standard, Split(-0.3, out, second), kZuFailure},
      {"split: at the last frame", standard, Split(0.6, out, second), kZuFailure},
      {"split: past the end", standard, Split(9.0, out, second), kZuFailure},
      {"split: no stop action", noStop, Split(0.1, out, second), kZuFailure, "", true, true},
      {"split: damaged key frame", broken, Split(0.1, out, second), kThrows, "bitmap 1 does not decode"},
      {"split: no backing file", standard, WithoutBackingFile(Split(0.2, out, second)), kThrows, "frame 2 cannot be rendered"},
  };
  // clang-format on
  const size_t objects = ZuGdiCountLiveObjects(), blocks = ZuGlobalMemoryCountLiveBlocks();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ZuFMRTavoFile movie{ZuString(c.movie)};
    const std::string before = DescribeLine(movie);
    const uint16_t frames = movie.GetFrameCount();
    int result = kThrows;
    try {
      result = c.edit(movie);
    } catch (int code) {
      EXPECT_EQ(code, 0);
    }
    EXPECT_EQ(result, c.result);
    if (!c.why.empty()) {
      EXPECT_NE(movie.GetEditError().find(c.why), std::string::npos) << movie.GetEditError();
    }
    if (c.tagsKept) {
      EXPECT_EQ(DescribeLine(movie), before);
      EXPECT_EQ(movie.GetFrameCount(), frames);
    }
    if (c.secondWritten) {
      ExpectOracleAccepts(second, ZuFMRTavoFile(ZuString(second)));
      std::filesystem::remove(second);
    }
    EXPECT_EQ(FilesIn(folder), inputs);
    EXPECT_EQ(ZuGdiCountLiveObjects(), objects);
    EXPECT_EQ(ZuGlobalMemoryCountLiveBlocks(), blocks);
  }
}

// 16000 frames are allowed (the clamped insertion renders nothing, so big movies are cheap);
// a merge list whose second movie would pass the limit merges the first, writes the result
// and returns 200.
TEST(FrameLimit, ExactlyTheLimitIsAcceptedAndMergeStopsTheListThere) {
  TempDir folder;
  const ZuTemporaryFolder::Use use(folder.Path());
  const std::string input = folder.File("movie.swf"), small = folder.File("small.swf");
  const std::string rest = folder.File("rest.swf"), output = folder.File("out.swf");
  B::Simple(8000, 0).WriteFile(input);
  B::Simple(ZuFMRTavoFile::m_maxSWFFramesLimit - 8000, 0).WriteFile(rest);
  B::Simple(3, 0).WriteFile(small);
  ZuFMRTavoFile movie{ZuString(input)};
  ASSERT_EQ(Insert(rest, 800.0, output)(movie), kZuSuccess);
  EXPECT_EQ(ZuFMRTavoFile(ZuString(output)).GetFrameCount(),
            ZuFMRTavoFile::m_maxSWFFramesLimit - 1);
  ExpectOracleAccepts(output, movie);
  ZuFMRTavoFile merged{ZuString(input)};
  EXPECT_EQ(Merge({small, rest, small}, output)(merged), kZuErrorFrameLimit);
  EXPECT_EQ(ZuFMRTavoFile(ZuString(output)).GetFrameCount(), 8000 + 3 - 1);
  ExpectOracleAccepts(output, merged);
}

}  // namespace
