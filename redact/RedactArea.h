#pragma once

#include <cstdint>
#include <string>

// What to cover in a movie: a rectangle of the stage, in every frame of a range, with a colour.
struct RedactArea {
  int x = 0, y = 0, width = 0, height = 0;  // the rectangle, in stage pixels
  int firstFrame = 1, lastFrame = 1;        // the range, from 1, both included
  uint32_t fill = 0x808080;                 // 0xRRGGBB
};

// Why area cannot be redacted in a movie of that stage size and frame count, in one line
// ("" when it can): an empty rectangle, one not inside the stage (naming the edge it passes),
// a range that is empty or not inside the movie.
std::string WhyNotRedactArea(const RedactArea& area, int stageWidth, int stageHeight,
                             int frameCount);

// "WxH+X+Y", as the rectangle options are written.
std::string RectangleText(const RedactArea& area);
