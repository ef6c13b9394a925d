// fmredit project delete / insert / split / merge: the FMR edits on the slides of a project.
// Each runs the edit's entry point of ZuFMREditUtils as one top-level command, so it commits
// in one transaction (or leaves the project as it was) and can be undone with project undo.

#include <stdlib.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliError.h"
#include "cli/CommandProjectSession.h"
#include "cli/Commands.h"
#include "cli/EditedOutput.h"
#include "cli/ProjectEdits.h"
#include "cli/StopFrameRule.h"
#include "cli/TimeOption.h"
#include "commands/ZuFMREditCommandData.h"
#include "commands/ZuFMREditComponent.h"
#include "commands/ZuFMREditDeleteFramesCommand.h"
#include "commands/ZuFMREditInsertCommand.h"
#include "commands/ZuFMREditMergeSlidesCommand.h"
#include "commands/ZuFMREditSplitCommand.h"
#include "commands/ZuFMREditUtils.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/app/IZuSession.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuCommandRegistry.h"
#include "host/app/ZuMovieFacts.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuSession.h"
#include "host/app/ZuSlideBase.h"
#include "host/util/IZuStream.h"
#include "host/util/ZuFrameTime.h"
#include "host/util/ZuTemporaryFolder.h"

namespace {

// The "\r<edit> [#####.....]  50%" line on standard error, fed by the command's progress
// reports; shows nothing unless standard error is a terminal.
class ProgressBar : public IZuFMREditProgressEvent {
 public:
  void Start(std::string what) {
    m_what = std::move(what);
    m_enabled = isatty(STDERR_FILENO) == 1;
    m_shown = false;
  }
  void OnProgress(int percent) override {
    if (!m_enabled) return;
    const int filled = percent / 5;
    std::fprintf(stderr, "\r%s [%s%s] %3d%%", m_what.c_str(), std::string(filled, '#').c_str(),
                 std::string(20 - filled, '.').c_str(), percent);
    std::fflush(stderr);
    m_shown = true;
  }
  void Finish() {
    if (m_shown) std::fputc('\n', stderr);
    m_shown = false;
  }

 private:
  std::string m_what;
  bool m_enabled = false;
  bool m_shown = false;
};

ProgressBar g_progress;
// Where the edits report: the bar unless a caller gave another listener.
IZuFMREditProgressEvent* g_progressSink = &g_progress;

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

// Factories that make the edit commands with the progress bar already in their data, put
// in place of the component's so that the entry points of ZuFMREditUtils, which fill in
// everything else, report to the bar.
template <class Command, class Data, int32_t Id>
IZuCommand* MakeWithProgress(int32_t id) {
  if (id != Id) return nullptr;
  auto* command = new Command();
  static_cast<Data*>(command->GetCommandData())->SetProgressEvent(g_progressSink);
  return command;
}

void RegisterProgressFactories(const std::string& what) {
  // The edit commands come from the component library, loaded and registered as a host
  // loads it; the progress versions then take the place of its factories.
  std::string error;
  if (GetZuSession()->LoadComponents(&error) != kZuSuccess) {
    throw CliError(error);
  }
  ZuCommandRegistry* registry = QuerySession()->GetCommandRegistry(0);
  registry->RegisterCommandFactory(
      kZuFMREditDeleteFramesCommandId,
      MakeWithProgress<ZuFMREditDeleteFramesCommand, ZuFMREditDeleteFramesCommandData,
                       kZuFMREditDeleteFramesCommandId>);
  registry->RegisterCommandFactory(
      kZuFMREditInsertCommandId,
      MakeWithProgress<ZuFMREditInsertCommand, ZuFMREditInsertCommandData,
                       kZuFMREditInsertCommandId>);
  registry->RegisterCommandFactory(
      kZuFMREditSplitCommandId,
      MakeWithProgress<ZuFMREditSplitCommand, ZuFMREditSplitCommandData, kZuFMREditSplitCommandId>);
  registry->RegisterCommandFactory(
      kZuFMREditMergeSlidesCommandId,
      MakeWithProgress<ZuFMREditMergeSlidesCommand, ZuFMREditMergeSlidesCommandData,
                       kZuFMREditMergeSlidesCommandId>);
  g_progress.Start(what);
}

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
    case kZuErrorNotFMR:
      throw CliError(notFMR + ": not a valid FMR movie" + unchanged, kExitNotFMR);
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

void PrintSlide(const OpenProjectSession& session, int number) {
  const ZuSlideBase* slide = session.Slide(number, "--slide");
  const ZuAnimationResource* resource = slide->GetAnimation();
  std::cout << "slide " << number << ": "
            << (resource ? resource->GetResourceName(nullptr).GetUTF8String() : std::string("-"))
            << ", " << slide->GetDuration().GetTime().GetValue() << " s\n";
}

}  // namespace

