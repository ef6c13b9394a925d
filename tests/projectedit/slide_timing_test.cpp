// Tighten and speed up on a slide whose movie another slide shares: each one undoable step
// that gives both slides the new length, undone and redone in the same run and in the next
// one to byte-identical movies.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuProjectState.h"
#include "host/app/ZuSlideBase.h"
#include "host/util/IZuStream.h"
#include "projectedit/OpenProjectSession.h"
#include "projectedit/ProjectHistory.h"
#include "projectedit/ProjectSlides.h"
#include "projectedit/SlideTiming.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/TempDir.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The bytes of the movie slide number shows.
Bytes SlideMovie(const OpenProjectSession& session, int number) {
  const std::unique_ptr<IZuStream> stream(
      session.Slide(number, "slide")->GetAnimation()->CreateReadStream(0));
  Bytes bytes(stream->GetSize());
  EXPECT_EQ(stream->Read(bytes.data(), bytes.size()), bytes.size());
  return bytes;
}

double SlideSeconds(const OpenProjectSession& session, int number) {
  return session.Slide(number, "slide")->GetDuration().GetTime().GetValue();
}

// What a step of the history should give back: slide 1's movie (slide 2 shares it) and the
// length both slides show.
struct Version {
  Bytes movie;
  double seconds = 0;
};

void ExpectAt(const OpenProjectSession& session, const Version& version) {
  EXPECT_EQ(SlideMovie(session, 1), version.movie);
  EXPECT_EQ(SlideMovie(session, 2), version.movie);
  EXPECT_DOUBLE_EQ(SlideSeconds(session, 1), version.seconds);
  EXPECT_DOUBLE_EQ(SlideSeconds(session, 2), version.seconds);
}

TEST(SlideTiming, TightenThenSpeedUpASharedSlideUndoAndRedo) {
  TempDir dir;
  const std::string p = dir.File("timing.fmrproj"), movie = dir.File("rec.swf");
  // 15 frames at 10 a second; still: 3-7, 9-11 and 14-15 (the hold before the stop frame
  // and the stop frame place nothing).
  FmrMovieBuilder(40, 30, 10)
      .KeyFrame(0x336699)
      .PartialFrame(2, 2, 4, 4, 0xff0000)
      .HoldFrame()
      .HoldFrame()
      .HoldFrame()
      .HoldFrame()
      .HoldFrame()
      .PartialFrame(10, 2, 4, 4, 0x00ff00)
      .HoldFrame()
      .HoldFrame()
      .HoldFrame()
      .PartialFrame(20, 2, 4, 4, 0x0000ff)
      .PartialFrame(20, 10, 4, 4, 0xffff00)
      .HoldFrame()
      .StopFrame()
      .WriteFile(movie);
  std::string error;
  ASSERT_TRUE(ZuProject::Create(ZuString(std::string_view(p)), &error)) << error;
  std::vector<Version> versions;
  {
    const OpenProjectSession session(p, ZuProjectAccess::kReadWrite);
    AddSlideToProject(session, {.movie = movie});
    AddSlideToProject(session, {.share = 1});
    versions.push_back({ReadFileBytes(movie), 1.5});
    ExpectAt(session, versions.back());

    // At most 0.2 s still: 3 frames of 3-7 go and 1 of 9-11; 14-15 is not longer.
    EXPECT_EQ(FindSlideStillness(session, 1, {}, 0.2).framesAfter, 11);
    EXPECT_EQ(TightenSlide(session, {.slide = 1, .maxIdle = 0.2}),
              "removed 4 still frames (0.4 s) from slide 1, which now lasts 0:01.1");
    versions.push_back({SlideMovie(session, 1), 1.1});
    ExpectAt(session, versions.back());
    // Frames 3-10 of the 11 at twice the speed: 4, 6, 8 and 10 go.
    EXPECT_EQ(SpeedUpSlide(session, {.slide = 2, .from = 0.2, .to = 1, .factor = 2}),
              "removed 4 frames (0.4 s) from slide 2, which now lasts 0:00.7");
    versions.push_back({SlideMovie(session, 1), 0.7});
    ExpectAt(session, versions.back());
    const std::string out = dir.File("out.swf");
    WriteFileBytes(out, versions.back().movie);
    ExpectFmrMovie(out, 7);

    const std::vector<ZuProjectStateInfo> states = session.Project().ListStates();
    ASSERT_GE(states.size(), 2U);
    EXPECT_EQ(DescribeChange(states[states.size() - 2].label), "tighten a slide");
    EXPECT_EQ(DescribeChange(states.back().label), "speed up a slide");

    for (int step = 1; step >= 0; --step) {
      StepProjectHistory(session, true);
      ExpectAt(session, versions[step]);
    }
    for (int step = 1; step <= 2; ++step) {
      StepProjectHistory(session, false);
      ExpectAt(session, versions[step]);
    }
  }
  // The next run has no command history: the project file's states take it back.
  const OpenProjectSession session(p, ZuProjectAccess::kReadWrite);
  for (int step = 1; step >= 0; --step) {
    StepProjectHistory(session, true);
    ExpectAt(session, versions[step]);
  }
  StepProjectHistory(session, false);
  ExpectAt(session, versions[1]);
}

}  // namespace
