// The four edit commands on a project of recorded movies, from one table of cases, run as the
// host runs them (one top-level command): the result and progress reports of each failure
// and success; after a success the movies the slides show, the durations of the slides
// sharing the edited movie, and undo and redo by the history's clone in the same run and
// after the project is opened again; a failure leaves the project as stored. Then the
// merge's special cases.

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "commands/ZuFMREditCommandData.h"
#include "commands/ZuFMREditComponent.h"
#include "commands/ZuFMREditUtils.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/app/IZuCommand.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuCmdUtils.h"
#include "host/app/ZuCommandHistory.h"
#include "host/app/ZuHostCommands.h"
#include "host/app/ZuSession.h"
#include "host/app/ZuSetSlideMinimumCommandData.h"
#include "host/app/ZuSlideBase.h"
#include "host/util/ZuLittleEndian.h"
#include "tests/commands/edit_fixture.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FmrMovieBuilder.h"

namespace {

constexpr int32_t kDelete = kZuFMREditDeleteFramesCommandId;
constexpr int32_t kInsert = kZuFMREditInsertCommandId;
constexpr int32_t kSplit = kZuFMREditSplitCommandId;
constexpr int32_t kMerge = kZuFMREditMergeSlidesCommandId;

// The slides of the set-up, by index; the movies at 10 frames a second but the slow one.
enum SlideName {
  kMovie,      // movie.swf: 20 recorded frames, 32 x 24
  kShared,     // movie.swf again, with a minimum duration of 2.5 s
  kOther,      // other.swf: 12 recorded frames, 32 x 24
  kWider,      // 8 recorded frames, 40 x 24
  kPlain,      // a movie that is not FMR
  kSlow,       // slow.swf: 4 recorded frames, 32 x 24, at 0.5 frames a second (whole rate 0)
  kNull,       // no slide
  kOtherFile,  // insert only: the file other.swf instead of a resource
};

int Count(const Pictures& pictures) {
  return static_cast<int>(pictures.size());
}

// What the edited slide shows after each successful edit, from the pictures of the edited
// movie (a) and other (b).
Pictures Deleted(const Pictures& a, const Pictures&) {
  return Concat({FramesOf(a, 1, 5), FramesOf(a, 9, Count(a))});
}
Pictures Inserted(const Pictures& a, const Pictures& b) {
  return Concat({FramesOf(a, 1, 10), FramesOf(b, 1, Count(b) - 1), FramesOf(a, 11, Count(a))});
}
Pictures SplitFirst(const Pictures& a, const Pictures&) {
  return FramesOf(a, 1, 10);
}
Pictures Merged(const Pictures& a, const Pictures& b) {
  Pictures all = Concat({FramesOf(a, 1, Count(a) - 1), FramesOf(b, 1, Count(b) - 1)});
  all.push_back(all.back());
  return all;
}

struct Case {
  const char* name;
  int32_t id;
  // Delete, insert and split: the edited slide (none when empty), for insert then the movie
  // to insert; merge: the list.
  std::vector<SlideName> slides;
  double time;    // delete's start, insert's and split's time
  double length;  // delete's length
  bool claimFMR;  // the plain movie's resource claims to be FMR, so that loading finds out
  ZuErrorCodeEnum result;
  std::vector<int> progress;
  Pictures (*expected)(const Pictures& movie, const Pictures& other) = nullptr;  // success
};

constexpr ZuErrorCodeEnum kFail = kZuFailure, kNotFMR = kZuErrorNotFMR, kOk = kZuSuccess;

// clang-format off
const Case kCases[] = {
    {"delete: no slide", kDelete, {}, 0, 0, false, kFail, {5}},
    {"delete: resource not FMR", kDelete, {kPlain}, 0, 0, false, kFail, {5}},
    {"delete: stored movie not FMR", kDelete, {kPlain}, 0, 0, true, kNotFMR, {5}},
    {"delete: start past the end", kDelete, {kMovie}, 50, 1, false, kFail, {5, 33}},
    {"delete 0.3 s from 0.5 s", kDelete, {kMovie}, 0.5, 0.3, false, kOk, {5, 33, 66, 100}, Deleted},
    {"insert: no slide", kInsert, {}, 0, 0, false, kFail, {5}},
    {"insert: into a movie not FMR", kInsert, {kPlain, kOther}, 0, 0, true, kNotFMR, {5}},
    {"insert: nothing to insert", kInsert, {kMovie}, 0, 0, false, kFail, {5, 33, 100}},
    {"insert: a movie not FMR", kInsert, {kMovie, kPlain}, 0, 0, true, kNotFMR, {5, 33}},
    {"insert: another size", kInsert, {kMovie, kWider}, 0, 0, false, kZuErrorDimensionMismatch, {5, 33}},
    {"insert other.swf at 1 s", kInsert, {kMovie, kOtherFile}, 1, 0, false, kOk, {5, 33, 66, 100}, Inserted},
    {"insert the other resource at 1 s", kInsert, {kMovie, kOther}, 1, 0, false, kOk, {5, 33, 66, 100}, Inserted},
    {"insert into a movie of whole rate 0", kInsert, {kSlow, kOther}, 0, 0, false, kOk, {5, 33, 66, 100}, [](const Pictures& a, const Pictures& b) { return Concat({FramesOf(b, 1, Count(b) - 1), a}); }},
    {"split: no slide", kSplit, {}, 0, 0, false, kFail, {5}},
    {"split: resource not FMR", kSplit, {kPlain}, 0, 0, false, kFail, {5}},
    {"split: at the start", kSplit, {kMovie}, 0, 0, false, kFail, {5, 33}},
    {"split at 1.04 s", kSplit, {kMovie}, 1.04, 0, false, kOk, {5, 33, 66, 100}, SplitFirst},
    {"merge: no slides", kMerge, {}, 0, 0, false, kFail, {5}},
    {"merge: first entry null", kMerge, {kNull, kOther}, 0, 0, false, kFail, {5}},
    {"merge: first movie not FMR", kMerge, {kPlain, kOther}, 0, 0, true, kNotFMR, {5}},
    {"merge: one slide", kMerge, {kMovie}, 0, 0, false, kFail, {5, 25, 50}},
    {"merge: a following slide not FMR", kMerge, {kMovie, kOther, kPlain}, 0, 0, false, kFail, {5, 25}},
    {"merge: a following entry null", kMerge, {kMovie, kNull}, 0, 0, false, kFail, {5, 25}},
    {"merge: another size", kMerge, {kMovie, kWider}, 0, 0, false, kFail, {5, 25, 50}},
    {"merge the movie and the other", kMerge, {kMovie, kOther}, 0, 0, false, kOk, {5, 25, 50, 75, 100}, Merged},
};
// clang-format on

class EditCommandsTest : public edit_test::EditProjectTest {
 protected:
  void SetUp() override {
    EditProjectTest::SetUp();
    ZuSlideBase* movie = AddSlide(RecordMovie("movie.swf", 20, 1), "movie.swf");
    ASSERT_EQ(SetMinimum(AddSharedSlide(movie), 2.5), kZuSuccess);
    AddSlide(RecordMovie("other.swf", 12, 2), "other.swf");
    AddSlide(RecordMovie("wider.swf", 8, 3, 40, 24), "wider.swf");
    FmrMovieBuilder(32, 24, 10).HoldFrame().HoldFrame().HoldFrame().WriteFile(File("plain.swf"));
    AddSlide(File("plain.swf"), "plain.swf");
    ASSERT_NE(Slide(kPlain), nullptr);
    ASSERT_EQ(Slide(kPlain)->GetAnimation()->GetResourceFMRSwf(nullptr), 0);
    AddSlide(SetHalfFrameRate(RecordMovie("slow.swf", 4, 4)), "slow.swf");
    for (SlideName s : {kMovie, kOther, kSlow}) m_shown[s] = ShownBy(Slide(s));
  }

