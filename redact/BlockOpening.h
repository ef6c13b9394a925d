#pragma once

#include <string>

class ZuTavoFile;

// Opens a key-frame block at the start of frame (from 1) when a picture placed before the frame
// still shows at its end: every bitmap defined before the frame and not yet freed is freed there
// (but those that a later frame places again), every depth on display is emptied, and frame
// frameToRender of the SWF file renderFrom (the movie as it was) is shown as a key frame at the
// rendered key-frame depth, freed and removed again in the next clean-up block. The later clean-up
// tags for what the opening frees and empties go, so every frame shows what it showed.
//
// Returns "" (also when the frame needs no key frame); otherwise why not, in one line: a frame
// changes a picture the opening takes away, the ids ran out, the frame does not render. The movie
// may then be part changed: callers work on a copy.
std::string OpenBlockWhereCarriedOver(ZuTavoFile& movie, int frame, const std::string& renderFrom,
                                      int frameToRender);
