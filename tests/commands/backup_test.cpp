// Backup before an edit, the replacement of the movie, slide durations, undo and redo, on a
// project of recorded movies.
#include <gtest/gtest.h>

#include <memory>

#include "commands/ZuFMREditCommandBackupData.h"
#include "commands/ZuFMREditUtils.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuSlideBase.h"
#include "tests/commands/CommandsTestUtil.h"
#include "tests/commands/edit_fixture.h"

namespace {

using edit_test::EditProjectTest;

class BackupTest : public EditProjectTest {
 protected:
  double DurationOf(int index) { return Slide(index)->GetDuration().GetTime(); }
  std::string NameOf(int index) {
    return Slide(index)->GetAnimation()->GetResourceName(nullptr).GetUTF8String();
  }
};

// Slides 0, 1 and 3 share demo.swf (over 1 s); slide 2 shows other.swf. The "edit" replaces
// demo.swf by a movie under 1 s; slide 3 needs at least 1 s.
TEST_F(BackupTest, EditUndoRedoMoveResourceAndEverySharingSlide) {
  const std::string before = RecordMovie("demo.swf", 20, 1);
  const std::string after = RecordMovie("edited.swf", 5, 2);
  ZuSlideBase* edited = AddSlide(before, "demo.swf");
  ASSERT_NE(edited, nullptr);
  ASSERT_NE(AddSharedSlide(edited), nullptr);
  ASSERT_NE(AddSlide(RecordMovie("other.swf", 5, 3), "other.swf"), nullptr);
  ASSERT_NE(AddSharedSlide(edited), nullptr);
  Slide(3)->SetMinimumDuration(1.0);
  const double otherDuration = DurationOf(2);

  ZuFMREditCommandBackupData record;
  ZuFMRTavoFile movie{ZuString(std::string_view(before))};
  const ZuFMRTavoFile editedMovie{ZuString(std::string_view(after))};
  const double oldSeconds = movie.GetFrameCount() / 10.0;
  const double newSeconds = editedMovie.GetFrameCount() / 10.0;
  ASSERT_GT(oldSeconds, 1.0);
  ASSERT_LT(newSeconds, 1.0);
  ASSERT_EQ(ZuFMREditUtils::BackupFMRSWFBeforeEdit(movie, Slide(1), record), kZuSuccess);
  EXPECT_DOUBLE_EQ(record.oldDuration, oldSeconds);
  EXPECT_EQ(record.slideIndex, 1);
  EXPECT_EQ(record.project, &Project());
  EXPECT_EQ(record.affectedSlides, (std::vector<ZuFMREditCommandBackupData::Entry>{
                                       {0, oldSeconds}, {1, oldSeconds}, {3, oldSeconds}}));

  ZuAnimationResource* resource = ZuFMREditUtils::GetAnimationResourceFromFMRSlide(Slide(1));
  ASSERT_EQ(resource, edited->GetAnimation());
  record.newDuration = newSeconds;
  ASSERT_EQ(ZuFMREditUtils::FireReplaceAnimResItem(resource, ZuFile(ZuString(after)), record, 1),
            kZuSuccess);
  ASSERT_NE(record.replaceCommand, nullptr);
  ASSERT_EQ(ZuFMREditUtils::FireModifySlideTimeCommand(record, false), kZuSuccess);

  struct Expected {
    const char* step;
    std::string name;
    double durations[4];
    size_t frames;
  };
  const Expected edit{"edit",
                      "demo_1.swf",
                      {newSeconds, newSeconds, otherDuration, 1.0},
                      editedMovie.GetFrameCount()};
  const Expected undone{"undo",
                        "demo.swf",
                        {oldSeconds, oldSeconds, otherDuration, oldSeconds},
                        movie.GetFrameCount()};
  const Expected checks[] = {edit, undone, edit, undone};
  for (size_t i = 0; i < std::size(checks); ++i) {
    const Expected& expected = checks[i];
    if (i > 0) {
      const ZuErrorCodeEnum result =
          i % 2 == 1 ? ZuFMREditUtils::UpdateFMRSlideWithBackedupDataForUndo(record)
                     : ZuFMREditUtils::UpdateFMRSlideWithBackedupDataForRedo(record);
      ASSERT_EQ(result, kZuSuccess) << expected.step;
    }
    EXPECT_EQ(NameOf(0), expected.name) << expected.step;
    EXPECT_EQ(NameOf(2), "other.swf") << expected.step;
    for (int slide = 0; slide < 4; ++slide) {
      EXPECT_NEAR(DurationOf(slide), expected.durations[slide], 1e-9)
          << expected.step << " slide " << slide;
    }
    EXPECT_EQ(ShownBy(Slide(3)).size(), expected.frames) << expected.step;
  }
}

TEST_F(BackupTest, ResourceLookupAndBackupWithoutAnFMRResource) {
  const std::string path = RecordMovie("demo.swf", 10, 1);
  ZuSlideBase* slide = AddSlide(path, "demo.swf");
  ASSERT_NE(slide, nullptr);
  ZuFMRTavoFile movie{ZuString(std::string_view(path))};

  EXPECT_EQ(ZuFMREditUtils::GetAnimationResourceFromFMRSlide(nullptr), nullptr);
  ZuFMREditCommandBackupData untouched;
  EXPECT_EQ(ZuFMREditUtils::BackupFMRSWFBeforeEdit(movie, nullptr, untouched), kZuFailure);
  EXPECT_EQ(untouched.slideIndex, -1);
  EXPECT_EQ(untouched.oldDuration, 0.0);

  slide->GetAnimation()->SetResourceFMRSwf(false);
  EXPECT_EQ(ZuFMREditUtils::GetAnimationResourceFromFMRSlide(slide), nullptr);
  ZuFMREditCommandBackupData record;
  EXPECT_EQ(ZuFMREditUtils::BackupFMRSWFBeforeEdit(movie, slide, record), kZuSuccess);
  EXPECT_DOUBLE_EQ(record.oldDuration, movie.GetFrameCount() / 10.0);
  EXPECT_EQ(record.slideIndex, 0);
  EXPECT_EQ(record.project, &Project());
  EXPECT_TRUE(record.affectedSlides.empty());
  slide->GetAnimation()->SetResourceFMRSwf(true);

  struct Lookup {
    ZuProject* project;
    int index;
    ZuSlideBase* expected;
  };
  for (const Lookup& c : {Lookup{nullptr, 0, nullptr}, Lookup{&Project(), -1, nullptr},
                          Lookup{&Project(), 1, nullptr}, Lookup{&Project(), 0, slide}}) {
    EXPECT_EQ(ZuFMREditUtils::GetSlide(c.project, c.index), c.expected) << c.index;
  }
}

TEST_F(BackupTest, RestoreDrivesTheKeptCommandAndStopsAtAMissingSlide) {
  ASSERT_NE(AddSlide(RecordMovie("demo.swf", 10, 1), "demo.swf"), nullptr);
  using Restore = ZuErrorCodeEnum (*)(ZuFMREditCommandBackupData&);
  struct Case {
    const char* what;
    int slideIndex;
    std::vector<ZuFMREditCommandBackupData::Entry> slides;
    ZuErrorCodeEnum commandResult;
    ZuErrorCodeEnum expected;
    int driven;    // Undo or Redo calls on the kept command
    int notified;  // and their notifications
  };
  const Case cases[] = {
      {"no slide", -1, {}, kZuSuccess, kZuFailure, 0, 0},
      {"empty list", 0, {}, kZuSuccess, kZuSuccess, 1, 1},
      {"command fails", 0, {}, kZuFailure, kZuSuccess, 1, 0},
      {"listed slide gone", 0, {{0, 1.0}, {7, 1.0}}, kZuSuccess, kZuFailure, 1, 1},
  };
  for (Restore restore : {&ZuFMREditUtils::UpdateFMRSlideWithBackedupDataForUndo,
                          &ZuFMREditUtils::UpdateFMRSlideWithBackedupDataForRedo}) {
    for (const Case& c : cases) {
      ZuCountingCommandCounters counters;
      counters.undoResult = counters.redoResult = c.commandResult;
      {
        ZuFMREditCommandBackupData record;
        record.project = &Project();
        record.slideIndex = c.slideIndex;
        record.affectedSlides = c.slides;
        record.newDuration = 3.0;
        record.replaceCommand = new ZuCountingCommand(&counters);
        EXPECT_EQ(restore(record), c.expected) << c.what;
      }
      EXPECT_EQ(counters.undos + counters.redos, c.driven) << c.what;
      EXPECT_EQ(counters.undoNotifies + counters.redoNotifies, c.notified) << c.what;
      EXPECT_EQ(counters.deletes, 1) << c.what;
    }
  }
}

TEST_F(BackupTest, UndoAndRedoCommandNotifyOnlyOnSuccess) {
  EXPECT_EQ(ZuFMREditUtils::UndoCommand(nullptr), kZuFailure);
  EXPECT_EQ(ZuFMREditUtils::RedoCommand(nullptr), kZuFailure);
  for (ZuErrorCodeEnum result : {kZuSuccess, kZuFailure, kZuErrorNotFMR}) {
    ZuCountingCommandCounters counters;
    counters.undoResult = counters.redoResult = result;
    ZuCountingCommand command(&counters);
    EXPECT_EQ(ZuFMREditUtils::UndoCommand(&command), result);
    EXPECT_EQ(ZuFMREditUtils::RedoCommand(&command), result);
    const int notifications = result == kZuSuccess ? 1 : 0;
    EXPECT_EQ(counters.undoNotifies, notifications) << result;
    EXPECT_EQ(counters.redoNotifies, notifications) << result;
  }
}

TEST_F(BackupTest, NewNamesKeepTheBaseName) {
  ZuSlideBase* slide = AddSlide(RecordMovie("demo.swf", 4, 1), "demo.swf");
  ASSERT_NE(slide, nullptr);
  EXPECT_EQ(ZuFMREditUtils::GetNewNameForAnimation(nullptr, 1), ZuString());
  EXPECT_EQ(ZuFMREditUtils::GetNewNameForAnimation(slide->GetAnimation(), 2),
            ZuString("demo_2.swf"));
  slide->GetAnimation()->SetResourceName("Präsentation.swf");
  EXPECT_EQ(ZuFMREditUtils::GetNewNameForAnimation(slide->GetAnimation(), 1),
            ZuString("Präsentation_1.swf"));
}

}  // namespace
