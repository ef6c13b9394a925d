// Each edit command's results and progress reports, for its failures and for success, run
// as the host runs them: one top-level command whose failure leaves the project as stored.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "commands/ZuFMREditCommandData.h"
#include "commands/ZuFMREditComponent.h"
#include "host/app/IZuCommand.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuCmdUtils.h"
#include "host/app/ZuSlideBase.h"
#include "tests/commands/edit_fixture.h"
#include "tests/support/FmrMovieBuilder.h"

namespace {

using edit_test::EditProjectTest;

// The slides every case starts from.
struct Slides {
  ZuSlideBase* movie = nullptr;  // 20 recorded frames, 32 x 24
  ZuSlideBase* other = nullptr;  // 12 recorded frames, 32 x 24
  ZuSlideBase* wider = nullptr;  // 8 recorded frames, 40 x 24
  ZuSlideBase* plain = nullptr;  // a movie that is not FMR
};

struct FailureCase {
  const char* name;
  int32_t id;
  // Fills the command's data (the progress receiver is set already).
  std::function<void(IZuCommandData&, const Slides&, EditProjectTest&)> fill;
  ZuErrorCodeEnum result;
  std::vector<int> progress;
};

template <class Data>
std::function<void(IZuCommandData&, const Slides&, EditProjectTest&)> Fill(
    std::function<void(Data&, const Slides&, EditProjectTest&)> fill) {
  return [fill](IZuCommandData& data, const Slides& slides, EditProjectTest& test) {
    fill(dynamic_cast<Data&>(data), slides, test);
  };
}

using Delete = ZuFMREditDeleteFramesCommandData;
using Insert = ZuFMREditInsertCommandData;
using Split = ZuFMREditSplitCommandData;
using Merge = ZuFMREditMergeSlidesCommandData;

// Marks the plain movie's resource as FMR, so that the command finds out by loading it.
void ClaimFMR(const Slides& s) {
  s.plain->GetAnimation()->SetResourceFMRSwf(true);
}

const std::vector<FailureCase>& Cases() {
  static const std::vector<FailureCase> cases = {
      {"delete: no slide",
       888,
       Fill<Delete>([](Delete&, const Slides&, EditProjectTest&) {}),
       kZuFailure,
       {5}},
      {"delete: resource not FMR",
       888,
       Fill<Delete>([](Delete& d, const Slides& s, EditProjectTest&) { d.SetFMRSlide(s.plain); }),
       kZuFailure,
       {5}},
      {"delete: stored movie not FMR",
       888,
       Fill<Delete>([](Delete& d, const Slides& s, EditProjectTest&) {
         ClaimFMR(s);
         d.SetFMRSlide(s.plain);
       }),
       kZuErrorNotFMR,
       {5}},
      {"delete: start past the end",
       888,
       Fill<Delete>([](Delete& d, const Slides& s, EditProjectTest&) {
         d.SetFMRSlide(s.movie);
         d.SetStartPosition(50.0);
         d.SetDuration(1.0);
       }),
       kZuFailure,
       {5, 33}},
      {"delete: success",
       888,
       Fill<Delete>([](Delete& d, const Slides& s, EditProjectTest&) {
         d.SetFMRSlide(s.movie);
         d.SetStartPosition(0.5);
         d.SetDuration(0.3);
       }),
       kZuSuccess,
       {5, 33, 66, 100}},

      {"insert: no slide",
       889,
       Fill<Insert>([](Insert&, const Slides&, EditProjectTest&) {}),
       kZuFailure,
       {5}},
      {"insert: into a movie that is not FMR",
       889,
       Fill<Insert>([](Insert& d, const Slides& s, EditProjectTest&) {
         ClaimFMR(s);
         d.SetSourceFMRSlide(s.plain);
         d.SetFMRAnimationToInsert(s.other->GetAnimation());
       }),
       kZuErrorNotFMR,
       {5}},
      {"insert: nothing to insert",
       889,
       Fill<Insert>(
           [](Insert& d, const Slides& s, EditProjectTest&) { d.SetSourceFMRSlide(s.movie); }),
       kZuFailure,
       {5, 33, 100}},
      {"insert: a movie that is not FMR",
       889,
       Fill<Insert>([](Insert& d, const Slides& s, EditProjectTest&) {
         ClaimFMR(s);
         d.SetSourceFMRSlide(s.movie);
         d.SetFMRAnimationToInsert(s.plain->GetAnimation());
       }),
       kZuErrorNotFMR,
       {5, 33}},
      {"insert: another size",
       889,
       Fill<Insert>([](Insert& d, const Slides& s, EditProjectTest&) {
         d.SetSourceFMRSlide(s.movie);
         d.SetFMRAnimationToInsert(s.wider->GetAnimation());
       }),
       kZuErrorDimensionMismatch,
       {5, 33}},
      {"insert: success from a file",
       889,
       Fill<Insert>([](Insert& d, const Slides& s, EditProjectTest& t) {
         d.SetSourceFMRSlide(s.movie);
         d.SetInsertAt(1.0);
         d.SetFileToInsert(ZuString(std::string_view(t.File("other.swf"))));
       }),
       kZuSuccess,
       {5, 33, 66, 100}},

      {"split: no slide",
       890,
       Fill<Split>([](Split&, const Slides&, EditProjectTest&) {}),
       kZuFailure,
       {5}},
      {"split: resource not FMR",
       890,
       Fill<Split>(
           [](Split& d, const Slides& s, EditProjectTest&) { d.SetSourceFMRSlide(s.plain); }),
       kZuFailure,
       {5}},
      {"split: at the start",
       890,
       Fill<Split>([](Split& d, const Slides& s, EditProjectTest&) {
         d.SetSourceFMRSlide(s.movie);
         d.SetSplitAt(0.0);
       }),
       kZuFailure,
       {5, 33}},
      {"split: past the end",
       890,
       Fill<Split>([](Split& d, const Slides& s, EditProjectTest&) {
         d.SetSourceFMRSlide(s.movie);
         d.SetSplitAt(30.0);
       }),
       kZuFailure,
       {5, 33}},
      {"split: success",
       890,
       Fill<Split>([](Split& d, const Slides& s, EditProjectTest&) {
         d.SetSourceFMRSlide(s.movie);
         d.SetSplitAt(1.04);
       }),
       kZuSuccess,
       {5, 33, 66, 100}},

      {"merge: no slides",
       901,
       Fill<Merge>([](Merge&, const Slides&, EditProjectTest&) {}),
       kZuFailure,
       {5}},
      {"merge: first entry null",
       901,
       Fill<Merge>([](Merge& d, const Slides& s, EditProjectTest&) {
         d.AddSlideToMerge(nullptr);
         d.AddSlideToMerge(s.other);
       }),
       kZuFailure,
       {5}},
      {"merge: first movie not FMR",
       901,
       Fill<Merge>([](Merge& d, const Slides& s, EditProjectTest&) {
         ClaimFMR(s);
         d.AddSlideToMerge(s.plain);
         d.AddSlideToMerge(s.other);
       }),
       kZuErrorNotFMR,
       {5}},
      {"merge: one slide",
       901,
       Fill<Merge>([](Merge& d, const Slides& s, EditProjectTest&) { d.AddSlideToMerge(s.movie); }),
       kZuFailure,
       {5, 25, 50}},
      {"merge: a following slide not FMR",
       901,
       Fill<Merge>([](Merge& d, const Slides& s, EditProjectTest&) {
         d.AddSlideToMerge(s.movie);
         d.AddSlideToMerge(s.other);
         d.AddSlideToMerge(s.plain);
       }),
       kZuFailure,
       {5, 25}},
      {"merge: a following entry null",
       901,
       Fill<Merge>([](Merge& d, const Slides& s, EditProjectTest&) {
         d.AddSlideToMerge(s.movie);
         d.AddSlideToMerge(nullptr);
       }),
       kZuFailure,
       {5, 25}},
      {"merge: another size",
       901,
       Fill<Merge>([](Merge& d, const Slides& s, EditProjectTest&) {
         d.AddSlideToMerge(s.movie);
         d.AddSlideToMerge(s.wider);
       }),
       kZuFailure,
       {5, 25, 50}},
      {"merge: success",
       901,
       Fill<Merge>([](Merge& d, const Slides& s, EditProjectTest&) {
         d.AddSlideToMerge(s.movie);
         d.AddSlideToMerge(s.other);
       }),
       kZuSuccess,
       {5, 25, 50, 75, 100}},
  };
  return cases;
}

// Sets the progress receiver of any of the four records.
void SetProgress(IZuCommandData& data, IZuFMREditProgressEvent* progress) {
  if (auto* d = dynamic_cast<Delete*>(&data)) d->SetProgressEvent(progress);
  if (auto* d = dynamic_cast<Insert*>(&data)) d->SetProgressEvent(progress);
  if (auto* d = dynamic_cast<Split*>(&data)) d->SetProgressEvent(progress);
  if (auto* d = dynamic_cast<Merge*>(&data)) d->SetProgressEvent(progress);
}

class EditResults : public EditProjectTest {
 protected:
  void SetUp() override {
    EditProjectTest::SetUp();
    m_slides.movie = AddSlide(RecordMovie("movie.swf", 20, 1), "movie.swf");
    m_slides.other = AddSlide(RecordMovie("other.swf", 12, 2), "other.swf");
    m_slides.wider = AddSlide(RecordMovie("wider.swf", 8, 3, 40, 24), "wider.swf");
    FmrMovieBuilder(32, 24, 10).HoldFrame().HoldFrame().HoldFrame().WriteFile(File("plain.swf"));
    m_slides.plain = AddSlide(File("plain.swf"), "plain.swf");
    ASSERT_NE(m_slides.plain, nullptr);
    ASSERT_EQ(m_slides.plain->GetAnimation()->GetResourceFMRSwf(nullptr), 0);
  }
  Slides m_slides;
};

TEST_F(EditResults, ResultAndProgressOfEveryCase) {
  const ZuProjectState stored = State();
  for (const FailureCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(c.id));
    ASSERT_NE(command, nullptr);
    edit_test::ProgressLog progress;
    SetProgress(*command->GetCommandData(), &progress);
    c.fill(*command->GetCommandData(), m_slides, *this);
    EXPECT_EQ(ZuCmdUtils::ExecuteCommand(command.get(), 1, 0, nullptr), c.result);
    EXPECT_EQ(progress.values, c.progress);
    m_slides.plain->GetAnimation()->SetResourceFMRSwf(false);
    if (c.result != kZuSuccess) {
      EXPECT_EQ(State(), stored);  // nothing of a failed edit stays
    } else {
      EXPECT_NE(State(), stored);
      Project().RevertToState(Project().GetPreviousStateId(), nullptr);
      EXPECT_EQ(State(), stored);
    }
  }
}

}  // namespace
