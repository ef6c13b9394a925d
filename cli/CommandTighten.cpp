#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "cli/Commands.h"
#include "cli/RetimeOptions.h"
#include "cli/RetimedMovie.h"
#include "cli/TimeOption.h"
#include "engine/ZuFMRTavoFile.h"
#include "projectedit/MovieTiming.h"

namespace {

struct TightenFileOptions {
  std::string input;
  std::string output;
  double maxIdle = 0;
  StillRuleOptions still;
  bool inPlace = false;
};

void RunTighten(const TightenFileOptions& options) {
  const StillRule rule = options.still.Rule();
  RetimeMovieFile(options.input, options.output, options.inPlace, [&](ZuFMRTavoFile& movie) {
    const int dropped = TightenMovie(options.input, movie, options.maxIdle, rule);
    return RemovedFramesText(dropped, "still frames", movie.GetFrameRate());
  });
}

}  // namespace

void AddTightenCommand(CLI::App& app) {
  auto options = std::make_shared<TightenFileOptions>();
  CLI::App* command =
      app.add_subcommand("tighten", "Cut every still stretch of an FMR movie to its first seconds");
  command->add_option("IN", options->input, "FMR movie (SWF) to read")->required();
  command->add_option("-o,--output", options->output, "SWF file to write")->required();
  command
      ->add_option("--max-idle", options->maxIdle,
                   "Seconds a still stretch may last (0: every still frame goes)")
      ->required()
      ->check(SecondsOption());
  AddStillRuleOptions(*command, options->still);
  command->add_flag("--in-place", options->inPlace,
                    "Allow OUT to be IN (a new file is written, then renamed over IN)");
  command->callback([options] { RunTighten(*options); });
}
