// The host's commands 116, 117, 118, 439, 441, 575 and 576 through the framework: execute, undo,
// redo, undo again, driven by the history's clone after the original is gone.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuCmdUtils.h"
#include "host/app/ZuHostCommands.h"
#include "host/app/ZuInsertFMRSlidesCommandData.h"
#include "host/app/ZuModifySlideDurationCommandData.h"
#include "host/app/ZuReplaceResourceCommandData.h"
#include "host/app/ZuSession.h"
#include "host/app/ZuSetSlideMinimumCommandData.h"
#include "host/app/ZuSlideBase.h"
#include "host/app/ZuSlideChangeCommandData.h"
#include "host/util/ZuSharedBytes.h"
#include "tests/app/AppTestUtil.h"
#include "tests/support/FileBytes.h"

namespace {

// Two slides: slide 0 shows a.swf (20 frames at 10 fps), slide 1 shows b.swf (30 frames),
// slide 1 with a minimum of 4 s (and so 4 s long).
class HostCommandsTest : public ProjectTest {
 public:
  void SetUp() override {
    ProjectTest::SetUp();
    m_a = WriteMovie("a.swf", 20, 0xAA0000);
    m_b = WriteMovie("b.swf", 30, 0x00BB00);
    ASSERT_EQ(AddSlide(m_a, -1, "a.swf"), kZuSuccess);
    ASSERT_EQ(AddSlide(m_b, 0, "b.swf"), kZuSuccess);
    ASSERT_EQ(SetMinimum(Slide(1), 4.0), kZuSuccess);
    GetZuSession()->GetCommandHistory()->Clear();
  }

  std::vector<uint8_t> StoredBytes(int64_t version) {
    ZuSharedBytes bytes;
    EXPECT_TRUE(Project().ReadVersion(version, &bytes, nullptr));
    return {bytes.begin(), bytes.end()};
  }
  // The stored movie of every slide, in order.
  std::vector<std::vector<uint8_t>> Movies() {
    std::vector<std::vector<uint8_t>> movies;
    for (int i = 0; i < Project().GetSlideCollection()->GetCount(); ++i) {
      movies.push_back(StoredBytes(Slide(i)->GetAnimation()->GetVersionId()));
    }
    return movies;
  }

