#pragma once

#include <nlohmann/json.hpp>

class OpenProjectSession;

// The project as the page reads it: its slides (number, name, durations, frames, which
// slides share a movie, the movie version to draw), its history as fmredit project log lists
// it, and whether undo and redo can go anywhere. The caller holds the session lock.
nlohmann::json DescribeProject(const OpenProjectSession& session);
