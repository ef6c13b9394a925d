#pragma once

#include <cstdint>
#include <string>

namespace CLI {
class App;
class Option;
}  // namespace CLI

// The options the recording and video commands share, and how they become frames and sizes.

// --depth 32|16 on command, into depth (bits per pixel of the recorded pictures).
void AddDepthOption(CLI::App& command, int& depth);
// --fps on command, into rate: a whole number of frames per second, as SWF movies have; note:
// more words for the help, or empty.
CLI::Option* AddFrameRateOption(CLI::App& command, int& rate, const std::string& note = "");

// --from S and --to S on command, into from and to (seconds; negative when not given).
void AddTimeRangeOptions(CLI::App& command, double& from, double& to);

// --scale WIDTHxHEIGHT, --crf, --lossless and --max-size of the video exports on command, into
// scale, crf (-1 when not given), lossless and maxSize (a file size, SizeOption.h; empty when
// not given).
void AddVideoOptions(CLI::App& command, std::string& scale, int& crf, bool& lossless,
                     std::string& maxSize);

// The bytes of the --max-size given for an export to output; 0 when none was. Throws CliError
// (wrong arguments) when output is of a type that cannot keep to a size (ZuTakesSizeLimit).
uint64_t MaxBytesFor(const std::string& output, const std::string& maxSize);

// "640x400" as a picture size; throws CliError (wrong arguments) naming option otherwise.
void ParsePictureSize(const std::string& option, const std::string& text, int& width, int& height);

// X11 screen coordinates are signed 16-bit numbers.
constexpr int kMaxScreenCoordinate = 32767;
// "640x400+10+20" as a region of the screen; throws CliError (wrong arguments) naming option
// otherwise. Sides are 1 to the largest stage side, X and Y 0 to kMaxScreenCoordinate, so the
// region's far edges are computed without overflow.
void ParseScreenRegion(const std::string& option, const std::string& text, int& width, int& height,
                       int& x, int& y);
