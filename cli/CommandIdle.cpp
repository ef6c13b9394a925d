#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/EditedOutput.h"
#include "cli/JsonText.h"
#include "cli/RetimeOptions.h"
#include "cli/TimeOption.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/util/ZuFrameTime.h"
#include "projectedit/MovieTiming.h"
#include "projectedit/TimeInMovie.h"

namespace {

struct IdleOptions {
  std::string input;
  double longerThan = 1;
  StillRuleOptions still;
  bool json = false;
};

// The stretches found, with what the listing needs to time them.
struct IdleListing {
  unsigned rate = 0;
  int frames = 0;
  double longerThan = 0;
  std::vector<StillStretch> stretches;

  double Seconds(int64_t count) const { return ZuFrameTime::FramesToSeconds(count, rate); }
};

std::string JsonListing(const IdleListing& listing) {
  std::ostringstream out;
  out << "{\"frameRate\": " << listing.rate << ", \"frameCount\": " << listing.frames
      << ", \"stretches\": [";
  const char* separator = "";
  for (const StillStretch& s : listing.stretches) {
    out << separator << "\n  {\"first\": " << s.first << ", \"last\": " << s.last
        << ", \"start\": " << NumberText(listing.Seconds(s.first - 1))
        << ", \"end\": " << NumberText(listing.Seconds(s.last))
        << ", \"length\": " << NumberText(listing.Seconds(s.Count())) << "}";
    separator = ",";
  }
  out << (listing.stretches.empty() ? "" : "\n") << "]}\n";
  return out.str();
}

// One line a stretch, then how many there are and how long they last in all.
std::string TextListing(const IdleListing& listing) {
  std::ostringstream out;
  int stillFrames = 0;
  for (const StillStretch& s : listing.stretches) {
    out << LengthText(listing.Seconds(s.first - 1)) << " to " << LengthText(listing.Seconds(s.last))
        << "  " << SecondsText(listing.Seconds(s.Count())) << "  frames " << s.first << " to "
        << s.last << "\n";
    stillFrames += s.Count();
  }
  const size_t count = listing.stretches.size();
  out << count << (count == 1 ? " still stretch" : " still stretches") << " longer than "
      << SecondsText(listing.longerThan) << ", " << SecondsText(listing.Seconds(stillFrames))
      << " in all, in a movie of " << LengthText(listing.Seconds(listing.frames)) << "\n";
  return out.str();
}

void RunIdle(const IdleOptions& options) {
  const StillRule rule = options.still.Rule();
  const std::unique_ptr<ZuFMRTavoFile> movie = LoadEditableMovieOrThrow(options.input);
  IdleListing listing;
  listing.rate = movie->GetFrameRate();
  listing.frames = movie->GetFrameCount();
  listing.longerThan = options.longerThan;
  const std::vector<bool> still = CheckedStillFrames(options.input, *movie, rule);
  listing.stretches =
      StillStretches(still, ZuFrameTime::SecondsToFrames(options.longerThan, listing.rate));
  std::cout << (options.json ? JsonListing(listing) : TextListing(listing));
}

}  // namespace

void AddIdleCommand(CLI::App& app) {
  auto options = std::make_shared<IdleOptions>();
  CLI::App* command = app.add_subcommand(
      "idle", "List the still stretches of an FMR movie (frames that change nothing)");
  command->add_option("IN", options->input, "FMR movie (SWF) to read")->required();
  command
      ->add_option("--longer-than", options->longerThan,
                   "List the stretches longer than these seconds")
      ->check(SecondsOption())
      ->capture_default_str();
  AddStillRuleOptions(*command, options->still);
  command->add_flag("--json", options->json, "Print the stretches as JSON");
  command->callback([options] { RunIdle(*options); });
}
