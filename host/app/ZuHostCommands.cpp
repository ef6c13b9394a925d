#include "host/app/ZuHostCommands.h"

#include "host/app/ZuCommandRegistry.h"
#include "host/app/ZuInsertFMRSlidesCommand.h"
#include "host/app/ZuModifySlideDurationCommand.h"
#include "host/app/ZuReplaceResourceCommand.h"
#include "host/app/ZuSetSlideMinimumCommand.h"
#include "host/app/ZuSlideChangeCommand.h"

namespace {

template <class Command, int32_t kId>
IZuCommand* MakeCommand(int32_t id) {
  return id == kId ? new Command() : nullptr;
}

}  // namespace

void RegisterHostCommands(ZuCommandRegistry& registry) {
  registry.RegisterCommandFactory(kZuCmdInsertFMRSlides,
                                  MakeCommand<ZuInsertFMRSlidesCommand, kZuCmdInsertFMRSlides>);
  registry.RegisterCommandFactory(
      kZuCmdModifySlideDuration,
      MakeCommand<ZuModifySlideDurationCommand, kZuCmdModifySlideDuration>);
  registry.RegisterCommandFactory(kZuCmdSetSlideMinimum,
                                  MakeCommand<ZuSetSlideMinimumCommand, kZuCmdSetSlideMinimum>);
  registry.RegisterCommandFactory(kZuCmdReplaceResource,
                                  MakeCommand<ZuReplaceResourceCommand, kZuCmdReplaceResource>);
  registry.RegisterCommandFactory(kZuCmdRemoveSlide,
                                  MakeCommand<ZuRemoveSlideCommand, kZuCmdRemoveSlide>);
  registry.RegisterCommandFactory(kZuCmdMoveSlide,
                                  MakeCommand<ZuMoveSlideCommand, kZuCmdMoveSlide>);
  registry.RegisterCommandFactory(kZuCmdRenameResource,
                                  MakeCommand<ZuRenameResourceCommand, kZuCmdRenameResource>);
}
