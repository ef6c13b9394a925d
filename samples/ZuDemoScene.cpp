#include "samples/ZuDemoScene.h"

#include <algorithm>
#include <cstring>

#include "samples/ZuDemoPainter.h"

namespace {

// Typing, scrolling and pointer moves happen in these frames of each cycle.
constexpr int kTypingStart = 10;
constexpr int kTypingEnd = 45;
constexpr int kScrollStart = 50;
constexpr int kScrollEnd = 80;
constexpr int kCaretBlinkFrames = 8;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kTextColor = 0x2B2B2B;
constexpr uint32_t kGutterColor = 0xF0F0F0;

// A small fixed-seed generator, so every run draws the same screen.
class Random {
 public:
  explicit Random(uint32_t seed) : m_state(seed * 2654435761U + 0x9E3779B9U) {}
  uint32_t Next() {
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return m_state;
  }
  int Below(int bound) { return bound > 0 ? static_cast<int>(Next() % bound) : 0; }

 private:
  uint32_t m_state;
};

uint32_t Hash(uint32_t value) {
  value ^= value >> 16;
  value *= 0x45d9f3bU;
  value ^= value >> 16;
  value *= 0x45d9f3bU;
  value ^= value >> 16;
  return value;
}

int Lerp(int from, int to, int step, int steps) {
  return from + (to - from) * step / std::max(steps, 1);
}

}  // namespace

ZuDemoScene::ZuDemoScene(int width, int height)
    : m_width(std::max(width, 1)),
      m_height(std::max(height, 1)),
      m_scale(std::max(1, std::min(m_width / 640, m_height / 400))),
      m_canvas(m_width, m_height),
      m_document(1, 1) {
  LayOut();
  DrawDesktop();
  DrawDocument();
  ShowPage();
  ClearEditor();
  FillEditorText();
}

ZuDemoScene::~ZuDemoScene() = default;

void ZuDemoScene::LayOut() {
  const int u = m_scale;
  const int taskbar = m_height * 7 / 100;
  const int top = m_height * 5 / 100;
  const int bottom = m_height - taskbar - m_height * 5 / 100;
  m_editor = {m_width * 3 / 100, top, m_width * 44 / 100, bottom - top};
  m_browser = {m_width * 50 / 100, top + m_height * 4 / 100, m_width * 47 / 100,
               bottom - top - m_height * 4 / 100};
  const int title = 16 * u;
  const Box body = {m_browser.x + u, m_browser.y + title, std::max(m_browser.width - 2 * u, 0),
                    std::max(m_browser.height - title - u, 0)};
  const int address = std::min(14 * u, body.height);
  const int bar = std::min(8 * u, body.width);
  m_addressBar = {body.x, body.y, body.width, address};
  m_page = {body.x, body.y + address, body.width - bar, body.height - address};
  m_scrollbar = {m_page.x + m_page.width, m_page.y, bar, m_page.height};
}

void ZuDemoScene::DrawDesktop() {
  ZuDemoPainter painter(m_canvas, m_scale);
  painter.FillVerticalGradient(0, 0, m_width, m_height, 0x2A5D84, 0x173247);
  DrawTaskbar(m_height - m_height * 7 / 100);
  m_editorBody = DrawWindow(m_editor, 0x3B6EA5, 1);
  DrawWindow(m_browser, 0x4A7A3B, 2);
  painter.FillRect(m_addressBar.x, m_addressBar.y, m_addressBar.width, m_addressBar.height,
                   0xE4E4E4);
  const int u = m_scale;
  painter.FillRect(m_addressBar.x + 4 * u, m_addressBar.y + 2 * u, m_addressBar.width - 8 * u,
                   m_addressBar.height - 4 * u, kWhite);
  for (int i = 0; i < 24; ++i) {
    painter.DrawGlyph(m_addressBar.x + 8 * u + i * painter.GetAdvance(), m_addressBar.y + 3 * u,
                      500 + i, 0x505050);
  }
}

