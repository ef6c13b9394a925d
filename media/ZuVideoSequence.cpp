#include "media/ZuVideoSequence.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "host/image/ZuImage.h"
#include "host/player/ZuTavoPlayer.h"
#include "host/pointer/ZuPointerOverlay.h"
#include "host/swf/ZuTavoFile.h"
#include "media/ZuAnimationExport.h"
#include "media/ZuMediaError.h"
#include "media/ZuVideoEncoder.h"
#include "media/formats/ZuVideoFormats.h"

namespace {

const ZuVideoFormat& FormatOrThrow(const std::string& path) {
  const ZuVideoFormat* format = ZuFindVideoFormat(path);
  if (format == nullptr) {
    throw ZuMediaError(path + ": unknown video type; give one of " + ZuVideoExtensions());
  }
  return *format;
}

// The segments with their last frames and lengths filled in, checked against their movies.
std::vector<ZuVideoSegment> Resolved(const ZuVideoSequence& sequence, int frameRate,
                                     const std::string& path) {
  std::vector<ZuVideoSegment> segments = sequence.segments;
  for (ZuVideoSegment& segment : segments) {
    const int frames = segment.movie->GetFrameCount();
    if (segment.lastFrame == 0) {
      segment.lastFrame = frames;
    }
    if (segment.firstFrame < 1 || segment.firstFrame > segment.lastFrame ||
        segment.lastFrame > frames) {
      throw ZuMediaError(path + ": frames " + std::to_string(segment.firstFrame) + " to " +
                         std::to_string(segment.lastFrame) + " are not in the movie, which has " +
                         std::to_string(frames) + " frames");
    }
    if (segment.movie->GetFrameRate() == 0) {
      throw ZuMediaError(path + ": the movie has no whole frame rate");
    }
    if (segment.frames <= 0) {
      segment.frames = ZuSegmentFramesNeeded(segment.firstFrame, segment.lastFrame,
                                             segment.movie->GetFrameRate(), frameRate);
    }
  }
  return segments;
}

ZuVideoEncoderSettings EncoderSettings(const ZuVideoSequence& sequence, int frameRate,
                                       const std::vector<ZuVideoSegment>& segments) {
  const ZuTavoFile& first = *segments.front().movie;
  ZuVideoEncoderSettings settings;
  settings.width = sequence.width > 0 ? sequence.width : static_cast<int>(first.GetWidth());
  settings.height = sequence.height > 0 ? sequence.height : static_cast<int>(first.GetHeight());
  settings.frameRate = frameRate;
  settings.crf = sequence.crf;
  settings.lossless = sequence.lossless;
  int64_t start = 0;
  for (const ZuVideoSegment& segment : segments) {
    if (!segment.chapter.empty()) {
      settings.chapters.push_back({segment.chapter, start, 0});
    }
    start += segment.frames;
    if (!settings.chapters.empty()) {
      settings.chapters.back().endFrame = start;
    }
  }
  return settings;
}

// Renders the frames of one segment into sink, each picture drawn once (a frame shown again is
// given again with nothing changed), with the overlay over it; done counts the video frames.
void RenderSegment(const ZuVideoSegment& segment, const ZuOverlayChoice& choice, int frameRate,
                   ZuFrameSink& sink, const std::string& path, int64_t& done, int64_t total,
                   const ZuMediaProgress& progress) {
  ZuTavoPlayer player(32);
  if (!player.LoadMovie(*segment.movie)) {
    throw ZuMediaError(path + ": cannot play the movie: " + player.GetLastError());
  }
  const std::unique_ptr<ZuPointerOverlay> overlay = ZuOverlayForMovie(*segment.movie, choice);
  const ZuImage* picture = nullptr;
  int drawn = 0;
  for (int k = 0; k < segment.frames; ++k) {
    const int frame = ZuSegmentFrameShown(k, segment.firstFrame, segment.lastFrame,
                                          segment.movie->GetFrameRate(), frameRate);
    ZuPixelRect changed;
    if (frame != drawn) {
      picture = player.GotoFrameAndPlay(frame) ? player.DrawCurrentScreen() : nullptr;
      changed = player.GetRedrawnArea();
      if (picture != nullptr && overlay) {
        picture = &overlay->Draw(*picture, frame, changed);
      }
      drawn = frame;
    }
    if (picture == nullptr) {
      throw ZuMediaError(path + ": cannot draw frame " + std::to_string(frame) + ": " +
                         player.GetLastError());
    }
    // A new segment's first picture may differ anywhere from the last one of the segment before.
    if (k == 0) {
      changed = {0, 0, picture->GetWidth(), picture->GetHeight()};
    }
    sink.AddFrame(*picture, changed);
    ++done;
    if (progress && !progress(static_cast<int>(done), static_cast<int>(total))) {
      throw ZuMediaCancelled(path + ": interrupted; no file written");
    }
  }
}

ZuAnimationSettings AnimationSettings(const ZuVideoEncoderSettings& video) {
  ZuAnimationSettings settings;
  settings.width = video.width;
  settings.height = video.height;
  settings.frameRate = video.frameRate;
  return settings;
}

uint64_t FileSize(const std::string& path) {
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(path, error);
  return error ? 0 : static_cast<uint64_t>(size);
}

}  // namespace

ZuExportResult ZuExportSequence(const ZuVideoSequence& sequence, const std::string& path,
                                const ZuMediaProgress& progress) {
  const ZuVideoFormat& format = FormatOrThrow(path);
  if (sequence.segments.empty()) {
    throw ZuMediaError(path + ": nothing to export");
  }
  if (sequence.lossless && format.losslessCodec == nullptr) {
    throw ZuMediaError(path + ": " + format.extension + " files cannot be lossless; use .mkv");
  }
  if (sequence.maxBytes > 0 && !format.animation) {
    throw ZuMediaError(path + ": a size limit is for GIF and APNG exports only");
  }
  const int frameRate =
      sequence.frameRate > 0 ? sequence.frameRate : sequence.segments.front().movie->GetFrameRate();
  if (frameRate == 0) {
    throw ZuMediaError(path + ": the movie has no whole frame rate");
  }
  const std::vector<ZuVideoSegment> segments = Resolved(sequence, frameRate, path);
  int64_t total = 0;
  for (const ZuVideoSegment& segment : segments) {
    total += segment.frames;
  }
  const ZuVideoEncoderSettings settings = EncoderSettings(sequence, frameRate, segments);
  const auto render = [&](ZuFrameSink& sink, int pass, int passes) {
    int64_t done = pass * total;
    for (const ZuVideoSegment& segment : segments) {
      RenderSegment(segment, sequence.overlay, frameRate, sink, path, done, passes * total,
                    progress);
    }
  };
  if (format.animation) {
    return ZuExportAnimation(path, format, AnimationSettings(settings), sequence.maxBytes, render);
  }
  ZuVideoEncoder encoder(path, format, settings);
  render(encoder, 0, 1);
  encoder.Finish();
  return {FileSize(path), {}};
}
