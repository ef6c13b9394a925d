// Movies in the project file: stored in parts and read back whole, their facts kept with
// them, damage to the parts noticed, and files of the first format (each movie whole, no
// facts) read as they are and upgraded when opened for writing.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuCmdUtils.h"
#include "host/app/ZuHostCommands.h"
#include "host/app/ZuInsertFMRSlidesCommandData.h"
#include "host/app/ZuMovieFacts.h"
#include "host/app/ZuSession.h"
#include "host/app/ZuSlideBase.h"
#include "host/util/ZuSharedBytes.h"
#include "tests/app/AppTestUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/FmreditRun.h"
#include "tests/support/Oracle.h"
#include "tests/support/SwfBuilder.h"

namespace {

constexpr size_t kMiB = size_t{1} << 20;

// The project file opened with SQLite itself, to look at or change what the store wrote.
class RawFile {
 public:
  explicit RawFile(const std::string& path) { EXPECT_EQ(sqlite3_open(path.c_str(), &m_db), 0); }
  ~RawFile() { sqlite3_close(m_db); }
  RawFile(const RawFile&) = delete;
  RawFile& operator=(const RawFile&) = delete;

  void Execute(const std::string& sql) {
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK)
        << sql << ": " << (message != nullptr ? message : "");
    sqlite3_free(message);
  }
  // The first column of the first row as a number; -1 for no row, -2 for null.
  int64_t Number(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(m_db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK) << sql;
    int64_t value = -1;
    if (sqlite3_step(statement) == SQLITE_ROW) {
      value = sqlite3_column_type(statement, 0) == SQLITE_NULL ? -2
                                                               : sqlite3_column_int64(statement, 0);
    }
    sqlite3_finalize(statement);
    return value;
  }
  void SetBlob(const std::string& sql, const std::vector<uint8_t>& bytes) {
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(m_db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK) << sql;
    sqlite3_bind_blob64(statement, 1, bytes.data(), bytes.size(), SQLITE_STATIC);
    EXPECT_EQ(sqlite3_step(statement), SQLITE_DONE) << sqlite3_errmsg(m_db);
    sqlite3_finalize(statement);
  }

 private:
  sqlite3* m_db = nullptr;
};

class ProjectVersionsTest : public ProjectTest {
 public:
  // An FMR recording of key frames large enough that the movie spans several parts.
  std::string WriteLargeRecording(const std::string& name, int keyFrames) {
    FmrMovieBuilder builder(1200, 1000, 10);  // a key frame's bitmap is about 4.8 MB
    for (int i = 0; i < keyFrames; ++i) builder.KeyFrame(0x102030u * static_cast<uint32_t>(i + 1));
    const std::string path = File(name);
    builder.WriteFile(path);
    ExpectOracleAccepts(path, *builder.Build());
    return path;
  }

  // A movie that is no FMR recording: three frames at 12 fps after a binary-data tag padded
  // so that the file is exactly size bytes long.
  std::string WritePlainMovie(const std::string& name, size_t size) {
    const auto build = [](size_t padding) {
      std::vector<uint8_t> body{1, 0, 0, 0, 0, 0};  // character id 1, reserved
      const std::vector<uint8_t> data = SwfBuilder::PatternBody(padding, 7);
      body.insert(body.end(), data.begin(), data.end());
      return SwfBuilder()
          .FrameRate(12 << 8)
          .FrameCount(3)
          .Tag(87, body, SwfBuilder::Header::kLong)  // DefineBinaryData
          .ShowFrame()
          .ShowFrame()
          .ShowFrame();
    };
    const size_t overhead = build(0).Build().size();
    const std::string path = build(size - overhead).WriteTo(File(name));
    EXPECT_EQ(std::filesystem::file_size(path), size);
    ZuTavoFile movie;
    EXPECT_EQ(movie.LoadFromBytes(ZuSharedBytes::Adopt(ReadFileBytes(path))), kZuSuccess);
    ExpectOracleAccepts(path, movie);
    return path;
  }

  int64_t LastVersion() {
    const int count = Project().GetSlideCollection()->GetCount();
    return Slide(count - 1)->GetAnimation()->GetVersionId();
  }

  // The version's bytes read back whole and exported to a file equal the movie's bytes.
  void ExpectStoredAs(int64_t version, const std::string& movie) {
    const std::vector<uint8_t> expected = ReadFileBytes(movie);
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(Project().ReadVersion(version, &bytes, &error)) << error;
    EXPECT_TRUE(bytes == expected)
        << bytes.size() << " bytes read, " << expected.size() << " expected";
    const std::string out = File("exported.swf");
    ASSERT_TRUE(Project().ExportVersion(version, out, &error)) << error;
    EXPECT_TRUE(ReadFileBytes(out) == expected);
  }