void ZuDemoScene::DrawTaskbar(int top) {
  ZuDemoPainter painter(m_canvas, m_scale);
  const int u = m_scale;
  const int height = m_height - top;
  painter.FillRect(0, top, m_width, height, 0x202428);
  painter.FillRect(2 * u, top + 2 * u, 24 * u, height - 4 * u, 0x3C8DDE);
  for (int button = 0; button < 2; ++button) {
    const int x = 32 * u + button * 70 * u;
    painter.FillRect(x, top + 2 * u, 64 * u, height - 4 * u, button == 0 ? 0x3A4048 : 0x2C3138);
    for (int i = 0; i < 6; ++i) {
      painter.DrawGlyph(x + 4 * u + i * painter.GetAdvance(), top + 4 * u, 300 + button * 10 + i,
                        0xDDDDDD);
    }
  }
  for (int i = 0; i < 5; ++i) {
    painter.DrawGlyph(m_width - 50 * u + i * painter.GetAdvance(), top + 4 * u, 900 + i, 0xDDDDDD);
  }
}

ZuDemoScene::Box ZuDemoScene::DrawWindow(const Box& window, uint32_t titleColor, uint32_t seed) {
  ZuDemoPainter painter(m_canvas, m_scale);
  const int u = m_scale;
  const int title = 16 * u;
  painter.FillRect(window.x, window.y, window.width, window.height, 0x5A5A5A);
  painter.FillVerticalGradient(window.x + u, window.y + u, window.width - 2 * u, title - u,
                               titleColor, titleColor - 0x202020);
  for (int i = 0; i < 12; ++i) {
    painter.DrawGlyph(window.x + 6 * u + i * painter.GetAdvance(), window.y + 3 * u, seed * 100 + i,
                      kWhite);
  }
  const uint32_t buttons[] = {0xC8C8C8, 0xC8C8C8, 0xD9473A};
  for (int i = 0; i < 3; ++i) {
    painter.FillRect(window.x + window.width - (3 - i) * 14 * u - 2 * u, window.y + 3 * u, 12 * u,
                     10 * u, buttons[i]);
  }
  const Box body = {window.x + u, window.y + title, std::max(window.width - 2 * u, 0),
                    std::max(window.height - title - u, 0)};
  painter.FillRect(body.x, body.y, body.width, body.height, kWhite);
  return body;
}

int ZuDemoScene::TextLeft() {
  ZuDemoPainter painter(m_canvas, m_scale);
  return m_editorBody.x + 4 * painter.GetAdvance() + 2 * m_scale;
}

void ZuDemoScene::ClearEditor() {
  ZuDemoPainter painter(m_canvas, m_scale);
  const Box& body = m_editorBody;
  painter.FillRect(body.x, body.y, body.width, body.height, kWhite);
  painter.FillRect(body.x, body.y, 4 * painter.GetAdvance(), body.height, kGutterColor);
  m_caretX = TextLeft();
  m_caretY = body.y + 2 * m_scale;
}

// Code-like lines over the top part of the editor: line numbers in the gutter, indented
// words in a few colors, comment lines now and then.
void ZuDemoScene::FillEditorText() {
  ZuDemoPainter painter(m_canvas, m_scale);
  Random random(7);
  const uint32_t colors[] = {kTextColor, kTextColor, 0x7A3E9D, 0xA31515, 0x1E6FB8};
  const int right = m_editorBody.x + m_editorBody.width - painter.GetAdvance();
  const int lines = std::max(m_editorBody.height / painter.GetLineHeight() * 45 / 100, 0);
  for (int line = 0; line < lines; ++line) {
    const int y = m_caretY;
    const int number = line + 1;
    for (int digit = 0, value = number; digit < 3 && value > 0; ++digit, value /= 10) {
      painter.DrawGlyph(m_editorBody.x + (2 - digit) * painter.GetAdvance(), y, value % 10,
                        0x909090);
    }
    const bool comment = random.Below(5) == 0;
    int x = TextLeft() + random.Below(4) * 2 * painter.GetAdvance();
    const int words = 1 + random.Below(6);
    for (int word = 0; word < words; ++word) {
      const uint32_t color = comment ? 0x2E8B3A : colors[random.Below(5)];
      const int length = 2 + random.Below(7);
      for (int i = 0; i < length && x + painter.GetAdvance() <= right; ++i) {
        painter.DrawGlyph(x, y, random.Next(), color);
        x += painter.GetAdvance();
      }
      x += painter.GetAdvance();
    }
    m_caretY += painter.GetLineHeight();
  }
}

