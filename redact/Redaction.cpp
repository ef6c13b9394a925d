#include "redact/Redaction.h"

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
  // The key frames are rendered from the movie as it was.
  const ZuTemporaryFolder folder("fmredit-redact");
  const std::string original = folder.File("movie.swf");
  if (folder.Path().empty()) {
    return "no temporary folder for the key frames";
  }
  if (const ZuStatus saved = movie.SaveToFile(original); !saved.ok()) {
    return "cannot write the movie for its key frames: " + saved.Message();
  }
  ZuTavoFile edited(movie);
  std::string refusal =
      OpenBlockWhereCarriedOver(edited, area.firstFrame, original, area.firstFrame);
  if (refusal.empty() && area.lastFrame < frames) {
    refusal = OpenBlockWhereCarriedOver(edited, area.lastFrame + 1, original, area.lastFrame + 1);
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
