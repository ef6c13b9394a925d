// The project file: state kept across runs, undo across a restart, crashes in the middle of a
// save, damaged, edited and foreign files, a full disk, two processes.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuCmdUtils.h"
#include "host/app/ZuHostCommands.h"
#include "host/app/ZuModifySlideDurationCommandData.h"
#include "host/app/ZuReplaceResourceCommandData.h"
#include "host/app/ZuSession.h"
#include "host/app/ZuSlideBase.h"
#include "host/util/ZuSharedBytes.h"
#include "tests/app/AppTestUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/FmreditRun.h"
#include "tests/support/Oracle.h"

namespace {

class ProjectFileTest : public ProjectTest {
 public:
  void Replace(int slide, const std::string& movie) {
    std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(kZuCmdReplaceResource));
    auto* data = DataOf<ZuReplaceResourceCommandData>(command.get());
    data->SetSourceResource(Slide(slide)->GetAnimation());
    data->SetDestinationImageFile(ZuFile(ZuString(std::string_view(movie))));
    data->SetDestinationResourceName("replaced.swf");
    data->SetFMRSWF(1);
    ASSERT_EQ(ZuCmdUtils::ExecuteCommand(command.get(), 1, 0, nullptr), kZuSuccess);
  }
  // big.swf: keyFrames whole-stage pictures, checked by the independent parser.
  std::string WriteBigMovie(uint16_t width, uint16_t height, int keyFrames) {
    FmrMovieBuilder builder(width, height, 10);
    for (int i = 1; i <= keyFrames; ++i) builder.KeyFrame(0x202020 * static_cast<uint32_t>(i));
    builder.WriteFile(File("big.swf"));
    ExpectOracleAccepts(File("big.swf"), *builder.Build());
    return File("big.swf");
  }
  ZuErrorCodeEnum Undo() { return GetZuSession()->GetCommandHistory()->Undo(); }
  ZuErrorCodeEnum Redo() { return GetZuSession()->GetCommandHistory()->Redo(); }

  // Four commands on two movies.
  void MakeHistory() {
    const std::string a = WriteMovie("a.swf", 20, 0x123456);
    const std::string b = WriteMovie("b.swf", 35, 0x654321);
    ASSERT_EQ(AddSlide(a, -1), kZuSuccess);
    ASSERT_EQ(AddSlide(b, 0), kZuSuccess);
    ASSERT_EQ(SetMinimum(Slide(0), 9.0), kZuSuccess);
    Replace(1, a);
  }
};

// The same undos and redos, once in this run by the commands' own Undo and Redo, once from a
// copy of the file reopened after every step, give the same results and states; a new command
// drops what could be redone, also across a restart.
TEST_F(ProjectFileTest, UndoAcrossRestartsEqualsUndoInTheSameRun) {
  MakeHistory();
  const std::string copy = File("copy.fmrproj");
  std::filesystem::copy_file(ProjectPath(), copy);
  auto walk = [&](bool reopen) {
    std::vector<std::pair<ZuErrorCodeEnum, ZuProjectState>> steps;
    for (bool undo : {true, true, true, false, true, true, true, false, false}) {
      const ZuErrorCodeEnum result = undo ? Undo() : Redo();
      steps.emplace_back(result, State());
      if (reopen) {
        Reopen(ZuProjectAccess::kReadWrite, copy);
        EXPECT_EQ(State(), steps.back().second);
      }
    }
    return steps;
  };
  ASSERT_EQ(GetZuSession()->GetCommandHistory()->GetUndoCount(), 4u);
  const auto inRun = walk(false);
  Reopen(ZuProjectAccess::kReadWrite, copy);
  ASSERT_EQ(GetZuSession()->GetCommandHistory()->GetUndoCount(), 0u);
  EXPECT_EQ(walk(true), inRun);
  EXPECT_EQ(inRun[6].first, kZuFailure);  // the fifth undo: nothing left
  EXPECT_EQ(inRun.back().first, kZuSuccess);
  ASSERT_EQ(AddSlide(File("a.swf"), 1), kZuSuccess);
  Reopen(ZuProjectAccess::kReadWrite, copy);
  EXPECT_EQ(Redo(), kZuFailure);
  EXPECT_EQ(Project().GetSlideCollection()->GetCount(), 3);
}