  // The path of an uncompressed movie file, set to 0.5 frames a second (8.8 fixed point after
  // the stage rectangle, whose first 5 bits give the bits of each of its 4 fields).
  static std::string SetHalfFrameRate(const std::string& path) {
    std::vector<uint8_t> bytes = ReadFileBytes(path);
    EXPECT_EQ(bytes.at(0), 'F');
    ZuLittleEndian::WriteU16(&bytes.at(8 + (5 + 4 * (bytes.at(8) >> 3) + 7) / 8), 0x0080);
    WriteFileBytes(path, bytes);
    return path;
  }

  // What the case's edit should show, from the pictures before it.
  Pictures Expected(const Case& c) { return c.expected(m_shown[c.slides[0]], m_shown[kOther]); }

  ZuSlideBase* SlideOf(const Case& c, size_t i) {
    return i < c.slides.size() && c.slides[i] < kNull ? Slide(c.slides[i]) : nullptr;
  }

  // Fills the command's data as the case says.
  void Fill(IZuCommandData& data, const Case& c) {
    if (auto* d = dynamic_cast<ZuFMREditDeleteFramesCommandData*>(&data)) {
      d->SetFMRSlide(SlideOf(c, 0));
      d->SetStartPosition(c.time);
      d->SetDuration(c.length);
    } else if (auto* d = dynamic_cast<ZuFMREditInsertCommandData*>(&data)) {
      d->SetSourceFMRSlide(SlideOf(c, 0));
      d->SetInsertAt(c.time);
      if (c.slides.size() > 1 && c.slides[1] == kOtherFile) {
        d->SetFileToInsert(ZuString(std::string_view(File("other.swf"))));
      } else if (c.slides.size() > 1) {
        d->SetFMRAnimationToInsert(SlideOf(c, 1)->GetAnimation());
      }
    } else if (auto* d = dynamic_cast<ZuFMREditSplitCommandData*>(&data)) {
      d->SetSourceFMRSlide(SlideOf(c, 0));
      d->SetSplitAt(c.time);
    } else if (auto* d = dynamic_cast<ZuFMREditMergeSlidesCommandData*>(&data)) {
      for (size_t i = 0; i < c.slides.size(); ++i) d->AddSlideToMerge(SlideOf(c, i));
    }
  }