  std::string m_a, m_b;
};

struct CommandCase {
  const char* name;
  int32_t id;
  std::function<void(HostCommandsTest&, IZuCommand*)> fill;
  std::function<void(HostCommandsTest&)> checkDone;  // the project after Execute and Redo
};

void FillDuration(HostCommandsTest& t, IZuCommand* command, double seconds, bool check) {
  auto* data = DataOf<ZuModifySlideDurationCommandData>(command);
  data->SetDuration(ZuDuration(seconds, kZuDurationSeconds));
  data->AddSlide(t.Slide(0));
  data->AddSlide(t.Slide(1));
  data->SetDoConstraintChecking(check);
}

const CommandCase kCommandCases[] = {
    {"439 with constraint checking", kZuCmdModifySlideDuration,
     [](HostCommandsTest& t, IZuCommand* c) { FillDuration(t, c, 3.0, true); },
     [](HostCommandsTest& t) {
       EXPECT_DOUBLE_EQ(t.Slide(0)->GetDuration().GetTime(), 3.0);
       EXPECT_DOUBLE_EQ(t.Slide(1)->GetDuration().GetTime(), 4.0);  // its minimum
     }},
    {"439 without constraint checking", kZuCmdModifySlideDuration,
     [](HostCommandsTest& t, IZuCommand* c) { FillDuration(t, c, 3.0, false); },
     [](HostCommandsTest& t) { EXPECT_DOUBLE_EQ(t.Slide(1)->GetDuration().GetTime(), 3.0); }},
    {"575 replaces slide 0's movie", kZuCmdReplaceResource,
     [](HostCommandsTest& t, IZuCommand* c) {
       auto* data = DataOf<ZuReplaceResourceCommandData>(c);
       data->SetSourceResource(t.Slide(0)->GetAnimation());
       data->SetDestinationImageFile(ZuFile(ZuString(std::string_view(t.m_b))));
       data->SetDestinationResourceName("a_1.swf");
       data->SetFMRSWF(1);
       data->SetUpdateSlideTiming(0);
     },
     [](HostCommandsTest& t) {
       const ZuAnimationResource* resource = t.Slide(0)->GetAnimation();
       // A name of the resource's own family does not pile up numberings.
       EXPECT_EQ(resource->GetResourceName(nullptr).GetUTF8String(), "a.swf");
       EXPECT_EQ(t.StoredBytes(resource->GetVersionId()), ReadFileBytes(t.m_b));
       EXPECT_DOUBLE_EQ(t.Slide(0)->GetDuration().GetTime(), 2.0);  // timing left alone
     }},
    {"575 with slide timing", kZuCmdReplaceResource,
     [](HostCommandsTest& t, IZuCommand* c) {
       auto* data = DataOf<ZuReplaceResourceCommandData>(c);
       data->SetSourceResource(t.Slide(0)->GetAnimation());
       data->SetDestinationImageFile(ZuFile(ZuString(std::string_view(t.m_b))));
       data->SetFMRSWF(1);
       data->SetUpdateSlideTiming(1);
     },
     [](HostCommandsTest& t) {
       EXPECT_EQ(t.Slide(0)->GetAnimation()->GetResourceName(nullptr).GetUTF8String(), "a.swf");
       EXPECT_DOUBLE_EQ(t.Slide(0)->GetDuration().GetTime(), 3.0);
     }},
    {"116 inserts after slide 0", kZuCmdInsertFMRSlides,
     [](HostCommandsTest& t, IZuCommand* c) {
       auto* data = DataOf<ZuInsertFMRSlidesCommandData>(c);
       ZuSWFInfo info;
       info.swfFile = ZuFile(ZuString(std::string_view(t.m_b)));
       ZuSWFInfo second = info;
       second.swfFile = ZuFile(ZuString(std::string_view(t.m_a)));
       // Asked as a split of "a_2.swf" asks: numberings do not pile up.
       data->SetFMRResourceName("a_2_2.swf");
       data->SetProject(&t.Project());
       data->SetInsertPosition(0);
       data->AddFMRSWF(info);
       data->AddFMRSWF(second);
       data->SetMarkSlidesAsFMRSlide(1);
       data->SetMasterSlideOverriden(1);
     },
     [](HostCommandsTest& t) {
       ASSERT_EQ(t.Project().GetSlideCollection()->GetCount(), 4);
       EXPECT_EQ(t.Slide(1)->GetAnimation()->GetResourceName(nullptr).GetUTF8String(), "a_2.swf");
       EXPECT_EQ(t.Slide(2)->GetAnimation()->GetResourceName(nullptr).GetUTF8String(), "a_3.swf");
       EXPECT_DOUBLE_EQ(t.Slide(1)->GetDuration().GetTime(), 3.0);
       EXPECT_DOUBLE_EQ(t.Slide(2)->GetDuration().GetTime(), 2.0);
       EXPECT_TRUE(t.Slide(1)->IsMarkedFMR());
       EXPECT_EQ(t.Slide(1)->GetIndex(), 1);
       EXPECT_EQ(t.Slide(3)->GetAnimation()->GetResourceName(nullptr).GetUTF8String(), "b.swf");
     }},
    {"116 shares slide 1's movie at the start", kZuCmdInsertFMRSlides,
     [](HostCommandsTest& t, IZuCommand* c) {
       auto* data = DataOf<ZuInsertFMRSlidesCommandData>(c);
       data->SetProject(&t.Project());
       data->SetInsertPosition(-1);
       data->SetSharedResource(t.Slide(1)->GetAnimation());
       data->SetMarkSlidesAsFMRSlide(1);
     },
     [](HostCommandsTest& t) {
       ASSERT_EQ(t.Project().GetSlideCollection()->GetCount(), 3);
       EXPECT_EQ(t.Slide(0)->GetAnimation(), t.Slide(2)->GetAnimation());
       EXPECT_EQ(t.Slide(0)->GetAnimation()->GetUserCount(), 2);
       EXPECT_EQ(t.Slide(0)->GetAnimation()->GetUser(1), t.Slide(2));
       EXPECT_EQ(t.Project().GetResources().size(), 2u);
     }},
    {"441 raises the minimum and the duration", kZuCmdSetSlideMinimum,
     [](HostCommandsTest& t, IZuCommand* c) {
       auto* data = DataOf<ZuSetSlideMinimumCommandData>(c);
       data->SetSlide(t.Slide(0));
       data->SetMinimumDuration(6.5);
     },
     [](HostCommandsTest& t) {
       EXPECT_DOUBLE_EQ(t.Slide(0)->GetMinimumDuration(), 6.5);
       EXPECT_DOUBLE_EQ(t.Slide(0)->GetDuration().GetTime(), 6.5);
     }},
    {"117 removes the last slide showing a.swf", kZuCmdRemoveSlide,
     [](HostCommandsTest& t, IZuCommand* c) {
       DataOf<ZuSlideChangeCommandData>(c)->SetSlide(t.Slide(0));
     },
     [](HostCommandsTest& t) {
       ASSERT_EQ(t.Project().GetSlideCollection()->GetCount(), 1);
       EXPECT_EQ(t.Slide(0)->GetAnimation()->GetResourceName(nullptr).GetUTF8String(), "b.swf");
       EXPECT_EQ(t.Project().GetResources().size(), 1u);
     }},
    {"118 moves slide 0 to the end", kZuCmdMoveSlide,
     [](HostCommandsTest& t, IZuCommand* c) {
       auto* data = DataOf<ZuSlideChangeCommandData>(c);
       data->SetSlide(t.Slide(0));
       data->SetPosition(1);
     },
     [](HostCommandsTest& t) {
       EXPECT_EQ(t.Slide(1)->GetAnimation()->GetResourceName(nullptr).GetUTF8String(), "a.swf");
     }},
    {"576 renames the movie of slide 1", kZuCmdRenameResource,
     [](HostCommandsTest& t, IZuCommand* c) {
       auto* data = DataOf<ZuSlideChangeCommandData>(c);
       data->SetSlide(t.Slide(1));
       data->SetName("Intro \u2713");
     },
     [](HostCommandsTest& t) {
       EXPECT_EQ(t.Slide(1)->GetAnimation()->GetResourceName(nullptr).GetUTF8String(),
                 "Intro \u2713");
     }},
};

// Undone, every slide shows the bytes it showed before: a replacement stores a new version
// and never overwrites one.
TEST_F(HostCommandsTest, ExecuteUndoRedoUndoThroughTheHistory) {
  for (const CommandCase& c : kCommandCases) {
    SCOPED_TRACE(c.name);
    const ZuProjectState before = State();
    const std::vector<std::vector<uint8_t>> movies = Movies();
    std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(c.id));
    c.fill(*this, command.get());
    ASSERT_EQ(ZuCmdUtils::ExecuteCommand(command.get(), 1, 0, nullptr), kZuSuccess);
    command.reset();  // the history's clone carries on alone
    c.checkDone(*this);
    const ZuProjectState done = State();
    ZuCommandHistory* history = GetZuSession()->GetCommandHistory();
    ASSERT_EQ(history->Undo(), kZuSuccess);
    EXPECT_EQ(State(), before);
    ASSERT_EQ(history->Redo(), kZuSuccess);
    EXPECT_EQ(State(), done);
    c.checkDone(*this);
    ASSERT_EQ(history->Undo(), kZuSuccess);
    EXPECT_EQ(State(), before);
    EXPECT_TRUE(Movies() == movies);
    history->Clear();
  }
}

