#pragma once

// The four parameter records of the FMR edit commands and their progress receiver.
#include "commands/IZuFMREditProgressEvent.h"
#include "commands/ZuFMREditDeleteFramesCommandData.h"
#include "commands/ZuFMREditInsertCommandData.h"
#include "commands/ZuFMREditMergeSlidesCommandData.h"
#include "commands/ZuFMREditSplitCommandData.h"
