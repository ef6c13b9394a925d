#pragma once

// Receives the progress of an FMR edit command in percent (0 to 100). A command data record
// points to one or to none; the record never owns it.
class IZuFMREditProgressEvent {
 public:
  virtual ~IZuFMREditProgressEvent() = default;
  virtual void OnProgress(int percent) = 0;
};
