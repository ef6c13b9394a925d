#include "recorder/ZuBlockPolicy.h"

#include <cmath>

ZuBlockPolicy::ZuBlockPolicy(int maxPictures, double newBlockFraction, double maxBlockStages)
    : m_maxPictures(maxPictures),
      m_newBlockFraction(newBlockFraction),
      m_maxBlockStages(maxBlockStages) {}

std::string ZuBlockPolicy::Check() const {
  if (m_maxPictures < 1 || m_maxPictures > kLargestMaxPictures) {
    return "pictures per block must be between 1 and " + std::to_string(kLargestMaxPictures);
  }
  if (!std::isfinite(m_newBlockFraction) || m_newBlockFraction < 0.0 || m_newBlockFraction > 1.0) {
    return "the changed share of the stage that opens a new block must be between 0 and 1";
  }
  if (!std::isfinite(m_maxBlockStages) || m_maxBlockStages < 1.0) {
    return "the stages a block's pictures may cover must be at least 1";
  }
  return {};
}

bool ZuBlockPolicy::StartsNewBlock(int picturesInBlock, int64_t blockArea,
                                   const std::vector<ZuPixelRect>& changed, int stageWidth,
                                   int stageHeight) const {
  if (picturesInBlock + static_cast<int64_t>(changed.size()) > m_maxPictures) {
    return true;
  }
  double changedArea = 0;
  for (const ZuPixelRect& rect : changed) {
    changedArea += static_cast<double>(rect.Area());
  }
  const double stageArea = static_cast<double>(stageWidth) * stageHeight;
  return changedArea >= m_newBlockFraction * stageArea ||
         static_cast<double>(blockArea) + changedArea > m_maxBlockStages * stageArea;
}
