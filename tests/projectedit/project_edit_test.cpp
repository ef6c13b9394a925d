// The project edits run in-process: each refusal's kind and one-line message, with the project
// left as it was, and the numbers the edits take. (The edit commands' results, undo and redo
// are the command tests'.)

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuProjectState.h"
#include "projectedit/EditError.h"
#include "projectedit/OpenProjectSession.h"
#include "projectedit/ProjectEdits.h"
#include "projectedit/ProjectHistory.h"
#include "projectedit/ProjectSlides.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/TempDir.h"

namespace {

using Kind = EditError::Kind;
using Edit = std::function<void(const OpenProjectSession&)>;

struct Refusal {
  std::string name;
  Edit edit;
  Kind kind;
  std::string message;  // a part of the one-line message
};

// A project of three slides: a.swf (20 frames), a movie that is not FMR and a wider one; and
// next to it a movie just under the frame limit.
TEST(ProjectEdits, RefusalsLeaveTheProjectAsItWas) {
  TempDir dir;
  const std::string p = dir.File("edit.fmrproj"), junk = dir.File("junk");
  WriteFmrMovie(dir.File("a.swf"), 20);
  FmrMovieBuilder(40, 30, 10).HoldFrame().HoldFrame().HoldFrame().WriteFile(dir.File("plain"));
  WriteFmrMovie(dir.File("wider.swf"), 8, 5, 48);
  WriteFmrMovie(dir.File("big.swf"), ZuFMRTavoFile::m_maxSWFFramesLimit - 8, 0);
  WriteFileBytes(junk, {'n', 'o', 'p', 'e'});
  std::string error;
  ASSERT_TRUE(ZuProject::Create(ZuString(std::string_view(p)), &error)) << error;
  const OpenProjectSession session(p, ZuProjectAccess::kReadWrite);
  for (const char* movie : {"a.swf", "plain", "wider.swf"}) {
    AddSlideToProject(session, {.movie = dir.File(movie)});
  }
  // clang-format off
  std::vector<Refusal> refusals = {
      {"delete from a movie not FMR", [](auto& s) { DeleteFramesOfSlide(s, {.slide = 2, .length = 1}); }, Kind::kNotFMR, p + ": slide 2 does not show an FMR movie"},
      {"delete from no slide", [](auto& s) { DeleteFramesOfSlide(s, {.slide = 9, .length = 1}); }, Kind::kWrongArgument, "--slide 9: " + p + " has 3 slides"},
      {"delete the last frame only", [](auto& s) { DeleteFramesOfSlide(s, {.slide = 1, .start = 1.9, .length = 1}); }, Kind::kFailure, p + ": slide 1: frame 20 is the movie's last frame"},
      {"delete all but one", [](auto& s) { DeleteFramesOfSlide(s, {.slide = 1, .length = 1.9}); }, Kind::kFailure, p + ": slide 1: cannot delete 19 of the movie's 20 frames: at least two must remain; the project is unchanged"},
      {"split at 0", [](auto& s) { SplitSlide(s, {.slide = 1}); }, Kind::kFailure, p + ": slide 1: cannot split at 0 s"},
      {"insert a wider movie", [&](auto& s) { InsertIntoSlide(s, {.slide = 1, .at = 1, .movie = dir.File("wider.swf")}); }, Kind::kSizeMismatch, "wider.swf: the movie to insert is 48 x 30 pixels, " + p + ": slide 1 is 40 x 30"},
      {"insert a slide's wider movie", [](auto& s) { InsertIntoSlide(s, {.slide = 1, .at = 1, .resourceOf = 3}); }, Kind::kSizeMismatch, p + ": slide 3: the movie to insert is 48 x 30 pixels"},
      {"insert a movie not FMR", [&](auto& s) { InsertIntoSlide(s, {.slide = 1, .at = 1, .movie = dir.File("plain")}); }, Kind::kNotFMR, "plain: not a valid FMR movie: frame 1 does not show a stage-sized lossless picture"},
      {"insert past the frame limit", [&](auto& s) { InsertIntoSlide(s, {.slide = 1, .at = 1, .movie = dir.File("big.swf")}); }, Kind::kFrameLimit, p + ": the result would have 16000 frames or more; a movie may have at most 15999; the project is unchanged"},
      {"insert no movie", [](auto& s) { InsertIntoSlide(s, {.slide = 1, .at = 1}); }, Kind::kWrongArgument, "give --movie FILE or --resource-of SLIDE"},
      {"insert a file not SWF", [&](auto& s) { InsertIntoSlide(s, {.slide = 1, .at = 1, .movie = junk}); }, Kind::kFailure, junk + ": not an SWF movie"},
      {"merge a wider movie", [](auto& s) { MergeSlides(s, {.slides = {1, 3}}); }, Kind::kSizeMismatch, p + ": slide 3: the movie to insert is 48 x 30 pixels, " + p + ": slide 1 is 40 x 30"},
      {"merge one slide", [](auto& s) { MergeSlides(s, {.slides = {1}}); }, Kind::kWrongArgument, "--slides: give at least two slides"},
      {"merge a movie not FMR", [](auto& s) { MergeSlides(s, {.slides = {1, 2}}); }, Kind::kNotFMR, p + ": slide 2 does not show an FMR movie"},
      {"add a missing file", [&](auto& s) { AddSlideToProject(s, {.movie = dir.File("missing.swf")}); }, Kind::kFailure, "missing.swf: No such file"},
      {"add a file not SWF", [&](auto& s) { AddSlideToProject(s, {.movie = junk}); }, Kind::kFailure, "junk: not an SWF movie"},
      {"add after no slide", [&](auto& s) { AddSlideToProject(s, {.movie = junk, .after = 9}); }, Kind::kWrongArgument, "--after 9: the project has 3 slides"},
      {"add nothing", [](auto& s) { AddSlideToProject(s, {}); }, Kind::kWrongArgument, "give a MOVIE file or --share INDEX"},
      {"redo nothing", [](auto& s) { StepProjectHistory(s, false); }, Kind::kFailure, p + ": nothing to redo"},
      {"go to no history entry", [](auto& s) { GoToProjectState(s, 99); }, Kind::kWrongArgument, p + ": the history has no entry 99"},
      {"remove no slide", [](auto& s) { RemoveSlide(s, {.slide = 4}); }, Kind::kWrongArgument, "--slide 4: " + p + " has 3 slides"},
      {"move past the end", [](auto& s) { MoveSlide(s, {.slide = 1, .position = 4}); }, Kind::kWrongArgument, "--to 4: the project has 3 slides"},
      {"move to the same place", [](auto& s) { MoveSlide(s, {.slide = 2, .position = 2}); }, Kind::kWrongArgument, "--to 2: slide 2 is there already"},
      {"rename to its own name", [](auto& s) { RenameSlide(s, {.name = "a.swf", .slide = 1}); }, Kind::kWrongArgument, "--name: slide 1 is named 'a.swf' already"},
      {"rename to blanks", [](auto& s) { RenameSlide(s, {.name = " \t", .slide = 1}); }, Kind::kWrongArgument, "--name: give a name"},
      {"rename too long", [](auto& s) { RenameSlide(s, {.name = std::string(201, 'x'), .slide = 1}); }, Kind::kWrongArgument, "--name: at most 200 bytes, not 201"},
      {"rename with a newline", [](auto& s) { RenameSlide(s, {.name = "a\nb", .slide = 1}); }, Kind::kWrongArgument, "--name: no control characters"},
      {"rename with a slash", [](auto& s) { RenameSlide(s, {.name = "../b", .slide = 1}); }, Kind::kWrongArgument, "--name: no '/' in a name"},
      {"rename to bytes not UTF-8", [](auto& s) { RenameSlide(s, {.name = "\xff", .slide = 1}); }, Kind::kWrongArgument, "--name: the name is not UTF-8 text"},
  };
  // clang-format on
  // Every time an edit takes is a finite number from 0 to 1,000,000 seconds.
  // clang-format off
  const std::vector<std::pair<std::string, std::function<void(const OpenProjectSession&, double)>>> timed = {
      {"start", [](auto& s, double t) { DeleteFramesOfSlide(s, {.slide = 1, .start = t, .length = 1}); }},
      {"length", [](auto& s, double t) { DeleteFramesOfSlide(s, {.slide = 1, .length = t}); }},
      {"at", [](auto& s, double t) { InsertIntoSlide(s, {.slide = 1, .at = t, .resourceOf = 1}); }},
      {"at", [](auto& s, double t) { SplitSlide(s, {.slide = 1, .at = t}); }},
      {"minimum", [](auto& s, double t) { SetSlideMinimum(s, {.slide = 1, .minimum = t}); }},
  };
  const std::pair<double, std::string> numbers[] = {{std::nan(""), "nan"}, {INFINITY, "inf"}, {1e308, "1e+308"}, {-1, "-1"}, {-1e-9, "-1e-09"}};
  // clang-format on
  for (const auto& [field, edit] : timed) {
    for (const auto& [t, shown] : numbers) {
      refusals.push_back(
          {field + " " + shown, [&edit = edit, t = t](auto& s) { edit(s, t); },
           Kind::kWrongArgument,
           field + ": give a time in seconds from 0 to 1000000, not '" + shown + "'"});
    }
  }
  // The project as it would be stored (the uid the next item gets aside).
  const auto state = [&session] {
    ZuProjectState now = session.Project().CaptureState();
    now.nextUid = 0;
    return now;
  };
  const ZuProjectState before = state();
  for (const Refusal& r : refusals) {
    SCOPED_TRACE(r.name);
    try {
      r.edit(session);
      ADD_FAILURE() << "not refused";
    } catch (const EditError& error) {
      const std::string message = error.what();
      EXPECT_EQ(error.GetKind(), r.kind) << message;
      EXPECT_NE(message.find(r.message), std::string::npos) << message;
      EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    }
    EXPECT_TRUE(state() == before);
  }
}

}  // namespace
