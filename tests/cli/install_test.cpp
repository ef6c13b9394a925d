// An installed fmredit: cmake --install into a fresh prefix, then project edits run from
// another folder, with a copy of the edit component beside the program (it must still be
// loaded once) and the parameter dump naming the project's full path.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/cli/CliTestUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// The text of the one parameter dump in folder.
std::string DumpIn(const std::string& folder) {
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() == ".ini") return ReadFileText(entry.path());
  }
  return std::string();
}

TEST(FmreditInstalled, EditsAProjectFromAnotherFolder) {
  TempDir prefix;
  TempDir work;
  const std::string install = std::string(ZU_CMAKE_COMMAND) + " --install " + ZU_BUILD_DIR +
                              " --prefix " + prefix.Path() + " > /dev/null";
  ASSERT_EQ(std::system(install.c_str()), 0);
  EXPECT_TRUE(fs::exists(prefix.File("include/zufmredit/engine/ZuFMRTavoFile.h")));
  const std::string bin = prefix.File("bin");
  fs::copy_file(prefix.File("lib/libzufmredit.so"), bin + "/libzufmredit.so");
  WriteFmrMovie(work.File("m.swf"), 10);

  FmreditRunSetup setup;
  setup.workingFolder = work.Path();
  setup.program = bin + "/fmredit";
  EXPECT_EQ(RunFmredit({"--version"}, setup).out, std::string("fmredit ") + ZU_VERSION + "\n");
  for (const std::vector<std::string>& step : {
           std::vector<std::string>{"project", "new", "p.fmrproj"},
           {"project", "add", "p.fmrproj", "m.swf"},
           {"project", "delete", "p.fmrproj", "--slide", "1", "--start", "0.2", "--length", "0.3"},
           {"project", "export", "p.fmrproj", "--slide", "1", "-o", "out.swf"},
       }) {
    const FmreditRun run = RunFmredit(step, setup);
    ASSERT_EQ(run.exitCode, 0) << step[1] << ": " << run.err;
  }
  ExpectFmrMovie(work.File("out.swf"), 7);
  EXPECT_NE(DumpIn(bin).find("PROJ_NAME=" + work.File("p.fmrproj") + "\n"), std::string::npos)
      << DumpIn(bin);
}

}  // namespace
