// The FMR edits of a project's slides. Each runs the edit's entry point of ZuFMREditUtils as
// one top-level command, so it commits in one transaction (or leaves the project as it was)
// and can be undone with project undo.

#include "projectedit/ProjectEdits.h"

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "commands/ZuFMREditUtils.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuMovieFacts.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuSlideBase.h"
#include "host/util/IZuStream.h"
#include "host/util/ZuFrameTime.h"
#include "projectedit/EditError.h"
#include "projectedit/EditProgress.h"
#include "projectedit/EditSeconds.h"
#include "projectedit/EngineRefusal.h"
#include "projectedit/OpenProjectSession.h"
#include "projectedit/ProjectSlides.h"
#include "projectedit/SlideAccess.h"
#include "projectedit/StopFrameRule.h"
#include "projectedit/TimeInMovie.h"

namespace {

constexpr const char* kUnchanged = "; the project is unchanged";

// Runs the edit's command with the edit commands loaded; throws the refusal of a result
// other than success. movies names what the refusal concerns; the slide's movie is loaded
// for the message only when needed.
void RunEdit(const OpenProjectSession& session, ZuSlideBase* slide, EditedMovies movies,
             const std::function<ZuErrorCodeEnum()>& edit) {
  LoadEditCommands();
  const ZuErrorCodeEnum result = edit();
  if (result == kZuSuccess) {
    return;
  }
  std::unique_ptr<ZuFMRTavoFile> movie;
  if (result == kZuErrorNotFMR || result == kZuErrorDimensionMismatch) {
    movie = LoadSlideMovie(slide);
    movies.movie = movie.get();
  }
  movies.output = session.Path();
  movies.after = kUnchanged;
  // The engine's own write error stays inside the edit command; the store's last error would
  // be another failure's.
  const bool engineWrite = result == kZuErrorWrite;
  throw EngineRefusal(result, movies, engineWrite ? "" : session.Project().GetLastError());
}

// The frame count and rate of the slide's movie, from the facts stored with the movie: no
// need to read the movie itself.
ZuMovieFacts SlideFacts(const OpenProjectSession& session, ZuSlideBase* slide, int number) {
  ZuMovieFacts facts;
  std::string error;
  const ZuAnimationResource* resource = slide->GetAnimation();
  if (!slide->GetProject()->GetVersionFacts(resource->GetVersionId(), &facts, &error)) {
    throw EditError(SlideName(session, number) + ": " + error);
  }
  return facts;
}

// Refuses a time past the end of the slide's movie, as the file commands do.
ZuMovieFacts RequireWithinSlide(const OpenProjectSession& session, ZuSlideBase* slide, int number,
                                double seconds) {
  ZuMovieFacts facts = SlideFacts(session, slide, number);
  RequireWithinMovie(SlideName(session, number), seconds, facts.frameCount, facts.frameRate);
  return facts;
}

}  // namespace

std::string DeleteFramesOfSlide(const OpenProjectSession& session, const EditOptions& options) {
  RequireSeconds("start", options.start);
  RequireSeconds("length", options.length);
  PrivateTemporaryFolder temporaryFolder;
  ZuSlideBase* slide = FMRSlide(session, options.slide, "--slide");
  const std::string name = SlideName(session, options.slide);
  const ZuMovieFacts facts = RequireWithinSlide(session, slide, options.slide, options.start);
  const int64_t frames = facts.frameCount;
  const FrameCut cut = {ZuFrameTime::SecondsToFrames(options.start, facts.frameRate),
                        ZuFrameTime::SecondsToFrames(options.length, facts.frameRate)};
  RefuseCutOfStopFrameOnly(cut, frames, name);
  // The engine refuses a cut it cannot make only as a failure: the cut tells why.
  RunEdit(session, slide,
          {.name = name, .failure = name, .likelyReason = CutRefusalReason(cut, frames)}, [&] {
            return ZuFMREditUtils::FireDelFramesCommand(slide, ZuReal(options.start),
                                                        ZuReal(options.length));
          });
  return ShortenedCutNote(cut, frames, name);
}

