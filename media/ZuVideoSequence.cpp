#include "media/ZuVideoSequence.h"

#include <memory>

#include "host/image/ZuImage.h"
#include "host/player/ZuTavoPlayer.h"
#include "host/swf/ZuTavoFile.h"
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

// Renders the frames of one segment into encoder, one picture per movie frame shown (a held
// frame is encoded again, not drawn again); done counts the video frames.
void EncodeSegment(const ZuVideoSegment& segment, int frameRate, ZuVideoEncoder& encoder,
                   const std::string& path, int64_t& done, int64_t total,
                   const ZuMediaProgress& progress) {
  ZuTavoPlayer player(32);
  if (!player.LoadMovie(*segment.movie)) {
    throw ZuMediaError(path + ": cannot play the movie: " + player.GetLastError());
  }
  std::unique_ptr<ZuImage> picture;
  int drawn = 0;
  for (int k = 0; k < segment.frames; ++k) {
    const int frame = ZuSegmentFrameShown(k, segment.firstFrame, segment.lastFrame,
                                          segment.movie->GetFrameRate(), frameRate);
    if (frame != drawn) {
      picture.reset(player.GotoFrameAndPlay(frame) ? player.GetCurrentScreenImage() : nullptr);
      drawn = frame;
    }
    if (!picture) {
      throw ZuMediaError(path + ": cannot draw frame " + std::to_string(frame) + ": " +
                         player.GetLastError());
    }
    encoder.AddFrame(*picture);
    ++done;
    if (progress && !progress(static_cast<int>(done), static_cast<int>(total))) {
      throw ZuMediaCancelled(path + ": interrupted; no file written");
    }
  }
}

}  // namespace

ZuExportResult ZuExportSequence(const ZuVideoSequence& sequence, const std::string& path,
                                const ZuMediaProgress& progress) {
  const ZuVideoFormat& format = FormatOrThrow(path);
  if (sequence.segments.empty()) {
    throw ZuMediaError(path + ": nothing to export");
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
  ZuVideoEncoder encoder(path, format, EncoderSettings(sequence, frameRate, segments));
  int64_t done = 0;
  for (const ZuVideoSegment& segment : segments) {
    EncodeSegment(segment, frameRate, encoder, path, done, total, progress);
  }
  encoder.Finish();
  return {};
}
