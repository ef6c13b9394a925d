#pragma once

#include <string>

class IZuFMREditProgressEvent;

// How the FMR edit commands of a project report their progress: a "delete [#####.....]  50%"
// bar on the status line, or a listener a caller put in its place (fmredit serve sends the
// reports to its pages).

// Where the edits report from now on; null: the bar.
void SetEditProgressSink(IZuFMREditProgressEvent* sink);

// Loads the edit commands and makes them report to the current sink; what names the edit on
// the bar. Throws CliError when the commands cannot be loaded.
void StartEditProgress(const std::string& what);
// Ends the bar's line once the edit has run.
void FinishEditProgress();
