// The backup's restore on its edge cases: a slide that is gone, a kept command that fails, and
// the notifications. Its ordinary use is checked through the edit commands' undo and redo
// (edit_commands_test.cpp).
#include <gtest/gtest.h>

#include <memory>

#include "commands/ZuFMREditCommandBackupData.h"
#include "commands/ZuFMREditUtils.h"
#include "host/app/ZuCCommand.h"
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
