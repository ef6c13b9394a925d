#include "redact/Redaction.h"

#include <memory>

#include "engine/ZuKeyFramePicture.h"
#include "host/image/ZuImage.h"
#include "host/player/ZuAnimationUtils.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuTemporaryFolder.h"
#include "redact/BlockOpening.h"
#include "redact/PictureFill.h"

std::string RedactFrames(ZuTavoFile& movie, const RedactArea& area) {
  const int frames = movie.GetFrameCount();
  std::string why = WhyNotRedactArea(area, static_cast<int>(movie.GetWidth()),
                                     static_cast<int>(movie.GetHeight()), frames);
  if (!why.empty()) {
    return why;
  }
  // The key frames are rendered from the movie as it was, written to a file the first time one
  // is needed.
  const ZuTemporaryFolder folder("fmredit-redact");
  const std::string original = folder.File("movie.swf");
  bool saved = false;
  const OriginalFrameRenderer render = [&](int frame, std::string* reason) {
    if (!saved) {
      const ZuStatus status = folder.Path().empty() ? ZuStatus::Error("no temporary folder")
                                                    : movie.SaveToFile(original);
      if (!status.ok()) {
        *reason = "the movie cannot be written for it: " + status.Message();
        return std::unique_ptr<ZuImage>();
      }
      saved = true;
    }
    return std::unique_ptr<ZuImage>(RenderMovieFrame(ZuString(original), frame, reason));
  };
  ZuTavoFile edited(movie);
  std::string refusal = OpenBlockWhereCarriedOver(edited, area.firstFrame, render);
  if (refusal.empty() && area.lastFrame < frames) {
    refusal = OpenBlockWhereCarriedOver(edited, area.lastFrame + 1, render);
  }
  if (refusal.empty()) {
    refusal = FillPlacedPictures(edited, area);
  }
  if (!refusal.empty()) {
    return refusal;
  }
  // Every edit takes the result again only in the FMR form.
  if (!ZuAnimationUtils::IsFMRSWF(edited)) {
    return "the result would not be an FMR movie: " + ZuAnimationUtils::WhyNotFMRSWF(edited);
  }
  movie = edited;
  return "";
}
