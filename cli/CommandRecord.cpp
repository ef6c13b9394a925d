#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/EditedOutput.h"
#include "cli/FrameProgress.h"
#include "cli/MediaOptions.h"
#include "cli/MovieLoading.h"
#include "cli/NumberOption.h"
#include "host/image/ZuImage.h"
#include "host/image/ZuPng.h"
#include "host/swf/ZuTavoFile.h"
#include "recorder/ZuFmrRecorder.h"

namespace {

struct RecordOptions {
  std::string output;
  int frameRate = 15;
  int depth = 32;
  int blockFrames = ZuBlockPolicy::kDefaultMaxPictures;
  int level = ZuFmrRecorderOptions::kDefaultCompressionLevel;
  std::string rawSize;
  std::vector<std::string> frames;
};

constexpr const char* kStandardInput = "standard input";

// The PNG files to record, in order: each argument is a file, or a folder standing for its
// *.png files sorted by name.
std::vector<std::string> ListFrameFiles(const std::vector<std::string>& arguments) {
  std::vector<std::string> files;
  for (const std::string& argument : arguments) {
    std::error_code error;
    if (!std::filesystem::is_directory(argument, error)) {
      files.push_back(argument);
      continue;
    }
    std::vector<std::string> inFolder;
    for (const auto& entry : std::filesystem::directory_iterator(argument, error)) {
      const std::filesystem::path& path = entry.path();
      if (path.extension() == ".png" || path.extension() == ".PNG") {
        inFolder.push_back(path.string());
      }
    }
    if (error) {
      throw CliError(argument + ": cannot list the folder: " + error.message());
    }
    if (inFolder.empty()) {
      throw CliError(argument + ": the folder holds no .png files");
    }
    std::sort(inFolder.begin(), inFolder.end());
    files.insert(files.end(), inFolder.begin(), inFolder.end());
  }
  return files;
}

std::unique_ptr<ZuFmrRecorder> MakeRecorder(const RecordOptions& options, int width, int height) {
  ZuFmrRecorderOptions settings;
  settings.width = width;
  settings.height = height;
  settings.frameRate = options.frameRate;
  settings.depth = options.depth;
  settings.compressionLevel = options.level;
  settings.blockPolicy =
      ZuBlockPolicy(options.blockFrames, ZuBlockPolicy::kDefaultNewBlockFraction);
  std::string error;
  std::unique_ptr<ZuFmrRecorder> recorder = ZuFmrRecorder::Create(settings, &error);
  if (!recorder) {
    throw CliError(options.output + ": " + error, kExitUsage);
  }
  return recorder;
}

void AddFrameOrThrow(ZuFmrRecorder& recorder, const ZuImage& frame, const std::string& source,
                     FrameProgress& progress) {
  if (!recorder.AddFrame(frame)) {
    throw CliError(source + ": " + recorder.GetLastError());
  }
  progress.Step();
}

std::unique_ptr<ZuTavoFile> RecordPngFiles(const RecordOptions& options) {
  const std::vector<std::string> files = ListFrameFiles(options.frames);
  RefuseWritingOverInputs(options.output, files, false, false);
  std::unique_ptr<ZuFmrRecorder> recorder;
  FrameProgress progress("recorded");
  for (const std::string& file : files) {
    std::string error;
    std::unique_ptr<ZuImage> frame = ZuPng::Read(file, &error);
    if (!frame) {
      throw CliError(std::string(file).append(": ").append(error));
    }
    if (!recorder) {
      recorder = MakeRecorder(options, frame->GetWidth(), frame->GetHeight());
    }
    AddFrameOrThrow(*recorder, *frame, file, progress);
  }
  progress.Finish();
  return recorder->Finish();
}

// Reads up to count bytes; fewer only at the end of the input.
size_t ReadFully(std::FILE* input, uint8_t* buffer, size_t count) {
  size_t got = 0;
  while (got < count) {
    const size_t n = std::fread(buffer + got, 1, count - got, input);
    if (n == 0) {
      break;
    }
    got += n;
  }
  return got;
}

std::unique_ptr<ZuTavoFile> RecordRawInput(const RecordOptions& options) {
  int width = 0;
  int height = 0;
  ParsePictureSize("--raw", options.rawSize, width, height);
  std::unique_ptr<ZuFmrRecorder> recorder = MakeRecorder(options, width, height);
  ZuImage frame(width, height);
  FrameProgress progress("recorded");
  for (;;) {
    const size_t got = ReadFully(stdin, frame.GetBuffer(), frame.GetBuffSize());
    if (std::ferror(stdin)) {
      throw CliError(std::string(kStandardInput) + ": read error");
    }
    if (got == 0) {
      break;
    }
    if (got < frame.GetBuffSize()) {
      throw CliError(std::string(kStandardInput) +
                     ": the last frame is cut short: " + std::to_string(got) + " of " +
                     std::to_string(frame.GetBuffSize()) + " bytes (" + options.rawSize + " RGBA)");
    }
    AddFrameOrThrow(*recorder, frame, kStandardInput, progress);
  }
  progress.Finish();
  if (recorder->GetFrameCount() == 0) {
    throw CliError(std::string(kStandardInput) + ": no frames: the input is empty");
  }
  return recorder->Finish();
}

void RunRecord(const RecordOptions& options) {
  const bool raw = !options.rawSize.empty();
  if (raw == !options.frames.empty()) {
    throw CliError(raw ? "give either PNG frames or --raw WxH, not both"
                       : "no frames: give PNG files, a folder of them, or --raw WxH",
                   kExitUsage);
  }
  std::unique_ptr<ZuTavoFile> movie = raw ? RecordRawInput(options) : RecordPngFiles(options);
  if (!movie) {
    throw CliError(options.output + ": the recording could not be finished");
  }
  WriteMovieOrThrow(*movie, options.output);
}

}  // namespace

void AddRecordCommand(CLI::App& app) {
  auto options = std::make_shared<RecordOptions>();
  CLI::App* command = app.add_subcommand(
      "record", "Record PNG frames, or raw RGBA frames from standard input, as an FMR movie");
  command->add_option("FRAMES", options->frames,
                      "PNG files in order, or folders whose *.png files are taken sorted by name");
  command->add_option("-o,--output", options->output, "SWF file to write (- for standard output)")
      ->required();
  AddFrameRateOption(*command, options->frameRate)->required();
  AddDepthOption(*command, options->depth);
  command
      ->add_option("--block-frames", options->blockFrames,
                   "Most pictures in a key-frame block, its full picture included")
      ->check(WholeNumberOption(1, ZuBlockPolicy::kLargestMaxPictures))
      ->capture_default_str();
  command
      ->add_option("--level", options->level,
                   "zlib level of the pictures: 1 (fastest) to 12 (smallest)")
      ->check(WholeNumberOption(1, 12))
      ->capture_default_str();
  command->add_option("--raw", options->rawSize,
                      "Read raw RGBA frames of WIDTHxHEIGHT pixels from standard input");
  command->callback([options] { RunRecord(*options); });
}
