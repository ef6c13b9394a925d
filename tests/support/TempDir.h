#pragma once

#include "host/util/ZuTemporaryFolder.h"

// A folder of its own for one test, removed with everything in it when the object goes.
using TempDir = ZuTemporaryFolder;
