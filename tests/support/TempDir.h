#pragma once

#include <string>
#include <vector>

#include "host/util/ZuTemporaryFolder.h"

// A folder of its own for one test, removed with everything in it when the object goes.
// Code under test that should put its temporary files there too is run inside a
// ZuTemporaryFolder::Use of its path.
using TempDir = ZuTemporaryFolder;

// The names of the files in the folder (hidden ones too), sorted.
std::vector<std::string> FilesIn(const TempDir& dir);
