// fmredit project subcommands as a user runs them: a new project built up and taken back,
// exit codes and one-line messages of the refusals, a project left as it was by every
// failure, and project undo in a new process after every edit.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/TempDir.h"

namespace {

// A project of five slides: a.swf (20 frames), the same movie again, b.swf (12 frames), a
// movie that is not FMR and a wider one; and next to it one just under the frame limit.
class ProjectEdits : public testing::Test {
 protected:
  void SetUp() override {
    WriteFmrMovie(m_dir.File("a.swf"), 20);
    WriteFmrMovie(m_dir.File("b.swf"), 12);
    WriteFmrMovie(m_dir.File("wider.swf"), 8, 5, 48);
    const std::string plain = m_dir.File("plain.swf");
    FmrMovieBuilder(40, 30, 10).HoldFrame().HoldFrame().HoldFrame().WriteFile(plain);
    WriteFmrMovie(m_dir.File("big.swf"), ZuFMRTavoFile::m_maxSWFFramesLimit - 8, 0);
    const std::vector<std::vector<std::string>> steps = {
        {"new", m_project},
        {"add", m_project, m_dir.File("a.swf")},
        {"add", m_project, "--share", "1"},
        {"add", m_project, m_dir.File("b.swf")},
        {"add", m_project, plain},
        {"add", m_project, m_dir.File("wider.swf")},
    };
    for (const std::vector<std::string>& step : steps) {
      ASSERT_EQ(Project(step).exitCode, 0) << step[0];
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
  const std::string wider = m_dir.File("wider.swf");
  const std::string plain = m_dir.File("plain.swf");
  const std::string junk = m_dir.File("junk.swf");
  WriteFileBytes(junk, {'n', 'o', 'p', 'e'});
  // clang-format off
  const std::vector<Refusal> refusals = {
      {{"delete", p, "--slide", "4", "--start", "0", "--length", "1"}, 4, p + ": slide 4 does not show an FMR movie"},
      {{"delete", p, "--slide", "9", "--start", "0", "--length", "1"}, 2, "--slide 9: " + p + " has 5 slides"},
      {{"split", p, "--slide", "1", "--at", "0"}, 1, p + ": splitting the slide failed"},
      {{"insert", p, "--slide", "1", "--at", "1", "--movie", wider}, 5, wider + ": the movie to insert is 48 x 30 pixels, " + p + ": slide 1 is 40 x 30"},
      {{"insert", p, "--slide", "1", "--at", "1", "--movie", plain}, 4, plain + ": not a valid FMR movie: frame 1 does not show a stage-sized lossless picture"},
      {{"insert", p, "--slide", "1", "--at", "1", "--movie", m_dir.File("big.swf")}, 3, p + ": the result would have 16000 frames or more; a movie may have at most 15999; the project is unchanged"},
      {{"insert", p, "--slide", "1", "--at", "1"}, 2, "give --movie FILE or --resource-of SLIDE"},
      {{"merge", p, "--slides", "1,3,5"}, 5, p + ": slide 5: the movie to insert is 48 x 30 pixels, " + p + ": slide 1 is 40 x 30"},
      {{"merge", p, "--slides", "1"}, 2, "--slides: give at least two slides"},
      {{"merge", p, "--slides", "1,4"}, 4, p + ": slide 4 does not show an FMR movie"},
      {{"new", p}, 1, p + ": cannot create the project: a file already exists"},
      {{"add", p, m_dir.File("missing.swf")}, 1, "missing.swf: No such file"},
      {{"add", p, junk}, 1, "junk.swf: not an SWF movie"},
      {{"add", p, plain, "--after", "9"}, 2, "--after 9: the project has 5 slides"},
      {{"add", p}, 2, "give a MOVIE file or --share INDEX"},
      {{"list", junk}, 1, "junk.swf: not a project file"},
      {{"export", p, "--slide", "9", "-o", m_dir.File("x.swf")}, 2, "--slide 9"},
      {{"set", p, "--slide", "1", "--min-duration", "-2"}, 2, "--min-duration"},
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

TEST_F(ProjectEdits, EveryEditUndoesAndRedoesInANewProcess) {
  const std::string& p = m_project;
  const std::vector<std::vector<std::string>> edits = {
      {"delete", p, "--slide", "1", "--start", "0.5", "--length", "0.3"},
      {"insert", p, "--slide", "1", "--at", "1", "--resource-of", "3"},
      {"split", p, "--slide", "1", "--at", "1"},
      {"merge", p, "--slides", "1,2,3"},
  };
  for (const std::vector<std::string>& edit : edits) {
    SCOPED_TRACE(edit[0]);
    const std::string before = List();
    const FmreditRun run = Project(edit);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string after = List();
    EXPECT_NE(after, before);
    EXPECT_NE(after.find("a_1.swf"), std::string::npos) << after;
    EXPECT_EQ(Project({"undo", p}).exitCode, 0);
    EXPECT_EQ(List(), before);
    EXPECT_EQ(Project({"redo", p}).exitCode, 0);
    EXPECT_EQ(List(), after);
    EXPECT_EQ(Project({"undo", p}).exitCode, 0);
  }
}

// A new project: add, list, set, export, undo to the start, redo and the log.
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

  ok({"undo", project});
  EXPECT_NE(ok({"list", project}).find("    2     0.400    0.000"), std::string::npos);
  ok({"undo", project});
  ok({"undo", project});
  const FmreditRun nothing = Project({"undo", project});
  EXPECT_EQ(nothing.exitCode, 1);
  EXPECT_NE(nothing.err.find("nothing to undo"), std::string::npos) << nothing.err;
  ok({"redo", project});
  const std::string log = ok({"log", project});
  EXPECT_NE(log.find("*    2"), std::string::npos) << log;
  EXPECT_NE(log.find("    4"), std::string::npos) << log;
}

}  // namespace
