#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/swf/ZuTavoFile.h"
#include "tests/support/FmreditRun.h"

#include "tests/support/TempDir.h"

// The checks and inputs shared by the tests of its commands.

// gtest checks that run failed with exitCode and said so on exactly one line, starting
// "fmredit: " and holding text (a file name or the reason) unless text is empty.
void ExpectOneLineError(const FmreditRun& run, const std::string& text, int exitCode);

// The SWF file at path, loaded; a test failure when it cannot be read.
std::unique_ptr<ZuTavoFile> LoadMovieFile(const std::string& path);

// gtest checks that the file at path is an FMR movie of frames frames that the independent
// parser reads.
void ExpectFmrMovie(const std::string& path, int frames);

// Writes an FMR movie of ten frames in two blocks, 40 x 30 at 10 frames a second, checked by
// the independent parser.
void WriteTenFrameMovie(const std::string& path);

// The names of the files in the folder, sorted.
std::vector<std::string> FilesIn(const TempDir& dir);
