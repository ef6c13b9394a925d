// The four edits fired on a project of recorded movies, through the command framework: the
// movies the slides show afterwards, the durations of the slides sharing the edited movie,
// and undo and redo, in the same run and after the project is opened again.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "commands/ZuFMREditCommandData.h"
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
#include "tests/commands/edit_fixture.h"
#include "tests/support/FmrMovieBuilder.h"

namespace {

using edit_test::Concat;
using edit_test::FramesOf;
using edit_test::Pictures;

int Count(const Pictures& pictures) {
  return static_cast<int>(pictures.size());
}

double Duration(const ZuSlideBase* slide) {
  return slide->GetDuration().GetTime().GetValue();
}

// slide 1: movie A (20 recorded frames); slide 2: movie A again, with a minimum duration of
// 2.5 s; slide 3: movie B (12 recorded frames). All at 10 frames a second.
class FiredEdit : public edit_test::EditProjectTest {
 protected:
  void SetUp() override {
    EditProjectTest::SetUp();
    ZuSlideBase* first = AddSlide(RecordMovie("a.swf", 20, 1), "a.swf");
    ZuSlideBase* shared = AddSharedSlide(first);
    AddSlide(RecordMovie("b.swf", 12, 2), "b.swf");
    ASSERT_NE(Slide(2), nullptr);
    SetMinimum(shared, 2.5);
    m_a = ShownBy(Slide(0));
    m_b = ShownBy(Slide(2));
  }

  void SetMinimum(ZuSlideBase* slide, double seconds) {
    std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(kZuCmdSetSlideMinimum));
    auto* data = dynamic_cast<ZuSetSlideMinimumCommandData*>(command->GetCommandData());
    ASSERT_NE(data, nullptr);
    data->SetSlide(slide);
    data->SetMinimumDuration(seconds);
    ASSERT_EQ(ZuCmdUtils::ExecuteCommand(command.get(), 1, 0, nullptr), kZuSuccess);
  }

  // The edited movie's length and the slides showing it: the first gets the length, the
  // shared one never less than its minimum.
  void ExpectDurations(int frames) {
    const double length = frames / 10.0;
    EXPECT_DOUBLE_EQ(Duration(Slide(0)), length);
    const ZuSlideBase* shared =
        Slide(0)->GetAnimation() == Slide(1)->GetAnimation() ? Slide(1) : Slide(2);
    EXPECT_DOUBLE_EQ(Duration(shared), std::max(length, 2.5));
  }

  Pictures m_a;
  Pictures m_b;
};

struct EditCase {
  const char* name;
  std::function<ZuErrorCodeEnum(FiredEdit&)> fire;
  // What slide 1 shows afterwards, from the pictures of A and B.
  std::function<Pictures(const Pictures& a, const Pictures& b)> expected;
  int slidesAfter;
};

const std::vector<EditCase>& EditCases() {
  static const std::vector<EditCase> cases = {
      {"delete 0.5 s from 0.5 s",
       [](FiredEdit& t) { return ZuFMREditUtils::FireDelFramesCommand(t.Slide(0), 0.5, 0.3); },
       [](const Pictures& a, const Pictures&) {
         return Concat({FramesOf(a, 1, 5), FramesOf(a, 9, Count(a))});
       },
       3},
      {"insert movie B at 1 s",
       [](FiredEdit& t) {
         return ZuFMREditUtils::FireInsertSWFCommand(t.Slide(0), ZuString(),
                                                     t.Slide(2)->GetAnimation(), 1.0);
       },
       [](const Pictures& a, const Pictures& b) {
         return Concat(
             {FramesOf(a, 1, 10), FramesOf(b, 1, Count(b) - 1), FramesOf(a, 11, Count(a))});
       },
       3},
      {"split at 1.04 s",
       [](FiredEdit& t) { return ZuFMREditUtils::FireSplitSWFCommand(t.Slide(0), 1.04); },
       [](const Pictures& a, const Pictures&) { return FramesOf(a, 1, 10); }, 4},
      {"merge slides 1 and 3",
       [](FiredEdit& t) {
         return ZuFMREditUtils::FireMergeSWFCommand({t.Slide(0), t.Slide(2)});
       },
       [](const Pictures& a, const Pictures& b) {
         Pictures all = Concat({FramesOf(a, 1, Count(a) - 1), FramesOf(b, 1, Count(b) - 1)});
         all.push_back(all.back());
         return all;
       },
       3},
  };
  return cases;
}

