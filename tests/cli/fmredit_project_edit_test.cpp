// fmredit project subcommands as a user runs them: the program's own job, its arguments,
// printing, exit codes and one-line messages. The edits themselves are tested in-process
// (tests/projectedit).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli/CliTestUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/TempDir.h"

namespace {

// A new project built up and taken back (add, list, set, export, undo, redo, log); then each
// kind of refusal exits with its code and one line, and leaves the project as it was; then
// its slides renamed, moved and removed, and each change undone.
TEST(FmreditProject, BuildListUndoLogAndRefusals) {
  TempDir dir;
  const std::string p = dir.File("p.fmrproj"), movie = dir.File("rec.swf"), junk = dir.File("junk");
  WriteFmrMovie(movie, 4);
  FmrMovieBuilder(40, 30, 10).HoldFrame().HoldFrame().HoldFrame().WriteFile(dir.File("plain"));
  WriteFileBytes(junk, {'n', 'o', 'p', 'e'});
  const auto project = [](std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "project");
    return RunFmredit(arguments);
  };
  const auto ok = [&](const std::vector<std::string>& arguments) {
    const FmreditRun run = project(arguments);
    EXPECT_EQ(run.exitCode, 0) << arguments[0] << ": " << run.err;
    return run.out;
  };
  ok({"new", p});
  ok({"add", p, movie, "--name", "intro.swf"});
  ok({"add", p, "--share", "1", "--after", "0"});
  const std::string list = ok({"list", p});
  EXPECT_NE(list.find("    1     0.400    0.000       4  yes       2  intro.swf"),
            std::string::npos)
      << list;
  EXPECT_NE(list.find("    2     0.400    0.000       4  yes       2  intro.swf"),
            std::string::npos);

  ok({"set", p, "--slide", "2", "--min-duration", "3.5"});
  EXPECT_NE(ok({"list", p}).find("    2     3.500    3.500"), std::string::npos);

  const std::string out = dir.File("out.swf");
  ok({"export", p, "--slide", "2", "-o", out});
  EXPECT_EQ(ReadFileBytes(out), ReadFileBytes(movie));

  EXPECT_NE(ok({"undo", p}).find("now at state 3"), std::string::npos);
  EXPECT_NE(ok({"list", p}).find("    2     0.400    0.000"), std::string::npos);
  ok({"redo", p});
  const std::string log = ok({"log", p});
  EXPECT_NE(log.find("*    4  "), std::string::npos) << log;
  EXPECT_NE(log.find("set a slide's minimum duration"), std::string::npos) << log;

  ok({"add", p, dir.File("plain")});
  struct Refusal {
    std::vector<std::string> arguments;
    int exitCode;
    std::string message;
  };
  // clang-format off
  const std::vector<Refusal> refusals = {
      {{"delete", p, "--slide", "3", "--start", "0", "--length", "1"}, 4, p + ": slide 3 does not show an FMR movie"},
      {{"delete", p, "--slide", "9", "--start", "0", "--length", "1"}, 2, "--slide 9: " + p + " has 3 slides"},
      {{"split", p, "--slide", "1", "--at", "0"}, 1, p + ": slide 1: cannot split at 0 s"},
      {{"tighten", p, "--slide", "3", "--max-idle", "1"}, 4, p + ": slide 3 does not show an FMR movie"},
      {{"speed", p, "--slide", "1", "--from", "0", "--to", "1", "--factor", "2"}, 2, p + ": slide 1: 1 s is past the end of the movie (0.4 s)"},
      {{"insert", p, "--slide", "1", "--at", "0.5", "--movie", movie}, 2, p + ": slide 1: 0.5 s is past the end of the movie (0.4 s)"},
      {{"new", p}, 1, p + ": cannot create the project: a file already exists"},
      {{"list", junk}, 1, "junk: not a project file"},
      {{"export", p, "--slide", "9", "-o", dir.File("x.swf")}, 2, "--slide 9"},
      {{"export", p, "-o", dir.File("x.swf")}, 2, "x.swf: an SWF file takes one slide's movie"},
      {{"export", p, "--slide", "1", "--to", "9", "--from", "9", "-o", dir.File("x.mp4")}, 2, "end time must come after"},
      {{"export", p, "-o", dir.File("x.mp4"), "--max-size", "5MB"}, 2, "--max-size is for .gif and .apng exports"},
      {{"export", p, "--slide", "1", "-o", dir.File("x.swf"), "--max-size", "5MB"}, 2, "--max-size is for .gif and .apng exports"},
      {{"export", p, "-o", dir.File("x.gif"), "--max-size", "5 XB"}, 2, "--max-size: give a size from 1 byte to 1 TiB"},
      {{"move", p, "--slide", "1", "--to", "9"}, 2, "--to 9: the project has 3 slides"},
      {{"rename", p, "--slide", "1", "--name", ""}, 2, "--name: give a name"},
      {{"redo", p}, 1, "nothing to redo"},
  };
  // clang-format on
  const std::string before = ok({"list", p});
  for (const Refusal& r : refusals) {
    SCOPED_TRACE(testing::PrintToString(r.arguments));
    ExpectOneLineError(project(r.arguments), r.message, r.exitCode);
    EXPECT_EQ(ok({"list", p}), before);
  }

  // Assembling: a rename names the movie (the slide sharing it shows the name too), a move,
  // a removal of one sharer (the other keeps the movie); undo takes each back in one step.
  EXPECT_EQ(ok({"rename", p, "--slide", "2", "--name", "Intro \u2713"}),
            "renamed slide 2 from 'intro.swf' to 'Intro \u2713'; slide 1, which shares its movie, "
            "shows the name too\n");
  EXPECT_EQ(ok({"move", p, "--slide", "3", "--to", "1"}),
            "moved slide 3 (plain.swf) to position 1\n");
  EXPECT_EQ(ok({"remove", p, "--slide", "2"}),
            "removed slide 2 (Intro \u2713); its movie stays, shown by slide 2 as numbered now\n");
  const std::string assembled = ok({"list", p});
  EXPECT_NE(assembled.find("    1     0.300    0.000       3  no        1  plain.swf\n"
                           "    2     3.500    3.500       4  yes       1  Intro \u2713\n"),
            std::string::npos)
      << assembled;
  const std::string changes = ok({"log", p});
  const size_t renamed = changes.find("rename a slide"), moved = changes.find("move a slide"),
               removed = changes.find("remove a slide");
  EXPECT_TRUE(renamed < moved && moved < removed && removed != std::string::npos) << changes;
  for (int i = 0; i < 3; ++i) ok({"undo", p});
  EXPECT_EQ(ok({"list", p}), before);
}

}  // namespace
