#include "commands/ZuFMREditComponent.h"

#include "commands/ZuFMREditDeleteFramesCommand.h"
#include "commands/ZuFMREditInsertCommand.h"
#include "commands/ZuFMREditMergeSlidesCommand.h"
#include "commands/ZuFMREditSplitCommand.h"
#include "host/app/IZuSession.h"
#include "host/app/ZuCommandRegistry.h"

namespace {

// The one component of the process; made on first use, never deleted.
ZuFMREditComponent* g_component = nullptr;

// One factory per command: a new command for its own id, null for any other.
template <typename Command, int32_t kId>
IZuCommand* MakeCommand(int32_t id) {
  if (id != kId) return nullptr;
  return new Command();
}

// Runs when the host loads the library. A shared library here gets no per-thread attach calls
// to switch off, so loading simply succeeds; the hook does nothing else.
__attribute__((constructor)) void OnLibraryLoaded() {}

}  // namespace

int32_t ZuFMREditComponent::RegisterCommands() {
  ZuCommandRegistry* registry = QuerySession()->GetCommandRegistry(0);
  if (registry == nullptr) return 1;
  registry->RegisterCommandFactory(
      kZuFMREditDeleteFramesCommandId,
      MakeCommand<ZuFMREditDeleteFramesCommand, kZuFMREditDeleteFramesCommandId>);
  registry->RegisterCommandFactory(kZuFMREditInsertCommandId,
                                   MakeCommand<ZuFMREditInsertCommand, kZuFMREditInsertCommandId>);
  registry->RegisterCommandFactory(
      kZuFMREditMergeSlidesCommandId,
      MakeCommand<ZuFMREditMergeSlidesCommand, kZuFMREditMergeSlidesCommandId>);
  registry->RegisterCommandFactory(kZuFMREditSplitCommandId,
                                   MakeCommand<ZuFMREditSplitCommand, kZuFMREditSplitCommandId>);
  return 0;
}

IZuComponent* GetZuFMREditComponent() {
  if (g_component == nullptr) g_component = new ZuFMREditComponent();
  return g_component;
}