TEST_F(FiredEdit, EveryEditShowsItsFramesAndUndoesExactly) {
  const ZuProjectState before = State();
  for (const EditCase& c : EditCases()) {
    SCOPED_TRACE(c.name);
    const ZuSlideBase* third = Slide(2);
    ASSERT_EQ(c.fire(*this), kZuSuccess);
    ASSERT_EQ(Project().GetSlideCollection()->GetCount(), c.slidesAfter);
    const Pictures expected = c.expected(m_a, m_b);
    edit_test::ExpectSamePictures(ShownBy(Slide(0)), expected);
    ExpectDurations(Count(expected));
    EXPECT_EQ(Slide(0)->GetAnimation()->GetResourceName(nullptr).GetUTF8String(), "a_1.swf");
    if (c.slidesAfter == 4) {
      // The split's second part, on a new slide right after the split one.
      EXPECT_EQ(Slide(1)->GetAnimation()->GetResourceName(nullptr).GetUTF8String(), "a_2.swf");
      EXPECT_TRUE(Slide(1)->IsMarkedFMR());
      edit_test::ExpectSamePictures(ShownBy(Slide(1)), FramesOf(m_a, 10, Count(m_a)));
      EXPECT_EQ(Slide(2)->GetAnimation(), Slide(0)->GetAnimation());
    } else {
      EXPECT_EQ(Slide(2), third);  // the other slides keep their movies
      EXPECT_EQ(third->GetAnimation()->GetResourceName(nullptr).GetUTF8String(), "b.swf");
    }
    const ZuProjectState after = State();

    ZuCommandHistory* history = GetZuSession()->GetCommandHistory();
    ASSERT_EQ(history->Undo(), kZuSuccess);
    EXPECT_EQ(State(), before);
    ASSERT_EQ(history->Redo(), kZuSuccess);
    EXPECT_EQ(State(), after);
    edit_test::ExpectSamePictures(ShownBy(Slide(0)), expected);

    // A new run undoes and redoes along the project file's states.
    Reopen();
    ASSERT_EQ(GetZuSession()->GetCommandHistory()->Undo(), kZuSuccess);
    EXPECT_EQ(State(), before);
    ASSERT_EQ(GetZuSession()->GetCommandHistory()->Redo(), kZuSuccess);
    EXPECT_EQ(State(), after);
    ASSERT_EQ(GetZuSession()->GetCommandHistory()->Undo(), kZuSuccess);
    ASSERT_EQ(State(), before);
  }
}

TEST_F(FiredEdit, MergeRefusesSlidesThatAreNotFMRAndIgnoresShortLists) {
  const ZuProjectState before = State();
  Slide(2)->SetMarkedFMR(false);
  EXPECT_EQ(ZuFMREditUtils::FireMergeSWFCommand({Slide(0), Slide(2)}), kZuFailure);
  Slide(2)->SetMarkedFMR(true);
  EXPECT_EQ(ZuFMREditUtils::FireMergeSWFCommand({Slide(0), nullptr}), kZuFailure);
  EXPECT_EQ(ZuFMREditUtils::FireMergeSWFCommand({Slide(0)}), kZuSuccess);
  EXPECT_EQ(ZuFMREditUtils::FireMergeSWFCommand({}), kZuSuccess);
  EXPECT_EQ(State(), before);
  EXPECT_EQ(GetZuSession()->GetCommandHistory()->GetUndoCount(), 4u);  // the setup's only
}

// The split's Undo and Redo drive the inserted slide; Clone carries everything.
TEST_F(FiredEdit, SplitCloneUndoesAfterTheOriginalIsGone) {
  std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(890));
  EXPECT_EQ(command->Undo(), kZuFailure);  // never ran
  EXPECT_EQ(command->Redo(), kZuFailure);
  dynamic_cast<ZuFMREditSplitCommandData&>(*command->GetCommandData()).SetSourceFMRSlide(Slide(0));
  dynamic_cast<ZuFMREditSplitCommandData&>(*command->GetCommandData()).SetSplitAt(1.0);
  const ZuProjectState before = State();
  ASSERT_EQ(ZuCmdUtils::ExecuteCommand(command.get(), 1, 0, nullptr), kZuSuccess);
  const ZuProjectState after = State();
  std::unique_ptr<IZuCommand> clone(command->Clone());
  command.reset();
  EXPECT_EQ(clone->Undo(), kZuSuccess);
  EXPECT_EQ(Project().GetSlideCollection()->GetCount(), 3);
  EXPECT_EQ(State().slides, before.slides);
  EXPECT_EQ(clone->Redo(), kZuSuccess);
  EXPECT_EQ(State().slides, after.slides);
}

// A merge that passes the frame limit keeps the first movie alone, and still replaces the
// resource and sets the durations.
TEST_F(FiredEdit, MergePastTheFrameLimitStillReplacesTheResource) {
  FmrMovieBuilder big(32, 24, 10);
  big.KeyFrame(0x336699);
  for (int i = 0; i < ZuFMRTavoFile::m_maxSWFFramesLimit - 6; ++i) big.HoldFrame();
  big.StopFrame();
  big.WriteFile(File("big.swf"));
  ZuSlideBase* bigSlide = AddSlide(File("big.swf"), "big.swf");
  ASSERT_NE(bigSlide, nullptr);
  const int frames = big.Build()->GetFrameCount();
  ASSERT_TRUE(ZuFMRTavoFile(ZuString(File("big.swf"))).IsValidFMRSWF());

  std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(901));
  auto& data = dynamic_cast<ZuFMREditMergeSlidesCommandData&>(*command->GetCommandData());
  data.AddSlideToMerge(bigSlide);
  data.AddSlideToMerge(Slide(2));
  EXPECT_EQ(command->Execute(), kZuErrorFrameLimit);
  EXPECT_EQ(bigSlide->GetAnimation()->GetResourceName(nullptr).GetUTF8String(), "big_1.swf");
  EXPECT_DOUBLE_EQ(Duration(bigSlide), frames / 10.0);
  EXPECT_TRUE(data.GetNewlyCreatedFile().DoesFileExist());
  EXPECT_EQ(ZuFMRTavoFile(data.GetNewlyCreatedFile().GetPathString()).GetFrameCount(), frames);
  EXPECT_EQ(Slide(2)->GetAnimation()->GetResourceName(nullptr).GetUTF8String(), "b.swf");
}

}  // namespace
