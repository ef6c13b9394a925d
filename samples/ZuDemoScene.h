#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/image/ZuImage.h"

// A synthetic screen recording, frame after frame, the same on every run: a desktop with a
// taskbar, an editor window where text is typed one glyph a frame, a browser window whose
// page scrolls, and a mouse pointer that moves between them and rests now and then. The
// action repeats every kCycleFrames frames, so a scene of any length can be made; frames
// without any change occur in every cycle. Works at any size from 1 x 1; laid out for
// 640 x 400 and scaled up by whole factors for larger screens.
class ZuDemoScene {
 public:
  static constexpr int kCycleFrames = 90;

  ZuDemoScene(int width, int height);
  ~ZuDemoScene();
  ZuDemoScene(const ZuDemoScene&) = delete;
  ZuDemoScene& operator=(const ZuDemoScene&) = delete;

  // Draws the next frame into frame (made the scene's size when it is not).
  void RenderNextFrame(ZuImage& frame);
  // How many frames have been rendered.
  int GetFrameIndex() const { return m_frameIndex; }

 private:
  struct Box {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
  };

  void LayOut();
  void DrawDesktop();
  // Draws a window's frame and title bar, with an empty white body; returns the body.
  Box DrawWindow(const Box& window, uint32_t titleColor, uint32_t seed);
  void DrawTaskbar(int top);
  void FillEditorText();
  void DrawDocument();
  void ClearEditor();
  void TypeOneGlyph();
  void DrawCaret(bool visible);
  void ShowPage();
  void DrawScrollbar();
  // Where the pointer's tip is in a frame of the cycle.
  void PlacePointer(int cycleFrame, int& x, int& y) const;
  int TextLeft();

  int m_width;
  int m_height;
  int m_scale;
  int m_frameIndex = 0;
  ZuImage m_canvas;    // the screen without the pointer
  ZuImage m_document;  // the browser's whole page, body width x several body heights
  Box m_editor;
  Box m_editorBody;
  Box m_browser;
  Box m_addressBar;
  Box m_page;  // the part of the browser that shows the document
  Box m_scrollbar;
  int m_caretX = 0;
  int m_caretY = 0;
  uint32_t m_typedGlyphs = 0;
  int m_scrollOffset = 0;
};
