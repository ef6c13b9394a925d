#include "redact/Redaction.h"

#include <memory>

#include "host/image/ZuImage.h"
#include "host/player/ZuAnimationUtils.h"
#include "host/player/ZuTavoPlayer.h"
#include "host/pointer/ZuPointerTags.h"
#include "host/swf/ZuTavoFile.h"
#include "redact/BlockOpening.h"
#include "redact/PictureFill.h"

std::string RedactFrames(ZuTavoFile& movie, const RedactArea& area) {
  const int frames = movie.GetFrameCount();
  std::string why = WhyNotRedactArea(area, static_cast<int>(movie.GetWidth()),
                                     static_cast<int>(movie.GetHeight()), frames);
  if (!why.empty()) {
    return why;
  }
  // The key frames are rendered from the movie as it was, by one player that loads it the
  // first time a key frame is needed: the frame after the range is often in the block the
  // range starts in, whose pictures the player then has decoded already.
  std::unique_ptr<ZuTavoPlayer> player;
  const OriginalFrameRenderer render = [&](int frame, std::string* reason) {
    if (player == nullptr) {
      player = std::make_unique<ZuTavoPlayer>(32);
      if (!player->LoadMovie(movie)) {
        *reason = player->GetLastError();
        player.reset();
        return std::unique_ptr<ZuImage>();
      }
    }
    std::unique_ptr<ZuImage> picture;
    if (player->GotoFrameAndPlay(frame) && player->Stop()) {
      picture.reset(player->GetCurrentScreenImage());
    }
    if (picture == nullptr) {
      *reason = player->GetLastError();
    }
    return picture;
  };
  // The recorded pointer is no picture: it stays out of the block openings and fills, and
  // goes back in with every frame where it was.
  ZuTavoFile edited(movie);
  const ZuPointerTrack pointer = ZuTakePointerTrack(edited);
  std::string refusal = OpenBlockWhereCarriedOver(edited, area.firstFrame, render);
  if (refusal.empty() && area.lastFrame < frames) {
    refusal = OpenBlockWhereCarriedOver(edited, area.lastFrame + 1, render);
  }
  if (refusal.empty()) {
    refusal = FillPlacedPictures(edited, area);
  }
  if (refusal.empty()) {
    refusal = ZuPutPointerTrack(edited, pointer);
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
