#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "projectedit/MovieTiming.h"
#include "retime/StillFrames.h"

namespace CLI {
class App;
}

// The options of the timing edits, for the file commands and the project commands alike.

// The options that say which changes leave a frame still, as idle and tighten (of a file and
// of a project's slide) take them: --ignore WxH+X+Y, as often as needed, and
// --ignore-smaller-than PIXELS.
struct StillRuleOptions {
  std::vector<std::string> ignore;
  int ignoreSmallerThan = 0;

  // The rule they give; throws CliError (wrong arguments) for a region that is not one. That
  // it lies on the stage is the edit's check (MovieTiming.h).
  StillRule Rule() const;
};

void AddStillRuleOptions(CLI::App& command, StillRuleOptions& options);

// --from, --to and --factor or --length (not both) of speed, into range.
void AddSpeedRangeOptions(CLI::App& command, SpeedRange& range);
