#pragma once

#include <memory>
#include <string>

#include "host/swf/ZuTavoFile.h"

// Loads an SWF file for a command, or throws CliError naming the file and the reason
// (missing, unreadable, not an SWF, damaged).
std::unique_ptr<ZuTavoFile> LoadMovieOrThrow(const std::string& path);

// What to say after the reason a file is not a movie: "; fmredit import makes ..." when it is
// a video, else nothing.
std::string ImportHint(const std::string& path);

// Writes movie to path through a write stream that only replaces path once everything is
// written (see ZuFileStream); throws CliError naming path and the reason on failure.
void WriteMovieOrThrow(ZuTavoFile& movie, const std::string& path);
