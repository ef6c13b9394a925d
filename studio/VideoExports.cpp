#include "studio/VideoExports.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <new>
#include <nlohmann/json.hpp>
#include <utility>

#include "media/ZuMediaError.h"
#include "media/ZuMediaProgress.h"
#include "media/formats/ZuVideoFormats.h"
#include "projectedit/EditError.h"
#include "projectedit/ProjectExport.h"
#include "studio/EventStream.h"

namespace {

using nlohmann::json;

// Progress events go out when the percent changes, and at least this often meanwhile (for the
// time left) but no more: the pages redraw for each.
constexpr std::chrono::milliseconds kProgressInterval(500);

// The text with every occurrence of from replaced by to.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
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

int VideoExports::Start(std::unique_ptr<ProjectExport> plan, const std::string& name,
                        const std::string& type, std::string* error) {
  std::lock_guard hold(m_lock);
  if (m_running != 0) {
    *error = "a video is being exported; wait for it to finish or cancel it";
    return 0;
  }
  if (m_worker.joinable()) {
    m_worker.join();  // the previous export, which has ended and takes the lock no more
  }
  const int number = ++m_last;
  m_running = number;
  m_cancel = false;
  Export job{m_folder + "/export-" + std::to_string(number) + "." + type, name + "." + type, {}};
  std::shared_ptr<const ProjectExport> shared(std::move(plan));
  m_worker = std::thread([this, number, shared, job] { Run(number, shared, job); });
  return number;
}

void VideoExports::Publish(int number, int done, int total, double secondsLeft) {
  json event = {{"export", number},
                {"done", done},
                {"total", total},
                {"percent", total > 0 ? static_cast<int>(int64_t{done} * 100 / total) : 0},
                {"secondsLeft", nullptr}};
  if (secondsLeft >= 0) {
    event["secondsLeft"] = std::lround(secondsLeft);
  }
  m_events.Publish("export", event.dump());
}

void VideoExports::Run(int number, const std::shared_ptr<const ProjectExport>& plan, Export job) {
  json end = {{"export", number}};
  const auto start = std::chrono::steady_clock::now();
  auto shown = start - kProgressInterval;
  int percent = -1;
  try {
    const ZuExportResult result = plan->Run(job.video, [&](int done, int total) {
      const auto now = std::chrono::steady_clock::now();
      const int reached = total > 0 ? static_cast<int>(int64_t{done} * 100 / total) : 0;
      if (reached != percent || now - shown >= kProgressInterval) {
        percent = reached;
        shown = now;
        Publish(number, done, total,
                ZuSecondsLeft(done, total, std::chrono::duration<double>(now - start).count()));
      }
      return !m_cancel;
    });
    job.chapters = plan->ChaptersText();
    end["ready"] = true;
    end["bytes"] = result.bytes;
    if (!result.lowered.empty()) {
      end["lowered"] = result.lowered;
    }
  } catch (const ZuMediaCancelled&) {
    end["cancelled"] = true;
  } catch (const ZuMediaError& failure) {
    end["error"] = Replaced(failure.what(), job.video, job.name);
  } catch (const std::bad_alloc&) {
    end["error"] = job.name + ": not enough memory to export the video";
  }
  {
    std::lock_guard hold(m_lock);
    if (end.contains("ready")) {
      m_exports[number] = std::move(job);
    }
    m_running = 0;
  }
  m_events.Publish("export", end.dump());
}

bool VideoExports::Take(int number, std::string* path, std::string* name, std::string* error) {
  std::lock_guard hold(m_lock);
  auto found = m_exports.find(number);
  if (found == m_exports.end() || found->second.video.empty()) {
    *error = "no finished export " + std::to_string(number) + " (each is downloaded once)";
    return false;
  }
  *path = found->second.video;
  *name = found->second.name;
  found->second.video.clear();
  if (found->second.chapters.empty()) {
    m_exports.erase(found);
  }
  return true;
}

bool VideoExports::Chapters(int number, std::string* text, std::string* name) {
  std::lock_guard hold(m_lock);
  auto found = m_exports.find(number);
  if (found == m_exports.end() || found->second.chapters.empty()) {
    return false;
  }
  *text = found->second.chapters;
  *name = ChaptersFileOf(found->second.name);
  return true;
}

bool VideoExports::Cancel(int number) {
  std::lock_guard hold(m_lock);
  if (number != 0 && number == m_running) {
    m_cancel = true;
    return true;
  }
  auto found = m_exports.find(number);
  if (found == m_exports.end()) {
    return false;
  }
  if (!found->second.video.empty()) {
    std::remove(found->second.video.c_str());
  }
  m_exports.erase(found);
  return true;
}

void VideoExports::CancelAll() {
  m_cancel = true;
}
