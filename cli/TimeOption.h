#pragma once

#include <CLI/CLI.hpp>

#include "projectedit/EditSeconds.h"

// The check of every option that takes a time in seconds: a number the edits take as a time
// (EditSeconds.h). "nan", "inf", out-of-range values and words are wrong arguments, named
// with the range allowed.
CLI::Validator SecondsOption();
// The same for a time that must be above 0 (an end, a duration).
CLI::Validator PositiveSecondsOption();
