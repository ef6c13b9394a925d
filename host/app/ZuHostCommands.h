#pragma once

#include <cstdint>

class ZuCommandRegistry;

// Ids of the host's own commands.
enum ZuHostCommandId : int32_t {
  kZuCmdInsertFMRSlides = 116,      // ZuInsertFMRSlidesCommand
  kZuCmdRemoveSlide = 117,          // ZuRemoveSlideCommand
  kZuCmdMoveSlide = 118,            // ZuMoveSlideCommand
  kZuCmdModifySlideDuration = 439,  // ZuModifySlideDurationCommand
  kZuCmdSetSlideMinimum = 441,      // ZuSetSlideMinimumCommand
  kZuCmdReplaceResource = 575,      // ZuReplaceResourceCommand
  kZuCmdRenameResource = 576,       // ZuRenameResourceCommand
};

// Registers the factories of the host's own commands.
void RegisterHostCommands(ZuCommandRegistry& registry);
