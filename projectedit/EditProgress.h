#pragma once

class IZuFMREditProgressEvent;

// Where the FMR edits of a project report their progress while they run: a listener the
// caller puts in place (the command line's status bar, the web editor's pages), or no one.

// Where the edits report from now on; null: no one. The listener stays the caller's.
void SetEditProgressSink(IZuFMREditProgressEvent* sink);

// Loads the edit commands, made to report to the current sink. Throws EditError when
// the commands cannot be loaded.
void LoadEditCommands();
