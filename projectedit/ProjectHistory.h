#pragma once

#include <cstdint>
#include <string>

class OpenProjectSession;

// The history of an open project, as the command line (undo, redo, log) and the web editor
// use it.

// Undo or redo: moves along the project's history; returns the state now current. Throws
// EditError when there is nothing to undo or redo, or the step fails.
int64_t StepProjectHistory(const OpenProjectSession& session, bool undo);
// The command that made a state of the history, in words (project log).
std::string DescribeChange(const std::string& label);
// Brings the project to the state of history entry id (an id of ListStates) by undo or redo
// steps; returns what happened in words. Throws EditError (a wrong argument) for an id that
// is no entry, or when a step fails (the project then stands where that step left it).
std::string GoToProjectState(const OpenProjectSession& session, int64_t id);

// What a purge drops: the versions no slide shows now and the states before and after the
// current one.
struct HistoryToPurge {
  int64_t versions = 0;
  int64_t states = 0;
};
HistoryToPurge FindHistoryToPurge(const OpenProjectSession& session);
// Drops the whole history but the current state, the versions only it kept and their bytes,
// for good (the file is rewritten so that none of them stays in it); the session's own undo
// history goes too. Returns what was done in words. Throws EditError when it fails (the
// project is then as it was).
std::string PurgeProjectHistory(const OpenProjectSession& session);
