#include "tests/commands/edit_fixture.h"

#include <stdlib.h>

#include <cstdlib>
#include <functional>
#include <memory>

#include "commands/ZuFMREditComponent.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/app/IZuCommand.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuCmdUtils.h"
#include "host/app/ZuCommandHistory.h"
#include "host/app/ZuHostCommands.h"
#include "host/app/ZuInsertFMRSlidesCommandData.h"
#include "host/app/ZuProjectHolder.h"
#include "host/app/ZuSession.h"
#include "host/app/ZuSlideBase.h"
#include "tests/support/Oracle.h"
#include "tests/support/RandomImage.h"
#include "tests/support/RecordedMovie.h"

namespace edit_test {

Pictures FramesOf(const Pictures& shown, int first, int last) {
  Pictures frames;
  for (int frame = first; frame <= last; ++frame) frames.push_back(shown.at(frame - 1));
  return frames;
}

Pictures Concat(std::initializer_list<Pictures> parts) {
  Pictures all;
  for (const Pictures& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

void ExpectSamePictures(const Pictures& shown, const Pictures& expected) {
  ASSERT_EQ(shown.size(), expected.size());
  for (size_t frame = 0; frame < shown.size(); ++frame) {
    std::string where;
    ASSERT_EQ(CountDifferentPixels(shown[frame], expected[frame], &where), 0u)
        << "frame " << frame + 1 << ": " << where;
  }
}

void EditProjectTest::SetUp() {
  // The edits' temporary movies go into the test's folder, removed with it.
  m_useFolder.emplace(m_dir.Path());
  ASSERT_EQ(GetZuFMREditComponent()->RegisterCommands(), 0);
  std::string error;
  std::unique_ptr<ZuProject> project =
      ZuProject::Create(ZuString(std::string_view(File("edit.fmrproj"))), &error);
  ASSERT_NE(project, nullptr) << error;
  m_project = project.get();
  GetZuSession()->GetCommandHistory()->Clear();
  GetZuSession()->GetProjectHolder(1, 0)->SetCurrentProject(std::move(project));
}

void EditProjectTest::TearDown() {
  CloseProject();
  m_useFolder.reset();
}

void EditProjectTest::CloseProject() {
  GetZuSession()->GetCommandHistory()->Clear();
  GetZuSession()->GetProjectHolder(1, 0)->CloseProject();
  m_project = nullptr;
}

void EditProjectTest::Reopen() {
  CloseProject();
  std::string error;
  std::unique_ptr<ZuProject> project = ZuProject::Open(
      ZuString(std::string_view(File("edit.fmrproj"))), ZuProjectAccess::kReadWrite, &error);
  ASSERT_NE(project, nullptr) << error;
  m_project = project.get();
  GetZuSession()->GetProjectHolder(1, 0)->SetCurrentProject(std::move(project));
}

namespace {

// Pictures of random opaque pixels: every frame differs from the one before.
Pictures RandomFrames(int width, int height, int count, uint32_t seed) {
  Pictures frames;
  for (int i = 0; i < count; ++i)
    frames.push_back(RandomImage(width, height, true, seed * 1000 + i));
  return frames;
}

}  // namespace

std::string EditProjectTest::RecordMovie(const std::string& name, int frames, uint32_t seed,
                                         int width, int height) {
  const std::string path = File(name);
  std::unique_ptr<ZuTavoFile> movie =
      RecordFrames(RandomFrames(width, height, frames, seed), 32, 6);
  if (movie == nullptr) return path;
  WriteMovieFile(*movie, path);
  ExpectOracleAccepts(path, *movie);
  return path;
}

namespace {

ZuSlideBase* RunInsertSlides(ZuProject& project,
                             const std::function<void(ZuInsertFMRSlidesCommandData&)>& fill) {
  std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(kZuCmdInsertFMRSlides));
  auto* data = dynamic_cast<ZuInsertFMRSlidesCommandData*>(command->GetCommandData());
  EXPECT_NE(data, nullptr);
  if (data == nullptr) return nullptr;
  const int count = project.GetSlideCollection()->GetCount();
  data->SetProject(&project);
  data->SetInsertPosition(count - 1);
  data->SetMarkSlidesAsFMRSlide(1);
  fill(*data);
  EXPECT_EQ(ZuCmdUtils::ExecuteCommand(command.get(), 1, 0, nullptr), kZuSuccess);
  return project.GetSlideCollection()->GetNthElement(count);
}

}  // namespace

ZuSlideBase* EditProjectTest::AddSlide(const std::string& movie, const std::string& name) {
  return RunInsertSlides(*m_project, [&](ZuInsertFMRSlidesCommandData& data) {
    ZuSWFInfo info;
    info.swfFile = ZuFile(ZuString(std::string_view(movie)));
    data.AddFMRSWF(info);
    data.SetFMRResourceName(ZuString(std::string_view(name)));
  });
}

ZuSlideBase* EditProjectTest::AddSharedSlide(ZuSlideBase* slide) {
  return RunInsertSlides(*m_project, [&](ZuInsertFMRSlidesCommandData& data) {
    data.SetSharedResource(slide->GetAnimation());
  });
}

ZuSlideBase* EditProjectTest::Slide(int index) {
  return m_project->GetSlideCollection()->GetNthElement(index);
}

Pictures EditProjectTest::ShownBy(ZuSlideBase* slide) {
  const std::string path = File("shown" + std::to_string(++m_exports) + ".swf");
  std::string error;
  EXPECT_TRUE(m_project->ExportVersion(slide->GetAnimation()->GetVersionId(), path, &error))
      << error;
  const ZuFMRTavoFile movie{ZuString(path)};
  EXPECT_TRUE(movie.IsValidFMRSWF()) << path;
  ExpectOracleAccepts(path, movie);
  return RenderAllFrames(path);
}

ZuProjectState EditProjectTest::State() const {
  ZuProjectState state = m_project->CaptureState();
  state.nextUid = 0;
  return state;
}

}  // namespace edit_test