void SetEditProgressSink(IZuFMREditProgressEvent* sink) {
  g_progressSink = sink != nullptr ? sink : &g_progress;
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

void DeleteFramesOfSlide(const OpenProjectSession& session, const EditOptions& options) {
  PrivateTemporaryFolder temporaryFolder;
  ZuSlideBase* slide = FMRSlide(session, options, options.slide, "--slide");
  int64_t frames = 0;
  const FrameCut cut = SlideCut(slide, options, &frames);
  RefuseCutOfStopFrameOnly(cut, frames, SlideName(options, options.slide));
  RegisterProgressFactories("delete");
  const ZuErrorCodeEnum result =
      ZuFMREditUtils::FireDelFramesCommand(slide, ZuReal(options.start), ZuReal(options.length));
  g_progress.Finish();
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
  RegisterProgressFactories("insert");
  const ZuErrorCodeEnum result = ZuFMREditUtils::FireInsertSWFCommand(
      slide, ZuString(options.movie), other, ZuReal(options.at));
  g_progress.Finish();
  // The slide's own movie was checked above, so a movie refused as not FMR is the other one.
  ThrowForResult(result, options, "inserting the movie", otherName, slide, otherMovie, otherName);
}

void SplitSlide(const OpenProjectSession& session, const EditOptions& options) {
  PrivateTemporaryFolder temporaryFolder;
  ZuSlideBase* slide = FMRSlide(session, options, options.slide, "--slide");
  RegisterProgressFactories("split");
  const ZuErrorCodeEnum result = ZuFMREditUtils::FireSplitSWFCommand(slide, ZuReal(options.at));
  g_progress.Finish();
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
  RegisterProgressFactories("merge");
  const ZuErrorCodeEnum result = ZuFMREditUtils::FireMergeSWFCommand(slides);
  g_progress.Finish();
  ThrowForResult(result, options, "merging the slides", SlideName(options, options.slides.front()),
                 slides.front(), nullptr, "");
}

namespace {

// Runs one edit on the project file and shows the slides it changed.
void RunEdit(const EditOptions& options,
             void (*edit)(const OpenProjectSession&, const EditOptions&),
             const std::vector<int>& changed) {
  OpenProjectSession session(options.project, ZuProjectAccess::kReadWrite);
  edit(session, options);
  for (int number : changed) PrintSlide(session, number);
}

CLI::App* AddEdit(CLI::App& project, const char* name, const char* description,
                  EditOptions& options) {
  CLI::App* command = project.add_subcommand(name, description);
  command->add_option("PROJECT", options.project, "Project file (.fmrproj)")->required();
  return command;
}

}  // namespace

void AddProjectEditCommands(CLI::App& project) {
  auto options = std::make_shared<EditOptions>();

  CLI::App* remove =
      AddEdit(project, "delete", "Delete a time range from the movie of an FMR slide", *options);
  remove->add_option("--slide", options->slide, "Slide, from 1")->required();
  remove->add_option("--start", options->start, "Seconds from the start")
      ->required()
      ->check(SecondsOption());
  remove->add_option("--length", options->length, "Seconds to delete")
      ->required()
      ->check(SecondsOption());
  remove->callback([options] { RunEdit(*options, DeleteFramesOfSlide, {options->slide}); });

  CLI::App* insert = AddEdit(project, "insert",
                             "Insert another FMR movie into the movie of an FMR slide", *options);
  insert->add_option("--slide", options->slide, "Slide, from 1")->required();
  insert->add_option("--at", options->at, "Seconds from the start")
      ->required()
      ->check(SecondsOption());
  insert->add_option("--movie", options->movie, "FMR movie (SWF) to insert");
  insert->add_option("--resource-of", options->resourceOf, "Insert the movie of this slide");
  insert->callback([options] { RunEdit(*options, InsertIntoSlide, {options->slide}); });

  CLI::App* split = AddEdit(project, "split",
                            "Cut an FMR slide in two; a new slide shows the second part", *options);
  split->add_option("--slide", options->slide, "Slide, from 1")->required();
  split->add_option("--at", options->at, "Seconds from the start")
      ->required()
      ->check(SecondsOption());
  split->callback([options] {
    RunEdit(*options, SplitSlide, {options->slide, options->slide + 1});
  });

  CLI::App* merge = AddEdit(project, "merge",
                            "Append the movies of FMR slides to the first one's movie", *options);
  merge->add_option("--slides", options->slides, "Slides, from 1, in order (I,J,K)")
      ->required()
      ->delimiter(',');
  merge->callback([options] { RunEdit(*options, MergeSlides, {options->slides.front()}); });
}