  // The result of a successful edit: the pictures, the slides and their durations (the
  // edited slide gets the new length, the one sharing its movie never less than its
  // minimum; 0 s for a movie of whole rate 0, as everywhere), the resource names (the edited
  // one keeps its own).
  void ExpectEdited(const Case& c) {
    const Pictures expected = Expected(c);
    ZuSlideBase* edited = Slide(c.slides[0]);
    ExpectSamePictures(ShownBy(edited), expected);
    EXPECT_EQ(edited->GetAnimation()->GetResourceName(nullptr).GetUTF8String(),
              c.slides[0] == kSlow ? "slow.swf" : "movie.swf");
    const bool split = c.id == kSplit;
    ASSERT_EQ(Project().GetSlideCollection()->GetCount(), split ? 7 : 6);
    const double length = c.slides[0] == kSlow ? 0.0 : Count(expected) / 10.0;
    EXPECT_DOUBLE_EQ(edited->GetDuration().GetTime().GetValue(), length);
    if (c.slides[0] == kMovie) {
      ZuSlideBase* shared = Slide(split ? kShared + 1 : kShared);
      EXPECT_EQ(shared->GetAnimation(), edited->GetAnimation());
      EXPECT_DOUBLE_EQ(shared->GetDuration().GetTime().GetValue(), std::max(length, 2.5));
    }
    if (split) {
      // The second part, on a new FMR slide right after the split one.
      ZuSlideBase* second = Slide(kMovie + 1);
      EXPECT_EQ(second->GetAnimation()->GetResourceName(nullptr).GetUTF8String(), "movie_2.swf");
      EXPECT_TRUE(second->IsMarkedFMR());
      ExpectSamePictures(ShownBy(second), FramesOf(m_shown[kMovie], 10, Count(m_shown[kMovie])));
    } else {
      EXPECT_EQ(Slide(kOther)->GetAnimation()->GetResourceName(nullptr).GetUTF8String(),
                "other.swf");  // the other slides keep their movies
    }
  }

  // The bytes of every movie the project's resources show, as the project file reads them.
  std::map<int64_t, std::vector<uint8_t>> StoredMovies() {
    std::map<int64_t, std::vector<uint8_t>> movies;
    for (const ZuProjectState::Resource& resource : State().resources) {
      ZuSharedBytes bytes;
      std::string error;
      EXPECT_TRUE(Project().ReadVersion(resource.version, &bytes, &error)) << error;
      movies[resource.version].assign(bytes.begin(), bytes.end());
    }
    return movies;
  }

  // Undo and redo through the session's history, then in a new run along the project
  // file's states, each giving back the same states and byte for byte the same movies; ends
  // undone.
  void ExpectUndoAndRedo(const ZuProjectState& before, const Case& c) {
    const ZuProjectState after = State();
    const auto edited = StoredMovies();
    for (bool reopened : {false, true}) {
      if (reopened) Reopen();
      ZuCommandHistory* history = GetZuSession()->GetCommandHistory();
      ASSERT_EQ(history->Undo(), kZuSuccess);
      EXPECT_EQ(State(), before);
      EXPECT_TRUE(StoredMovies() == m_storedMovies);
      ASSERT_EQ(history->Redo(), kZuSuccess);
      EXPECT_EQ(State(), after);
      EXPECT_TRUE(StoredMovies() == edited);
    }
    ExpectSamePictures(ShownBy(Slide(c.slides[0])), Expected(c));
    ASSERT_EQ(GetZuSession()->GetCommandHistory()->Undo(), kZuSuccess);
    ASSERT_EQ(State(), before);
  }

