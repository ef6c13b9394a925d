#include "tests/app/AppTestUtil.h"

#include <sqlite3.h>

#include "host/app/ZuCmdUtils.h"
#include "host/app/ZuHostCommands.h"
#include "host/app/ZuInsertFMRSlidesCommandData.h"
#include "host/app/ZuSession.h"
#include "host/app/ZuSetSlideMinimumCommandData.h"
#include "host/app/ZuSlideBase.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/Oracle.h"

void ProjectTest::SetUp() {
  std::string error;
  std::unique_ptr<ZuProject> project =
      ZuProject::Create(ZuString(std::string_view(ProjectPath())), &error);
  ASSERT_NE(project, nullptr) << error;
  m_project = project.get();
  GetZuSession()->GetCommandHistory()->Clear();
  GetZuSession()->GetEventLog().Clear();
  GetZuSession()->GetProjectHolder(1, 0)->SetCurrentProject(std::move(project));
}

void ProjectTest::TearDown() {
  CloseProject();
}

void ProjectTest::CloseProject() {
  GetZuSession()->GetCommandHistory()->Clear();
  GetZuSession()->GetProjectHolder(1, 0)->CloseProject();
  m_project = nullptr;
}

void ProjectTest::Reopen(ZuProjectAccess access, const std::string& path) {
  CloseProject();
  std::string error;
  std::unique_ptr<ZuProject> project = ZuProject::Open(
      ZuString(std::string_view(path.empty() ? ProjectPath() : path)), access, &error);
  ASSERT_NE(project, nullptr) << error;
  m_project = project.get();
  GetZuSession()->GetProjectHolder(1, 0)->SetCurrentProject(std::move(project));
}

ZuSlideBase* ProjectTest::Slide(int index) {
  return m_project->GetSlideCollection()->GetNthElement(index);
}

std::string ProjectTest::WriteMovie(const std::string& name, int frames, uint32_t rgb) {
  FmrMovieBuilder builder(64, 48, 10);
  builder.KeyFrame(rgb);
  for (int i = 1; i < frames; ++i) {
    builder.PartialFrame(static_cast<uint16_t>(i % 50), 4, 8, 8, rgb ^ 0xFFFFFF);
  }
  const std::string path = m_dir.File(name);
  builder.WriteFile(path);
  ExpectOracleAccepts(path, *builder.Build());
  return path;
}

int32_t ProjectTest::AddSlide(const std::string& movie, int after, const std::string& name) {
  std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(kZuCmdInsertFMRSlides));
  auto* data = DataOf<ZuInsertFMRSlidesCommandData>(command.get());
  if (data == nullptr) return kZuFailure;
  ZuSWFInfo info;
  info.swfFile = ZuFile(ZuString(std::string_view(movie)));
  data->SetProject(m_project);
  data->SetInsertPosition(after);
  data->SetFMRResourceName(ZuString(std::string_view(name)));
  data->AddFMRSWF(info);
  data->SetMarkSlidesAsFMRSlide(1);
  return ZuCmdUtils::ExecuteCommand(command.get(), 1, 0, nullptr);
}

int32_t ProjectTest::SetMinimum(ZuSlideBase* slide, double seconds) {
  std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(kZuCmdSetSlideMinimum));
  auto* data = DataOf<ZuSetSlideMinimumCommandData>(command.get());
  if (data == nullptr) return kZuFailure;
  data->SetSlide(slide);
  data->SetMinimumDuration(seconds);
  return ZuCmdUtils::ExecuteCommand(command.get(), 1, 0, nullptr);
}

ZuProjectState ProjectTest::State() const {
  ZuProjectState state = m_project->CaptureState();
  state.nextUid = 0;
  return state;
}

void PrintTo(const ZuProjectState& state, std::ostream* out) {
  *out << "{";
  for (const auto& r : state.resources) {
    *out << " resource " << r.uid << " '" << r.name << "' v" << r.version << (r.fmr ? " fmr" : "")
         << ";";
  }
  for (const auto& s : state.slides) {
    *out << " slide " << s.uid << " " << s.duration << "s min " << s.minimumDuration << " shows "
         << s.resource << (s.fmr ? " fmr" : "") << ";";
  }
  *out << " }";
}

RawFile::RawFile(const std::string& path) {
  EXPECT_EQ(sqlite3_open(path.c_str(), &m_db), SQLITE_OK);
}

RawFile::~RawFile() {
  sqlite3_close(m_db);
}

void RawFile::Execute(const std::string& sql) {
  char* message = nullptr;
  EXPECT_EQ(sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK)
      << sql << ": " << (message != nullptr ? message : "");
  sqlite3_free(message);
}

int64_t RawFile::Number(const std::string& sql, const std::vector<uint8_t>& bytes) {
  sqlite3_stmt* statement = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(m_db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK) << sql;
  sqlite3_bind_blob64(statement, 1, bytes.data(), bytes.size(), SQLITE_STATIC);
  const int code = sqlite3_step(statement);
  EXPECT_TRUE(code == SQLITE_ROW || code == SQLITE_DONE) << sqlite3_errmsg(m_db);
  const int64_t value = code == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
  sqlite3_finalize(statement);
  return value;
}
