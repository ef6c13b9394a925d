#pragma once

#include <cstdint>
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

// Writes FmrMovieBuilder::Simple's movie, checked by the independent parser.
void WriteFmrMovie(const std::string& path, int frames, int blockFrames = 5, uint16_t width = 40,
                   uint16_t height = 30);
