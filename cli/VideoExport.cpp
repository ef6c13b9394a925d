#include "cli/VideoExport.h"

#include "cli/CliError.h"
#include "cli/FrameProgress.h"
#include "cli/StopSignal.h"
#include "media/ZuMediaError.h"
#include "media/loader/ZuMediaLibrary.h"

void ExportVideoOrThrow(const ZuTavoFile& movie, const std::string& path,
                        const ZuVideoExportOptions& options) {
  StopSignal stop;
  FrameProgress progress("encoded");
  try {
    ZuMediaLibrary().exportVideo(movie, path, options, [&progress](int /*done*/, int /*total*/) {
      progress.Step();
      return !StopSignal::Requested();
    });
  } catch (const ZuMediaError& error) {
    throw CliError(error.what());
  }
  progress.Finish();
}
