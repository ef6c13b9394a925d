#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class EventStream;
class ProjectExport;

// Videos (MP4, GIF, ...) of the project or of a slide for the page to download. An export is
// planned by the caller under the session lock (ProjectExport reads the movies it needs) and
// encoded here on a thread of its own, without the lock, so that edits go on meanwhile; its
// progress and its end (with the file's size, and what was lowered to fit a size limit) go to
// every page as "export" events. The finished video waits in the
// server's private folder, known to the page only by number, until the page downloads it
// once; a whole-project export also keeps its chapters text. One export runs at a time.
class VideoExports {
 public:
  VideoExports(std::string folder, EventStream& events);
  // Stops a running export and waits for it.
  ~VideoExports();
  VideoExports(const VideoExports&) = delete;
  VideoExports& operator=(const VideoExports&) = delete;

  // True when fmredit writes videos of the type (an extension without the dot, "mp4").
  static bool IsVideoType(const std::string& type);

  // Starts encoding plan as a video of the type, to be downloaded as name plus the type's
  // extension. Returns the export's number, or 0 with a one-line reason.
  int Start(std::unique_ptr<ProjectExport> plan, const std::string& name, const std::string& type,
            std::string* error);
  // Hands over a finished video, once: its file (the caller removes it when sent) and its
  // download name. False with a reason when there is no such finished export.
  bool Take(int number, std::string* path, std::string* name, std::string* error);
  // The chapters text of a finished whole-project export and its download name; false when
  // there is none.
  bool Chapters(int number, std::string* text, std::string* name);
  // Stops the running export number (it ends with a "cancelled" event and no video) or drops
  // its finished video; false when there is no such export.
  bool Cancel(int number);
  // Asks a running export to stop; it then ends with no video.
  void CancelAll();

 private:
  struct Export {
    std::string video;     // the file in the private folder; empty once downloaded
    std::string name;      // the download name, with the type's extension
    std::string chapters;  // the chapters text; empty for a one-slide export
  };
  void Run(int number, const std::shared_ptr<const ProjectExport>& plan, Export job);
  void Publish(int number, int done, int total, double secondsLeft);

  std::string m_folder;
  EventStream& m_events;
  std::mutex m_lock;                // guards m_exports, m_last, m_running and m_worker
  std::map<int, Export> m_exports;  // the finished ones, by number
  int m_last = 0;
  int m_running = 0;  // the number of the running export; 0: none
  std::atomic<bool> m_cancel{false};
  std::thread m_worker;
};
