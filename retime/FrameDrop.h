#pragma once

#include <string>
#include <vector>

class ZuTavoFile;

// Drops the frames of movie whose entry of keep is false (frame n at index n - 1), without
// decoding anything: what a dropped frame places, moves and removes (and its definitions,
// frees and actions) joins the next kept frame, in order, so every kept frame shows exactly
// the picture it showed before. A dropped frame's sound-stream block and frame label go with
// it (the kept frame has its own). The recorded pointer keeps each kept frame's position; a
// dropped frame's presses and keys join the next kept frame. The header's frame count follows.
//
// Returns "" on success; otherwise why not, in one line, and the movie is unchanged: keep must
// have one entry per frame and keep the first and the last frame.
std::string DropFrames(ZuTavoFile& movie, const std::vector<bool>& keep);
