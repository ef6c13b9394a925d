#pragma once

#include "commands/ZuFMREditCommandIds.h"
#include "host/app/IZuComponent.h"

class ZuFMREditDeleteFramesCommand;
class ZuFMREditInsertCommand;
class ZuFMREditSplitCommand;
class ZuFMREditMergeSlidesCommand;

// The library's one component: registers the factories of the four FMR edit commands with the
// session's command registry. Holds no data; lives until the process ends.
class ZuFMREditComponent : public IZuComponent {
 public:
  ~ZuFMREditComponent() override = default;
  int32_t GetInterfaceVersion() override { return 47; }
  int32_t Initialize() override { return 0; }
  int32_t Uninitialize() override { return 0; }
  // Registers delete, insert, merge and split, in that order; 1 when the session has no registry.
  int32_t RegisterCommands() override;
  int32_t UnregisterCommands() override { return 0; }
  int32_t OnProjectOpened() override { return 0; }
  int32_t OnProjectClosed() override { return 0; }
};

// The library's entry: the one component, made on the first call.
extern "C" __attribute__((visibility("default"))) IZuComponent* GetZuFMREditComponent();
