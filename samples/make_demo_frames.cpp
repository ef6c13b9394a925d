// make_demo_frames: writes the frames of the demo screen recording, the same on every run.
//
//   make_demo_frames [--size WxH] [--frames N] [--png DIR]
//
// Without --png the frames go to standard output as raw RGBA, one after another (what
// `fmredit record --raw WxH` reads); with --png they become DIR/frame-00001.png and on.

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "host/image/ZuImage.h"
#include "host/image/ZuPng.h"
#include "samples/ZuDemoScene.h"

namespace {

struct Options {
  int width = 640;
  int height = 400;
  int frames = 90;
  std::string pngFolder;
};

int Fail(const std::string& message, int code) {
  std::cerr << "make_demo_frames: " << message << "\n";
  return code;
}

bool ParseSize(const std::string& text, int& width, int& height) {
  char tail = 0;
  return std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &tail) == 2 && width > 0 &&
         height > 0 && width <= 16384 && height <= 16384;
}

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (i + 1 >= argc) {
      error = "missing value after " + name;
      return false;
    }
    const std::string value = argv[++i];
    if (name == "--size") {
      if (!ParseSize(value, options.width, options.height)) {
        error = "--size wants WIDTHxHEIGHT, 1 to 16384 each, not " + value;
        return false;
      }
    } else if (name == "--frames") {
      char* end = nullptr;
      const long frames = std::strtol(value.c_str(), &end, 10);
      if (end == value.c_str() || *end != '\0' || frames < 1 || frames > 65000) {
        error = "--frames wants a number from 1 to 65000, not " + value;
        return false;
      }
      options.frames = static_cast<int>(frames);
    } else if (name == "--png") {
      options.pngFolder = value;
    } else {
      error = "unknown option " + name + " (options: --size WxH, --frames N, --png DIR)";
      return false;
    }
  }
  return true;
}

std::string FrameFileName(const std::string& folder, int number) {
  char name[32];
  std::snprintf(name, sizeof name, "/frame-%05d.png", number);
  return folder + name;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string error;
  if (!ParseOptions(argc, argv, options, error)) {
    return Fail(error, 2);
  }
  if (!options.pngFolder.empty() && mkdir(options.pngFolder.c_str(), 0755) != 0 &&
      errno != EEXIST) {
    return Fail(options.pngFolder + ": cannot make the folder: " + std::strerror(errno), 1);
  }
  ZuDemoScene scene(options.width, options.height);
  ZuImage frame(options.width, options.height);
  for (int number = 1; number <= options.frames; ++number) {
    scene.RenderNextFrame(frame);
    if (options.pngFolder.empty()) {
      if (std::fwrite(frame.GetBuffer(), 1, frame.GetBuffSize(), stdout) != frame.GetBuffSize()) {
        return Fail("cannot write to standard output", 1);
      }
    } else if (!ZuPng::Write(frame, FrameFileName(options.pngFolder, number), &error)) {
      return Fail(FrameFileName(options.pngFolder, number) + ": " + error, 1);
    }
  }
  return std::fflush(stdout) == 0 ? 0 : Fail("cannot write to standard output", 1);
}
