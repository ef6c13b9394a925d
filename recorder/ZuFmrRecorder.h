#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/image/ZuImage.h"
#include "host/swf/ZuSwfTag.h"
#include "recorder/ZuBlockPolicy.h"
#include "recorder/ZuFrameDiff.h"
#include "recorder/ZuFramePixels.h"

class ZuImage;
class ZuTavoFile;

// What a recording is made of.
struct ZuFmrRecorderOptions {
  int width = 0;  // stage size in pixels, 1 to kMaxStageSide
  int height = 0;
  int frameRate = 15;  // whole frames per second, 1 to 255
  int depth = 32;      // 32: BitmapFormat 5 pictures; 16: BitmapFormat 4 (5-5-5) pictures
  ZuBlockPolicy blockPolicy;
  // zlib level of the pictures, 1 (fastest) to 12 (smallest).
  int compressionLevel = kDefaultCompressionLevel;
  // Side in pixels of the tiles that changes are found in (ZuFrameDiff): smaller tiles
  // split a frame's changes into more, smaller pictures.
  int tileSide = ZuFrameDiff::kDefaultTileSide;

  static constexpr int kMaxStageSide = ZuImage::kMaxSide;
  // Measured on a screen capture with a scrolling terminal (text in colour-mapped
  // pictures): level 8 takes an eighth less room than level 7 for a quarter more time;
  // level 9 takes twice the time of level 8 for a thirtieth less.
  static constexpr int kDefaultCompressionLevel = 8;
};

// Turns a sequence of RGBA frames into an FMR movie.
//
// The movie opens with a FileAttributes and a SetBackgroundColor tag. Each key-frame
// block opens with a full picture of the stage placed at depth 1; each later frame of the
// block that changes anything adds a picture of each changed rectangle (ZuFrameDiff) at
// the next depths from 101; a frame without changes is a lone ShowFrame. Key frames are
// bitmaps of the movie's depth (format 5 or 4), which tells the editor the depth of the
// key frames it makes; a partial picture of few colours is colour-mapped (format 3). A new block
// first frees every bitmap of the old one and removes every depth it placed. Finish adds a hold
// frame and a stop frame. Character ids rise from 1 and are never reused.
//
// The recorder owns the movie until Finish hands it over.
class ZuFmrRecorder {
 public:
  // A recorder, or null with the reason in *error when the options are not usable.
  static std::unique_ptr<ZuFmrRecorder> Create(const ZuFmrRecorderOptions& options,
                                               std::string* error);
  // Why a stage of width x height pixels cannot be recorded; empty when it can. Create asks
  // here, and so does whoever wants to refuse a size before preparing its pictures.
  static std::string WhyNotStageSize(int width, int height);
  ~ZuFmrRecorder();
  ZuFmrRecorder(const ZuFmrRecorder&) = delete;
  ZuFmrRecorder& operator=(const ZuFmrRecorder&) = delete;

  // Records one frame (its alpha is ignored). False, with the reason in GetLastError(),
  // when the frame has another size, the movie is full or already finished; the frame is
  // then left out and the recording so far stays usable.
  bool AddFrame(const ZuImage& frame);

  // Ends the movie and hands it over; null, with the reason in GetLastError(), when no
  // frame was recorded or Finish was already called.
  std::unique_ptr<ZuTavoFile> Finish();

  const std::string& GetLastError() const { return m_lastError; }
  // Frames recorded so far, and the key-frame blocks they make.
  int GetFrameCount() const { return m_frameCount; }
  int GetBlockCount() const { return m_blockCount; }

 private:
  explicit ZuFmrRecorder(const ZuFmrRecorderOptions& options);

  bool CheckRoomForFrame(const ZuImage& frame);
  void WriteHeader();
  // Each writes a whole frame, or nothing and false with the reason in m_lastError.
  bool WriteFrame();
  bool WriteKeyFrame();
  bool WritePartialFrame(const std::vector<ZuPixelRect>& changed);
  void FitInCharacterIds(std::vector<ZuPixelRect>& changed) const;

  // A bitmap of a rectangle of the current frame and a shape drawing it in place.
  struct Picture {
    std::unique_ptr<ZuSwfTag> bitmap;
    std::unique_ptr<ZuSwfTag> shape;
    uint16_t bitmapId = 0;
    uint16_t shapeId = 0;
  };
  // Key frames keep the frame's own format (see the class comment); partial pictures may
  // be colour-mapped.
  bool MakePicture(const ZuPixelRect& rect, bool keyFrame, Picture& picture);
  void WriteCleanUpFrees();
  void WriteCleanUpRemovals();
  void WritePlacement(uint16_t shapeId, uint16_t depth);
  void WriteShowFrame();
  void WriteStopFrame();
  uint16_t TakeId() { return static_cast<uint16_t>(m_nextId++); }
  void Append(ZuSwfTag* tag);

  ZuFmrRecorderOptions m_options;
  ZuFrameDiff m_diff;
  ZuFramePixels m_previous;
  ZuFramePixels m_current;
  std::unique_ptr<ZuTavoFile> m_movie;
  uint32_t m_nextId = 1;  // the next character id to hand out
  uint32_t m_showFrames = 0;
  int m_frameCount = 0;
  int m_blockCount = 0;
  std::vector<uint16_t> m_blockBitmaps;  // bitmaps defined by the open block
  std::vector<uint16_t> m_blockDepths;   // depths placed by the open block
  int64_t m_blockArea = 0;               // pixels of the open block's partial pictures
  uint16_t m_nextDepth = 0;
  std::string m_lastError;
};
