#pragma once

#include <string>

namespace CLI {
class App;
}

// The options the video commands share, and how they become frames and sizes.

// --from S and --to S on command, into from and to (seconds; negative when not given).
void AddTimeRangeOptions(CLI::App& command, double& from, double& to);

// "640x400" as a picture size; throws CliError (wrong arguments) naming option otherwise.
void ParsePictureSize(const std::string& option, const std::string& text, int& width, int& height);
