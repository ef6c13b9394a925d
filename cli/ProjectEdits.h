#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class IZuFMREditProgressEvent;
class OpenProjectSession;

// The changes fmredit makes to an open project: what the project subcommands run, and what
// fmredit serve runs for its page. Each runs one top-level command (one transaction, one
// undoable step) and throws CliError with the one-line reason when it is refused; the project
// is then unchanged. Slides are counted from 1; times are seconds.

// project add / set.
struct SlideOptions {
  std::string project;  // the project file, for messages
  std::string movie;
  std::string name;
  std::optional<int> after;
  std::optional<int> share;
  int slide = 0;
  double minimum = 0.0;
};
// Adds a slide showing options.movie or the movie of slide options.share; returns its number.
int AddSlideToProject(const OpenProjectSession& session, const SlideOptions& options);
void SetSlideMinimum(const OpenProjectSession& session, const SlideOptions& options);

// project delete / insert / split / merge.
struct EditOptions {
  std::string project;
  int slide = 0;
  double start = 0.0;
  double length = 0.0;
  double at = 0.0;
  std::string movie;
  std::optional<int> resourceOf;
  std::vector<int> slides;
};
void DeleteFramesOfSlide(const OpenProjectSession& session, const EditOptions& options);
void InsertIntoSlide(const OpenProjectSession& session, const EditOptions& options);
void SplitSlide(const OpenProjectSession& session, const EditOptions& options);
void MergeSlides(const OpenProjectSession& session, const EditOptions& options);
// Where the edits report their progress; null: the bar on a terminal's standard error.
void SetEditProgressSink(IZuFMREditProgressEvent* sink);

// project undo / redo: moves along the project's history; returns the state now current.
int64_t StepProjectHistory(const OpenProjectSession& session, bool undo);
// The command that made a state of the history, in words (project log).
std::string DescribeChange(const std::string& label);
