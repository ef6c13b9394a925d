#pragma once

#include <cstdint>
#include <string>

class OpenProjectSession;

// The history of an open project, as project undo / redo / log and fmredit serve use it.

// Undo or redo: moves along the project's history; returns the state now current.
int64_t StepProjectHistory(const OpenProjectSession& session, bool undo);
// The command that made a state of the history, in words (project log).
std::string DescribeChange(const std::string& label);
