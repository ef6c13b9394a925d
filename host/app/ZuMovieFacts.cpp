#include "host/app/ZuMovieFacts.h"

#include "host/player/ZuAnimationUtils.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuFrameTime.h"
#include "host/util/ZuMappedFile.h"

namespace {

bool SetError(std::string* error, const std::string& message) {
  if (error != nullptr) {
    *error = message;
  }
  return false;
}

}  // namespace

bool ZuMovieFacts::ReadFile(const std::string& path, ZuMovieFacts* facts, std::string* error) {
  ZuSharedBytes bytes;
  if (!ZuMappedFile::Map(path, bytes, error)) {
    return false;
  }
  return Examine(std::move(bytes), facts, error);
}

bool ZuMovieFacts::Examine(ZuSharedBytes bytes, ZuMovieFacts* facts, std::string* error) {
  ZuTavoFile movie;
  if (movie.LoadFromBytes(bytes) != kZuSuccess) {
    return SetError(error, "not an SWF movie: " + movie.GetLastError());
  }
  facts->bytes = std::move(bytes);
  facts->fmr = ZuAnimationUtils::IsFMRSWF(movie);
  facts->SetLength(movie.GetFrameCount(), movie.GetFrameRate());
  return true;
}

void ZuMovieFacts::SetLength(uint16_t frames, uint16_t rate) {
  frameCount = frames;
  frameRate = rate;
  duration = ZuFrameTime::FramesToSeconds(frames, rate);
}