void InsertIntoSlide(const OpenProjectSession& session, const EditOptions& options) {
  RequireSeconds("at", options.at);
  if (options.movie.empty() == !options.resourceOf) {
    throw EditError("give --movie FILE or --resource-of SLIDE, not both",
                    EditError::Kind::kWrongArgument);
  }
  PrivateTemporaryFolder temporaryFolder;
  ZuSlideBase* slide = FMRSlide(session, options.slide, "--slide");
  RequireWithinSlide(session, slide, options.slide, options.at);
  ZuAnimationResource* other = nullptr;
  std::string otherName = options.movie;
  std::unique_ptr<ZuFMRTavoFile> otherMovie;
  if (options.resourceOf) {
    ZuSlideBase* source = session.Slide(*options.resourceOf, "--resource-of");
    other = source->GetAnimation();
    if (other == nullptr) {
      throw EditError(SlideName(session, *options.resourceOf) + " shows no movie");
    }
    otherName = SlideName(session, *options.resourceOf);
    otherMovie = LoadSlideMovie(source);
  } else {
    try {
      otherMovie = std::make_unique<ZuFMRTavoFile>(ZuString(options.movie));
    } catch (int) {
      session.CheckReadable(options.movie);  // throws saying why the file is no movie
      throw EditError(options.movie + ": the movie cannot be loaded");
    }
  }
  // The slide's own movie was checked above, so a movie refused as not FMR is the other one.
  RunEdit(session, slide,
          {.name = SlideName(session, options.slide),
           .other = otherName,
           .otherMovie = otherMovie.get(),
           .failure = session.Path() + ": inserting the movie failed"},
          [&] {
            return ZuFMREditUtils::FireInsertSWFCommand(slide, ZuString(options.movie), other,
                                                        ZuReal(options.at));
          });
}

void SplitSlide(const OpenProjectSession& session, const EditOptions& options) {
  RequireSeconds("at", options.at);
  PrivateTemporaryFolder temporaryFolder;
  ZuSlideBase* slide = FMRSlide(session, options.slide, "--slide");
  const std::string name = SlideName(session, options.slide);
  const ZuMovieFacts facts = SlideFacts(session, slide, options.slide);
  RequireSplitPoint(name, options.at, facts.frameCount, facts.frameRate);
  RunEdit(session, slide,
          {.name = name,
           .failure = session.Path() + ": splitting the slide failed",
           .likelyReason = "the movie has no stop action to end the first part"},
          [&] { return ZuFMREditUtils::FireSplitSWFCommand(slide, ZuReal(options.at)); });
}

std::string MergeSlides(const OpenProjectSession& session, const EditOptions& options) {
  if (options.slides.size() < 2) {
    throw EditError("--slides: give at least two slides", EditError::Kind::kWrongArgument);
  }
  PrivateTemporaryFolder temporaryFolder;
  std::vector<ZuSlideBase*> slides;
  for (int number : options.slides) {
    slides.push_back(FMRSlide(session, number, "--slides"));
  }
  // The merge refuses another size only as a failure; find the slide for the message first.
  const std::unique_ptr<ZuFMRTavoFile> first = LoadSlideMovie(slides.front());
  for (size_t i = 1; first && i < slides.size(); ++i) {
    const std::unique_ptr<ZuFMRTavoFile> movie = LoadSlideMovie(slides[i]);
    if (movie &&
        (movie->GetWidth() != first->GetWidth() || movie->GetHeight() != first->GetHeight())) {
      throw SizeMismatchError(SlideName(session, options.slides[i]), *movie,
                              SlideName(session, options.slides.front()), *first);
    }
  }
  RunEdit(session, slides.front(),
          {.name = SlideName(session, options.slides.front()),
           .failure = session.Path() + ": merging the slides failed"},
          [&] { return ZuFMREditUtils::FireMergeSWFCommand(slides); });
  const std::vector<int> others(options.slides.begin() + 1, options.slides.end());
  const bool one = others.size() == 1;
  std::ostringstream message;
  message << "appended the " << (one ? "movie" : "movies") << " of " << NameSlides(others)
          << " to slide " << options.slides.front() << ", which now lasts "
          << slides.front()->GetDuration().GetTime().GetValue() << " s; " << NameSlides(others)
          << (one ? " stays" : " stay") << " in the project (remove " << (one ? "it" : "them")
          << " if no longer needed)";
  return message.str();
}
