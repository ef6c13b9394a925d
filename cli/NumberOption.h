#pragma once

#include <CLI/CLI.hpp>
#include <climits>
#include <initializer_list>

// The checks of options that take a whole number, in place of CLI11's own (whose messages
// print ranges as "0.000000 to 1797..."): a word, a fraction or a number out of range is a
// wrong argument, named with what is allowed ("give a whole number from 1 to 255, not '0'").
CLI::Validator WholeNumberOption(int min, int max);
// A whole number that fits an int, for an option whose real range is known only later (a
// frame of the movie, a slide of the project) and checked there.
CLI::Validator WholeNumberOption();
// The same for a number that must be one of values ("give 16 or 32, not '8'").
CLI::Validator OneOfOption(std::initializer_list<long> values);
// A speed-up factor: a number of at least 1 (MovieTiming.h), a fraction allowed.
CLI::Validator FactorOption();
