#pragma once

#include <string>

#include "media/ZuVideoExport.h"

class ZuTavoFile;

// Exports movie as a video at path for a command: a progress line on a terminal, Ctrl-C
// stops it and leaves no file, a failure throws CliError. Shared by export and project export.
void ExportVideoOrThrow(const ZuTavoFile& movie, const std::string& path,
                        const ZuVideoExportOptions& options);
