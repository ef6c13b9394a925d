#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>

class EventStream;

// Videos (MP4, GIF, ...) made from movie versions for the page to download. An export runs on
// a thread of its own, away from the session lock, from its own link to the version's file, so
// that edits go on meanwhile; its progress and its end go to every page as "export" events.
// The finished video waits in the server's private folder, known to the page only by number,
// until the page downloads it once. One export runs at a time.
class VideoExports {
 public:
  VideoExports(std::string folder, EventStream& events);
  // Stops a running export and waits for it.
  ~VideoExports();
  VideoExports(const VideoExports&) = delete;
  VideoExports& operator=(const VideoExports&) = delete;

  // True when fmredit writes videos of the type (an extension without the dot, "mp4").
  static bool IsVideoType(const std::string& type);

  // Starts making a video of the type from the movie file, to be downloaded as name plus the
  // type's extension. Takes a link to movie at once, so the caller may drop the file when this
  // returns. Returns the export's number, or 0 with a one-line reason.
  int Start(const std::string& movie, const std::string& name, const std::string& type,
            std::string* error);
  // Hands over a finished video, once: its file (the caller removes it when sent) and its
  // download name. False with a reason when there is no such finished export.
  bool Take(int number, std::string* path, std::string* name, std::string* error);
  // Asks a running export to stop; it then ends with no video.
  void CancelAll();

 private:
  struct Export {
    std::string video;  // the file in the private folder
    std::string name;   // the download name
  };
  void Run(int number, const std::string& source, const Export& job);

  std::string m_folder;
  EventStream& m_events;
  std::mutex m_lock;                // guards m_exports, m_last, m_running and m_worker
  std::map<int, Export> m_exports;  // the finished ones, by number
  int m_last = 0;
  bool m_running = false;
  std::atomic<bool> m_cancel{false};
  std::thread m_worker;
};
