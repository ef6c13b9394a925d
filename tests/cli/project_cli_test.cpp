// fmredit project: the subcommands end to end, as a user runs them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli/CliTestUtil.h"
#include "tests/support/FileBytes.h"

namespace {

class ProjectCliTest : public ::testing::Test {
 public:
  void SetUp() override {
    m_project = m_dir.File("p.fmrproj");
    m_movie = m_dir.File("rec.swf");
    WriteFmrMovie(m_movie, 4);
  }

  FmreditRun Run(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "project");
    return RunFmredit(arguments);
  }
  // Runs and expects success; returns the standard output.
  std::string Ok(const std::vector<std::string>& arguments) {
    const FmreditRun run = Run(arguments);
    EXPECT_EQ(run.exitCode, 0) << arguments[0] << ": " << run.err;
    return run.out;
  }

  TempDir m_dir;
  std::string m_project, m_movie;
};

TEST_F(ProjectCliTest, AddListSetExportUndoRedoLog) {
  Ok({"new", m_project});
  Ok({"add", m_project, m_movie, "--name", "intro.swf"});
  Ok({"add", m_project, "--share", "1", "--after", "0"});
  const std::string list = Ok({"list", m_project});
  EXPECT_NE(list.find("    1     0.400    0.000       4  yes       2  intro.swf"),
            std::string::npos)
      << list;
  EXPECT_NE(list.find("    2     0.400    0.000       4  yes       2  intro.swf"),
            std::string::npos);

  Ok({"set", m_project, "--slide", "2", "--min-duration", "3.5"});
  EXPECT_NE(Ok({"list", m_project}).find("    2     3.500    3.500"), std::string::npos);

  const std::string out = m_dir.File("out.swf");
  Ok({"export", m_project, "--slide", "2", "-o", out});
  EXPECT_EQ(ReadFileBytes(out), ReadFileBytes(m_movie));

  Ok({"undo", m_project});
  EXPECT_NE(Ok({"list", m_project}).find("    2     0.400    0.000"), std::string::npos);
  Ok({"undo", m_project});
  Ok({"undo", m_project});
  const FmreditRun nothing = Run({"undo", m_project});
  EXPECT_EQ(nothing.exitCode, 1);
  EXPECT_NE(nothing.err.find("nothing to undo"), std::string::npos) << nothing.err;
  Ok({"redo", m_project});
  const std::string log = Ok({"log", m_project});
  EXPECT_NE(log.find("*    2"), std::string::npos) << log;
  EXPECT_NE(log.find("    4"), std::string::npos) << log;
}

}  // namespace
