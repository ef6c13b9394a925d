#include "studio/MovieFrames.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "host/app/ZuProject.h"
#include "host/image/ZuImage.h"
#include "host/image/ZuPng.h"
#include "host/pointer/ZuPointerOverlay.h"
#include "host/pointer/ZuPointerTags.h"
#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/swf/ZuSwfTagFactory.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuFileStream.h"

namespace {

// Versions kept loaded at once: the page looks at one slide at a time, and an edit makes one
// or two new versions.
constexpr size_t kMoviesKept = 6;
// Full-size frames go uncompressed over the loopback: compressing them, even only their
// runs, would cost the server about a third more time per frame than the rest of the work.
// Thumbnails are small, and compressing their runs costs little.
constexpr int kFramePngLevel = 0;
constexpr int kThumbnailPngLevel = 1;
// Where key-frame blocks put their full picture: the recorder's key frames and the key
// frames an edit renders.
constexpr uint16_t kKeyFrameDepths[] = {1, 100};

bool IsKeyFramePlacement(const ZuSwfTag& tag) {
  const auto type = tag.GetTagType();
  if (type != ZuSwfTagFactory::kPlaceObject2 && type != ZuSwfTagFactory::kPlaceObject3) {
    return false;
  }
  const auto& place = static_cast<const ZuSwfPlaceObject2Tag&>(tag);
  if (!place.GetPlacedCharacterId() || place.IsMove()) {
    return false;
  }
  const uint16_t depth = place.GetDepth();
  return std::find(std::begin(kKeyFrameDepths), std::end(kKeyFrameDepths), depth) !=
         std::end(kKeyFrameDepths);
}

// The frames (from 1) in which a key-frame block opens.
std::vector<int> FindKeyFrames(const ZuTavoFile& movie) {
  std::vector<int> frames;
  int frame = 1;
  for (const ZuSwfTag* tag : movie) {
    if (tag == nullptr) {
      continue;
    }
    if (tag->GetTagType() == ZuSwfTagFactory::kShowFrame) {
      ++frame;
    } else if (IsKeyFramePlacement(*tag) && (frames.empty() || frames.back() != frame)) {
      frames.push_back(frame);
    }
  }
  return frames;
}

// A smaller copy of the picture, width pixels wide, each pixel the mean of the pixels it
// covers.
ZuImage ScaleDown(const ZuImage& picture, int width) {
  const int sourceWidth = picture.GetWidth();
  const int sourceHeight = picture.GetHeight();
  const int height = std::max(1, static_cast<int>(int64_t{sourceHeight} * width / sourceWidth));
  ZuImage scaled(width, height);
  for (int y = 0; y < height; ++y) {
    const int top = static_cast<int>(int64_t{y} * sourceHeight / height);
    const int bottom = std::max(top + 1, static_cast<int>(int64_t{y + 1} * sourceHeight / height));
    uint8_t* out = scaled.Row(y);
    for (int x = 0; x < width; ++x) {
      const int left = static_cast<int>(int64_t{x} * sourceWidth / width);
      const int right = std::max(left + 1, static_cast<int>(int64_t{x + 1} * sourceWidth / width));
      uint32_t sum[4] = {};
      for (int sy = top; sy < bottom; ++sy) {
        const uint8_t* in = picture.Row(sy) + static_cast<ptrdiff_t>(left) * 4;
        for (int sx = left; sx < right; ++sx, in += 4) {
          for (int c = 0; c < 4; ++c) {
            sum[c] += in[c];
          }
        }
      }
      const uint32_t count = static_cast<uint32_t>((bottom - top) * (right - left));
      for (int c = 0; c < 4; ++c) {
        out[x * 4 + c] = static_cast<uint8_t>(sum[c] / count);
      }
    }
  }
  return scaled;
}

// Frame (from 1) as the player draws it; the caller holds the player's lock.
std::unique_ptr<ZuImage> Draw(ZuTavoPlayer& player, const MovieFrames::Facts& facts, int frame,
                              std::string* error) {
  if (!player.GotoFrameAndPlay(frame)) {
    *error = "no frame " + std::to_string(frame) + " (the movie has " +
             std::to_string(facts.frameCount) + ")";
    return nullptr;
  }
  std::unique_ptr<ZuImage> picture(player.GetCurrentScreenImage());
  if (!picture) {
    *error = "cannot render frame " + std::to_string(frame);
  }
  return picture;
}

// The rows from the first to the last that differ between two pictures of one size; none
// (rows 0) when they are equal.
void ChangedRows(const ZuImage& before, const ZuImage& after, int* top, int* rows) {
  const size_t rowBytes = static_cast<size_t>(after.GetWidth()) * 4;
  const auto differs = [&](int y) { return std::memcmp(before.Row(y), after.Row(y), rowBytes); };
  int first = 0;
  int end = after.GetHeight();
  while (first < end && differs(first) == 0) {
    ++first;
  }
  while (end > first && differs(end - 1) == 0) {
    --end;
  }
  *top = first == end ? 0 : first;
  *rows = end - first;
}

}  // namespace

struct MovieFrames::Movie {
  Facts facts;
  std::string path;
  Player viewer;
  Player strip;
  uint64_t lastUse = 0;
  // The viewer player's last picture and its frame; guarded by viewer.lock.
  std::shared_ptr<const ZuImage> lastPicture;
  int lastFrame = 0;
  // The recorded pointer and keys, and the overlay that draws them over the viewer player's
  // pictures with the settings it was made for (null until wanted). inStep: the viewer
  // player's last picture went through the overlay, so the area the player drew again is
  // all that changed under it. Guarded by viewer.lock.
  ZuPointerTrack track;
  std::unique_ptr<ZuPointerOverlay> overlay;
  ZuOverlaySettings overlaySettings;
  bool inStep = false;

