#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "media/ZuAnimationFormat.h"
#include "media/ZuFrameSink.h"
#include "media/ZuVideoSequence.h"
#include "media/formats/ZuVideoFormats.h"

// Renders the export's pictures, in order, into a sink; may be called again for another pass
// or try. Its progress counts as pass (from 0) of passes over the pictures.
using ZuRenderPictures = std::function<void(ZuFrameSink& sink, int pass, int passes)>;

// Writes a GIF or APNG (format) at path from the pictures render gives (for a GIF in two
// passes: the first counts the colours of its frames for the global table). With a size limit
// (maxBytes > 0) a file that grows past it is abandoned as soon as it does and made again
// with the next of ZuFittingSteps; when none fits, throws ZuMediaError saying so, and no file
// is left. The result says what was lowered.
ZuExportResult ZuExportAnimation(const std::string& path, const ZuVideoFormat& format,
                                 const ZuAnimationSettings& settings, uint64_t maxBytes,
                                 const ZuRenderPictures& render);

// The settings an export tries in turn to fit a size limit, full first: the frame rate
// lowered (to 2/3, 1/2 and 1/3 of it), then at the lowest rate the picture (to 3/4, 1/2, 3/8
// and 1/4 of its sides), then at the smallest picture the colours (GIF: 128, 64, 32, 16).
std::vector<ZuAnimationSettings> ZuFittingSteps(const ZuAnimationSettings& full, bool colours);

// What step lowers against full, as "7.5 frames a second (was 15), 640x360 (was 1280x720), 64
// colours"; empty when nothing.
std::string ZuDescribeLowered(const ZuAnimationSettings& full, const ZuAnimationSettings& step);
