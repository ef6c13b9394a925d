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