TEST_F(ProjectFileTest, OtherWritersAreRefusedReadersNot) {
  // While this process holds the project for changes, another reads it (at its latest commit)
  // but may not change it.
  const std::string a = WriteMovie("a.swf", 20, 0x123456);
  ASSERT_EQ(AddSlide(a, -1), kZuSuccess);
  const FmreditRun list = RunFmredit({"project", "list", ProjectPath()});
  EXPECT_EQ(list.exitCode, 0) << list.err;
  EXPECT_NE(list.out.find("movie.swf"), std::string::npos) << list.out;
  const FmreditRun writer = RunFmredit({"project", "add", ProjectPath(), a});
  EXPECT_EQ(writer.exitCode, 1);
  EXPECT_NE(writer.err.find("project is in use"), std::string::npos) << writer.err;
  ASSERT_EQ(AddSlide(a, 0), kZuSuccess);
  const ZuProjectState state = State();

  // A reader keeps no one out, and a writer's commits do not disturb what it loaded.
  std::string error;
  std::unique_ptr<ZuProject> reader = ZuProject::Open(ZuString(std::string_view(ProjectPath())),
                                                      ZuProjectAccess::kReadOnly, &error);
  ASSERT_NE(reader, nullptr) << error;
  const auto read = [&reader] {
    ZuProjectState now = reader->CaptureState();
    now.nextUid = 0;
    return now;
  };
  EXPECT_EQ(read(), state);
  ASSERT_EQ(AddSlide(a, 0), kZuSuccess);
  EXPECT_EQ(read(), state);
  CloseProject();
  EXPECT_EQ(RunFmredit({"project", "remove", ProjectPath(), "--slide", "1"}).exitCode, 0);
  reader.reset();
}

// fmredit is killed while it stores a large movie: the project opens afterwards and holds
// the state before or after the add, never one between.
TEST_F(ProjectFileTest, KilledSaveLeavesTheStateBeforeOrAfter) {
  ASSERT_EQ(AddSlide(WriteMovie("a.swf", 10, 0x111111), -1), kZuSuccess);
  const std::string big = WriteBigMovie(1600, 1200, 4);
  const std::vector<std::string> add{"project", "add", ProjectPath(), big};
  CloseProject();

  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(WaitForFmredit(StartFmredit(add)), 0);
  const auto whole = std::chrono::steady_clock::now() - start;
  int slides = 2;
  for (int tenth = 1; tenth <= 9; ++tenth) {
    SCOPED_TRACE(tenth);
    const pid_t child = StartFmredit(add);
    std::this_thread::sleep_for(whole * tenth / 10);
    kill(child, SIGKILL);
    const int exitCode = WaitForFmredit(child);
    std::string error;
    // Readers too must get past what the killed writer left half done.
    const ZuProjectAccess access =
        tenth % 2 == 1 ? ZuProjectAccess::kReadOnly : ZuProjectAccess::kReadWrite;
    std::unique_ptr<ZuProject> project =
        ZuProject::Open(ZuString(std::string_view(ProjectPath())), access, &error);
    ASSERT_NE(project, nullptr) << error;
    const int count = project->GetSlideCollection()->GetCount();
    EXPECT_TRUE(count == slides || count == slides + 1) << count;
    if (exitCode == 0) {
      EXPECT_EQ(count, slides + 1);
    }
    ZuSharedBytes bytes;
    ZuAnimationResource* last =
        project->GetSlideCollection()->GetNthElement(count - 1)->GetAnimation();
    ASSERT_TRUE(project->ReadVersion(last->GetVersionId(), &bytes, &error)) << error;
    EXPECT_EQ(bytes.size(), static_cast<size_t>(std::filesystem::file_size(big)));
    slides = count;
  }
}

