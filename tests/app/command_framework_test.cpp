// The command framework: registry, ExecuteCommand and the undo history.

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "host/app/ZuCCommand.h"
#include "host/app/ZuCmdUtils.h"
#include "host/app/ZuHostCommands.h"
#include "host/app/ZuSession.h"
#include "host/app/ZuSlideBase.h"
#include "tests/app/AppTestUtil.h"

namespace {

constexpr int32_t kProbeId = 9001;

// What a probe command does when executed.
struct ProbeBehaviour {
  ZuErrorCodeEnum result = kZuSuccess;
  bool throws = false;
};

ProbeBehaviour g_behaviour;

// A command that changes nothing and behaves as g_behaviour says when executed.
class ProbeCommand : public ZuCCommand {
 public:
  ProbeCommand() : ZuCCommand(kProbeId) {}
  IZuCommand* Clone() const override { return new ProbeCommand(*this); }
  ZuErrorCodeEnum Execute() override {
    if (g_behaviour.throws) throw std::runtime_error("probe");
    return g_behaviour.result;
  }
  ZuErrorCodeEnum Undo() override { return kZuSuccess; }
  ZuErrorCodeEnum Redo() override { return kZuSuccess; }
  void RedoNotify() override {}
};

IZuCommand* MakeProbe(int32_t id) {
  return id == kProbeId ? new ProbeCommand() : nullptr;
}

class CommandFrameworkTest : public ProjectTest {
 protected:
  void SetUp() override {
    ProjectTest::SetUp();
    GetZuSession()->GetCommandRegistry(0)->RegisterCommandFactory(kProbeId, MakeProbe);
    g_behaviour = ProbeBehaviour();
  }
  void TearDown() override {
    GetZuSession()->GetCommandRegistry(0)->UnregisterCommandFactory(kProbeId);
    ProjectTest::TearDown();
  }
  size_t UndoCount() { return GetZuSession()->GetCommandHistory()->GetUndoCount(); }
};

// Which runs end up in the history, and what each commits to the project file (a nested run:
// NestedHostCommandStaysOutOfTheHistory).
TEST_F(CommandFrameworkTest, OnlySuccessfulTopLevelUndoableRunsArePushed) {
  struct Case {
    const char* name;
    ProbeBehaviour behaviour;
    int32_t undoability;
    ZuErrorCodeEnum expected;
    size_t pushed;
    bool newState;
  };
  const Case cases[] = {
      {"default", {}, kZuUndoable, kZuSuccess, 1, true},
      {"driven by owner", {}, kZuDrivenByOwner, kZuSuccess, 0, true},
      {"fails", {kZuErrorNotFMR, false}, kZuUndoable, kZuErrorNotFMR, 0, false},
      {"throws", {kZuSuccess, true}, kZuUndoable, kZuFailure, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GetZuSession()->GetCommandHistory()->Clear();
    g_behaviour = c.behaviour;
    const int64_t stateBefore = Project().GetStateId();
    std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(kProbeId));
    command->SetUndoability(c.undoability);
    EXPECT_EQ(ZuCmdUtils::ExecuteCommand(command.get(), 1, 0, nullptr), c.expected);
    EXPECT_EQ(UndoCount(), c.pushed);
    EXPECT_EQ(Project().GetStateId() != stateBefore, c.newState);
    EXPECT_EQ(GetZuSession()->GetDepth(), 0);
  }
}

// Command 441 runs 439 inside itself: one entry, and undoing and redoing it (the history's
// clone: the original is gone) undoes and redoes both, each with its notification.
TEST_F(CommandFrameworkTest, NestedHostCommandStaysOutOfTheHistory) {
  ASSERT_EQ(AddSlide(WriteMovie("a.swf", 20, 0x336699), -1), kZuSuccess);
  GetZuSession()->GetCommandHistory()->Clear();
  GetZuSession()->GetEventLog().Clear();
  const ZuProjectState before = State();
  ASSERT_EQ(SetMinimum(Slide(0), 5.0), kZuSuccess);
  EXPECT_EQ(UndoCount(), 1u);
  EXPECT_DOUBLE_EQ(Slide(0)->GetDuration().GetTime(), 5.0);
  const ZuProjectState after = State();
  ASSERT_EQ(GetZuSession()->GetCommandHistory()->Undo(), kZuSuccess);
  EXPECT_EQ(State(), before);
  ASSERT_EQ(GetZuSession()->GetCommandHistory()->Redo(), kZuSuccess);
  EXPECT_EQ(State(), after);
  // Events: the nested 439 and then 441 executed, undone and redone.
  std::vector<std::pair<int32_t, int32_t>> events;
  for (const auto& event : GetZuSession()->GetEventLog().GetEvents()) {
    events.emplace_back(event.code, event.commandId);
  }
  const std::vector<std::pair<int32_t, int32_t>> expected{
      {kZuEventExecuted, kZuCmdModifySlideDuration}, {kZuEventExecuted, kZuCmdSetSlideMinimum},
      {kZuEventUndone, kZuCmdModifySlideDuration},   {kZuEventUndone, kZuCmdSetSlideMinimum},
      {kZuEventRedone, kZuCmdModifySlideDuration},   {kZuEventRedone, kZuCmdSetSlideMinimum}};
  EXPECT_EQ(events, expected);
}

}  // namespace
