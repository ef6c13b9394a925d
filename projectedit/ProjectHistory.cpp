#include "projectedit/ProjectHistory.h"

#include <string>
#include <utility>

#include "host/app/IZuSession.h"
#include "host/app/ZuCommandHistory.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuSession.h"
#include "projectedit/EditError.h"
#include "projectedit/OpenProjectSession.h"

int64_t StepProjectHistory(const OpenProjectSession& session, bool undo) {
  ZuCommandHistory* history = QuerySession()->GetCommandHistory();
  const int64_t target =
      undo ? session.Project().GetPreviousStateId() : session.Project().GetNextStateId();
  const std::string& project = session.Path();
  if (target == 0) {
    throw EditError(project + (undo ? ": nothing to undo" : ": nothing to redo"));
  }
  if ((undo ? history->Undo() : history->Redo()) != kZuSuccess) {
    const std::string& reason = session.Project().GetLastError();
    throw EditError(project + (undo ? ": undo failed" : ": redo failed") +
                    (reason.empty() ? "" : ": " + reason));
  }
  return session.Project().GetStateId();
}

std::string DescribeChange(const std::string& label) {
  static const std::pair<const char*, const char*> kNames[] = {
      {"kZuInsertFMRSlidesCommand", "add slides"},
      {"kZuModifySlideDurationCommand", "set slide durations"},
      {"kZuReplaceResourceCommand", "replace a movie"},
      {"kZuSetSlideMinimumCommand", "set a slide's minimum duration"},
      {"kZuFMREditDeleteFramesCommand", "delete frames"},
      {"kZuFMREditInsertCommand", "insert a movie"},
      {"kZuFMREditSplitCommand", "split a slide"},
      {"kZuFMREditMergeSlidesCommand", "merge slides"},
  };
  for (const auto& [name, words] : kNames) {
    if (label == name) {
      return words;
    }
  }
  return label;
}
