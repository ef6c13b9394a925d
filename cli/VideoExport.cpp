#include "cli/VideoExport.h"

#include "cli/CliError.h"
#include "cli/FrameProgress.h"
#include "cli/StopSignal.h"
#include "media/ZuMediaError.h"
#include "media/loader/ZuMediaLibrary.h"

void EncodeVideoOrThrow(const std::function<void(const ZuMediaProgress&)>& encode) {
  StopSignal stop;
  FrameProgress progress("encoded");
  try {
    encode([&progress](int done, int total) {
      progress.Step(done, total);
      return !StopSignal::Requested();
    });
  } catch (const ZuMediaError& error) {
    throw CliError(error.what());
  }
  progress.Finish();
}

void ExportVideoOrThrow(const ZuTavoFile& movie, const std::string& path,
                        const ZuVideoExportOptions& options) {
  EncodeVideoOrThrow([&](const ZuMediaProgress& progress) {
    ZuMediaLibrary().exportVideo(movie, path, options, progress);
  });
}
