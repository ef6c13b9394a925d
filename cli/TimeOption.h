#pragma once

#include <CLI/CLI.hpp>

// The check of every option that takes a time in seconds: a finite number from 0 to
// kMaxSeconds (far beyond any movie: 65535 frames at one frame a second). "nan", "inf" and
// out-of-range values are wrong arguments, named with the range allowed.
CLI::Validator SecondsOption();
// The same for a time that must be above 0 (an end, a duration).
CLI::Validator PositiveSecondsOption();

constexpr double kMaxSeconds = 1000000;
