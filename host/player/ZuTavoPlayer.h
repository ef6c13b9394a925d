#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/image/ZuImage.h"
#include "host/image/ZuPixelRect.h"
#include "host/player/ZuBitmapCache.h"
#include "host/player/ZuDisplayList.h"
#include "host/player/ZuShapeGeometry.h"
#include "host/player/ZuShapeRenderer.h"
#include "host/player/ZuWarningLog.h"
#include "host/util/ZuMappedPageReleaser.h"
#include "host/util/ZuString.h"

class ZuImage;
class ZuTavoFile;
class ZuSwfTag;

// The software player: renders the frames of an SWF movie into stage-sized RGBA pictures.
//
// It draws the display list of movies made of shapes (straight and curved edges; solid,
// gradient and bitmap fills; solid lines), lossless bitmaps, placements with matrices and
// colour transforms, clipping layers and the background colour. Content it does not draw
// (text, sprites, buttons, video, morph shapes, filters) is skipped with one warning per
// kind. The recorded pointer of an FMR movie (the placement at kZuPointerDepth) is not part
// of the picture: ZuPointerOverlay draws it, as the viewer chose.
//
// Moving forward applies the frames in between to the display list; moving back rebuilds
// it from frame 1. Either way only tags are walked: bitmaps are decoded when a picture is
// asked for, only those on the display list, and stay decoded while they remain on it.
// Pictures are composed incrementally: only the stage area whose placements changed since
// the last picture is drawn again, so the result equals a full redraw.
//
// The player owns its copy of the movie.
class ZuTavoPlayer : private IZuBitmapSource {
 public:
  // Stage sizes above this many pixels a side are refused.
  static constexpr uint32_t kMaxStageSide = ZuImage::kMaxSide;

  // colorDepth: the bits per pixel of the pictures; pictures are always 32-bit RGBA.
  explicit ZuTavoPlayer(int colorDepth);
  ~ZuTavoPlayer() override;
  ZuTavoPlayer(const ZuTavoPlayer&) = delete;
  ZuTavoPlayer& operator=(const ZuTavoPlayer&) = delete;

  // Loads the SWF file at path and stands at frame 1. flags are reserved; the player never
  // plays on its own, whatever startPaused says. Non-zero on success.
  int LoadMovie(const ZuString& path, int flags, uint8_t startPaused);
  // Plays a copy of a movie already in memory.
  bool LoadMovie(const ZuTavoFile& movie);

  // Moves to frame (counted from 1); false when no movie is loaded or the frame does not exist.
  bool GotoFrameAndPlay(int frame);
  // Stays at the current frame; false when no movie is loaded.
  bool Stop();
  // A new picture of the current frame, stage-sized, opaque; the caller owns it. Null on
  // failure (no movie, no memory for the stage, a lossless bitmap the picture shows whose
  // data does not decode: GetLastError() names it).
  ZuImage* GetCurrentScreenImage();
  // The same picture without a copy: the player's own, valid until the next call that draws
  // or loads. Null on failure, as above.
  const ZuImage* DrawCurrentScreen();
  // The part of the stage the last picture drawn was drawn again in: every pixel outside it
  // is as in the picture drawn before (the whole stage for the first picture; empty after a
  // failure).
  const ZuPixelRect& GetRedrawnArea() const { return m_redrawn; }

  int GetFrameCount() const { return static_cast<int>(m_frameEnds.size()); }
  // The frame the player stands at, from 1; 0 before a movie with frames is loaded.
  int GetCurrentFrame() const { return m_currentFrame; }
  // Why the last failing call failed, in one line.
  const std::string& GetLastError() const { return m_lastError; }
  // What was skipped while drawing, one message per kind of content.
  const std::vector<std::string>& GetWarnings() const { return m_warnings.GetMessages(); }
  // How many bitmaps have been decoded so far, and how many are kept decoded now.
  size_t GetBitmapDecodeCount() const { return m_bitmaps.GetDecodeCount(); }
  size_t GetCachedBitmapCount() const { return m_bitmaps.GetSize(); }

 private:
  // IZuBitmapSource: the decoded bitmap that a fill names in the current frame.
  const ZuDecodedBitmap* FindBitmap(uint16_t id) override;

  // One placement as drawn into the composed picture.
  struct DrawItem {
    ZuPlacement placement;
    const ZuShapeGeometry* shape = nullptr;  // null: nothing drawn
    std::vector<const ZuSwfTag*> bitmaps;    // the definitions its fills named
    ZuPixelRect bounds;

    bool SameDrawing(const DrawItem& other) const {
      return placement == other.placement && bitmaps == other.bitmaps;
    }
  };
  struct ShapeEntry {
    std::unique_ptr<ZuShapeGeometry> geometry;  // null when the shape is malformed
  };

  bool Fail(const std::string& reason);
  bool Adopt(std::unique_ptr<ZuTavoFile> movie);
  void IndexFrames();
  void ReadBackground();
  void ApplyFrame(int frame);

  std::map<uint16_t, DrawItem> CollectItems(ZuShapeRenderer& renderer);
  const ZuShapeGeometry* FindShape(const ZuSwfTag& tag);
  void WarnNotDrawn(const ZuSwfTag& tag);
  ZuPixelRect ChangedArea(const std::map<uint16_t, DrawItem>& items) const;
  void Compose(const std::map<uint16_t, DrawItem>& items, const ZuPixelRect& area,
               ZuShapeRenderer& renderer);
  void DropUnused(const std::map<uint16_t, DrawItem>& items);

  std::unique_ptr<ZuTavoFile> m_movie;
  std::vector<const ZuSwfTag*> m_tags;   // the movie's tags in order, null slots left out
  std::vector<size_t> m_frameEnds;       // per frame: the index after its ShowFrame
  int32_t m_originX = 0, m_originY = 0;  // the stage's corner in twips
  int m_width = 0, m_height = 0;
  ZuRgba m_background{255, 255, 255, 255};

  ZuDisplayList m_list;
  int m_currentFrame = 0;
  // Tags applied to the display list are not needed again soon: walking a long movie
  // leaves only the bitmaps on the list resident.
  ZuMappedPageReleaser m_walkedPages;

  ZuBitmapCache m_bitmaps;
  std::unordered_map<const ZuSwfTag*, ShapeEntry> m_shapes;
  std::unique_ptr<ZuImage> m_stage;         // the last composed picture
  std::map<uint16_t, DrawItem> m_composed;  // what it shows, by depth
  bool m_composedValid = false;
  ZuPixelRect m_redrawn;  // where the last picture was drawn again

  ZuWarningLog m_warnings;
  std::string m_lastError;
  std::string m_damagedBitmap;  // why the picture being drawn is wrong; empty: it is right
};
