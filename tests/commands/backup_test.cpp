// The backup helpers' edge cases: slides and resources that are missing or not FMR, restores
// whose kept command fails, notifications, new resource names. Their ordinary use is checked
// through the edit commands (edit_commands_test.cpp).
#include <gtest/gtest.h>

#include <memory>

#include "commands/ZuFMREditCommandBackupData.h"
#include "commands/ZuFMREditUtils.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuCCommand.h"
#include "host/app/ZuSlideBase.h"
#include "tests/commands/edit_fixture.h"

namespace {

using BackupTest = edit_test::EditProjectTest;

// The command a backup keeps, counting what the restore does to it.
struct Counters {
  int driven = 0, notified = 0, deletes = 0;
};
class CountingCommand : public ZuCCommand {
 public:
  CountingCommand(Counters* counters, ZuErrorCodeEnum result)
      : ZuCCommand(7000), m_counters(counters), m_result(result) {}
  ~CountingCommand() override { ++m_counters->deletes; }
  IZuCommand* Clone() const override { return new CountingCommand(m_counters, m_result); }
  ZuErrorCodeEnum Execute() override { return kZuSuccess; }
  ZuErrorCodeEnum Undo() override { return ++m_counters->driven, m_result; }
  ZuErrorCodeEnum Redo() override { return ++m_counters->driven, m_result; }
  void UndoNotify() override { ++m_counters->notified; }
  void RedoNotify() override { ++m_counters->notified; }

 private:
  Counters* m_counters;
  ZuErrorCodeEnum m_result;
};

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
      Counters counters;
      {
        ZuFMREditCommandBackupData record;
        record.project = &Project();
        record.slideIndex = c.slideIndex;
        record.affectedSlides = c.slides;
        record.newDuration = 3.0;
        record.replaceCommand = new CountingCommand(&counters, c.commandResult);
        EXPECT_EQ(restore(record), c.expected) << c.what;
      }
      EXPECT_EQ(counters.driven, c.driven) << c.what;
      EXPECT_EQ(counters.notified, c.notified) << c.what;
      EXPECT_EQ(counters.deletes, 1) << c.what;
    }
  }
}

}  // namespace
