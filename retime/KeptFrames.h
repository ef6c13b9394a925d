#pragma once

#include <vector>

#include "retime/StillFrames.h"

// Which frames a timing edit keeps: one entry per frame (frame n at index n - 1). Both edits
// always keep the first frame (it holds the picture the others build on) and the last (it
// holds the stop action).

// Tightening: every still stretch longer than maxStill frames keeps its first maxStill frames
// (0: none); the frames of a stretch that reaches the end give way to the last frame.
std::vector<bool> TightenKeeps(const std::vector<bool>& still, int maxStill);

// Speeding up frames first to last (from 1) of a movie of frameCount frames: the range shows
// every step-th frame, starting with its first (step >= 1: a step of 2.5 keeps the range's
// frames 0, 2, 5, 7, ... counted from 0).
std::vector<bool> SpeedKeeps(int frameCount, int first, int last, double step);

// Speeding up frames first to last so that shown of them remain (1 <= shown <= the range's
// frames), spread evenly from the first.
std::vector<bool> SpeedKeepsCount(int frameCount, int first, int last, int shown);

// How many entries of keep are false.
int DroppedCount(const std::vector<bool>& keep);
