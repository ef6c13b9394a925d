// fmredit project: make and edit projects (*.fmrproj) of slides showing movies.

#include <unistd.h>
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/MediaOptions.h"
#include "cli/NumberOption.h"
#include "cli/OverlayOptions.h"
#include "cli/ProjectListing.h"
#include "cli/TimeOption.h"
#include "cli/VideoExport.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuSlideBase.h"
#include "media/formats/ZuVideoFormats.h"
#include "projectedit/OpenProjectSession.h"
#include "projectedit/ProjectExport.h"
#include "projectedit/ProjectHistory.h"
#include "projectedit/ProjectSlides.h"

namespace {

struct ProjectOptions : SlideOptions {
  std::string project;
  std::string output;
  double from = -1;  // the video export's time range and encoding
  double to = -1;
  std::string scale;
  int crf = -1;
  bool lossless = false;
  std::string maxSize;  // GIF and APNG: the largest file (SizeOption.h)
  OverlayOptions overlay;
  bool yes = false;  // purge without asking
};

void RunNew(const ProjectOptions& options) {
  std::string error;
  if (!ZuProject::Create(ZuString(std::string_view(options.project)), &error)) {
    throw CliError(options.project + ": cannot create the project: " + error);
  }
  std::cout << "created " << options.project << "\n";
}

void RunAdd(const ProjectOptions& options) {
  OpenProjectSession session(options.project, ZuProjectAccess::kReadWrite);
  const int number = AddSlideToProject(session, options);
  const ZuSlideBase* added = session.Slide(number, "--after");
  std::cout << "added slide " << number << " showing "
            << added->GetAnimation()->GetResourceName(nullptr).GetUTF8String() << " ("
            << added->GetDuration().GetTime().GetValue() << " s)\n";
}

void RunSet(const ProjectOptions& options) {
  OpenProjectSession session(options.project, ZuProjectAccess::kReadWrite);
  SetSlideMinimum(session, options);
  std::cout << "slide " << options.slide << ": minimum " << options.minimum << " s\n";
}

// Writes the video the options ask for: one slide's movie (or the time asked of it), or every
// slide in order with chapters, whose text goes to a file beside the video. The project is
// held only while the export is planned (the movies read); the encoding runs without it.
void ExportProjectVideo(const ProjectOptions& options, const ProjectExportRequest& request) {
  std::unique_ptr<ProjectExport> plan;
  {
    OpenProjectSession session(options.project, ZuProjectAccess::kReadOnly);
    if (session.IsProjectFile(options.output)) {
      throw CliError(options.output + ": is the project file itself", kExitUsage);
    }
    plan = std::make_unique<ProjectExport>(session, request);
  }
  for (const std::string& note : plan->Notes()) {
    std::cerr << "fmredit: " << note << "\n";
  }
  const ZuExportResult result = EncodeVideoOrThrow(
      [&](const ZuMediaProgress& progress) { return plan->Run(options.output, progress); });
  PrintVideoWritten(options.output, result, request.maxBytes);
  if (!request.slide) {
    const std::string chapters = ChaptersFileOf(options.output);
    plan->WriteChapters(chapters);
    std::cout << "wrote " << chapters << "\n";
  }
}

// Writes the movie a slide shows, as stored, to an SWF file.
void ExportSlideMovie(const ProjectOptions& options) {
  OpenProjectSession session(options.project, ZuProjectAccess::kReadOnly);
  const ZuAnimationResource* resource = session.Slide(options.slide, "--slide")->GetAnimation();
  if (resource == nullptr) {
    throw CliError(options.project + ": slide " + std::to_string(options.slide) +
                   " shows no movie");
  }
  if (session.IsProjectFile(options.output)) {
    throw CliError(options.output + ": is the project file itself", kExitUsage);
  }
  std::string error;
  if (!session.Project().ExportVersion(resource->GetVersionId(), options.output, &error)) {
    throw CliError(options.output + ": slide " + std::to_string(options.slide) + ": " + error);
  }
  std::cout << "wrote " << options.output << "\n";
}

void RunExport(const ProjectOptions& options, bool slideGiven) {
  const uint64_t maxBytes = MaxBytesFor(options.output, options.maxSize);
  if (!ZuIsVideoPath(options.output)) {
    if (!slideGiven) {
      throw CliError(options.output +
                         ": an SWF file takes one slide's movie; give --slide, or a "
                         "video file (" +
                         ZuVideoExtensions() + ") for the whole project",
                     kExitUsage);
    }
    if (options.from >= 0 || options.to >= 0 || !options.scale.empty() || options.crf >= 0 ||
        options.lossless || options.overlay.Choice() != ZuOverlayChoice{}) {
      throw CliError(
          "--from, --to, --scale, --crf, --lossless and the pointer options are for "
          "video files (" +
              ZuVideoExtensions() + ")",
          kExitUsage);
    }
    ExportSlideMovie(options);
    return;
  }
  if (!slideGiven && (options.from >= 0 || options.to >= 0)) {
    throw CliError("--from and --to take a time of one slide; give --slide", kExitUsage);
  }
  ProjectExportRequest request;
  if (slideGiven) {
    request.slide = options.slide;
  }
  if (options.from >= 0) {
    request.start = options.from;
  }
  if (options.to >= 0) {
    request.end = options.to;
  }
  if (!options.scale.empty()) {
    ParsePictureSize("--scale", options.scale, request.width, request.height);
  }
  request.crf = options.crf;
  request.lossless = options.lossless;
  request.maxBytes = maxBytes;
  request.overlay = options.overlay.Choice();
  ExportProjectVideo(options, request);
}

// Runs one change of the slide list and prints what it did.
void RunSlideChange(const ProjectOptions& options,
                    std::string (*change)(const OpenProjectSession&, const SlideOptions&)) {
  OpenProjectSession session(options.project, ZuProjectAccess::kReadWrite);
  std::cout << change(session, options) << "\n";
}

void RunStep(const ProjectOptions& options, bool undo) {
  OpenProjectSession session(options.project, ZuProjectAccess::kReadWrite);
  const int64_t state = StepProjectHistory(session, undo);
  std::cout << (undo ? "undone" : "redone") << ", now at state " << state << "\n";
}

// Purging cannot be undone: it asks on a terminal first, unless --yes says it is wanted.
void RunPurge(const ProjectOptions& options) {
  OpenProjectSession session(options.project, ZuProjectAccess::kReadWrite);
  const HistoryToPurge history = FindHistoryToPurge(session);
  if (!options.yes) {
    if (isatty(STDIN_FILENO) == 0) {
      throw CliError(
          "purge drops the project's history for good: give --yes to do it without "
          "being asked",
          kExitUsage);
    }
    std::cout << "Drop " << history.versions << " movie versions and " << history.states
              << " states of the history for good? Undo cannot bring them back. [y/N] "
              << std::flush;
    std::string answer;
    std::getline(std::cin, answer);
    if (answer != "y" && answer != "yes") {
      std::cout << "nothing dropped\n";
      return;
    }
  }
  std::cout << PurgeProjectHistory(session) << "\n";
}

CLI::App* AddProjectFile(CLI::App* command, ProjectOptions& options) {
  command->add_option("PROJECT", options.project, "Project file (.fmrproj)")->required();
  return command;
}

}  // namespace

