#include "studio/UploadedMovies.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

#include "host/swf/ZuSwfSignature.h"
#include "host/util/ZuFileStream.h"

namespace {

// The page's name for the movie, without any folder part and with a .swf ending.
std::string CleanName(const std::string& name) {
  std::string base = name.substr(name.find_last_of("/\\") + 1);
  if (base.empty()) {
    base = "uploaded";
  }
  if (base.size() < 4 || base.compare(base.size() - 4, 4, ".swf") != 0) {
    base += ".swf";
  }
  return base;
}

}  // namespace

UploadedMovies::UploadedMovies(std::string folder) : m_folder(std::move(folder)) {}

int UploadedMovies::Store(const std::string& bytes, const std::string& name, std::string* error) {
  if (!ZuSwfSignature::Opens(bytes)) {
    *error = CleanName(name) + ": not an SWF movie";
    return 0;
  }
  int number = 0;
  {
    std::lock_guard hold(m_lock);
    number = ++m_last;
  }
  // A folder of its own, so that the file can carry the page's name into messages.
  const std::string folder = m_folder + "/upload-" + std::to_string(number);
  if (mkdir(folder.c_str(), 0700) != 0) {
    *error = "cannot keep the upload: " + std::string(std::strerror(errno));
    return 0;
  }
  const std::string path = folder + "/" + CleanName(name);
  std::unique_ptr<ZuFileStream> file(ZuFileStream::Open(path, ZuFileStream::Mode::kWrite, error));
  if (!file) {
    return 0;
  }
  if (!file->Write(bytes.data(), bytes.size()) || !file->Close()) {
    *error = "cannot keep the upload: " + std::string(std::strerror(file->GetErrorNumber()));
    file->Discard();
    return 0;
  }
  std::lock_guard hold(m_lock);
  m_uploads[number] = {path, CleanName(name)};
  return number;
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
