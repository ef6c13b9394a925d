#pragma once

#include <string>

#include "projectedit/ProjectExport.h"

// A video export as the page asks for it (POST /api/exports): the type ("mp4"), the download
// name without extension, and what to export how.
struct ExportOrder {
  std::string type;
  std::string name;
  ProjectExportRequest request;
};

// Reads the JSON body of the request. Throws EditError (a wrong argument, which the server
// answers with 400) naming the field that is wrong and why; the slide's number and times are
// checked against the project when the export is planned.
ExportOrder ReadExportOrder(const std::string& body);
