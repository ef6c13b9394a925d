// fmredit project delete / insert / split / merge as a user runs them: exit codes and
// messages of the refusals, a project left as it was by every failure, and project undo in a
// new process after every edit.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "tests/commands/edit_fixture.h"
#include "tests/support/FmrMovieBuilder.h"

namespace {

struct ProgramRun {
  int exitCode = -1;
  std::string output;  // standard output and standard error together
};

ProgramRun Fmredit(const std::string& arguments) {
  ProgramRun run;
  const std::string line = std::string(ZU_FMREDIT_BINARY) + " " + arguments + " 2>&1";
  FILE* pipe = popen(line.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  size_t got = 0;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, got);
  const int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// A project of three slides: a.swf (20 frames), the same movie again, b.swf (12 frames); and
// next to it a wider movie, a movie that is not FMR and one just under the frame limit.
class ProjectEdits : public edit_test::EditProjectTest {
 protected:
  void SetUp() override {
    EditProjectTest::SetUp();
    m_project = File("cli.fmrproj");
    const std::string a = RecordMovie("a.swf", 20, 5);
    const std::string b = RecordMovie("b.swf", 12, 6);
    RecordMovie("wider.swf", 8, 7, 40, 24);  // slide 5
    FmrMovieBuilder(32, 24, 10).HoldFrame().HoldFrame().HoldFrame().WriteFile(File("plain.swf"));
    FmrMovieBuilder big(32, 24, 10);
    big.KeyFrame(0x102030);
    for (int i = 0; i < ZuFMRTavoFile::m_maxSWFFramesLimit - 10; ++i) big.HoldFrame();
    big.StopFrame().WriteFile(File("big.swf"));
    for (const std::string& step :
         {"new " + m_project, "add " + m_project + " " + a, "add " + m_project + " --share 1",
          "add " + m_project + " " + b, "add " + m_project + " " + File("plain.swf"),
          "add " + m_project + " " + File("wider.swf")}) {
      ASSERT_EQ(Fmredit("project " + step).exitCode, 0) << step;
    }
  }
  std::string List() { return Fmredit("project list " + m_project).output; }

  std::string m_project;
};

TEST_F(ProjectEdits, RefusalsLeaveTheProjectAsItWas) {
  struct Refusal {
    std::string arguments;
    int exitCode;
    std::string message;
  };
  const std::string p = m_project;
  const std::vector<Refusal> refusals = {
      {"delete " + p + " --slide 4 --start 0 --length 1", 4,
       p + ": slide 4 does not show an FMR movie"},
      {"delete " + p + " --slide 9 --start 0 --length 1", 2, "--slide 9: " + p + " has 5 slides"},
      {"split " + p + " --slide 1 --at 0", 1, p + ": splitting the slide failed"},
      {"insert " + p + " --slide 1 --at 1 --movie " + File("wider.swf"), 5,
       File("wider.swf") + ": the movie to insert is 40 x 24 pixels, " + p +
           ": slide 1 is 32 x 24"},
      {"insert " + p + " --slide 1 --at 1 --movie " + File("plain.swf"), 4,
       File("plain.swf") + ": not a valid FMR movie; the project is unchanged"},
      {"insert " + p + " --slide 1 --at 1 --movie " + File("big.swf"), 3,
       p + ": the result would have more than 16000 frames; the project is unchanged"},
      {"insert " + p + " --slide 1 --at 1", 2, "give --movie FILE or --resource-of SLIDE"},
      {"merge " + p + " --slides 1,3,5", 5,
       p + ": slide 5: the movie to insert is 40 x 24 pixels, " + p + ": slide 1 is 32 x 24"},
      {"merge " + p + " --slides 1", 2, "--slides: give at least two slides"},
      {"merge " + p + " --slides 1,4", 4, p + ": slide 4 does not show an FMR movie"},
  };
  const std::string before = List();
  for (const Refusal& r : refusals) {
    SCOPED_TRACE(r.arguments);
    const ProgramRun run = Fmredit("project " + r.arguments);
    EXPECT_EQ(run.exitCode, r.exitCode);
    EXPECT_NE(run.output.find(r.message), std::string::npos) << run.output;
    EXPECT_EQ(List(), before);
  }
}

TEST_F(ProjectEdits, EveryEditUndoesAndRedoesInANewProcess) {
  const std::string p = m_project;
  const std::vector<std::string> edits = {
      "delete " + p + " --slide 1 --start 0.5 --length 0.3",
      "insert " + p + " --slide 1 --at 1 --resource-of 3",
      "split " + p + " --slide 1 --at 1",
      "merge " + p + " --slides 1,2,3",
  };
  for (const std::string& edit : edits) {
    SCOPED_TRACE(edit);
    const std::string before = List();
    const ProgramRun run = Fmredit("project " + edit);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string after = List();
    EXPECT_NE(after, before);
    EXPECT_NE(after.find("a_1.swf"), std::string::npos) << after;
    EXPECT_EQ(Fmredit("project undo " + p).exitCode, 0);
    EXPECT_EQ(List(), before);
    EXPECT_EQ(Fmredit("project redo " + p).exitCode, 0);
    EXPECT_EQ(List(), after);
    EXPECT_EQ(Fmredit("project undo " + p).exitCode, 0);
  }
}

}  // namespace
