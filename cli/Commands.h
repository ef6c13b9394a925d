#pragma once

namespace CLI {
class App;
}

// Each adds one subcommand to the program, with its options and the work it does.
void AddInfoCommand(CLI::App& app);
void AddDumpCommand(CLI::App& app);
void AddConvertCommand(CLI::App& app);
void AddRecordCommand(CLI::App& app);
void AddRenderCommand(CLI::App& app);
void AddDeleteCommand(CLI::App& app);
void AddInsertCommand(CLI::App& app);
void AddSplitCommand(CLI::App& app);
void AddMergeCommand(CLI::App& app);
// The timing edits: still stretches listed, shortened; a range sped up.
void AddIdleCommand(CLI::App& app);
void AddTightenCommand(CLI::App& app);
void AddSpeedCommand(CLI::App& app);
// A rectangle of a range of frames covered with a colour.
void AddRedactCommand(CLI::App& app);
void AddProjectCommand(CLI::App& app);
void AddServeCommand(CLI::App& app);
// Video: export to, import from, and screen capture (FFmpeg's libraries).
void AddExportCommand(CLI::App& app);
void AddImportCommand(CLI::App& app);
void AddCaptureCommand(CLI::App& app);
// project delete / insert / split / merge / tighten / speed, added to the project subcommand.
void AddProjectEditCommands(CLI::App& project);
// project pointer / keys / remove-key: a slide's recorded pointer and keys.
void AddProjectPointerCommands(CLI::App& project);
