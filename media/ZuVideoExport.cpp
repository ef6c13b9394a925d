#include "media/ZuVideoExport.h"

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
    throw ZuMediaError(path + ": unknown video type; give one of " + ZuVideoExtensionList());
  }
  return *format;
}

// The frames to export, checked against the movie's.
void CheckRange(const std::string& path, int frames, int first, int last) {
  if (first < 1 || first > last || last > frames) {
    throw ZuMediaError(path + ": frames " + std::to_string(first) + " to " + std::to_string(last) +
                       " are not in the movie, which has " + std::to_string(frames) + " frames");
  }
}

ZuVideoEncoderSettings EncoderSettings(const ZuTavoFile& movie,
                                       const ZuVideoExportOptions& options) {
  ZuVideoEncoderSettings settings;
  settings.width = options.width > 0 ? options.width : static_cast<int>(movie.GetWidth());
  settings.height = options.height > 0 ? options.height : static_cast<int>(movie.GetHeight());
  settings.frameRate = movie.GetFrameRate();
  settings.crf = options.crf;
  settings.lossless = options.lossless;
  return settings;
}

}  // namespace

void ZuExportVideo(const ZuTavoFile& movie, const std::string& path,
                   const ZuVideoExportOptions& options, const ZuMediaProgress& progress) {
  const ZuVideoFormat& format = FormatOrThrow(path);
  if (movie.GetFrameRate() == 0) {
    throw ZuMediaError(path + ": the movie has no whole frame rate");
  }
  ZuTavoPlayer player(32);
  if (!player.LoadMovie(movie)) {
    throw ZuMediaError(path + ": cannot play the movie: " + player.GetLastError());
  }
  const int last = options.lastFrame > 0 ? options.lastFrame : player.GetFrameCount();
  CheckRange(path, player.GetFrameCount(), options.firstFrame, last);
  ZuVideoEncoder encoder(path, format, EncoderSettings(movie, options));
  const int total = last - options.firstFrame + 1;
  for (int frame = options.firstFrame; frame <= last; ++frame) {
    std::unique_ptr<ZuImage> picture;
    if (player.GotoFrameAndPlay(frame)) {
      picture.reset(player.GetCurrentScreenImage());
    }
    if (!picture) {
      throw ZuMediaError(path + ": cannot draw frame " + std::to_string(frame) + ": " +
                         player.GetLastError());
    }
    encoder.AddFrame(*picture);
    if (progress && !progress(frame - options.firstFrame + 1, total)) {
      throw ZuMediaCancelled(path + ": interrupted; no file written");
    }
  }
  encoder.Finish();
}
