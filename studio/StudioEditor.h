#pragma once

#include <optional>
#include <string>
#include <vector>

class IZuFMREditProgressEvent;
class ZuProject;

// The project changes the page asks for, done exactly as the command line does them: fmredit
// gives the server its own. Each change runs one top-level command (one transaction, one
// undoable step); a refusal throws std::exception whose what() is the command line's one-line
// reason, and the project is then unchanged. Slides are counted from 1, times are seconds.
// The server calls these with its session lock held, one at a time.
class StudioEditor {
 public:
  virtual ~StudioEditor() = default;

  // The open project (owned by the session) and its file's path.
  virtual ZuProject& Project() = 0;
  virtual const std::string& ProjectPath() = 0;

  // A new last slide showing the movie file (named name) or the movie of slide share.
  virtual void AddSlide(const std::string& movie, const std::string& name,
                        std::optional<int> share) = 0;
  virtual void SetMinimum(int slide, double seconds) = 0;
  virtual void Delete(int slide, double start, double length) = 0;
  virtual void Split(int slide, double at) = 0;
  // Inserts the movie file, or the movie of slide resourceOf, into slide at a time.
  virtual void Insert(int slide, double at, const std::string& movie,
                      std::optional<int> resourceOf) = 0;
  virtual void Merge(const std::vector<int>& slides) = 0;
  virtual void Step(bool undo) = 0;

  // The change that made a history state, in the words of fmredit project log.
  virtual std::string DescribeChange(const std::string& label) = 0;
  // Where the edits report progress while they run; null: nowhere.
  virtual void SetProgressSink(IZuFMREditProgressEvent* sink) = 0;
};
