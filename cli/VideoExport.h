#pragma once

#include <functional>
#include <string>

#include "media/ZuMediaProgress.h"
#include "media/ZuVideoExport.h"

class ZuTavoFile;

// Runs encode, which writes a video, for a command: a progress line on a terminal (frames of
// the total, percent, time left), Ctrl-C stops it and leaves no file, a failure throws
// CliError. Shared by export and project export, which then print "wrote FILE".
void EncodeVideoOrThrow(const std::function<void(const ZuMediaProgress&)>& encode);

// Exports movie as a video at path, as above.
void ExportVideoOrThrow(const ZuTavoFile& movie, const std::string& path,
                        const ZuVideoExportOptions& options);
