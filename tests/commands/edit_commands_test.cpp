// What the four command classes share: ids, names, redo events, clones that keep working
// after their original is gone, and Undo and Redo before any Execute.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "commands/ZuFMREditCommandData.h"
#include "commands/ZuFMREditComponent.h"
#include "host/app/IZuCommand.h"
#include "host/app/ZuCmdUtils.h"
#include "host/app/ZuCommandEventLog.h"
#include "host/app/ZuSession.h"
#include "host/app/ZuSlideBase.h"
#include "tests/commands/edit_fixture.h"

namespace {

struct CommandCase {
  int32_t id;
  const char* name;
  int32_t redoEvent;
};

const CommandCase kCommands[] = {
    {888, "kZuFMREditDeleteFramesCommand", 887},
    {889, "kZuFMREditInsertCommand", 888},
    {890, "kZuFMREditSplitCommand", 889},
    {901, "kZuFMREditMergeSlidesCommand", 900},
};

using EditCommands = edit_test::EditProjectTest;

TEST_F(EditCommands, IdNameRedoEventAndUndoBeforeExecute) {
  for (const CommandCase& c : kCommands) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(c.id));
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->GetID(), c.id);
    EXPECT_EQ(command->GetName().GetUTF8String(), c.name);
    EXPECT_NE(command->GetCommandData(), nullptr);
    EXPECT_EQ(command->Undo(), kZuFailure);
    EXPECT_EQ(command->Redo(), kZuFailure);

    ZuCommandEventLog& log = GetZuSession()->GetEventLog();
    log.Clear();
    command->RedoNotify();
    ASSERT_EQ(log.GetEvents().size(), 1u);
    EXPECT_EQ(log.GetEvents()[0].code, c.redoEvent);
    EXPECT_EQ(log.GetEvents()[0].commandId, c.id);

    std::unique_ptr<IZuCommand> clone(command->Clone());
    EXPECT_EQ(clone->GetID(), c.id);
    EXPECT_EQ(clone->GetName().GetUTF8String(), c.name);
    EXPECT_NE(clone->GetCommandData(), command->GetCommandData());
  }
}

// A clone made after Execute undoes and redoes on its own: it holds its own copy of the
// replace-resource command.
TEST_F(EditCommands, CloneOfAnExecutedDeleteUndoesAlone) {
  ZuSlideBase* slide = AddSlide(RecordMovie("a.swf", 20, 4), "a.swf");
  const ZuProjectState before = State();
  std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(888));
  auto& data = dynamic_cast<ZuFMREditDeleteFramesCommandData&>(*command->GetCommandData());
  data.SetFMRSlide(slide);
  data.SetStartPosition(1.0);
  data.SetDuration(0.5);
  ASSERT_EQ(ZuCmdUtils::ExecuteCommand(command.get(), 1, 0, nullptr), kZuSuccess);
  const ZuProjectState after = State();
  EXPECT_DOUBLE_EQ(slide->GetDuration().GetTime().GetValue(), 1.7);  // 22 - 5 frames

  std::unique_ptr<IZuCommand> clone(command->Clone());
  command.reset();
  EXPECT_EQ(clone->Undo(), kZuSuccess);
  EXPECT_EQ(State(), before);
  EXPECT_EQ(clone->Redo(), kZuSuccess);
  EXPECT_EQ(State(), after);
}

}  // namespace
