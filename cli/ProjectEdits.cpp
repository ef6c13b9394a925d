// The FMR edits of a project's slides. Each runs the edit's entry point of ZuFMREditUtils as
// one top-level command, so it commits in one transaction (or leaves the project as it was)
// and can be undone with project undo.

#include "cli/ProjectEdits.h"

#include <memory>
#include <string>
#include <vector>

#include "cli/CliError.h"
#include "cli/CommandProjectSession.h"
#include "cli/EditProgress.h"
#include "cli/EditedOutput.h"
#include "cli/StopFrameRule.h"
#include "commands/ZuFMREditUtils.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuMovieFacts.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuSlideBase.h"
#include "host/player/ZuAnimationUtils.h"
#include "host/util/IZuStream.h"
#include "host/util/ZuFrameTime.h"
#include "host/util/ZuTemporaryFolder.h"

namespace {

// A folder of its own for the temporary movies the edit writes (the engine's working copies,
// the edited movie, copies of the movies to merge), where this thread's temporary files go
// while the object lives; removed with everything in it afterwards: by then the project holds
// what it needs of them. When it cannot be made, the usual temporary folder serves.
class PrivateTemporaryFolder {
 public:
  PrivateTemporaryFolder()
      : m_use(m_folder.Path().empty() ? ZuTemporaryFolder::Current() : m_folder.Path()) {}

 private:
  ZuTemporaryFolder m_folder{"fmredit-edit"};
  ZuTemporaryFolder::Use m_use;
};

std::string SlideName(const EditOptions& options, int number) {
  return options.project + ": slide " + std::to_string(number);
}

// The slide numbered from 1, which must show an FMR movie.
ZuSlideBase* FMRSlide(const OpenProjectSession& session, const EditOptions& options, int number,
                      const char* option) {
  ZuSlideBase* slide = session.Slide(number, option);
  if (ZuFMREditUtils::GetAnimationResourceFromFMRSlide(slide) == nullptr) {
    throw CliError(SlideName(options, number) + " does not show an FMR movie", kExitNotFMR);
  }
  return slide;
}

// The movie of a slide's resource, loaded for the refusal messages; null when it cannot be.
std::unique_ptr<ZuFMRTavoFile> LoadSlideMovie(ZuSlideBase* slide) {
  ZuAnimationResource* resource = slide->GetAnimation();
  std::unique_ptr<IZuStream> stream(resource ? resource->CreateReadStream(0) : nullptr);
  try {
    return std::make_unique<ZuFMRTavoFile>(stream.get());
  } catch (int) {
    return nullptr;
  }
}

// Turns a failed edit into its message and exit code. notFMR names the movie to blame for
// 201; otherMovie and otherName describe the movie to insert or merge for 202.
void ThrowForResult(ZuErrorCodeEnum result, const EditOptions& options, const std::string& what,
                    const std::string& notFMR, ZuSlideBase* slide,
                    const std::unique_ptr<ZuFMRTavoFile>& otherMovie,
                    const std::string& otherName) {
  const std::string unchanged = "; the project is unchanged";
  switch (result) {
    case kZuSuccess:
      return;
    case kZuErrorFrameLimit:
      ThrowFrameLimit(options.project, unchanged);
    case kZuErrorNotFMR: {
      // The reason, as the FMR test gives it, of the movie to blame.
      const std::unique_ptr<ZuFMRTavoFile> own = otherMovie ? nullptr : LoadSlideMovie(slide);
      const ZuFMRTavoFile* blamed = otherMovie ? otherMovie.get() : own.get();
      const std::string reason = blamed ? ZuAnimationUtils::WhyNotFMRSWF(*blamed) : "";
      throw CliError(
          notFMR + ": not a valid FMR movie" + (reason.empty() ? "" : ": " + reason) + unchanged,
          kExitNotFMR);
    }
    case kZuErrorDimensionMismatch: {
      std::unique_ptr<ZuFMRTavoFile> movie = LoadSlideMovie(slide);
      if (movie && otherMovie) {
        ThrowSizeMismatch(otherName, *otherMovie, SlideName(options, options.slide), *movie);
      }
      throw CliError(otherName + ": the movie to insert has another size" + unchanged,
                     kExitDimensionMismatch);
    }
    default:
      throw CliError(options.project + ": " + what + " failed" + unchanged);
  }
}

// The frames a delete of the slide's movie would cut, and the movie's frame count, from the
// facts stored with the movie: no need to read the movie itself.
FrameCut SlideCut(ZuSlideBase* slide, const EditOptions& options, int64_t* frames) {
  ZuMovieFacts facts;
  std::string error;
  const ZuAnimationResource* resource = slide->GetAnimation();
  if (!slide->GetProject()->GetVersionFacts(resource->GetVersionId(), &facts, &error)) {
    throw CliError(SlideName(options, options.slide) + ": " + error);
  }
  *frames = facts.frameCount;
  return {ZuFrameTime::SecondsToFrames(options.start, facts.frameRate),
          ZuFrameTime::SecondsToFrames(options.length, facts.frameRate)};
}

}  // namespace

