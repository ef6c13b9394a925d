#include "media/ZuVideoExport.h"

#include "media/ZuVideoSequence.h"

ZuExportResult ZuExportVideo(const ZuTavoFile& movie, const std::string& path,
                             const ZuVideoExportOptions& options, const ZuMediaProgress& progress) {
  ZuVideoSequence sequence;
  sequence.segments.push_back({&movie, options.firstFrame, options.lastFrame, 0, {}});
  sequence.width = options.width;
  sequence.height = options.height;
  sequence.crf = options.crf;
  sequence.lossless = options.lossless;
  sequence.maxBytes = options.maxBytes;
  sequence.overlay = options.overlay;
  return ZuExportSequence(sequence, path, progress);
}
