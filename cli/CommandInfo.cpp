#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>

#include "cli/Commands.h"
#include "cli/MovieLoading.h"
#include "cli/MovieSummary.h"

namespace {

struct InfoOptions {
  std::string file;
  bool json = false;
};

void RunInfo(const InfoOptions& options) {
  std::unique_ptr<ZuTavoFile> movie = LoadMovieOrThrow(options.file);
  const MovieSummary summary = SummarizeMovie(options.file, *movie);
  std::cout << (options.json ? FormatSummaryJson(summary) : FormatSummaryText(summary));
}

}  // namespace

void AddInfoCommand(CLI::App& app) {
  auto options = std::make_shared<InfoOptions>();
  CLI::App* command = app.add_subcommand(
      "info", "Show an SWF movie's header, frame count, duration, tags and whether it is FMR");
  command->add_option("FILE", options->file, "SWF file")->required();
  command->add_flag("--json", options->json, "Print the same as JSON");
  command->callback([options] { RunInfo(*options); });
}
