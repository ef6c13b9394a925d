#include "projectedit/SlideTiming.h"

#include <exception>
#include <memory>

#include "engine/ZuFMRTavoFile.h"
#include "host/app/ZuSlideBase.h"
#include "projectedit/EditError.h"
#include "projectedit/EditProgress.h"
#include "projectedit/MovieRewriteCommand.h"
#include "projectedit/MovieTiming.h"
#include "projectedit/OpenProjectSession.h"
#include "projectedit/SlideAccess.h"
#include "retime/KeptFrames.h"

namespace {

// Runs the rewrite of the slide's movie as one top-level command; returns the slide's new
// duration in seconds. A refusal of the rewrite is thrown as it was made.
double RewriteSlide(const OpenProjectSession& session, int number, const char* commandName,
                    const char* what, const MovieRewriteCommand::Rewrite& rewrite) {
  LoadEditCommands();
  PrivateTemporaryFolder temporaryFolder;
  ZuSlideBase* slide = FMRSlide(session, number, "--slide");
  MovieRewriteCommand command(commandName, slide, rewrite);
  try {
    session.Execute(command, what);
  } catch (const EditError&) {
    if (command.Refusal()) {
      std::rethrow_exception(command.Refusal());
    }
    throw;
  }
  return slide->GetDuration().GetTime().GetValue();
}

std::string Report(int dropped, const std::string& frames, unsigned rate, int slide,
                   double seconds) {
  return RemovedFramesText(dropped, frames, rate) + " from slide " + std::to_string(slide) +
         ", which now lasts " + LengthText(seconds);
}

}  // namespace

std::string TightenSlide(const OpenProjectSession& session, const TightenOptions& options) {
  const std::string name = SlideName(session, options.slide);
  int dropped = 0;
  unsigned rate = 0;
  const double seconds =
      RewriteSlide(session, options.slide, "kZuTightenSlideCommand", "tightening the slide failed",
                   [&](ZuTavoFile& movie) {
                     rate = movie.GetFrameRate();
                     dropped = TightenMovie(name, movie, options.maxIdle, options.rule);
                   });
  return Report(dropped, "still frames", rate, options.slide, seconds);
}

std::string SpeedUpSlide(const OpenProjectSession& session, const SpeedOptions& options) {
  const std::string name = SlideName(session, options.slide);
  const SpeedRange range{options.from, options.to, options.factor, options.length};
  int dropped = 0;
  unsigned rate = 0;
  const double seconds = RewriteSlide(session, options.slide, "kZuSpeedUpSlideCommand",
                                      "speeding up the slide failed", [&](ZuTavoFile& movie) {
                                        rate = movie.GetFrameRate();
                                        dropped = SpeedUpMovie(name, movie, range);
                                      });
  return Report(dropped, "frames", rate, options.slide, seconds);
}

SlideStillness FindSlideStillness(const OpenProjectSession& session, int slide,
                                  const StillRule& rule, double maxIdle) {
  const std::string name = SlideName(session, slide);
  PrivateTemporaryFolder temporaryFolder;
  const std::unique_ptr<ZuFMRTavoFile> movie = LoadSlideMovie(FMRSlide(session, slide, "slide"));
  if (!movie) {
    throw EditError(name + ": its movie cannot be read");
  }
  SlideStillness stillness;
  stillness.frameCount = movie->GetFrameCount();
  stillness.frameRate = movie->GetFrameRate();
  const int maxStill = MaxStillFrames(maxIdle, stillness.frameRate);
  const std::vector<bool> still = CheckedStillFrames(name, *movie, rule);
  stillness.stretches = StillStretches(still, 0);
  stillness.framesAfter = stillness.frameCount - DroppedCount(TightenKeeps(still, maxStill));
  return stillness;
}
