#pragma once

#include <map>
#include <mutex>
#include <string>

// Movies the page uploaded, to add as slides or insert: kept in the server's private folder
// until it stops and known to the page only by number, so a request never names a file.
// Each is written through the host's output stream: a temporary file that takes its name only
// when complete.
class UploadedMovies {
 public:
  explicit UploadedMovies(std::string folder);

  // Keeps the bytes under the name the page gave; returns the upload's number, or 0 with a
  // one-line reason (not an SWF movie, the disk is full).
  int Store(const std::string& bytes, const std::string& name, std::string* error);
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
};
