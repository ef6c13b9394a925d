#pragma once

#include <functional>

#include "media/ZuAvHandles.h"

// The GIF palette: a filter graph that takes every RGBA frame of the clip, makes one palette
// of 256 colours from all of them and gives the frames back in that palette (pal8). The
// frames come out once the last one has gone in, so the graph holds the whole clip; GIF is for
// short clips.
class ZuPaletteFilter {
 public:
  // Frames of width x height at frameRate frames a second. Throws ZuMediaError.
  ZuPaletteFilter(int width, int height, int frameRate);

  // Takes one frame (the graph keeps its own reference).
  void Push(const AVFrame& frame);
  // Tells the graph the clip is complete.
  void Close();
  // Hands each frame ready in the palette to take, in order.
  void Pull(const std::function<void(AVFrame&)>& take);

 private:
  ZuAvFilterGraph m_graph;
  AVFilterContext* m_source = nullptr;
  AVFilterContext* m_sink = nullptr;
  ZuAvFrame m_out;
};
