#pragma once

#include <functional>
#include <memory>
#include <string>

#include "host/image/ZuImage.h"

class ZuTavoFile;

// Renders a frame (from 1) of the movie as it was before the edit began: the picture, or null
// with the reason in *why.
using OriginalFrameRenderer = std::function<std::unique_ptr<ZuImage>(int frame, std::string* why)>;

// Opens a key-frame block at the start of frame (from 1) when a picture placed before the frame
// still shows at its end: every bitmap defined before the frame and not yet freed is freed there
// (but those that a later frame places again), every depth on display is emptied, and the frame
// as render shows it is shown as a key frame at the rendered key-frame depth, freed and removed
// again in the next clean-up block. The later clean-up tags for what the opening frees and
// empties go, so every frame shows what it showed.
//
// Returns "" (also when the frame needs no key frame); otherwise why not, in one line: a frame
// changes a picture the opening takes away, the ids ran out, the frame does not render. The
// movie may then be part changed: callers work on a copy.
std::string OpenBlockWhereCarriedOver(ZuTavoFile& movie, int frame,
                                      const OriginalFrameRenderer& render);
