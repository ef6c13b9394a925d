#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/image/ZuPixelRect.h"

// Decides when a recording closes its key-frame block and opens a new one with a full
// picture of the stage. A block ends when a frame's pictures would pass its most pictures;
// when a frame changes so much of the stage that a full picture costs about as much as the
// changed rectangles would; or when its partial pictures together would cover more than a
// few stages. The last rule bounds the cost of showing any frame from scratch, which is
// decoding its block's pictures up to that frame.
class ZuBlockPolicy {
 public:
  static constexpr int kDefaultMaxPictures = 100;
  static constexpr double kDefaultNewBlockFraction = 0.5;
  // Colour-mapped pictures inflate a byte a pixel, so three stages of them cost less to
  // show than two stages of 32-bit pictures; a block of three holds a third fewer key frames.
  static constexpr double kDefaultMaxBlockStages = 3.0;
  // Partial pictures use depths from 101 up, so a block holds at most this many pictures.
  static constexpr int kLargestMaxPictures = 30000;

  ZuBlockPolicy() = default;
  // maxPictures: the most pictures a block holds, its key frame included (1 makes every
  // changed frame a key frame). newBlockFraction: the share of the stage (0 to 1) whose
  // change opens a new block. maxBlockStages: how many stages the partial pictures of a
  // block may cover together (at least 1).
  ZuBlockPolicy(int maxPictures, double newBlockFraction,
                double maxBlockStages = kDefaultMaxBlockStages);

  // Empty when the values are usable, else why not.
  std::string Check() const;

  // Whether a frame whose changes are the rectangles changed (each a picture of its own)
  // should open a new block, when the open block holds picturesInBlock pictures (its key
  // frame included) whose partial pictures cover blockArea pixels.
  bool StartsNewBlock(int picturesInBlock, int64_t blockArea,
                      const std::vector<ZuPixelRect>& changed, int stageWidth,
                      int stageHeight) const;

  int GetMaxPictures() const { return m_maxPictures; }
  double GetNewBlockFraction() const { return m_newBlockFraction; }
  double GetMaxBlockStages() const { return m_maxBlockStages; }

 private:
  int m_maxPictures = kDefaultMaxPictures;
  double m_newBlockFraction = kDefaultNewBlockFraction;
  double m_maxBlockStages = kDefaultMaxBlockStages;
};
