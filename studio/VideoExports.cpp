#include "studio/VideoExports.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <nlohmann/json.hpp>
#include <utility>

#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuFileStream.h"
#include "media/ZuMediaError.h"
#include "media/ZuVideoExport.h"
#include "media/loader/ZuMediaLibrary.h"
#include "studio/EventStream.h"

namespace {

using nlohmann::json;

// The text with every occurrence of from replaced by to.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// Reads the movie file whole, so that the file may go once this returns.
void LoadMovie(const std::string& path, ZuTavoFile* movie) {
  std::string error;
  std::unique_ptr<ZuFileStream> file(ZuFileStream::Open(path, ZuFileStream::Mode::kRead, &error));
  if (file && movie->LoadFromStream(file.get()) != kZuSuccess) {
    error = movie->GetLastError();
  }
  if (!error.empty()) {
    throw ZuMediaError("cannot read the movie: " + error);
  }
}

}  // namespace

VideoExports::VideoExports(std::string folder, EventStream& events)
    : m_folder(std::move(folder)), m_events(events) {}

VideoExports::~VideoExports() {
  CancelAll();
  if (m_worker.joinable()) {
    m_worker.join();
  }
}

bool VideoExports::IsVideoType(const std::string& type) {
  return !type.empty() && type.find_first_of("./") == std::string::npos &&
         ZuIsVideoPath("video." + type);
}

int VideoExports::Start(const std::string& movie, const std::string& name, const std::string& type,
                        std::string* error) {
  int number = 0;
  {
    std::lock_guard hold(m_lock);
    if (m_running) {
      *error = "a video is being exported; wait for it to finish";
      return 0;
    }
    m_running = true;
    number = ++m_last;
  }
  const std::string prefix = m_folder + "/export-" + std::to_string(number);
  const std::string source = prefix + ".swf";
  const Export job{prefix + "." + type, name + "." + type};
  std::error_code failed;
  std::filesystem::create_hard_link(movie, source, failed);
  if (failed) {
    std::filesystem::copy_file(movie, source, failed);
  }
  if (failed) {
    *error = "cannot export: " + failed.message();
    std::lock_guard hold(m_lock);
    m_running = false;
    return 0;
  }
  // Under the lock: the previous export may end (and another Start pass) before the thread
  // made here is stored.
  std::lock_guard hold(m_lock);
  if (m_worker.joinable()) {
    m_worker.join();  // the previous export, which has ended and takes the lock no more
  }
  m_cancel = false;
  m_worker = std::thread([this, number, source, job] { Run(number, source, job); });
  return number;
}

void VideoExports::Run(int number, const std::string& source, const Export& job) {
  std::string error;
  try {
    ZuTavoFile movie;
    LoadMovie(source, &movie);
    std::remove(source.c_str());
    int shown = -1;
    ZuMediaLibrary().exportVideo(movie, job.video, {}, [&](int done, int total) {
      const int percent = total > 0 ? done * 100 / total : 0;
      if (percent != shown) {
        shown = percent;
        m_events.Publish("export", json{{"export", number}, {"percent", percent}}.dump());
      }
      return !m_cancel;
    });
  } catch (const ZuMediaError& failure) {
    error = Replaced(failure.what(), job.video, job.name);
  } catch (const std::bad_alloc&) {
    error = job.name + ": not enough memory to export the video";
  }
  std::remove(source.c_str());
  {
    std::lock_guard hold(m_lock);
    if (error.empty()) {
      m_exports[number] = job;
    }
    m_running = false;
  }
  json done = {{"export", number}};
  if (error.empty()) {
    done["ready"] = true;
  } else {
    done["error"] = error;
  }
  m_events.Publish("export", done.dump());
}

bool VideoExports::Take(int number, std::string* path, std::string* name, std::string* error) {
  std::lock_guard hold(m_lock);
  auto found = m_exports.find(number);
  if (found == m_exports.end()) {
    *error = "no finished export " + std::to_string(number) + " (each is downloaded once)";
    return false;
  }
  *path = found->second.video;
  *name = found->second.name;
  m_exports.erase(found);
  return true;
}

void VideoExports::CancelAll() {
  m_cancel = true;
}
