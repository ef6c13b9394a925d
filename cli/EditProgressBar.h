#pragma once

#include <string>

#include "cli/StatusLine.h"
#include "commands/IZuFMREditProgressEvent.h"

// The "delete [#####.....]  50%" status line of a project edit, fed by the edit command's
// progress reports. Listens to the edits while it lives (SetEditProgressSink); the line ends
// when it goes.
class EditProgressBar : public IZuFMREditProgressEvent {
 public:
  static constexpr int kWidth = 20;  // characters between the brackets

  explicit EditProgressBar(std::string what);
  ~EditProgressBar() override;
  EditProgressBar(const EditProgressBar&) = delete;
  EditProgressBar& operator=(const EditProgressBar&) = delete;

  void OnProgress(int percent) override;

 private:
  std::string m_what;
  StatusLine m_line;
};
