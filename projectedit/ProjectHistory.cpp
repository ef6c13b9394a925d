#include "projectedit/ProjectHistory.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

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
      {"kZuTightenSlideCommand", "tighten a slide"},
      {"kZuSpeedUpSlideCommand", "speed up a slide"},
      {"kZuRedactSlideCommand", "redact a slide"},
      {"kZuSetPointerOverlayCommand", "set how a slide shows the pointer"},
      {"kZuRemoveKeyPressCommand", "remove a key press"},
      {"kZuRemoveSlideCommand", "remove a slide"},
      {"kZuMoveSlideCommand", "move a slide"},
      {"kZuRenameResourceCommand", "rename a slide"},
  };
  for (const auto& [name, words] : kNames) {
    if (label == name) {
      return words;
    }
  }
  return label;
}

std::string GoToProjectState(const OpenProjectSession& session, int64_t id) {
  const std::vector<ZuProjectStateInfo> states = session.Project().ListStates();
  const auto entry = std::find_if(states.begin(), states.end(),
                                  [id](const ZuProjectStateInfo& state) { return state.id == id; });
  if (entry == states.end()) {
    throw EditError(session.Path() + ": the history has no entry " + std::to_string(id),
                    EditError::Kind::kWrongArgument);
  }
  const std::string what =
      "entry " + std::to_string(id) + " (" + DescribeChange(entry->label) + ")";
  const bool undo = id < session.Project().GetStateId();
  int steps = 0;
  while (session.Project().GetStateId() != id) {
    StepProjectHistory(session, undo);
    ++steps;
  }
  if (steps == 0) {
    return "the project is at " + what + " already";
  }
  return std::string(undo ? "undid " : "redid ") + std::to_string(steps) +
         (steps == 1 ? " change" : " changes") + ", now at " + what;
}

HistoryToPurge FindHistoryToPurge(const OpenProjectSession& session) {
  ZuProjectStorage storage;
  std::string error;
  if (!session.Project().ReadStorage(&storage, &error)) {
    throw EditError(session.Path() + ": " + error);
  }
  const auto states = static_cast<int64_t>(session.Project().ListStates().size());
  return {storage.historyOnlyVersions, states - 1};
}

std::string PurgeProjectHistory(const OpenProjectSession& session) {
  const HistoryToPurge dropped = FindHistoryToPurge(session);
  std::string error;
  if (!session.Project().PurgeHistory(&error)) {
    throw EditError(session.Path() + ": purge failed: " + error);
  }
  QuerySession()->GetCommandHistory()->Clear();
  return "dropped " + std::to_string(dropped.versions) + " movie versions and " +
         std::to_string(dropped.states) + " states of the history";
}
