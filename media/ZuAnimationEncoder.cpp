#include "media/ZuAnimationEncoder.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

namespace {

// The smallest rectangle holding every pixel inside within where a and b differ.
ZuPixelRect DifferingRect(const ZuImage& a, const ZuImage& b, const ZuPixelRect& within) {
  ZuPixelRect found;
  const size_t rowBytes = static_cast<size_t>(within.Width()) * 4;
  for (int y = within.top; y < within.bottom; ++y) {
    const uint8_t* rowA = a.Row(y) + static_cast<size_t>(within.left) * 4;
    const uint8_t* rowB = b.Row(y) + static_cast<size_t>(within.left) * 4;
    if (std::memcmp(rowA, rowB, rowBytes) == 0) {
      continue;
    }
    int left = 0;
    while (std::memcmp(rowA + ptrdiff_t{4} * left, rowB + ptrdiff_t{4} * left, 4) == 0) {
      ++left;
    }
    int right = within.Width();
    while (std::memcmp(rowA + ptrdiff_t{4} * (right - 1), rowB + ptrdiff_t{4} * (right - 1), 4) ==
           0) {
      --right;
    }
    found = found.Union({within.left + left, y, within.left + right, y + 1});
  }
  return found;
}

void CopyRect(const ZuImage& from, ZuImage& to, const ZuPixelRect& rect) {
  const size_t rowBytes = static_cast<size_t>(rect.Width()) * 4;
  for (int y = rect.top; y < rect.bottom; ++y) {
    std::memcpy(to.Row(y) + static_cast<size_t>(rect.left) * 4,
                from.Row(y) + static_cast<size_t>(rect.left) * 4, rowBytes);
  }
}

}  // namespace

ZuAnimationEncoder::ZuAnimationEncoder(std::unique_ptr<ZuAnimationFormat> format,
                                       const ZuAnimationSettings& settings)
    : m_format(std::move(format)),
      m_shown(settings.width, settings.height),
      m_waiting(settings.width, settings.height),
      m_scaled(0, 0) {}

const ZuImage& ZuAnimationEncoder::AtSize(const ZuImage& given) {
  const int width = m_waiting.GetWidth();
  const int height = m_waiting.GetHeight();
  if (given.GetWidth() == width && given.GetHeight() == height) {
    return given;
  }
  if (m_scaled.GetWidth() != width) {
    m_scaled = ZuImage(width, height);
  }
  m_scaler.Scale(given, m_scaled);
  return m_scaled;
}

void ZuAnimationEncoder::AddFrame(const ZuImage& given, const ZuPixelRect& givenChanges) {
  const int64_t now = m_format->TimeOfTick(m_ticks++);
  const bool first = m_ticks == 1;
  if (!first && givenChanges.IsEmpty()) {
    return;
  }
  const ZuImage& picture = AtSize(given);
  const ZuPixelRect whole{0, 0, m_waiting.GetWidth(), m_waiting.GetHeight()};
  // A scaled picture may differ anywhere the scaler's filter reaches.
  const ZuPixelRect changed = &picture == &given ? givenChanges.Intersect(whole) : whole;
  if (first) {
    CopyRect(picture, m_waiting, whole);
    m_waitingChanges = whole;
    m_waitingStart = now;
    return;
  }
  const ZuPixelRect differs = DifferingRect(m_waiting, picture, changed);
  if (differs.IsEmpty()) {
    return;
  }
  // A change soon after the waiting picture's start replaces it; a later one writes it.
  if (now - m_waitingStart >= m_format->MinDelay()) {
    WriteWaiting(now);
    m_waitingStart = now;
  }
  CopyRect(picture, m_waiting, differs);
  m_waitingChanges = m_waitingChanges.Union(differs);
}

void ZuAnimationEncoder::WriteWaiting(int64_t until) {
  const ZuPixelRect rect = m_firstWritten
                               ? DifferingRect(m_shown, m_waiting, m_waitingChanges)
                               : ZuPixelRect{0, 0, m_waiting.GetWidth(), m_waiting.GetHeight()};
  // A stillness longer than a frame can last goes on in frames that change nothing.
  int64_t delay = std::max<int64_t>(until - m_waitingStart, 1);
  const int64_t first = std::min(delay, m_format->MaxDelay());
  m_format->WriteFrame(m_waiting, m_firstWritten ? &m_shown : nullptr, rect, first);
  for (delay -= first; delay > 0;) {
    const int64_t part = std::min(delay, m_format->MaxDelay());
    m_format->WriteFrame(m_waiting, &m_shown, {}, part);
    delay -= part;
  }
  CopyRect(m_waiting, m_shown, rect);
  m_waitingChanges = {};
  m_firstWritten = true;
}

void ZuAnimationEncoder::Finish() {
  if (m_ticks > 0) {
    WriteWaiting(std::max(m_format->TimeOfTick(m_ticks), m_waitingStart + m_format->MinDelay()));
  }
  m_format->Finish();
}
