#include "studio/UploadedMovies.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <utility>

#include "host/swf/ZuFileKind.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuString.h"
#include "media/ZuMediaError.h"
#include "media/loader/ZuMediaLibrary.h"

namespace {

// Longest kept name in bytes, well inside a file name's limit.
constexpr size_t kMaxNameBytes = 200;

// The page's name for the file without any folder part or control characters, and not too long.
std::string PlainName(const std::string& name) {
  std::string base = name.substr(name.find_last_of("/\\") + 1);
  std::replace_if(
      base.begin(), base.end(),
      [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }, '_');
  if (base.size() > kMaxNameBytes) {
    size_t cut = kMaxNameBytes;
    while (cut > 0 && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80) {
      --cut;  // not inside a character
    }
    base.resize(cut);
  }
  return base.empty() ? "uploaded" : base;
}

// The name the movie is kept under: the plain name ending in .swf, a video's own extension
// giving way to it.
std::string KeptName(std::string base, bool video) {
  const size_t dot = base.rfind('.');
  if (video && dot != std::string::npos && dot > 0) {
    base.resize(dot);
  }
  if (base.size() < 4 || base.compare(base.size() - 4, 4, ".swf") != 0) {
    base += ".swf";
  }
  return base;
}

// The text on one line.
std::string OneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  std::replace(text.begin(), text.end(), '\r', ' ');
  return text;
}

}  // namespace

UploadedMovies::Arrival::~Arrival() {
  if (m_file != nullptr) {
    std::fclose(m_file);
  }
  if (!m_folder.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
  }
}

bool UploadedMovies::Arrival::Write(const char* data, size_t size) {
  if (std::fwrite(data, 1, size, m_file) != size) {
    m_error = "cannot keep the upload: " + std::string(std::strerror(errno));
    return false;
  }
  return true;
}

UploadedMovies::UploadedMovies(std::string folder) : m_folder(std::move(folder)) {}

bool UploadedMovies::IsName(const std::string& name) {
  // Decoding turns every malformed piece into U+FFFD, so only UTF-8 comes back unchanged.
  return ZuString(std::string_view(name)).GetUTF8String() == name;
}

std::unique_ptr<UploadedMovies::Arrival> UploadedMovies::Receive(const std::string& name,
                                                                 std::string* error) {
  std::unique_ptr<Arrival> arrival(new Arrival);
  {
    std::lock_guard hold(m_lock);
    arrival->m_number = ++m_last;
  }
  // A folder of its own, so that the file can carry the page's name into messages.
  const std::string folder = m_folder + "/upload-" + std::to_string(arrival->m_number);
  if (mkdir(folder.c_str(), 0700) != 0) {
    *error = "cannot keep the upload: " + std::string(std::strerror(errno));
    return nullptr;
  }
  arrival->m_folder = folder;
  arrival->m_received = folder + "/received";
  arrival->m_name = name;
  arrival->m_file = std::fopen(arrival->m_received.c_str(), "wb");
  if (arrival->m_file == nullptr) {
    *error = "cannot keep the upload: " + std::string(std::strerror(errno));
    return nullptr;
  }
  return arrival;
}

int UploadedMovies::Keep(std::unique_ptr<Arrival> arrival, std::string* error) {
  const bool closed = std::fclose(arrival->m_file) == 0;
  arrival->m_file = nullptr;
  if (!closed) {
    *error = "cannot keep the upload: " + std::string(std::strerror(errno));
    return 0;
  }
  const std::string& received = arrival->m_received;
  const ZuFileKind kind = ZuFileKind::OfFile(received);
  const bool video = kind.family == ZuFileKind::Family::kVideo;
  const std::string given = PlainName(arrival->m_name);
  const std::string name = KeptName(given, video);
  const std::string path = arrival->m_folder + "/" + name;
  if (kind.family == ZuFileKind::Family::kSwf) {
    if (std::rename(received.c_str(), path.c_str()) != 0) {
      *error = "cannot keep the upload: " + std::string(std::strerror(errno));
      return 0;
    }
  } else if (!video) {
    *error = given + ": " + (*kind.name != 0 ? std::string(kind.name) + ", " : std::string()) +
             "neither an SWF movie nor a video (MP4, WebM, MKV, MOV, GIF ...)";
    return 0;
  } else {
    try {
      const ZuVideoImportOptions defaults;
      std::unique_ptr<ZuTavoFile> movie = ZuMediaLibrary().importVideo(
          received, defaults, [this](int, int) { return !m_stopping; });
      const ZuStatus written = movie->SaveToFile(path);
      if (!written.ok()) {
        throw ZuMediaError("cannot keep the movie: " + written.Message());
      }
    } catch (const std::exception& failure) {
      // The reason names the received file; the page knows the movie by name.
      std::string reason = failure.what();
      for (size_t at = reason.find(received); at != std::string::npos; at = reason.find(received)) {
        reason.erase(at, received.size() + (reason.compare(at + received.size(), 2, ": ") ? 0 : 2));
      }
      *error = given + ": cannot import the video: " + OneLine(reason);
      return 0;
    }
    std::remove(received.c_str());
  }
  std::lock_guard hold(m_lock);
  m_uploads[arrival->m_number] = {path, name};
  arrival->m_folder.clear();  // kept
  return arrival->m_number;
}

bool UploadedMovies::Find(int number, std::string* path, std::string* name) {
  std::lock_guard hold(m_lock);
  auto found = m_uploads.find(number);
  if (found == m_uploads.end()) {
    return false;
  }
  *path = found->second.path;
  *name = found->second.name;
  return true;
}

std::string UploadedMovies::WithoutFolders(const std::string& text) const {
  std::string plain = text;
  const std::string prefix = m_folder + "/upload-";
  for (size_t at = plain.find(prefix); at != std::string::npos; at = plain.find(prefix, at)) {
    const size_t slash = plain.find('/', at + prefix.size());
    if (slash == std::string::npos) {
      break;
    }
    plain.erase(at, slash + 1 - at);
  }
  return plain;
}