// Files that are not intact projects: a clear error, and the file is left as it was.
TEST_F(ProjectFileTest, BadFilesGiveClearErrorsAndStayUnchanged) {
  ASSERT_EQ(AddSlide(WriteMovie("a.swf", 20, 0x123456), -1), kZuSuccess);
  CloseProject();
  const std::vector<uint8_t> good = ReadFileBytes(ProjectPath());
  struct Case {
    const char* name;
    std::function<void(const std::string&)> make;
    ZuProjectAccess access;
    const char* expected;  // in the error; null: opens
  };
  const auto readOnly = [&](const std::string& p) {
    WriteFileBytes(p, good);
    chmod(p.c_str(), 0444);
  };
  const Case cases[] = {
      {"text file",
       [](const std::string& p) {
         WriteFileBytes(p, {'h', 'e', 'l', 'l', 'o'});
       },
       ZuProjectAccess::kReadWrite, "not a project file"},
      {"empty file", [](const std::string& p) { WriteFileBytes(p, {}); },
       ZuProjectAccess::kReadWrite, "not a project file"},
      {"SQLite of another kind",
       [](const std::string& p) {
         RawFile(p).Execute("CREATE TABLE t(x); INSERT INTO t VALUES(1)");
       },
       ZuProjectAccess::kReadWrite, "not a project file"},
      {"damaged header",
       [&](const std::string& p) {
         std::vector<uint8_t> bytes = good;
         for (size_t i = 0; i < 16; ++i) bytes[i] ^= 0x5A;
         WriteFileBytes(p, bytes);
       },
       ZuProjectAccess::kReadWrite, "not a project file"},
      {"slide listed twice",
       [&](const std::string& p) {
         WriteFileBytes(p, good);
         RawFile(p).Execute(
             "INSERT INTO state_slides SELECT state, position + 1, uid, duration, "
             "min_duration, fmr, resource FROM state_slides");
       },
       ZuProjectAccess::kReadWrite, "damaged"},
      {"read-only file", readOnly, ZuProjectAccess::kReadWrite, "read-only"},
      {"read-only file opened to read", readOnly, ZuProjectAccess::kReadOnly, nullptr},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = File("bad" + std::to_string(n++) + ".fmrproj");
    c.make(path);
    const std::vector<uint8_t> before = ReadFileBytes(path);
    std::string error;
    std::unique_ptr<ZuProject> project =
        ZuProject::Open(ZuString(std::string_view(path)), c.access, &error);
    if (c.expected == nullptr) {
      ASSERT_NE(project, nullptr) << error;
      EXPECT_EQ(project->GetSlideCollection()->GetCount(), 1);
      EXPECT_FALSE(project->BeginCommand(&error));  // no writing through a reader
    } else {
      EXPECT_EQ(project, nullptr);
      EXPECT_NE(error.find(c.expected), std::string::npos) << error;
    }
    project.reset();
    EXPECT_EQ(ReadFileBytes(path), before);
  }
  std::string error;
  EXPECT_EQ(ZuProject::Open(ZuString(std::string_view(File("none.fmrproj"))),
                            ZuProjectAccess::kReadOnly, &error),
            nullptr);
  EXPECT_EQ(error, "no such project file");
  EXPECT_EQ(ZuProject::Create(ZuString(std::string_view(ProjectPath())), &error), nullptr);
  EXPECT_EQ(ReadFileBytes(ProjectPath()), good);
}

