#include "cli/RetimeOptions.h"

#include <CLI/CLI.hpp>
#include <climits>

#include "cli/MediaOptions.h"
#include "cli/NumberOption.h"
#include "cli/TimeOption.h"

StillRule StillRuleOptions::Rule() const {
  StillRule rule;
  rule.ignoreSmallerThan = ignoreSmallerThan;
  for (const std::string& text : ignore) {
    int width = 0, height = 0, x = 0, y = 0;
    ParseScreenRegion("--ignore", text, width, height, x, y);
    rule.ignore.push_back({x, y, x + width, y + height});
  }
  return rule;
}

void AddStillRuleOptions(CLI::App& command, StillRuleOptions& options) {
  command.add_option("--ignore", options.ignore,
                     "A region whose changes leave a frame still (a clock), WIDTHxHEIGHT+X+Y; "
                     "may be repeated");
  command
      .add_option("--ignore-smaller-than", options.ignoreSmallerThan,
                  "Changes of fewer pixels than this leave a frame still (a blinking caret)")
      ->check(WholeNumberOption(0, INT_MAX));
}

void AddSpeedRangeOptions(CLI::App& command, SpeedRange& range) {
  command.add_option("--from", range.from, "Start of the range, in seconds")
      ->required()
      ->check(SecondsOption());
  command.add_option("--to", range.to, "End of the range, in seconds")
      ->required()
      ->check(SecondsOption());
  CLI::Option* factor =
      command.add_option("--factor", range.factor, "Show every K-th frame of the range (K >= 1)")
          ->check(FactorOption());
  CLI::Option* length =
      command.add_option("--length", range.length, "Show as many frames as fill these seconds")
          ->check(SecondsOption());
  factor->excludes(length);
}
