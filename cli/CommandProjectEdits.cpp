// fmredit project delete / insert / split / merge: the FMR edits on the slides of a project.

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/CommandProjectSession.h"
#include "cli/Commands.h"
#include "cli/ProjectEdits.h"
#include "cli/TimeOption.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuSlideBase.h"

namespace {

void PrintSlide(const OpenProjectSession& session, int number) {
  const ZuSlideBase* slide = session.Slide(number, "--slide");
  const ZuAnimationResource* resource = slide->GetAnimation();
  std::cout << "slide " << number << ": "
            << (resource ? resource->GetResourceName(nullptr).GetUTF8String() : std::string("-"))
            << ", " << slide->GetDuration().GetTime().GetValue() << " s\n";
}

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
