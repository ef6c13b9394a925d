#include "media/ZuScreenCapture.h"

#include <cmath>
#include <functional>
#include <map>

#include "host/pointer/ZuPointerTags.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuFrameTime.h"
#include "media/ZuConstantRateFeed.h"
#include "media/ZuInputRecorder.h"
#include "media/ZuMediaError.h"
#include "media/ZuPointerTrackFeed.h"
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
  // The pointer is never drawn into the pictures: it is recorded beside them.
  std::map<std::string, std::string> settings{{"framerate", std::to_string(options.frameRate)},
                                              {"draw_mouse", "0"}};
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

void Warn(const ZuScreenCaptureOptions& options, const std::string& warning) {
  if (options.warn && !warning.empty()) {
    options.warn(warning);
  }
}

// The recorder of the pointer and keys the options ask for, watching the grabber's region;
// null when they ask for neither or it cannot be had (with a warning).
std::unique_ptr<ZuInputRecorder> OpenInput(const ZuScreenCaptureOptions& options,
                                           const ZuVideoDecoder& grabber) {
  if (!options.pointer && options.keys == ZuKeyCapture::kOff) {
    return nullptr;
  }
  const ZuInputOptions watched{options.display,    options.x,           options.y,
                               grabber.GetWidth(), grabber.GetHeight(), options.pointer,
                               options.keys};
  std::string warning;
  std::unique_ptr<ZuInputRecorder> input = ZuInputRecorder::Open(watched, warning);
  if (!input) {
    warning = "display " + options.display + ": cannot be opened to record the pointer and keys";
  }
  Warn(options, warning);
  return input;
}

// Puts the track sampled beside the movie's pictures into it; the movie stays without one,
// with a warning, when it cannot take it.
void PutTrack(const ZuScreenCaptureOptions& options, ZuPointerTrackFeed& samples,
              const ZuInputRecorder& input, ZuTavoFile& movie) {
  const ZuPointerTrack track = samples.Finish(input.GetShapes(), movie.GetFrameCount());
  const std::string error = ZuPutPointerTrack(movie, track);
  if (!error.empty()) {
    Warn(options, "display " + options.display + ": the pointer and keys are left out: " + error);
  }
}

}  // namespace

std::unique_ptr<ZuTavoFile> ZuCaptureScreen(const ZuScreenCaptureOptions& options,
                                            const ZuCaptureProgress& progress) {
  std::unique_ptr<ZuVideoDecoder> grabber = OpenRegion(options);
  std::unique_ptr<ZuFmrRecorder> recorder = MakeRecorder(options, *grabber);
  const int64_t end = options.duration >= 0 ? std::llround(options.duration * 1e6) : -1;
  ZuConstantRateFeed feed(*recorder, options.frameRate, 0, end, grabber->GetWidth(),
                          grabber->GetHeight());
  std::unique_ptr<ZuInputRecorder> input = OpenInput(options, *grabber);
  ZuPointerTrackFeed samples;
  ZuCaptureStatus status;
  int64_t time = 0;
  int64_t duration = 0;
  bool going = true;
  {
    // Stops grabbing when the loop ends. The input is sampled with each grab, on its thread.
    ZuReadAhead grabs(*grabber, kGrabsAhead,
                      input ? std::function<void()>([&input] { input->Sample(); }) : nullptr);
    while (going && !feed.IsFull() && grabs.Next(feed.Incoming(), time, duration)) {
      feed.Arrive(time);
      if (input) {
        samples.Fill(recorder->GetFrameCount());
        samples.Hold(input->Take());
      }
      status.frames = recorder->GetFrameCount();
      status.seconds = ZuFrameTime::FramesToSeconds(status.frames, options.frameRate);
      status.dropped = feed.GetRepeated();
      going = !progress || progress(status);
    }
  }
  feed.End(time + 1000000 / options.frameRate);
  samples.Fill(recorder->GetFrameCount());
  std::unique_ptr<ZuTavoFile> movie = recorder->Finish();
  if (!movie) {
    throw ZuMediaError("display " + options.display + ": no picture was captured");
  }
  if (input) {
    PutTrack(options, samples, *input, *movie);
  }
  return movie;
}
