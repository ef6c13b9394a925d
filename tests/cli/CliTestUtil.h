#pragma once

#include <memory>
#include <string>

#include "host/swf/ZuTavoFile.h"
#include "tests/cli/RunFmredit.h"

// Checks shared by the tests of the fmredit commands.

// gtest checks that run failed with exitCode and said so on exactly one line, starting
// "fmredit: " and holding text (a file name or the reason) unless text is empty.
void ExpectOneLineError(const FmreditRun& run, const std::string& text, int exitCode);

// The SWF file at path, loaded; a test failure when it cannot be read.
std::unique_ptr<ZuTavoFile> LoadMovieFile(const std::string& path);
