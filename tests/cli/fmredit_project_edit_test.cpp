// fmredit project subcommands as a user runs them: a new project built up and taken back, and
// the exit code of each kind of refusal with its one-line message. The edits themselves are
// tested in-process (tests/projectedit).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli/CliTestUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/TempDir.h"

namespace {

// A project of two slides: a.swf (20 frames) and a movie that is not FMR.
class ProjectEdits : public testing::Test {
 protected:
  void SetUp() override {
    WriteFmrMovie(m_dir.File("a.swf"), 20);
    FmrMovieBuilder(40, 30, 10).HoldFrame().HoldFrame().HoldFrame().WriteFile(m_dir.File("plain"));
    for (const std::string step : {"new", "a.swf", "plain"}) {
      const FmreditRun run = step == "new" ? Project({"new", m_project})
                                           : Project({"add", m_project, m_dir.File(step)});
      ASSERT_EQ(run.exitCode, 0) << step << ": " << run.err;
    }
  }

  FmreditRun Project(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "project");
    return RunFmredit(arguments);
  }
  std::string List() { return Project({"list", m_project}).out; }

  TempDir m_dir;
  std::string m_project = m_dir.File("cli.fmrproj");
};

TEST_F(ProjectEdits, RefusalsLeaveTheProjectAsItWas) {
  struct Refusal {
    std::vector<std::string> arguments;
    int exitCode;
    std::string message;
  };
  const std::string& p = m_project;
  const std::string junk = m_dir.File("junk.swf");
  WriteFileBytes(junk, {'n', 'o', 'p', 'e'});
  // clang-format off
  const std::vector<Refusal> refusals = {
      {{"delete", p, "--slide", "2", "--start", "0", "--length", "1"}, 4, p + ": slide 2 does not show an FMR movie"},
      {{"delete", p, "--slide", "9", "--start", "0", "--length", "1"}, 2, "--slide 9: " + p + " has 2 slides"},
      {{"split", p, "--slide", "1", "--at", "0"}, 1, p + ": splitting the slide failed"},
      {{"new", p}, 1, p + ": cannot create the project: a file already exists"},
      {{"list", junk}, 1, "junk.swf: not a project file"},
      {{"export", p, "--slide", "9", "-o", m_dir.File("x.swf")}, 2, "--slide 9"},
      {{"redo", p}, 1, "nothing to redo"},
  };
  // clang-format on
  const std::string before = List();
  for (const Refusal& r : refusals) {
    SCOPED_TRACE(testing::PrintToString(r.arguments));
    ExpectOneLineError(Project(r.arguments), r.message, r.exitCode);
    EXPECT_EQ(List(), before);
  }
}

// A new project: add, list, set, export, undo, redo and the log.
TEST_F(ProjectEdits, AddListSetExportUndoRedoLog) {
  const std::string project = m_dir.File("p.fmrproj"), movie = m_dir.File("rec.swf");
  WriteFmrMovie(movie, 4);
  const auto ok = [this](const std::vector<std::string>& arguments) {
    const FmreditRun run = Project(arguments);
    EXPECT_EQ(run.exitCode, 0) << arguments[0] << ": " << run.err;
    return run.out;
  };
  ok({"new", project});
  ok({"add", project, movie, "--name", "intro.swf"});
  ok({"add", project, "--share", "1", "--after", "0"});
  const std::string list = ok({"list", project});
  EXPECT_NE(list.find("    1     0.400    0.000       4  yes       2  intro.swf"),
            std::string::npos)
      << list;
  EXPECT_NE(list.find("    2     0.400    0.000       4  yes       2  intro.swf"),
            std::string::npos);

  ok({"set", project, "--slide", "2", "--min-duration", "3.5"});
  EXPECT_NE(ok({"list", project}).find("    2     3.500    3.500"), std::string::npos);

  const std::string out = m_dir.File("out.swf");
  ok({"export", project, "--slide", "2", "-o", out});
  EXPECT_EQ(ReadFileBytes(out), ReadFileBytes(movie));

  EXPECT_NE(ok({"undo", project}).find("now at state 3"), std::string::npos);
  EXPECT_NE(ok({"list", project}).find("    2     0.400    0.000"), std::string::npos);
  ok({"redo", project});
  const std::string log = ok({"log", project});
  EXPECT_NE(log.find("*    4  "), std::string::npos) << log;
  EXPECT_NE(log.find("set a slide's minimum duration"), std::string::npos) << log;
}

}  // namespace