  void OpenReadOnly() {
    CloseProject();
    std::string error;
    std::unique_ptr<ZuProject> project = ZuProject::Open(ZuString(std::string_view(ProjectPath())),
                                                         ZuProjectAccess::kReadOnly, &error);
    ASSERT_NE(project, nullptr) << error;
    m_project = project.get();
    GetZuSession()->GetProjectHolder(1, 0)->SetCurrentProject(std::move(project));
  }

  // Command 116 with a resource of the project: a new slide as long as its movie.
  void AddSharedSlide(ZuAnimationResource* resource) {
    std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(kZuCmdInsertFMRSlides));
    auto* data = DataOf<ZuInsertFMRSlidesCommandData>(command.get());
    data->SetProject(&Project());
    data->SetInsertPosition(Project().GetSlideCollection()->GetCount() - 1);
    data->SetSharedResource(resource);
    ASSERT_EQ(ZuCmdUtils::ExecuteCommand(command.get(), 1, 0, nullptr), kZuSuccess);
  }
};

// Each movie is stored in parts of 4 MiB and comes back byte for byte; its facts are kept
// with it and read back after a reopen without the movie being read.
TEST_F(ProjectVersionsTest, MoviesComeBackWholeWithTheirFacts) {
  struct Case {
    const char* name;
    std::function<std::string()> write;
    int64_t parts;
    bool fmr;
    int frames;
    int frameRate;
  };
  const Case cases[] = {
      {"small recording", [&] { return WriteMovie("small.swf", 20, 0x123456); }, 1, true, 20, 10},
      {"recording over three parts", [&] { return WriteLargeRecording("large.swf", 3); }, 4, true,
       3, 10},
      {"plain movie of exactly one part", [&] { return WritePlainMovie("one.swf", 4 * kMiB); }, 1,
       false, 3, 12},
      {"plain movie of exactly two parts", [&] { return WritePlainMovie("two.swf", 8 * kMiB); }, 2,
       false, 3, 12},
      {"plain movie a byte over a part", [&] { return WritePlainMovie("over.swf", 4 * kMiB + 1); },
       2, false, 3, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string movie = c.write();
    ASSERT_EQ(AddSlide(movie, Project().GetSlideCollection()->GetCount() - 1), kZuSuccess);
    const int64_t version = LastVersion();
    OpenReadOnly();
    {
      RawFile raw(ProjectPath());
      const std::string row = " WHERE version = " + std::to_string(version);
      EXPECT_EQ(raw.Number("SELECT count(*) FROM version_parts" + row), c.parts);
      EXPECT_EQ(raw.Number("SELECT max(length(bytes)) FROM version_parts" + row),
                static_cast<int64_t>(std::min(4 * kMiB, std::filesystem::file_size(movie))));
      EXPECT_EQ(raw.Number("SELECT frames FROM versions WHERE id = " + std::to_string(version)),
                c.frames);
    }
    ZuMovieFacts facts;
    std::string error;
    ASSERT_TRUE(Project().GetVersionFacts(version, &facts, &error)) << error;
    EXPECT_EQ(facts.fmr, c.fmr);
    EXPECT_EQ(facts.frameCount, c.frames);
    EXPECT_EQ(facts.frameRate, c.frameRate);
    EXPECT_DOUBLE_EQ(facts.duration, static_cast<double>(c.frames) / c.frameRate);
    EXPECT_TRUE(facts.bytes.empty());
    ExpectStoredAs(version, movie);
    Reopen();
  }
}

// The facts come from where they are stored, not from the movie: listing the project needs
// no movie read (here the bytes are even gone).
TEST_F(ProjectVersionsTest, ListingUsesTheStoredFacts) {
  ASSERT_EQ(AddSlide(WriteMovie("a.swf", 20, 0x123456), -1), kZuSuccess);
  const int64_t version = LastVersion();
  CloseProject();
  RawFile(ProjectPath()).Execute("UPDATE versions SET frames = 77; DELETE FROM version_parts");
  const FmreditRun list = RunFmredit({"project", "list", ProjectPath()});
  EXPECT_EQ(list.exitCode, 0) << list.err;
  EXPECT_NE(list.out.find("      77  yes"), std::string::npos) << list.out;
  OpenReadOnly();
  ZuMovieFacts facts;
  std::string error;
  ASSERT_TRUE(Project().GetVersionFacts(version, &facts, &error)) << error;
  EXPECT_EQ(facts.frameCount, 77);
  EXPECT_DOUBLE_EQ(facts.duration, 7.7);
}

// A movie whose parts do not add up to its stored size cannot be read or exported, and an
// export leaves no file behind.
TEST_F(ProjectVersionsTest, DamagedPartsAreNoticed) {
  const std::string movie = WriteLargeRecording("large.swf", 2);
  ASSERT_EQ(AddSlide(movie, -1), kZuSuccess);
  const int64_t version = LastVersion();
  CloseProject();
  const std::vector<uint8_t> good = ReadFileBytes(ProjectPath());
  struct Case {
    const char* name;
    const char* sql;
  };
  const Case cases[] = {
      {"a part missing", "DELETE FROM version_parts WHERE part = 1"},
      {"a part too many",
       "INSERT INTO version_parts SELECT version, 7, bytes FROM version_parts WHERE part = 0"},
      {"a part cut short", "UPDATE version_parts SET bytes = substr(bytes, 2) WHERE part = 2"},
      {"size too large", "UPDATE versions SET size = size + 1"},
      {"size negative", "UPDATE versions SET size = -1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFileBytes(ProjectPath(), good);
    RawFile(ProjectPath()).Execute(c.sql);
    OpenReadOnly();
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(Project().ReadVersion(version, &bytes, &error));
    EXPECT_NE(error.find("damaged"), std::string::npos) << error;
    error.clear();
    const std::string out = File("out.swf");
    EXPECT_FALSE(Project().ExportVersion(version, out, &error));
    EXPECT_NE(error.find("damaged"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(out));
    CloseProject();
  }
}

// A file of the first format: a reader reads it as it is (facts come from the movie) and
// leaves it unchanged; a writer upgrades it, and old and new movies both read back.
TEST_F(ProjectVersionsTest, FirstFormatFileIsReadAndUpgraded) {
  const std::string a = WriteMovie("a.swf", 20, 0x123456);
  const std::string b = WriteLargeRecording("b.swf", 2);
  ASSERT_EQ(AddSlide(a, -1), kZuSuccess);
  const int64_t old = LastVersion();
  const ZuProjectState before = State();
  CloseProject();
  {  // back to the first format's layout: the movie whole in versions.bytes, no facts
    RawFile raw(ProjectPath());
    raw.SetBlob("UPDATE versions SET bytes = ?", ReadFileBytes(a));
    raw.Execute(
        "DROP TABLE version_parts; ALTER TABLE versions DROP COLUMN frames; "
        "ALTER TABLE versions DROP COLUMN frame_rate; ALTER TABLE versions DROP COLUMN fmr; "
        "PRAGMA user_version = 1");
  }
  const std::vector<uint8_t> oldFile = ReadFileBytes(ProjectPath());

  OpenReadOnly();
  EXPECT_EQ(State(), before);
  ZuMovieFacts facts;
  std::string error;
  ASSERT_TRUE(Project().GetVersionFacts(old, &facts, &error)) << error;
  EXPECT_EQ(facts.frameCount, 20);
  EXPECT_TRUE(facts.fmr);
  ExpectStoredAs(old, a);
  CloseProject();
  EXPECT_TRUE(ReadFileBytes(ProjectPath()) == oldFile);

  Reopen();
  EXPECT_EQ(State(), before);
  AddSharedSlide(Slide(0)->GetAnimation());  // its length from the old movie's bytes
  EXPECT_DOUBLE_EQ(Slide(1)->GetDuration().GetTime().GetValue(), 2.0);
  ASSERT_EQ(AddSlide(b, 1), kZuSuccess);
  const int64_t added = LastVersion();
  Reopen();
  ExpectStoredAs(old, a);
  ExpectStoredAs(added, b);
  ASSERT_TRUE(Project().GetVersionFacts(added, &facts, &error)) << error;
  EXPECT_EQ(facts.frameCount, 2);
  CloseProject();
  RawFile raw(ProjectPath());
  EXPECT_EQ(raw.Number("PRAGMA user_version"), 2);
  EXPECT_EQ(raw.Number("SELECT frames FROM versions WHERE id = " + std::to_string(old)), -2);
  EXPECT_EQ(raw.Number("SELECT frames FROM versions WHERE id = " + std::to_string(added)), 2);
}

}  // namespace
