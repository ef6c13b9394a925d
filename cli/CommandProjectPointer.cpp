// fmredit project pointer / keys / remove-key: how a slide shows its recorded pointer and
// keys, and its key presses listed and taken out.

#include <CLI/CLI.hpp>
#include <iomanip>
#include <iostream>
#include <memory>
#include <string>

#include "cli/Commands.h"
#include "cli/NumberOption.h"
#include "cli/OverlayOptions.h"
#include "projectedit/OpenProjectSession.h"
#include "projectedit/SlidePointer.h"
#include "projectedit/TimeInMovie.h"

namespace {

struct PointerOptions {
  std::string project;
  int slide = 0;
  int frame = 0;
  int index = 0;
  OverlayOptions overlay;
};

// The slide's pointer and keys; false, after saying so, when its movie has none.
bool ReadRecorded(const OpenProjectSession& session, int slide, SlidePointer& read) {
  read = ReadSlidePointer(session, slide);
  if (!read.recorded) {
    std::cout << "slide " << slide << ": no recorded pointer or keys\n";
  }
  return read.recorded;
}

// With no option given, prints the slide's settings; otherwise changes them.
void RunPointer(const PointerOptions& options) {
  const ZuOverlayChoice choice = options.overlay.Choice();
  if (choice == ZuOverlayChoice{}) {
    OpenProjectSession session(options.project, ZuProjectAccess::kReadOnly);
    SlidePointer read;
    if (ReadRecorded(session, options.slide, read)) {
      std::cout << "slide " << options.slide << ": " << OverlaySettingsText(read.settings) << "\n";
    }
    return;
  }
  OpenProjectSession session(options.project, ZuProjectAccess::kReadWrite);
  std::cout << SetSlideOverlay(session, options.slide, choice) << "\n";
}

void RunKeys(const PointerOptions& options) {
  OpenProjectSession session(options.project, ZuProjectAccess::kReadOnly);
  SlidePointer read;
  if (!ReadRecorded(session, options.slide, read)) {
    return;
  }
  std::cout << " frame      time  index  key\n";
  for (const SlideKeyPress& press : read.keyPresses) {
    std::cout << std::setw(6) << press.frame << std::setw(10) << SecondsText(press.seconds)
              << std::setw(7) << press.index << "  " << press.key << "\n";
  }
  std::cout << read.keyPresses.size() << " key presses\n";
}

void RunRemoveKey(const PointerOptions& options) {
  OpenProjectSession session(options.project, ZuProjectAccess::kReadWrite);
  std::cout << RemoveSlideKeyPress(session, options.slide, options.frame, options.index) << "\n";
}

CLI::App* AddSlideCommand(CLI::App& project, const char* name, const char* description,
                          PointerOptions& options) {
  CLI::App* command = project.add_subcommand(name, description);
  command->add_option("PROJECT", options.project, "Project file (.fmrproj)")->required();
  command->add_option("--slide", options.slide, "Slide, from 1")
      ->check(WholeNumberOption())
      ->required();
  return command;
}

}  // namespace

void AddProjectPointerCommands(CLI::App& project) {
  auto options = std::make_shared<PointerOptions>();

  CLI::App* pointer = AddSlideCommand(
      project, "pointer",
      "Set how an FMR slide shows its recorded pointer, clicks and keys (every slide sharing "
      "its movie shows the same); with no option, print the settings",
      *options);
  AddOverlayOptions(*pointer, options->overlay);
  pointer->callback([options] { RunPointer(*options); });

  CLI::App* keys =
      AddSlideCommand(project, "keys", "List the key presses recorded in an FMR slide", *options);
  keys->callback([options] { RunKeys(*options); });

  CLI::App* removeKey = AddSlideCommand(
      project, "remove-key",
      "Take one recorded key press out of an FMR slide (a typed password, say); the original "
      "stays in the history until project purge",
      *options);
  removeKey->add_option("--frame", options->frame, "The key press's frame, from 1 (see keys)")
      ->check(WholeNumberOption())
      ->required();
  removeKey->add_option("--index", options->index, "Which key press of the frame, from 1")
      ->check(WholeNumberOption())
      ->required();
  removeKey->callback([options] { RunRemoveKey(*options); });
}
