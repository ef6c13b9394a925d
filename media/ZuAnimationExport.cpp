#include "media/ZuAnimationExport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "host/util/ZuFileSize.h"
#include "media/ZuAnimationEncoder.h"
#include "media/ZuGifColourCensus.h"
#include "media/ZuMediaError.h"

namespace {

// Thrown out of rendering when the file being written has grown past the limit.
struct TooLarge {};

// Passes pictures on to the encoder and stops the try once the file is over the limit.
class LimitedSink : public ZuFrameSink {
 public:
  LimitedSink(ZuAnimationEncoder& encoder, uint64_t maxBytes)
      : m_encoder(encoder), m_maxBytes(maxBytes) {}
  void AddFrame(const ZuImage& picture, const ZuPixelRect& changed) override {
    m_encoder.AddFrame(picture, changed);
    if (m_maxBytes > 0 && m_encoder.BytesWritten() > m_maxBytes) {
      throw TooLarge{};
    }
  }
  void Finish() override { m_encoder.Finish(); }

 private:
  ZuAnimationEncoder& m_encoder;
  uint64_t m_maxBytes;
};

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

std::string Size(const ZuAnimationSettings& settings) {
  return std::to_string(settings.width) + "x" + std::to_string(settings.height);
}

// The colours most frames of a GIF of settings use, from a pass that writes nothing.
std::vector<uint32_t> CountColours(const ZuAnimationSettings& settings,
                                   const ZuRenderPictures& render) {
  auto census = std::make_unique<ZuGifColourCensus>(settings);
  const ZuGifColourCensus& counted = *census;
  ZuAnimationEncoder counter(std::move(census), settings);
  render(counter, 0, 2);
  counter.Finish();
  return counted.MostUsed(settings.colours - 1);
}

// Writes one try; the size of the file, or 0 when it grew past maxBytes (nothing is left).
uint64_t Try(const std::string& path, bool gif, const ZuAnimationSettings& settings,
             uint64_t maxBytes, const ZuRenderPictures& render) {
  std::unique_ptr<ZuAnimationFormat> writer =
      gif ? ZuOpenGif(path, settings, CountColours(settings, render)) : ZuOpenApng(path, settings);
  ZuAnimationEncoder encoder(std::move(writer), settings);
  LimitedSink sink(encoder, maxBytes);
  try {
    render(sink, gif ? 1 : 0, gif ? 2 : 1);
    encoder.Finish();
  } catch (const TooLarge&) {
    return 0;
  }
  const uint64_t bytes = encoder.BytesWritten();
  return maxBytes > 0 && bytes > maxBytes ? 0 : bytes;
}

}  // namespace

std::vector<ZuAnimationSettings> ZuFittingSteps(const ZuAnimationSettings& full, bool colours) {
  std::vector<ZuAnimationSettings> steps{full};
  ZuAnimationSettings step = full;
  const double rate = std::min<double>(full.maxFrameRate, full.frameRate);
  for (const double part : {2.0 / 3, 1.0 / 2, 1.0 / 3}) {
    if (rate * part >= 1) {
      step.maxFrameRate = rate * part;
      steps.push_back(step);
    }
  }
  for (const double part : {0.75, 0.5, 0.375, 0.25}) {
    step.width = std::max(1, static_cast<int>(std::lround(full.width * part)));
    step.height = std::max(1, static_cast<int>(std::lround(full.height * part)));
    steps.push_back(step);
  }
  if (colours) {
    for (const int count : {128, 64, 32, 16}) {
      if (count < full.colours) {
        step.colours = count;
        steps.push_back(step);
      }
    }
  }
  return steps;
}

std::string ZuDescribeLowered(const ZuAnimationSettings& full, const ZuAnimationSettings& step) {
  std::string text;
  auto add = [&text](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
  const double rate = std::min<double>(full.maxFrameRate, full.frameRate);
  if (step.maxFrameRate < rate) {
    add(Number(step.maxFrameRate) + " frames a second (was " + Number(rate) + ")");
  }
  if (step.width != full.width || step.height != full.height) {
    add(Size(step) + " (was " + Size(full) + ")");
  }
  if (step.colours != full.colours) {
    add(std::to_string(step.colours) + " colours (was " + std::to_string(full.colours) + ")");
  }
  return text;
}

ZuExportResult ZuExportAnimation(const std::string& path, const ZuVideoFormat& format,
                                 const ZuAnimationSettings& settings, uint64_t maxBytes,
                                 const ZuRenderPictures& render) {
  const bool gif = format.extension == std::string(".gif");
  const std::vector<ZuAnimationSettings> steps =
      maxBytes > 0 ? ZuFittingSteps(settings, gif) : std::vector<ZuAnimationSettings>{settings};
  for (const ZuAnimationSettings& step : steps) {
    const uint64_t bytes = Try(path, gif, step, maxBytes, render);
    if (bytes > 0) {
      return {bytes, ZuDescribeLowered(settings, step)};
    }
  }
  const ZuAnimationSettings& last = steps.back();
  throw ZuMediaError(path + ": does not fit in " + ZuFileSizeText(maxBytes) + ", not even at " +
                     ZuDescribeLowered(settings, last) + "; no file written");
}
