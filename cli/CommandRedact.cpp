// fmredit redact: a rectangle of a range of frames covered with a plain colour, written to a new
// movie the way the other file edits write theirs.

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>

#include "cli/Commands.h"
#include "cli/EditedOutput.h"
#include "cli/MovieLoading.h"
#include "cli/RedactOptions.h"
#include "engine/ZuFMRTavoFile.h"
#include "projectedit/SlideRedaction.h"
#include "redact/RedactArea.h"

namespace {

struct RedactFileOptions : RedactCliOptions {
  std::string input;
  std::string output;
  bool inPlace = false;
};

void RunRedact(const RedactFileOptions& options) {
  const RedactOptions redact = options.Options(0);
  RefuseWritingOverInputs(options.output, {options.input}, options.inPlace);
  const std::unique_ptr<ZuFMRTavoFile> movie = LoadEditableMovieOrThrow(options.input);
  const RedactArea area = CheckedRedactArea(options.input, *movie, redact);
  RedactMovie(options.input, *movie, area);
  PendingOutput written(options.output);
  WriteMovieOrThrow(*movie, written.Path());
  written.Commit();
  std::cerr << "fmredit: filled " << RectangleText(area) << " in frames " << area.firstFrame
            << " to " << area.lastFrame << "\n";
}

}  // namespace

void AddRedactCommand(CLI::App& app) {
  auto options = std::make_shared<RedactFileOptions>();
  CLI::App* command = app.add_subcommand(
      "redact", "Cover a rectangle of an FMR movie with a plain colour in a range of frames");
  command->add_option("IN", options->input, "FMR movie (SWF) to read")->required();
  command->add_option("-o,--output", options->output, "SWF file to write")->required();
  AddRedactOptions(*command, *options);
  command->add_flag("--in-place", options->inPlace,
                    "Allow OUT to be IN (a new file is written, then renamed over IN)");
  command->callback([options] { RunRedact(*options); });
}