// A state's rows or the pointer to the current state edited by hand: refused as damage with
// one line, never read as another project (fmredit exports no movie, undoes to no state).
TEST_F(ProjectFileTest, EditedStatesAreRefusedAsDamage) {
  const std::string a = WriteMovie("a.swf", 20, 0x123456);
  const std::string b = WriteMovie("b.swf", 35, 0x654321);
  ASSERT_EQ(AddSlide(a, -1), kZuSuccess);
  ASSERT_EQ(AddSlide(b, 0), kZuSuccess);
  const std::string showingB = std::to_string(Slide(1)->GetAnimation()->GetVersionId());
  Replace(1, a);  // the state before shows b on slide 2, the current one a
  const std::string current = std::to_string(Project().GetStateId());
  const std::string before = std::to_string(Project().GetPreviousStateId());
  CloseProject();
  const std::vector<uint8_t> good = ReadFileBytes(ProjectPath());
  const std::string out = File("out.swf");
  const std::vector<std::string> exportSlide2{"project", "export", ProjectPath(), "--slide", "2",
                                              "-o",      out};
  const FmreditRun intact = RunFmredit(exportSlide2);
  ASSERT_EQ(intact.exitCode, 0) << intact.err;
  ASSERT_TRUE(ReadFileBytes(out) == ReadFileBytes(a));

  struct Case {
    const char* name;
    std::string sql;
    bool undo;  // the edit is to the state before: undo instead of export
  };
  const Case cases[] = {
      {"a resource shows another version",
       "UPDATE state_resources SET version = " + showingB + " WHERE state = " + current, false},
      {"a slide's duration changed",
       "UPDATE state_slides SET duration = duration + 1 WHERE state = " + current, false},
      {"a state's label changed", "UPDATE states SET label = 'x' WHERE id = " + current, false},
      {"the current state pointed at the one before",
       "UPDATE meta SET value = " + before + " WHERE key = 'current_state'", false},
      {"the pointer's check removed", "DELETE FROM meta WHERE key = 'current_check'", false},
      {"the current state's digest removed",
       "UPDATE states SET digest = NULL WHERE id = " + current, false},
      {"two states' digests swapped",
       "CREATE TEMP TABLE kept AS SELECT id, digest FROM states; UPDATE states SET digest = "
       "(SELECT digest FROM kept WHERE kept.id = " +
           before + " + " + current + " - states.id) WHERE id IN (" + before + ", " + current + ")",
       false},
      {"the state before shows another version",
       "UPDATE state_resources SET version = (SELECT min(id) FROM versions) WHERE state = " +
           before,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFileBytes(ProjectPath(), good);
    RawFile(ProjectPath()).Execute(c.sql);
    std::filesystem::remove(out);
    const FmreditRun run = RunFmredit(
        c.undo ? std::vector<std::string>{"project", "undo", ProjectPath()} : exportSlide2);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("damaged"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_FALSE(std::filesystem::exists(out));
  }
}

// The file may not grow (as on a full disk) while a movie is stored: the add fails with a
// clear reason, and the project keeps its state.
TEST_F(ProjectFileTest, FullDiskLosesNothing) {
  ASSERT_EQ(AddSlide(WriteMovie("a.swf", 20, 0x123456), -1), kZuSuccess);
  const std::string big = WriteBigMovie(800, 600, 1);
  const ZuProjectState before = State();
  CloseProject();
  const uint64_t size = std::filesystem::file_size(ProjectPath());
  const int code = RunInChild(
      [&] {
        Reopen();
        const bool failed = AddSlide(big, 0) == kZuFailure;
        const bool clear = Project().GetLastError().find("disk full") != std::string::npos;
        const bool unchanged = State() == before;
        return failed && clear && unchanged ? 0 : 1 + failed + 2 * clear + 4 * unchanged;
      },
      static_cast<long>(size) + 65536);
  EXPECT_EQ(code, 0);
  Reopen();
  EXPECT_EQ(State(), before);
  EXPECT_EQ(AddSlide(big, 0), kZuSuccess);
}

}  // namespace
