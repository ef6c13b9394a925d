#pragma once

#include <cstdint>

// A component that the host loads: it registers its commands with the session and hears
// about the host's life. The host never deletes a component.
class IZuComponent {
 public:
  virtual ~IZuComponent() = default;
  // The component interface version the component was built for.
  virtual int32_t GetInterfaceVersion() = 0;
  virtual int32_t Initialize() = 0;
  virtual int32_t Uninitialize() = 0;
  // Registers the component's command factories with the session's registry; 0 on success.
  virtual int32_t RegisterCommands() = 0;
  virtual int32_t UnregisterCommands() = 0;
  virtual int32_t OnProjectOpened() = 0;
  virtual int32_t OnProjectClosed() = 0;
  // Optional notifications; the defaults do nothing and return 0.
  virtual int32_t OnIdle() { return 0; }
  virtual int32_t OnSessionEnding() { return 0; }
  virtual int32_t OnSettingsChanged() { return 0; }
};