  // The picture of frame with the overlay for settings drawn over the player's picture.
  std::shared_ptr<const ZuImage> WithOverlay(std::unique_ptr<ZuImage> picture, int frame,
                                             const ZuOverlaySettings& settings);
};

std::shared_ptr<const ZuImage> MovieFrames::Movie::WithOverlay(std::unique_ptr<ZuImage> picture,
                                                               int frame,
                                                               const ZuOverlaySettings& settings) {
  ZuPixelRect redrawn = viewer.player.GetRedrawnArea();
  if (!overlay || settings != overlaySettings) {
    overlay = std::make_unique<ZuPointerOverlay>(track, settings, facts.frameRate);
    overlaySettings = settings;
    inStep = false;
  }
  if (!inStep) {
    redrawn = {0, 0, picture->GetWidth(), picture->GetHeight()};
  }
  inStep = true;
  if (!overlay->DrawsAnything()) {
    return picture;
  }
  return std::make_shared<const ZuImage>(overlay->Draw(*picture, frame, redrawn));
}

MovieFrames::MovieFrames(std::string folder) : m_folder(std::move(folder)) {}
MovieFrames::~MovieFrames() = default;

bool MovieFrames::Prepare(const ZuProject& project, int64_t version, Facts* facts,
                          std::string* error) {
  if (std::shared_ptr<Movie> known = Find(version)) {
    *facts = known->facts;
    return true;
  }
  auto movie = std::make_shared<Movie>();
  movie->path = m_folder + "/version-" + std::to_string(version) + ".swf";
  if (!project.ExportVersion(version, movie->path, error)) {
    return false;
  }

  std::unique_ptr<ZuFileStream> file(
      ZuFileStream::Open(movie->path, ZuFileStream::Mode::kRead, error));
  ZuTavoFile tavo;
  if (!file || tavo.LoadFromStream(file.get()) != kZuSuccess) {
    if (file) {
      *error = tavo.GetLastError();
    }
    return false;
  }
  if (!movie->viewer.player.LoadMovie(tavo) || !movie->strip.player.LoadMovie(tavo)) {
    *error = movie->viewer.player.GetLastError();
    return false;
  }
  movie->track = ZuReadPointerTrack(tavo);
  movie->facts = {version,
                  static_cast<int>(tavo.GetWidth()),
                  static_cast<int>(tavo.GetHeight()),
                  tavo.GetFrameRate(),
                  movie->viewer.player.GetFrameCount(),
                  FindKeyFrames(tavo)};
  *facts = movie->facts;

  std::lock_guard hold(m_lock);
  movie->lastUse = ++m_uses;
  m_movies[version] = std::move(movie);
  Forget(kMoviesKept);
  return true;
}

std::string MovieFrames::FileOf(int64_t version) {
  std::shared_ptr<Movie> movie = Find(version);
  return movie ? movie->path : std::string();
}

bool MovieFrames::RenderForViewer(int64_t version, int frame, int after,
                                  const ZuOverlayChoice& preview, ViewerFrame* shown,
                                  std::string* error) {
  std::shared_ptr<Movie> movie = Find(version);
  if (!movie) {
    *error = "unknown movie version " + std::to_string(version);
    return false;
  }
  std::lock_guard hold(movie->viewer.lock);
  std::unique_ptr<ZuImage> drawn = Draw(movie->viewer.player, movie->facts, frame, error);
  if (!drawn) {
    movie->inStep = false;
    return false;
  }
  std::shared_ptr<const ZuImage> picture;
  if (movie->track.Empty()) {
    picture = std::move(drawn);
  } else {
    picture = movie->WithOverlay(std::move(drawn), frame, preview.AppliedTo(movie->track.settings));
  }
  *shown = {picture, 0, picture->GetHeight()};
  if (after > 0 && after == movie->lastFrame && movie->lastPicture) {
    ChangedRows(*movie->lastPicture, *picture, &shown->top, &shown->rows);
  }
  movie->lastPicture = picture;
  movie->lastFrame = frame;
  return true;
}

bool MovieFrames::RenderPng(int64_t version, int frame, int width, std::vector<uint8_t>* png,
                            std::string* error) {
  std::shared_ptr<Movie> movie = Find(version);
  if (!movie) {
    *error = "unknown movie version " + std::to_string(version);
    return false;
  }
  const bool thumbnail = width > 0 && width < movie->facts.width;
  Player& which = thumbnail ? movie->strip : movie->viewer;
  std::unique_ptr<ZuImage> picture;
  {
    std::lock_guard hold(which.lock);
    picture = Draw(which.player, movie->facts, frame, error);
    if (!thumbnail) {
      movie->inStep = false;  // the overlay did not see this picture of the viewer's player
    }
  }
  if (!picture) {
    return false;
  }
  if (thumbnail) {
    return ZuPng::Encode(ScaleDown(*picture, width), kThumbnailPngLevel, png, error);
  }
  return ZuPng::Encode(*picture, kFramePngLevel, png, error);
}

std::shared_ptr<MovieFrames::Movie> MovieFrames::Find(int64_t version) {
  std::lock_guard hold(m_lock);
  auto found = m_movies.find(version);
  if (found == m_movies.end()) {
    return nullptr;
  }
  found->second->lastUse = ++m_uses;
  return found->second;
}

// Drops the least recently used movies beyond keep, with their files; a render still using
// one keeps it alive until it ends.
void MovieFrames::Forget(size_t keep) {
  while (m_movies.size() > keep) {
    auto oldest = std::min_element(
        m_movies.begin(), m_movies.end(),
        [](const auto& a, const auto& b) { return a.second->lastUse < b.second->lastUse; });
    std::remove(oldest->second->path.c_str());
    m_movies.erase(oldest);
  }
}
