#include "cli/VideoExport.h"

#include <iostream>

#include "cli/CliError.h"
#include "cli/FrameProgress.h"
#include "cli/StopSignal.h"
#include "host/util/ZuFileSize.h"
#include "media/ZuMediaError.h"
#include "media/loader/ZuMediaLibrary.h"

ZuExportResult EncodeVideoOrThrow(
    const std::function<ZuExportResult(const ZuMediaProgress&)>& encode) {
  StopSignal stop;
  FrameProgress progress("encoded");
  ZuExportResult result;
  try {
    result = encode([&progress](int done, int total) {
      progress.Step(done, total);
      return !StopSignal::Requested();
    });
  } catch (const ZuMediaError& error) {
    throw CliError(error.what());
  }
  progress.Finish();
  return result;
}

ZuExportResult ExportVideoOrThrow(const ZuTavoFile& movie, const std::string& path,
                                  const ZuVideoExportOptions& options) {
  return EncodeVideoOrThrow([&](const ZuMediaProgress& progress) {
    return ZuMediaLibrary().exportVideo(movie, path, options, progress);
  });
}

void PrintVideoWritten(const std::string& path, const ZuExportResult& result, uint64_t maxBytes) {
  std::cout << "wrote " << path << "\n";
  if (!result.lowered.empty()) {
    std::cout << "lowered to fit " << ZuFileSizeText(maxBytes) << ": " << result.lowered << "\n";
  }
}
