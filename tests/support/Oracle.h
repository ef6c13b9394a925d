#pragma once

#include <string>
#include <vector>

#include "host/swf/ZuTavoFile.h"

// The independent-parser check: an SWF parser nobody here wrote (the npm package
// swf-parser, run by tests/oracle/check.mjs under node) reads a file we wrote.

// The codes of the file's top-level tags as the oracle reads them, without the End tag.
// On failure (the oracle rejects the file, a tag body of a kind it knows does not parse,
// or node or its modules are missing) returns an empty list and sets *error.
std::vector<int> OracleTagCodes(const std::string& path, std::string* error);

// gtest expectations: the oracle reads the file written from movie, and its tag list
// matches the movie's (count, order, codes; null slots and a last End tag aside).
void ExpectOracleAccepts(const std::string& path, const ZuTavoFile& movie);
// The same for many files with one run of the oracle, each file compared with its own tags.
void ExpectOracleAcceptsFiles(const std::vector<std::string>& paths);
