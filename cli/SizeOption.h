#pragma once

#include <CLI/CLI.hpp>

// The check of an option that takes a file size ("5MB", "2MiB", bytes: see
// host/util/ZuFileSize.h), naming what is allowed when the text is not one.
CLI::Validator FileSizeOption();
