#include "media/ZuScreenCapture.h"

#include <cmath>
#include <map>

#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuFrameTime.h"
#include "media/ZuConstantRateFeed.h"
#include "media/ZuMediaError.h"
#include "media/ZuReadAhead.h"
#include "media/ZuVideoDecoder.h"
#include "recorder/ZuFmrRecorder.h"

namespace {

constexpr const char* kGrabber = "x11grab";
// Pictures grabbed ahead of the recording: room for a few slow pictures to record (a
// quarter of a second at 15 frames a second) while the grabs stay on time.
constexpr int kGrabsAhead = 4;

std::unique_ptr<ZuVideoDecoder> OpenGrabber(const ZuScreenCaptureOptions& options,
                                            const std::map<std::string, std::string>& settings) {
  try {
    return std::make_unique<ZuVideoDecoder>(options.display, kGrabber, settings);
  } catch (const ZuMediaError&) {
    throw ZuMediaError("display " + options.display + ": cannot be opened to capture the screen");
  }
}

// Checks that the region lies on the screen; throws ZuMediaError otherwise.
void CheckRegion(const ZuScreenCaptureOptions& options, int screenWidth, int screenHeight) {
  if (options.x < 0 || options.y < 0 || options.x + options.width > screenWidth ||
      options.y + options.height > screenHeight) {
    throw ZuMediaError("display " + options.display + ": the region " +
                       std::to_string(options.width) + "x" + std::to_string(options.height) + "+" +
                       std::to_string(options.x) + "+" + std::to_string(options.y) +
                       " is not inside the screen of " + std::to_string(screenWidth) + "x" +
                       std::to_string(screenHeight));
  }
}

// The grabber for the region asked for (the whole screen when none was).
std::unique_ptr<ZuVideoDecoder> OpenRegion(const ZuScreenCaptureOptions& options) {
  std::map<std::string, std::string> settings{{"framerate", std::to_string(options.frameRate)}};
  std::unique_ptr<ZuVideoDecoder> screen = OpenGrabber(options, settings);
  if (options.width == 0) {
    return screen;
  }
  CheckRegion(options, screen->GetWidth(), screen->GetHeight());
  screen.reset();
  settings["video_size"] = std::to_string(options.width) + "x" + std::to_string(options.height);
  settings["grab_x"] = std::to_string(options.x);
  settings["grab_y"] = std::to_string(options.y);
  return OpenGrabber(options, settings);
}

std::unique_ptr<ZuFmrRecorder> MakeRecorder(const ZuScreenCaptureOptions& options,
                                            const ZuVideoDecoder& grabber) {
  ZuFmrRecorderOptions settings;
  settings.width = grabber.GetWidth();
  settings.height = grabber.GetHeight();
  settings.frameRate = options.frameRate;
  settings.depth = options.depth;
  std::string error;
  std::unique_ptr<ZuFmrRecorder> recorder = ZuFmrRecorder::Create(settings, &error);
  if (!recorder) {
    throw ZuMediaError("display " + options.display + ": " + error);
  }
  return recorder;
}

}  // namespace

std::unique_ptr<ZuTavoFile> ZuCaptureScreen(const ZuScreenCaptureOptions& options,
                                            const ZuCaptureProgress& progress) {
  std::unique_ptr<ZuVideoDecoder> grabber = OpenRegion(options);
  std::unique_ptr<ZuFmrRecorder> recorder = MakeRecorder(options, *grabber);
  const int64_t end = options.duration >= 0 ? std::llround(options.duration * 1e6) : -1;
  ZuConstantRateFeed feed(*recorder, options.frameRate, 0, end, grabber->GetWidth(),
                          grabber->GetHeight());
  ZuCaptureStatus status;
  int64_t time = 0;
  int64_t duration = 0;
  bool going = true;
  {
    ZuReadAhead grabs(*grabber, kGrabsAhead);  // stops grabbing when the loop ends
    while (going && !feed.IsFull() && grabs.Next(feed.Incoming(), time, duration)) {
      feed.Arrive(time);
      status.frames = recorder->GetFrameCount();
      status.seconds = ZuFrameTime::FramesToSeconds(status.frames, options.frameRate);
      status.dropped = feed.GetRepeated();
      going = !progress || progress(status);
    }
  }
  feed.End(time + 1000000 / options.frameRate);
  std::unique_ptr<ZuTavoFile> movie = recorder->Finish();
  if (!movie) {
    throw ZuMediaError("display " + options.display + ": no picture was captured");
  }
  return movie;
}