  std::map<SlideName, Pictures> m_shown;  // what the movies showed before the edits
  std::map<int64_t, std::vector<uint8_t>> m_storedMovies;  // and their bytes
};

TEST_F(EditCommandsTest, EveryCaseResultsProgressAndProject) {
  const ZuProjectState stored = State();
  m_storedMovies = StoredMovies();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(c.id));
    ASSERT_NE(command, nullptr);
    edit_test::ProgressLog progress;
    auto& data = dynamic_cast<ZuFMREditCommandDataBase&>(*command->GetCommandData());
    data.SetProgressEvent(&progress);
    Fill(data, c);
    ZuAnimationResource* plain = Slide(kPlain)->GetAnimation();
    plain->SetResourceFMRSwf(c.claimFMR);
    EXPECT_EQ(ZuCmdUtils::ExecuteCommand(command.get(), 1, 0, nullptr), c.result);
    // The history's clone, made after Execute, undoes and redoes alone: it holds its own
    // copies of the data, the backup with its replace command and, for the split, the
    // command that added the new slide.
    command.reset();
    EXPECT_EQ(progress.values, c.progress);
    plain->SetResourceFMRSwf(false);
    if (c.result == kZuSuccess) {
      ExpectEdited(c);
      ExpectUndoAndRedo(stored, c);
    } else {
      EXPECT_EQ(State(), stored);  // nothing of a failed edit stays
    }
  }
}

TEST_F(EditCommandsTest, FiredMergeRefusesSlidesThatAreNotFMRAndIgnoresShortLists) {
  const ZuProjectState before = State();
  const size_t undoCount = GetZuSession()->GetCommandHistory()->GetUndoCount();
  Slide(kOther)->SetMarkedFMR(false);
  EXPECT_EQ(ZuFMREditUtils::FireMergeSWFCommand({Slide(kMovie), Slide(kOther)}), kZuFailure);
  Slide(kOther)->SetMarkedFMR(true);
  EXPECT_EQ(ZuFMREditUtils::FireMergeSWFCommand({Slide(kMovie), nullptr}), kZuFailure);
  EXPECT_EQ(ZuFMREditUtils::FireMergeSWFCommand({Slide(kMovie)}), kZuSuccess);
  EXPECT_EQ(ZuFMREditUtils::FireMergeSWFCommand({}), kZuSuccess);
  EXPECT_EQ(State(), before);
  EXPECT_EQ(GetZuSession()->GetCommandHistory()->GetUndoCount(), undoCount);
}

// A merge that passes the frame limit keeps the first movie alone, and still replaces the
// resource and sets the durations.
TEST_F(EditCommandsTest, MergePastTheFrameLimitStillReplacesTheResource) {
  const FmrMovieBuilder big = FmrMovieBuilder::Simple(ZuFMRTavoFile::m_maxSWFFramesLimit - 4, 0);
  big.WriteFile(File("big.swf"));
  ZuSlideBase* bigSlide = AddSlide(File("big.swf"), "big.swf");
  ASSERT_NE(bigSlide, nullptr);
  const int frames = big.Build()->GetFrameCount();

  std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(kMerge));
  auto& data = dynamic_cast<ZuFMREditMergeSlidesCommandData&>(*command->GetCommandData());
  data.AddSlideToMerge(bigSlide);
  data.AddSlideToMerge(Slide(kOther));
  EXPECT_EQ(command->Execute(), kZuErrorFrameLimit);
  EXPECT_EQ(bigSlide->GetAnimation()->GetResourceName(nullptr).GetUTF8String(), "big.swf");
  EXPECT_DOUBLE_EQ(bigSlide->GetDuration().GetTime().GetValue(), frames / 10.0);
  EXPECT_TRUE(data.GetNewlyCreatedFile().DoesFileExist());
  EXPECT_EQ(ZuFMRTavoFile(data.GetNewlyCreatedFile().GetPathString()).GetFrameCount(), frames);
  EXPECT_EQ(Slide(kOther)->GetAnimation()->GetResourceName(nullptr).GetUTF8String(), "other.swf");
}

}  // namespace
