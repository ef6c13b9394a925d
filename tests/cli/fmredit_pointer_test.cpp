// fmredit project pointer / keys / remove-key and info on movies that record the pointer and
// keys, as a user runs them: settings set, read back, undone and redone; a key press taken out,
// the others kept; the refusals with their exit codes and one line, the project left as it
// was; the edited movie read by the independent parser, its pictures and pointer unchanged.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/cli/CliTestUtil.h"
#include "tests/support/PointerTracks.h"
#include "tests/support/RandomImage.h"
#include "tests/support/RecordedMovie.h"
#include "tests/support/TempDir.h"

namespace {

struct Step {
  std::vector<std::string> arguments;
  int exitCode;
  std::string printed;  // standard output on success, a part of the error line otherwise
};

TEST(FmreditPointer, SettingsKeysAndInfo) {
  const TempDir dir;
  const std::string p = dir.File("p.fmrproj"), typed = dir.File("typed.swf");
  const std::string plain = dir.File("plain.swf");
  Pictures pictures;
  for (int i = 0; i < 8; ++i) {
    pictures.push_back(RandomImage(40, 30, true, static_cast<unsigned>(11 + i)));
  }
  ZuPointerTrack track = MakePointerTrack(8, 40, 30, 5);
  for (ZuPointerFrame& frame : track.frames) {
    frame.keys.clear();
  }
  track.frames[2].keys = {"h", "i"};
  track.frames[5].keys = {"Ctrl+S"};
  std::string error;
  const std::unique_ptr<ZuTavoFile> movie = RecordWithPointer(pictures, track, 4, &error);
  ASSERT_TRUE(movie != nullptr) << error;
  ASSERT_EQ(WriteMovie(*movie, typed), "");
  ExpectFmrMovie(typed, 10);
  WriteFmrMovie(plain, 4);
  ASSERT_EQ(RunFmredit({"project", "new", p}).exitCode, 0);
  ASSERT_EQ(RunFmredit({"project", "add", p, typed}).exitCode, 0);
  ASSERT_EQ(RunFmredit({"project", "add", p, plain}).exitCode, 0);

  const std::string slide1 = "slide 1: pointer ";
  // clang-format off
  const std::vector<Step> steps = {
      {{"info", "--json", typed}, 0, "  \"pointer\": true,\n  \"keyPresses\": 3,\n"},
      {{"info", typed}, 0, "pointer:     recorded, 3 key presses\n"},
      {{"info", "--json", plain}, 0, "  \"pointer\": false,\n  \"keyPresses\": 0,\n"},
      {{"project", "pointer", p, "--slide", "1"}, 0, slide1 + "show, clicks off, keys off\n"},
      {{"project", "pointer", p, "--slide", "1", "--pointer", "large"}, 0, slide1 + "large (2x), clicks off, keys off\n"},
      {{"project", "pointer", p, "--slide", "1", "--pointer", "large=2.5", "--clicks"}, 0, slide1 + "large (2.5x), clicks on, keys off\n"},
      {{"project", "pointer", p, "--slide", "1", "--keys-overlay", "--pointer", "hide"}, 0, slide1 + "hide, clicks on, keys on\n"},
      {{"project", "pointer", p, "--slide", "1"}, 0, slide1 + "hide, clicks on, keys on\n"},
      {{"project", "undo", p}, 0, "undone"},
      {{"project", "pointer", p, "--slide", "1"}, 0, slide1 + "large (2.5x), clicks on, keys off\n"},
      {{"project", "undo", p}, 0, "undone"},
      {{"project", "redo", p}, 0, "redone"},
      {{"project", "pointer", p, "--slide", "1"}, 0, slide1 + "large (2.5x), clicks on, keys off\n"},
      {{"project", "pointer", p, "--slide", "2"}, 0, "slide 2: no recorded pointer or keys\n"},
      {{"project", "keys", p, "--slide", "1"}, 0, " frame      time  index  key\n"
                                                  "     3     0.2 s      1  h\n"
                                                  "     3     0.2 s      2  i\n"
                                                  "     6     0.5 s      1  Ctrl+S\n"
                                                  "3 key presses\n"},
      {{"project", "remove-key", p, "--slide", "1", "--frame", "3", "--index", "2"}, 0, "removed key \"i\" at 0.2 s (frame 3) from slide 1\n"},
      {{"project", "keys", p, "--slide", "1"}, 0, "     3     0.2 s      1  h\n     6     0.5 s      1  Ctrl+S\n2 key presses\n"},
      // Refusals.
      {{"project", "pointer", p, "--slide", "1", "--pointer", "huge"}, 2, "--pointer"},
      {{"project", "pointer", p, "--slide", "1", "--pointer", "show=2"}, 2, "--pointer"},
      {{"project", "pointer", p, "--slide", "1", "--pointer", "large=x"}, 2, "--pointer"},
      {{"project", "pointer", p, "--slide", "1", "--pointer", "large=4"}, 2, "--pointer"},
      {{"project", "pointer", p, "--slide", "2", "--clicks"}, 2, p + ": slide 2 has no recorded pointer or keys"},
      {{"project", "pointer", p, "--slide", "3"}, 2, p + " has 2 slides"},
      {{"project", "remove-key", p, "--slide", "1", "--frame", "11", "--index", "1"}, 2, "there is no frame 11 (the movie has 10)"},
      {{"project", "remove-key", p, "--slide", "1", "--frame", "6", "--index", "2"}, 2, "frame 6 has 1 key presses, no key press 2"},
      {{"project", "remove-key", p, "--slide", "2", "--frame", "1", "--index", "1"}, 2, "slide 2 has no recorded pointer or keys"},
      {{"project", "remove-key", p, "--slide", "1", "--frame", "3"}, 2, "--index"},
  };
  // clang-format on
  for (const Step& run : steps) {
    SCOPED_TRACE(testing::PrintToString(run.arguments));
    const std::string before = RunFmredit({"project", "log", p}).out;
    const FmreditRun ran = RunFmredit(run.arguments);
    if (run.exitCode == 0) {
      EXPECT_EQ(ran.exitCode, 0) << ran.err;
      EXPECT_NE(ran.out.find(run.printed), std::string::npos) << ran.out;
    } else {
      ExpectOneLineError(ran, run.printed, run.exitCode);
      EXPECT_EQ(RunFmredit({"project", "log", p}).out, before);
    }
  }
  const std::string out = dir.File("out.swf");
  ASSERT_EQ(RunFmredit({"project", "export", p, "--slide", "1", "-o", out}).exitCode, 0);
  ExpectFmrMovie(out, 10);
  ExpectSamePictures(RenderAllFrames(out), RenderAllFrames(typed));
  ZuPointerTrack kept = ZuReadPointerTrack(*LoadMovieFile(typed));
  kept.frames[2].keys = {"h"};
  kept.settings = {ZuPointerLook::kLarge, 2.5, true, false};
  const ZuPointerTrack read = ZuReadPointerTrack(*LoadMovieFile(out));
  EXPECT_EQ(read.frames, kept.frames);
  EXPECT_EQ(read.shapes, kept.shapes);
  EXPECT_EQ(read.settings, kept.settings);
}

}  // namespace