void AddProjectCommand(CLI::App& app) {
  auto options = std::make_shared<ProjectOptions>();
  CLI::App* project = app.add_subcommand(
      "project", "Make and edit projects: slides in order, each showing a stored movie");
  project->require_subcommand(1);

  CLI::App* make =
      AddProjectFile(project->add_subcommand("new", "Create an empty project"), *options);
  make->callback([options] { RunNew(*options); });

  CLI::App* add = AddProjectFile(
      project->add_subcommand("add", "Add a slide showing a movie (slides are counted from 1)"),
      *options);
  add->add_option("MOVIE", options->movie, "SWF movie, stored in the project as a new resource");
  add->add_option("--name", options->name, "Resource name (default: the movie's file name)");
  add->add_option("--after", options->after, "Put the new slide after this slide (0: first)")
      ->check(WholeNumberOption());
  add->add_option("--share", options->share, "Show the movie of this slide instead of a file")
      ->check(WholeNumberOption());
  add->callback([options] { RunAdd(*options); });

  CLI::App* list = AddProjectFile(project->add_subcommand("list", "List the slides"), *options);
  list->callback([options] { RunProjectList(options->project); });

  CLI::App* set = AddProjectFile(
      project->add_subcommand("set", "Set a slide's minimum duration (its other content's length)"),
      *options);
  set->add_option("--slide", options->slide, "Slide, from 1")
      ->check(WholeNumberOption())
      ->required();
  set->add_option("--min-duration", options->minimum, "Seconds")
      ->required()
      ->check(SecondsOption());
  set->callback([options] { RunSet(*options); });

  CLI::App* exporting =
      AddProjectFile(project->add_subcommand(
                         "export", "Write the project as a video (" + ZuVideoExtensions() +
                                       "): every slide in order, with chapters, or one slide; or "
                                       "write the movie a slide shows to an SWF file"),
                     *options);
  CLI::Option* slide =
      exporting
          ->add_option("--slide", options->slide,
                       "Slide, from 1 (needed for an SWF file; default: every slide)")
          ->check(WholeNumberOption());
  exporting
      ->add_option("-o,--output", options->output,
                   "Video file (" + ZuVideoExtensions() + ") or SWF file to write")
      ->required();
  AddTimeRangeOptions(*exporting, options->from, options->to);
  AddVideoOptions(*exporting, options->scale, options->crf, options->lossless, options->maxSize);
  AddOverlayOptions(*exporting, options->overlay);
  exporting->callback([options, slide] { RunExport(*options, slide->count() > 0); });

  CLI::App* remove = AddProjectFile(
      project->add_subcommand("remove", "Remove a slide (a movie other slides share stays)"),
      *options);
  remove->add_option("--slide", options->slide, "Slide, from 1")
      ->check(WholeNumberOption())
      ->required();
  remove->callback([options] { RunSlideChange(*options, RemoveSlide); });

  CLI::App* move =
      AddProjectFile(project->add_subcommand("move", "Move a slide to another place"), *options);
  move->add_option("--slide", options->slide, "Slide, from 1")
      ->check(WholeNumberOption())
      ->required();
  move->add_option("--to", options->position, "The place it ends at, from 1")
      ->check(WholeNumberOption())
      ->required();
  move->callback([options] { RunSlideChange(*options, MoveSlide); });

  CLI::App* rename =
      AddProjectFile(project->add_subcommand(
                         "rename", "Rename a slide (slides sharing its movie show the name too)"),
                     *options);
  rename->add_option("--slide", options->slide, "Slide, from 1")
      ->check(WholeNumberOption())
      ->required();
  rename->add_option("--name", options->name, "The new name")->required();
  rename->callback([options] { RunSlideChange(*options, RenameSlide); });

  CLI::App* undo =
      AddProjectFile(project->add_subcommand("undo", "Undo the last change"), *options);
  undo->callback([options] { RunStep(*options, true); });
  CLI::App* redo =
      AddProjectFile(project->add_subcommand("redo", "Redo the last undone change"), *options);
  redo->callback([options] { RunStep(*options, false); });

  CLI::App* log =
      AddProjectFile(project->add_subcommand("log", "List the project's changes"), *options);
  log->callback([options] { RunProjectLog(options->project); });

  CLI::App* info = AddProjectFile(
      project->add_subcommand("info", "Show the project's size against full copies of its movies"),
      *options);
  info->callback([options] { RunProjectInfo(options->project); });

  CLI::App* purge = AddProjectFile(
      project->add_subcommand("purge",
                              "Drop the history for good: every version and state the current "
                              "slides do not need, with their bytes"),
      *options);
  purge->add_flag("--yes", options->yes, "Do not ask first");
  purge->callback([options] { RunPurge(*options); });

  AddProjectEditCommands(*project);
  AddProjectPointerCommands(*project);
}
