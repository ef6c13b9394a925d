#include "projectedit/EditProgress.h"

#include <cstdint>
#include <string>

#include "commands/ZuFMREditCommandData.h"
#include "commands/ZuFMREditCommandIds.h"
#include "commands/ZuFMREditDeleteFramesCommand.h"
#include "commands/ZuFMREditInsertCommand.h"
#include "commands/ZuFMREditMergeSlidesCommand.h"
#include "commands/ZuFMREditSplitCommand.h"
#include "host/app/IZuSession.h"
#include "host/app/ZuCommandRegistry.h"
#include "host/app/ZuSession.h"
#include "projectedit/EditError.h"

namespace {

IZuFMREditProgressEvent* g_sink = nullptr;

// Factories that make the edit commands with the sink already in their data, put in place
// of the component's so that the entry points of ZuFMREditUtils, which fill in everything
// else, report to it.
template <class Command, class Data, int32_t Id>
IZuCommand* MakeWithProgress(int32_t id) {
  if (id != Id) return nullptr;
  auto* command = new Command();
  static_cast<Data*>(command->GetCommandData())->SetProgressEvent(g_sink);
  return command;
}

}  // namespace

void SetEditProgressSink(IZuFMREditProgressEvent* sink) {
  g_sink = sink;
}

void LoadEditCommands() {
  // The edit commands come from the component library, loaded and registered as a host
  // loads it; the progress versions then take the place of its factories.
  std::string error;
  if (GetZuSession()->LoadComponents(&error) != kZuSuccess) {
    throw EditError(error);
  }
  ZuCommandRegistry* registry = QuerySession()->GetCommandRegistry(0);
  registry->RegisterCommandFactory(
      kZuFMREditDeleteFramesCommandId,
      MakeWithProgress<ZuFMREditDeleteFramesCommand, ZuFMREditDeleteFramesCommandData,
                       kZuFMREditDeleteFramesCommandId>);
  registry->RegisterCommandFactory(
      kZuFMREditInsertCommandId,
      MakeWithProgress<ZuFMREditInsertCommand, ZuFMREditInsertCommandData,
                       kZuFMREditInsertCommandId>);
  registry->RegisterCommandFactory(
      kZuFMREditSplitCommandId,
      MakeWithProgress<ZuFMREditSplitCommand, ZuFMREditSplitCommandData, kZuFMREditSplitCommandId>);
  registry->RegisterCommandFactory(
      kZuFMREditMergeSlidesCommandId,
      MakeWithProgress<ZuFMREditMergeSlidesCommand, ZuFMREditMergeSlidesCommandData,
                       kZuFMREditMergeSlidesCommandId>);
}