void DeleteFramesOfSlide(const OpenProjectSession& session, const EditOptions& options) {
  PrivateTemporaryFolder temporaryFolder;
  ZuSlideBase* slide = FMRSlide(session, options, options.slide, "--slide");
  int64_t frames = 0;
  const FrameCut cut = SlideCut(slide, options, &frames);
  RefuseCutOfStopFrameOnly(cut, frames, SlideName(options, options.slide));
  StartEditProgress("delete");
  const ZuErrorCodeEnum result =
      ZuFMREditUtils::FireDelFramesCommand(slide, ZuReal(options.start), ZuReal(options.length));
  FinishEditProgress();
  if (result == kZuFailure) {
    throw CliError(SlideName(options, options.slide) + ": " + CutRefusalReason(cut, frames) +
                   "; the project is unchanged");
  }
  ThrowForResult(result, options, "deleting frames", SlideName(options, options.slide), slide,
                 nullptr, "");
  NoteShortenedCut(cut, frames, SlideName(options, options.slide));
}

void InsertIntoSlide(const OpenProjectSession& session, const EditOptions& options) {
  if (options.movie.empty() == !options.resourceOf) {
    throw CliError("give --movie FILE or --resource-of SLIDE, not both", kExitUsage);
  }
  PrivateTemporaryFolder temporaryFolder;
  ZuSlideBase* slide = FMRSlide(session, options, options.slide, "--slide");
  ZuAnimationResource* other = nullptr;
  std::string otherName = options.movie;
  std::unique_ptr<ZuFMRTavoFile> otherMovie;
  if (options.resourceOf) {
    ZuSlideBase* source = session.Slide(*options.resourceOf, "--resource-of");
    other = source->GetAnimation();
    if (other == nullptr) {
      throw CliError(SlideName(options, *options.resourceOf) + " shows no movie");
    }
    otherName = SlideName(options, *options.resourceOf);
    otherMovie = LoadSlideMovie(source);
  } else {
    session.CheckReadable(options.movie);
    try {
      otherMovie = std::make_unique<ZuFMRTavoFile>(ZuString(options.movie));
    } catch (int) {
      throw CliError(options.movie + ": not an SWF movie");
    }
  }
  StartEditProgress("insert");
  const ZuErrorCodeEnum result = ZuFMREditUtils::FireInsertSWFCommand(
      slide, ZuString(options.movie), other, ZuReal(options.at));
  FinishEditProgress();
  // The slide's own movie was checked above, so a movie refused as not FMR is the other one.
  ThrowForResult(result, options, "inserting the movie", otherName, slide, otherMovie, otherName);
}

void SplitSlide(const OpenProjectSession& session, const EditOptions& options) {
  PrivateTemporaryFolder temporaryFolder;
  ZuSlideBase* slide = FMRSlide(session, options, options.slide, "--slide");
  StartEditProgress("split");
  const ZuErrorCodeEnum result = ZuFMREditUtils::FireSplitSWFCommand(slide, ZuReal(options.at));
  FinishEditProgress();
  ThrowForResult(result, options, "splitting the slide", SlideName(options, options.slide), slide,
                 nullptr, "");
}

void MergeSlides(const OpenProjectSession& session, const EditOptions& options) {
  if (options.slides.size() < 2) {
    throw CliError("--slides: give at least two slides", kExitUsage);
  }
  PrivateTemporaryFolder temporaryFolder;
  std::vector<ZuSlideBase*> slides;
  for (int number : options.slides) {
    slides.push_back(FMRSlide(session, options, number, "--slides"));
  }
  // The merge refuses another size only as a failure; find the slide for the message first.
  const std::unique_ptr<ZuFMRTavoFile> first = LoadSlideMovie(slides.front());
  for (size_t i = 1; first && i < slides.size(); ++i) {
    const std::unique_ptr<ZuFMRTavoFile> movie = LoadSlideMovie(slides[i]);
    if (movie &&
        (movie->GetWidth() != first->GetWidth() || movie->GetHeight() != first->GetHeight())) {
      ThrowSizeMismatch(SlideName(options, options.slides[i]), *movie,
                        SlideName(options, options.slides.front()), *first);
    }
  }
  StartEditProgress("merge");
  const ZuErrorCodeEnum result = ZuFMREditUtils::FireMergeSWFCommand(slides);
  FinishEditProgress();
  ThrowForResult(result, options, "merging the slides", SlideName(options, options.slides.front()),
                 slides.front(), nullptr, "");
}
