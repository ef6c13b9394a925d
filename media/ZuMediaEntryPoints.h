#pragma once

#include "media/ZuScreenCapture.h"
#include "media/ZuVideoExport.h"
#include "media/ZuVideoImport.h"
#include "media/ZuVideoSequence.h"

// The media library's video work in one table, found by name, so that a program can load
// the library with dlopen when it first runs a video command: FFmpeg's libraries under it
// take longer to load than most other commands take to run.
struct ZuMediaEntryPoints {
  decltype(&ZuExportVideo) exportVideo;
  decltype(&ZuExportSequence) exportSequence;
  decltype(&ZuImportVideo) importVideo;
  decltype(&ZuCaptureScreen) captureScreen;
};

// The library's file name, and the name of the function that returns its table.
constexpr const char* kZuMediaLibrary = "libzu_media.so";
constexpr const char* kZuMediaEntryPointsFunction = "ZuGetMediaEntryPoints";
extern "C" const ZuMediaEntryPoints* ZuGetMediaEntryPoints();