// The browser's page: headings, paragraphs, pictures and links, three views long; the
// view wraps around at its end.
void ZuDemoScene::DrawDocument() {
  const int width = std::max(m_page.width, 1);
  const int height = std::max(m_page.height * 3, 1);
  m_document = ZuImage(width, height);
  ZuDemoPainter painter(m_document, m_scale);
  const int u = m_scale;
  painter.FillRect(0, 0, width, height, kWhite);
  Random random(11);
  const int left = 6 * u;
  const int right = width - 6 * u;
  int y = 4 * u;
  while (y < height) {
    const int kind = random.Below(6);
    if (kind == 0) {  // a heading
      for (int x = left, i = 0; i < 4 + random.Below(8) && x < right; ++i) {
        painter.DrawGlyph(x, y, random.Next(), 0x1A4F9C);
        x += painter.GetAdvance() + u;
      }
      y += painter.GetLineHeight() + 4 * u;
    } else if (kind == 1) {  // a picture
      const int pictureHeight = 40 * u;
      const uint32_t top = 0x404040 | (random.Next() & 0xBFBFBF);
      painter.FillVerticalGradient(left, y, (right - left) * 6 / 10, pictureHeight, top,
                                   top ^ 0x3F3F3F);
      painter.FillRect(left + 10 * u, y + 10 * u, 20 * u, 20 * u, 0xF2C94C);
      y += pictureHeight + 6 * u;
    } else {  // a paragraph, maybe with a link
      const int lines = 2 + random.Below(4);
      for (int line = 0; line < lines; ++line) {
        const int end =
            line == lines - 1 ? left + (right - left) * (3 + random.Below(6)) / 10 : right;
        for (int x = left; x + painter.GetAdvance() <= end;) {
          const int length = 2 + random.Below(7);
          const uint32_t color = random.Below(12) == 0 ? 0x1F5FD0 : 0x333333;
          for (int i = 0; i < length && x + painter.GetAdvance() <= end; ++i) {
            painter.DrawGlyph(x, y, random.Next(), color);
            x += painter.GetAdvance();
          }
          x += painter.GetAdvance();
        }
        y += painter.GetLineHeight();
      }
      y += 6 * u;
    }
  }
}

// Copies the view of the document at the scroll offset onto the canvas.
void ZuDemoScene::ShowPage() {
  const int rows = std::min(m_page.height, m_height - m_page.y);
  const int columns = std::min({m_page.width, m_width - m_page.x, m_document.GetWidth()});
  if (rows <= 0 || columns <= 0 || m_page.x < 0 || m_page.y < 0) {
    return;
  }
  for (int row = 0; row < rows; ++row) {
    const int source = (m_scrollOffset + row) % m_document.GetHeight();
    std::memcpy(m_canvas.Row(m_page.y + row) + static_cast<size_t>(m_page.x) * 4,
                m_document.Row(source), static_cast<size_t>(columns) * 4);
  }
  DrawScrollbar();
}

void ZuDemoScene::DrawScrollbar() {
  ZuDemoPainter painter(m_canvas, m_scale);
  const Box& bar = m_scrollbar;
  painter.FillRect(bar.x, bar.y, bar.width, bar.height, 0xE8E8E8);
  const int thumb = bar.height / 3;
  const int travel = bar.height - thumb;
  const int position = m_scrollOffset % std::max(m_document.GetHeight(), 1);
  const int y = bar.y + travel * position / std::max(m_document.GetHeight(), 1);
  painter.FillRect(bar.x + m_scale, y, bar.width - 2 * m_scale, thumb, 0xA0A0A0);
}

