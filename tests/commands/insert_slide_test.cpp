// A new FMR slide from an SWF file, through the host's insert-FMR-slides command.
#include <gtest/gtest.h>

#include <memory>

#include "commands/ZuFMREditUtils.h"
#include "host/app/IZuCommand.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuInsertFMRSlidesCommandData.h"
#include "host/app/ZuSlideBase.h"
#include "host/app/ZuSlideCollection.h"
#include "tests/commands/edit_fixture.h"

namespace {

class InsertSlideTest : public edit_test::EditProjectTest {
 protected:
  void SetUp() override {
    EditProjectTest::SetUp();
    first = AddSlide(RecordMovie("first.swf", 6, 1), "first.swf");
    ASSERT_NE(first, nullptr);
    second = RecordMovie("second.swf", 5, 2, 40, 30);
  }
  int Count() { return Project().GetSlideCollection()->GetCount(); }

  ZuSlideBase* first = nullptr;
  std::string second;
};

TEST_F(InsertSlideTest, NewSlideAfterThePositionUndoneAndRedoneByItsOwner) {
  ZuFile file{ZuString(std::string_view(second))};
  IZuCommand* executed = nullptr;
  ASSERT_EQ(
      ZuFMREditUtils::FireInsertFMRSlideCommand(&Project(), 0, file, "first_2.swf", 32, &executed),
      kZuSuccess);
  std::unique_ptr<IZuCommand> command(executed);
  ASSERT_NE(command, nullptr);
  ASSERT_EQ(Count(), 2);
  ZuSlideBase* added = Slide(1);
  EXPECT_TRUE(added->IsMarkedFMR());
  EXPECT_EQ(added->GetAnimation()->GetResourceName(nullptr), ZuString("first_2.swf"));
  EXPECT_EQ(ShownBy(added).size(), ShownBy(first).size() - 1);  // 5 frames against 6

  // What the library handed to the host.
  EXPECT_EQ(command->GetUndoability(), 1);
  auto* data = dynamic_cast<ZuInsertFMRSlidesCommandData*>(command->GetCommandData());
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->GetProject(), &Project());
  EXPECT_EQ(data->GetInsertPosition(), 0);
  EXPECT_EQ(data->GetFMRResourceName(), ZuString("first_2.swf"));
  EXPECT_EQ(data->GetMarkSlidesAsFMRSlide(), 1);
  EXPECT_EQ(data->GetMasterSlideOverriden(), 1);
  ASSERT_EQ(data->GetFMRSWFs().size(), 1u);
  const ZuSWFInfo& info = data->GetFMRSWFs().front();
  EXPECT_EQ(info.swfFile.GetPathString(), file.GetPathString());
  EXPECT_EQ(info.imageWidth, 40);
  EXPECT_EQ(info.imageHeight, 30);
  EXPECT_EQ(info.imageBitDepth, 32);
  EXPECT_EQ(info.fitMode, 9);
  EXPECT_EQ(info.alignment, 3);
  EXPECT_EQ(info.autoSize, 0);
  EXPECT_EQ(info.placement, 0);

  const ZuProjectState withSlide = State();
  ASSERT_EQ(ZuFMREditUtils::UndoCommand(command.get()), kZuSuccess);
  EXPECT_EQ(Count(), 1);
  EXPECT_EQ(Slide(0), first);
  ASSERT_EQ(ZuFMREditUtils::RedoCommand(command.get()), kZuSuccess);
  EXPECT_EQ(State(), withSlide);
}

TEST_F(InsertSlideTest, FailuresAddNothing) {
  ZuFile file{ZuString(std::string_view(second))};
  ZuFile missing{ZuString(std::string_view(File("missing.swf")))};
  ZuFile notSwf{ZuString(std::string_view(File("edit.fmrproj")))};
  struct Case {
    const char* what;
    ZuProject* project;
    int position;
    ZuFile* file;
  };
  const Case cases[] = {
      {"no project", nullptr, 0, &file},
      {"missing file", &Project(), 0, &missing},
      {"not a movie", &Project(), 0, &notSwf},
  };
  const ZuProjectState before = State();
  for (const Case& c : cases) {
    IZuCommand* executed = nullptr;
    EXPECT_EQ(ZuFMREditUtils::FireInsertFMRSlideCommand(c.project, c.position, *c.file, "x.swf", 32,
                                                        &executed),
              kZuFailure)
        << c.what;
    EXPECT_EQ(executed, nullptr) << c.what;
    EXPECT_EQ(State(), before) << c.what;
  }
}

TEST_F(InsertSlideTest, WithoutOutParameterTheCommandStillRuns) {
  ZuFile file{ZuString(std::string_view(second))};
  EXPECT_EQ(ZuFMREditUtils::FireInsertFMRSlideCommand(&Project(), 0, file, "b.swf", 16, nullptr),
            kZuSuccess);
  ASSERT_EQ(Count(), 2);
  EXPECT_EQ(Slide(1)->GetAnimation()->GetResourceName(nullptr), ZuString("b.swf"));
}

}  // namespace
