#include "media/ZuVideoImport.h"

#include <cmath>

#include "host/swf/ZuTavoFile.h"
#include "media/ZuConstantRateFeed.h"
#include "media/ZuMediaError.h"
#include "media/ZuVideoDecoder.h"
#include "recorder/ZuFmrRecorder.h"

namespace {

constexpr int kMaxFrameRate = 255;

int FrameRate(const std::string& path, const ZuVideoImportOptions& options,
              const ZuVideoDecoder& decoder) {
  if (options.frameRate > 0) {
    return options.frameRate;
  }
  const long rounded = std::lround(decoder.GetFrameRate());
  if (rounded < 1 || rounded > kMaxFrameRate) {
    throw ZuMediaError(path + ": the video's frame rate is unknown or above " +
                       std::to_string(kMaxFrameRate) + "; give one");
  }
  return static_cast<int>(rounded);
}

std::unique_ptr<ZuFmrRecorder> MakeRecorder(const std::string& path,
                                            const ZuVideoImportOptions& options, int frameRate,
                                            const ZuVideoDecoder& decoder) {
  ZuFmrRecorderOptions settings;
  settings.width = decoder.GetWidth();
  settings.height = decoder.GetHeight();
  settings.frameRate = frameRate;
  settings.depth = options.depth;
  std::string error;
  std::unique_ptr<ZuFmrRecorder> recorder = ZuFmrRecorder::Create(settings, &error);
  if (!recorder) {
    throw ZuMediaError(path + ": " + error);
  }
  return recorder;
}

int64_t Microseconds(double seconds) {
  return std::llround(seconds * 1e6);
}

}  // namespace

std::unique_ptr<ZuTavoFile> ZuImportVideo(const std::string& path,
                                          const ZuVideoImportOptions& options,
                                          const ZuMediaProgress& progress) {
  ZuVideoDecoder decoder(path, nullptr, {}, &ZuFmrRecorder::WhyNotStageSize);
  const int frameRate = FrameRate(path, options, decoder);
  // The recorder takes memory for pictures of the video's size: none is taken for no picture.
  if (!decoder.HasPicture()) {
    throw ZuMediaError(path + ": no pictures");
  }
  std::unique_ptr<ZuFmrRecorder> recorder = MakeRecorder(path, options, frameRate, decoder);
  ZuConstantRateFeed feed(*recorder, frameRate, Microseconds(options.from),
                          options.to >= 0 ? Microseconds(options.to) : -1, decoder.GetWidth(),
                          decoder.GetHeight());
  int64_t time = 0;
  int64_t duration = 0;
  int64_t end = 0;
  while (!feed.IsFull() && decoder.Next(feed.Incoming(), time, duration)) {
    feed.Arrive(time);
    end = time + duration;
    if (progress && !progress(recorder->GetFrameCount(), 0)) {
      throw ZuMediaCancelled(path + ": interrupted; no file written");
    }
  }
  if (end <= Microseconds(options.from) && options.from > 0) {
    throw ZuMediaError(path + ": the video ends before the start given");
  }
  feed.End(end);
  if (recorder->GetFrameCount() == 0) {
    throw ZuMediaError(path + ": no pictures" +
                       (options.from > 0 || options.to >= 0 ? " in the range given" : ""));
  }
  std::unique_ptr<ZuTavoFile> movie = recorder->Finish();
  if (!movie) {
    throw ZuMediaError(path + ": " + recorder->GetLastError());
  }
  return movie;
}
