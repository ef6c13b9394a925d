#pragma once

#include <optional>
#include <string>

#include "projectedit/SlideRedaction.h"

namespace CLI {
class App;
}

// The options of redact, for the file command and the project command alike: --rect
// WxH+X+Y, the range as --from and --to (seconds) or --frames A-B, and --fill #RRGGBB.
struct RedactCliOptions {
  std::string rect;
  std::optional<double> from, to;
  std::string frames;
  std::string fill = "#808080";

  // What they ask for, for slide (0 for a file); throws CliError (wrong arguments) for a
  // rectangle, range or colour that is not one. That they fit the movie is the edit's check.
  RedactOptions Options(int slide) const;
};

void AddRedactOptions(CLI::App& command, RedactCliOptions& options);
