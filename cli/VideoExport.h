#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "media/ZuMediaProgress.h"
#include "media/ZuVideoExport.h"

class ZuTavoFile;

// Runs encode, which writes a video, for a command: a progress line on a terminal (frames of
// the total, percent, time left), Ctrl-C stops it and leaves no file, a failure throws
// CliError. Shared by export and project export, which then print what they wrote
// (PrintVideoWritten). Returns what encode returned.
ZuExportResult EncodeVideoOrThrow(
    const std::function<ZuExportResult(const ZuMediaProgress&)>& encode);

// Exports movie as a video at path, as above.
ZuExportResult ExportVideoOrThrow(const ZuTavoFile& movie, const std::string& path,
                                  const ZuVideoExportOptions& options);

// Prints "wrote PATH", then, when the export had to lower anything to keep under maxBytes,
// what: "lowered to fit 5 MB: 7.5 frames a second (was 15), ...".
void PrintVideoWritten(const std::string& path, const ZuExportResult& result, uint64_t maxBytes);