// Bad input to each command: result 1 and no change.
TEST_F(HostCommandsTest, BadInputFailsWithoutChange) {
  const std::string junk = File("junk.swf");
  WriteFileBytes(junk, {'n', 'o', 't', ' ', 's', 'w', 'f'});
  const auto movie = [](const std::string& path) {
    ZuSWFInfo info;
    info.swfFile = ZuFile(ZuString(std::string_view(path)));
    return info;
  };
  const auto insert = [&](IZuCommand* c, bool project, std::vector<std::string> movies) {
    auto* data = DataOf<ZuInsertFMRSlidesCommandData>(c);
    if (project) data->SetProject(&Project());
    for (const std::string& path : movies) data->AddFMRSWF(movie(path));
  };
  const struct {
    const char* name;
    int32_t id;
    std::function<void(IZuCommand*)> fill;
  } cases[] = {
      {"116 without a project", kZuCmdInsertFMRSlides,
       [&](IZuCommand* c) { insert(c, false, {m_a}); }},
      {"116 with one good and one missing movie", kZuCmdInsertFMRSlides,
       [&](IZuCommand* c) {
         insert(c, true, {m_a, File("missing.swf")});
       }},
      {"116 with a file that is not a movie", kZuCmdInsertFMRSlides,
       [&](IZuCommand* c) { insert(c, true, {junk}); }},
      {"575 from a missing file", kZuCmdReplaceResource,
       [&](IZuCommand* c) {
         auto* data = DataOf<ZuReplaceResourceCommandData>(c);
         data->SetSourceResource(Slide(0)->GetAnimation());
         data->SetDestinationImageFile(movie(File("missing.swf")).swfFile);
       }},
      {"575 without a resource", kZuCmdReplaceResource,
       [&](IZuCommand* c) {
         DataOf<ZuReplaceResourceCommandData>(c)->SetDestinationImageFile(movie(m_a).swfFile);
       }},
      {"118 to the place it is at", kZuCmdMoveSlide,
       [&](IZuCommand* c) { DataOf<ZuSlideChangeCommandData>(c)->SetSlide(Slide(0)); }},
      {"576 to an empty name", kZuCmdRenameResource,
       [&](IZuCommand* c) { DataOf<ZuSlideChangeCommandData>(c)->SetSlide(Slide(0)); }},
      {"441 with a negative minimum", kZuCmdSetSlideMinimum,
       [&](IZuCommand* c) {
         auto* data = DataOf<ZuSetSlideMinimumCommandData>(c);
         data->SetSlide(Slide(0));
         data->SetMinimumDuration(-1.0);
       }},
  };
  const ZuProjectState before = State();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(c.id));
    c.fill(command.get());
    EXPECT_EQ(ZuCmdUtils::ExecuteCommand(command.get(), 1, 0, nullptr), kZuFailure);
    EXPECT_EQ(State(), before);
    EXPECT_EQ(command->Undo(), kZuFailure);  // never executed: nothing to undo
  }
  EXPECT_EQ(GetZuSession()->GetCommandHistory()->GetUndoCount(), 0u);
}

}  // namespace
