#pragma once

#include <atomic>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>

// Movies the page uploaded, to add as slides or insert: kept in the server's private folder
// until it stops and known to the page only by number, so a request never names a file.
// An upload is written to a folder of its own as it arrives; a video (MP4, WebM, MKV, MOV,
// GIF, known by its first bytes) is then imported to an FMR movie as `fmredit import` does.
class UploadedMovies {
 public:
  // An upload while its bytes arrive. Its folder goes with it unless Keep takes it.
  class Arrival {
   public:
    ~Arrival();
    Arrival(const Arrival&) = delete;
    Arrival& operator=(const Arrival&) = delete;
    // Appends bytes to the file; false with Error() set when the disk refuses them.
    bool Write(const char* data, size_t size);
    const std::string& Error() const { return m_error; }

   private:
    friend class UploadedMovies;
    Arrival() = default;
    int m_number = 0;
    std::string m_folder;
    std::string m_received;  // the bytes as they came
    std::string m_name;      // the page's name
    FILE* m_file = nullptr;
    std::string m_error;
  };

  explicit UploadedMovies(std::string folder);

  // Whether an upload's name is UTF-8 text, which the kept name and messages must be.
  static bool IsName(const std::string& name);
  // Starts receiving an upload the page named name; null with a one-line reason when its
  // folder cannot be made.
  std::unique_ptr<Arrival> Receive(const std::string& name, std::string* error);
  // Keeps what arrived as a movie; returns the upload's number, or 0 with a one-line reason
  // (neither an SWF movie nor a video, a video that cannot be imported, the disk is full).
  int Keep(std::unique_ptr<Arrival> arrival, std::string* error);
  // Ends imports under way (they fail as cancelled): the server is stopping.
  void StopImports() { m_stopping = true; }

  // The file and name of an upload; false when there is no such upload.
  bool Find(int number, std::string* path, std::string* name);
  // A message with the uploads' private folders taken out, so it names the movie as the page
  // knows it.
  std::string WithoutFolders(const std::string& text) const;

 private:
  struct Upload {
    std::string path;
    std::string name;
  };
  std::string m_folder;
  std::mutex m_lock;
  std::map<int, Upload> m_uploads;
  int m_last = 0;
  std::atomic<bool> m_stopping{false};
};