void ZuDemoScene::TypeOneGlyph() {
  ZuDemoPainter painter(m_canvas, m_scale);
  const uint32_t index = m_typedGlyphs++;
  const bool space = Hash(index) % 6 == 0;
  if (!space) {
    painter.DrawGlyph(m_caretX, m_caretY, Hash(index * 7 + 3), kTextColor);
  }
  m_caretX += painter.GetAdvance();
  const int right = m_editorBody.x + m_editorBody.width - painter.GetAdvance();
  if (m_caretX + painter.GetAdvance() > right) {
    m_caretX = TextLeft();
    m_caretY += painter.GetLineHeight();
    if (m_caretY + painter.GetLineHeight() > m_editorBody.y + m_editorBody.height) {
      ClearEditor();
    }
  }
}

void ZuDemoScene::DrawCaret(bool visible) {
  ZuDemoPainter painter(m_canvas, m_scale);
  painter.FillRect(m_caretX - m_scale, m_caretY - m_scale, m_scale,
                   painter.GetGlyphHeight() + 2 * m_scale, visible ? 0x000000 : kWhite);
}

void ZuDemoScene::PlacePointer(int cycleFrame, int& x, int& y) const {
  const int u = m_scale;
  const int restX = m_editor.x + m_editor.width * 6 / 10;
  const int restY = m_editor.y + m_editor.height * 7 / 10;
  const int pageX = m_browser.x + m_browser.width / 2;
  const int pageY = m_browser.y + m_browser.height * 45 / 100;
  const int barX = m_scrollbar.x + m_scrollbar.width / 2;
  const int barY = m_scrollbar.y + m_scrollbar.height / 6;
  const int dragEnd = barY + (kScrollEnd - kScrollStart) * u;
  const int c = cycleFrame;
  if (c < kTypingStart) {
    x = restX, y = restY;
  } else if (c < 30) {
    x = Lerp(restX, pageX, c - kTypingStart, 30 - kTypingStart);
    y = Lerp(restY, pageY, c - kTypingStart, 30 - kTypingStart);
  } else if (c < kTypingEnd) {
    x = pageX, y = pageY;
  } else if (c < kScrollStart) {
    x = Lerp(pageX, barX, c - kTypingEnd, kScrollStart - kTypingEnd);
    y = Lerp(pageY, barY, c - kTypingEnd, kScrollStart - kTypingEnd);
  } else if (c < kScrollEnd) {
    x = barX, y = barY + (c - kScrollStart) * u;
  } else {
    x = Lerp(barX, restX, c - kScrollEnd, ZuDemoScene::kCycleFrames - kScrollEnd);
    y = Lerp(dragEnd, restY, c - kScrollEnd, ZuDemoScene::kCycleFrames - kScrollEnd);
  }
}

void ZuDemoScene::RenderNextFrame(ZuImage& frame) {
  const int c = m_frameIndex % kCycleFrames;
  const bool typing = c >= kTypingStart && c < kTypingEnd;
  if (typing) {
    DrawCaret(false);
    TypeOneGlyph();
  }
  if (c >= kScrollStart && c < kScrollEnd) {
    m_scrollOffset += 2 * m_scale;
    ShowPage();
  }
  // The editor loses the focus while the pointer works in the browser.
  const bool browserFocused = c >= kTypingEnd && c < kScrollEnd;
  DrawCaret(typing || (!browserFocused && (c / kCaretBlinkFrames) % 2 == 0));

  if (frame.GetWidth() != m_width || frame.GetHeight() != m_height) {
    frame = ZuImage(m_width, m_height);
  }
  std::memcpy(frame.GetBuffer(), m_canvas.GetBuffer(), m_canvas.GetBuffSize());
  int x = 0;
  int y = 0;
  PlacePointer(c, x, y);
  ZuDemoPainter(frame, m_scale).DrawPointer(x, y);
  ++m_frameIndex;
}
