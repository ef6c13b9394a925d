#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "media/ZuMediaProgress.h"
#include "media/ZuVideoSequence.h"

class OpenProjectSession;
class ZuTavoFile;

// What of a project becomes a video, as the command line and the web editor ask for it.
struct ProjectExportRequest {
  std::optional<int> slide;     // from 1; absent: every slide in order
  std::optional<double> start;  // seconds into the slide's movie; only with slide
  std::optional<double> end;
  int width = 0;  // the picture size, both or neither; 0: the first slide's stage
  int height = 0;
  int crf = -1;  // the codec's constant quality; -1: the format's default
  bool lossless = false;
  uint64_t maxBytes = 0;  // GIF and APNG: the largest file; 0: no limit
  // Over each slide's movie's own pointer overlay settings; absent fields keep the movie's.
  ZuOverlayChoice overlay;
};

// A video export of a project, planned while the session is held and run without it, so that
// the web editor encodes on a thread of its own while edits go on. The plan reads the movies
// the slides show into memory and resolves them to the frames each shows for how long:
//  - one slide: the frames of its movie (or of the time asked), at the movie's rate;
//  - the whole project: every slide in order for its duration (never less than its movie),
//    the last frame held to the end, at the highest frame rate of the movies (slower movies
//    show each frame for longer), pictures scaled to the first slide's stage, with one chapter
//    per slide named after it. Slides that show no movie are left out, each with a note.
// Every refusal throws EditError with its one-line reason.
class ProjectExport {
 public:
  ProjectExport(const OpenProjectSession& session, const ProjectExportRequest& request);
  ~ProjectExport();
  ProjectExport(const ProjectExport&) = delete;
  ProjectExport& operator=(const ProjectExport&) = delete;

  // The video frames the export encodes.
  int TotalFrames() const { return m_total; }
  // One line per slide left out.
  const std::vector<std::string>& Notes() const { return m_notes; }
  // The chapters as video sites read them from a description: one line "M:SS Name" (H:MM:SS
  // past an hour) per slide; empty when the export is of one slide.
  std::string ChaptersText() const;

  // Encodes the video at path, its type by its extension; needs no lock. Throws ZuMediaError
  // (ZuMediaCancelled when progress asks to stop), and leaves no file then.
  ZuExportResult Run(const std::string& path, const ZuMediaProgress& progress) const;
  // Writes ChaptersText() to path; throws EditError when it cannot.
  void WriteChapters(const std::string& path) const;

 private:
  void PlanSlide(const OpenProjectSession& session, const ProjectExportRequest& request);
  void PlanProject(const OpenProjectSession& session);
  const ZuTavoFile& Movie(const OpenProjectSession& session, int slide);

  std::vector<std::pair<int64_t, std::unique_ptr<ZuTavoFile>>> m_movies;  // by version
  ZuVideoSequence m_sequence;
  std::vector<std::string> m_notes;
  int m_total = 0;
};

// The chapters file written beside a whole-project video: "tutorial.mp4" gives
// "tutorial.chapters.txt".
std::string ChaptersFileOf(const std::string& video);
