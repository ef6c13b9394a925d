// fmredit project delete / insert / split / merge / tighten / speed / redact: the FMR edits on the
// slides of a project.

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "cli/Commands.h"
#include "cli/EditProgressBar.h"
#include "cli/NumberOption.h"
#include "cli/RedactOptions.h"
#include "cli/RetimeOptions.h"
#include "cli/TimeOption.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuSlideBase.h"
#include "projectedit/OpenProjectSession.h"
#include "projectedit/ProjectEdits.h"
#include "projectedit/SlideRedaction.h"
#include "projectedit/SlideTiming.h"

namespace {

struct ProjectEditOptions : EditOptions {
  std::string project;
  double maxIdle = 0;
  StillRuleOptions still;
  SpeedRange range;
  RedactCliOptions redact;
};

void PrintSlide(const OpenProjectSession& session, int number) {
  const ZuSlideBase* slide = session.Slide(number, "--slide");
  const ZuAnimationResource* resource = slide->GetAnimation();
  std::cout << "slide " << number << ": "
            << (resource ? resource->GetResourceName(nullptr).GetUTF8String() : std::string("-"))
            << ", " << slide->GetDuration().GetTime().GetValue() << " s\n";
}

// Runs one edit on the project file, its progress on the status line, and shows the slides
// it changed; the edit returns nothing or words for the user, which go to notes (a warning
// on standard error unless another stream is given).
template <class Edit>
void RunEdit(const ProjectEditOptions& options, const char* name, Edit edit,
             const std::vector<int>& changed, std::ostream& notes = std::cerr) {
  OpenProjectSession session(options.project, ZuProjectAccess::kReadWrite);
  std::string note;
  {
    EditProgressBar bar(name);
    if constexpr (std::is_void_v<decltype(edit(session, options))>) {
      edit(session, options);
    } else {
      note = edit(session, options);
    }
  }
  for (int number : changed) PrintSlide(session, number);
  if (!note.empty()) {
    notes << (&notes == &std::cerr ? "fmredit: " : "") << note << "\n";
  }
}

CLI::App* AddEdit(CLI::App& project, const char* name, const char* description,
                  ProjectEditOptions& options) {
  CLI::App* command = project.add_subcommand(name, description);
  command->add_option("PROJECT", options.project, "Project file (.fmrproj)")->required();
  return command;
}

}  // namespace

void AddProjectEditCommands(CLI::App& project) {
  auto options = std::make_shared<ProjectEditOptions>();

  CLI::App* remove =
      AddEdit(project, "delete", "Delete a time range from the movie of an FMR slide", *options);
  remove->add_option("--slide", options->slide, "Slide, from 1")
      ->check(WholeNumberOption())
      ->required();
  remove->add_option("--start", options->start, "Seconds from the start")
      ->required()
      ->check(SecondsOption());
  remove->add_option("--length", options->length, "Seconds to delete")
      ->required()
      ->check(SecondsOption());
  remove->callback(
      [options] { RunEdit(*options, "delete", DeleteFramesOfSlide, {options->slide}); });

  CLI::App* insert = AddEdit(project, "insert",
                             "Insert another FMR movie into the movie of an FMR slide", *options);
  insert->add_option("--slide", options->slide, "Slide, from 1")
      ->check(WholeNumberOption())
      ->required();
  insert->add_option("--at", options->at, "Seconds from the start")
      ->required()
      ->check(SecondsOption());
  insert->add_option("--movie", options->movie, "FMR movie (SWF) to insert");
  insert->add_option("--resource-of", options->resourceOf, "Insert the movie of this slide")
      ->check(WholeNumberOption());
  insert->callback([options] { RunEdit(*options, "insert", InsertIntoSlide, {options->slide}); });

  CLI::App* split = AddEdit(project, "split",
                            "Cut an FMR slide in two; a new slide shows the second part", *options);
  split->add_option("--slide", options->slide, "Slide, from 1")
      ->check(WholeNumberOption())
      ->required();
  split->add_option("--at", options->at, "Seconds from the start")
      ->required()
      ->check(SecondsOption());
  split->callback([options] {
    RunEdit(*options, "split", SplitSlide, {options->slide, options->slide + 1});
  });

  CLI::App* merge = AddEdit(project, "merge",
                            "Append the movies of FMR slides to the first one's movie", *options);
  merge->add_option("--slides", options->slides, "Slides, from 1, in order (I,J,K)")
      ->check(WholeNumberOption())
      ->required()
      ->delimiter(',');
  merge->callback(
      [options] { RunEdit(*options, "merge", MergeSlides, {options->slides.front()}, std::cout); });

  CLI::App* tighten =
      AddEdit(project, "tighten",
              "Cut every still stretch of an FMR slide's movie to its first seconds", *options);
  tighten->add_option("--slide", options->slide, "Slide, from 1")
      ->check(WholeNumberOption())
      ->required();
  tighten->add_option("--max-idle", options->maxIdle, "Seconds a still stretch may last")
      ->required()
      ->check(SecondsOption());
  AddStillRuleOptions(*tighten, options->still);
  tighten->callback([options] {
    const auto edit = [](const OpenProjectSession& session, const ProjectEditOptions& o) {
      return TightenSlide(session,
                          {.slide = o.slide, .maxIdle = o.maxIdle, .rule = o.still.Rule()});
    };
    RunEdit(*options, "tighten", edit, {options->slide}, std::cout);
  });

  CLI::App* speed =
      AddEdit(project, "speed", "Play a range of an FMR slide's movie faster by leaving frames out",
              *options);
  speed->add_option("--slide", options->slide, "Slide, from 1")
      ->check(WholeNumberOption())
      ->required();
  AddSpeedRangeOptions(*speed, options->range);
  speed->callback([options] {
    const auto edit = [](const OpenProjectSession& session, const ProjectEditOptions& o) {
      return SpeedUpSlide(session, {.slide = o.slide,
                                    .from = o.range.from,
                                    .to = o.range.to,
                                    .factor = o.range.factor,
                                    .length = o.range.length});
    };
    RunEdit(*options, "speed", edit, {options->slide}, std::cout);
  });

  CLI::App* redact = AddEdit(
      project, "redact",
      "Cover a rectangle of a range of an FMR slide's movie with a plain colour (the original "
      "stays in the history until project purge)",
      *options);
  redact->add_option("--slide", options->slide, "Slide, from 1")
      ->check(WholeNumberOption())
      ->required();
  AddRedactOptions(*redact, options->redact);
  redact->callback([options] {
    const auto edit = [](const OpenProjectSession& session, const ProjectEditOptions& o) {
      return RedactSlide(session, o.redact.Options(o.slide));
    };
    RunEdit(*options, "redact", edit, {options->slide}, std::cout);
  });
}
