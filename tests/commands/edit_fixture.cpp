#include "tests/commands/edit_fixture.h"

#include <memory>

#include "commands/ZuFMREditComponent.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/app/IZuCommand.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuCmdUtils.h"
#include "host/app/ZuCommandHistory.h"
#include "host/app/ZuHostCommands.h"
#include "host/app/ZuInsertFMRSlidesCommandData.h"
#include "host/app/ZuSession.h"
#include "host/app/ZuSlideBase.h"
#include "tests/support/Oracle.h"
#include "tests/support/RandomImage.h"
#include "tests/support/RecordedMovie.h"

namespace edit_test {

void EditProjectTest::SetUp() {
  m_useFolder.emplace(m_dir.Path());
  ASSERT_EQ(GetZuFMREditComponent()->RegisterCommands(), 0);
  ProjectTest::SetUp();
}

void EditProjectTest::TearDown() {
  ProjectTest::TearDown();
  m_useFolder.reset();
}

std::string EditProjectTest::RecordMovie(const std::string& name, int frames, uint32_t seed,
                                         int width, int height) {
  std::string path = File(name);
  Pictures pictures;  // random opaque pixels: every frame differs from the one before
  for (int i = 0; i < frames; ++i) {
    pictures.push_back(RandomImage(width, height, true, seed * 1000 + i));
  }
  std::unique_ptr<ZuTavoFile> movie = RecordFrames(pictures, 32, 6);
  if (movie == nullptr) return path;
  WriteMovieFile(*movie, path);
  ExpectOracleAccepts(path, *movie);
  return path;
}

ZuSlideBase* EditProjectTest::AddSlide(const std::string& movie, const std::string& name) {
  const int count = m_project->GetSlideCollection()->GetCount();
  EXPECT_EQ(ProjectTest::AddSlide(movie, count - 1, name), kZuSuccess);
  return Slide(count);
}

ZuSlideBase* EditProjectTest::AddSharedSlide(ZuSlideBase* slide) {
  std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(kZuCmdInsertFMRSlides));
  auto* data = DataOf<ZuInsertFMRSlidesCommandData>(command.get());
  if (data == nullptr) return nullptr;
  const int count = m_project->GetSlideCollection()->GetCount();
  data->SetProject(m_project);
  data->SetInsertPosition(count - 1);
  data->SetSharedResource(slide->GetAnimation());
  data->SetMarkSlidesAsFMRSlide(1);
  EXPECT_EQ(ZuCmdUtils::ExecuteCommand(command.get(), 1, 0, nullptr), kZuSuccess);
  return Slide(count);
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

}  // namespace edit_test
