#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The pointer and the keyboard as a recording saw them, frame by frame. The pictures of a
// recording never hold the pointer: it is drawn from this track wherever the movie is shown,
// so it can be hidden, enlarged or given click rings after the fact.
//
// A track is a plain value. An empty track (no frames) is a movie recorded without one;
// otherwise it has exactly one entry per frame of its movie, and every edit that drops,
// inserts or moves frames does the same to the track (the functions below).

// One cursor image the X server showed, stored once however often it shows.
struct ZuPointerShape {
  int width = 0;
  int height = 0;
  int hotX = 0;  // the hot spot inside the image: the pixel that points
  int hotY = 0;
  // width x height pixels, RGBA, not premultiplied; rounded as the movie keeps them
  // (ZuPointerTrack::AddShape sees to it).
  std::vector<uint8_t> rgba;

  bool operator==(const ZuPointerShape&) const = default;
};

// Pointer buttons, as bits of ZuPointerFrame::held and ::pressed.
constexpr uint8_t kZuLeftButton = 1;
constexpr uint8_t kZuMiddleButton = 2;
constexpr uint8_t kZuRightButton = 4;

// What the pointer and the keys did by one frame's time.
struct ZuPointerFrame {
  bool shown = false;  // over the stage with a shape; false: no pointer to draw
  int x = 0;           // the hot spot, in stage pixels
  int y = 0;
  int shape = 0;                  // index into ZuPointerTrack::shapes (when shown)
  uint8_t held = 0;               // buttons down at the frame's time
  uint8_t pressed = 0;            // buttons that went down since the frame before
  std::vector<std::string> keys;  // keys pressed since the frame before, as "Ctrl+S", "Return"

  bool operator==(const ZuPointerFrame&) const = default;
};

// How a movie's pointer is shown, stored with the movie; an export may choose otherwise.
enum class ZuPointerLook : uint8_t { kShow, kHide, kLarge };

struct ZuOverlaySettings {
  static constexpr double kMinLargeScale = 1.5;
  static constexpr double kMaxLargeScale = 3.0;
  static constexpr double kDefaultLargeScale = 2.0;

  ZuPointerLook pointer = ZuPointerLook::kShow;
  double largeScale = kDefaultLargeScale;  // how much larger kLarge draws it
  bool clicks = false;                     // a ring that grows and fades at each press
  bool keys = false;                       // the keys pressed lately, as a caption at the bottom

  // The scale the pointer is drawn at: 1, or largeScale for kLarge.
  double Scale() const { return pointer == ZuPointerLook::kLarge ? largeScale : 1.0; }
  bool operator==(const ZuOverlaySettings&) const = default;
};

// "show", "hide", "large" and back; false for another word.
const char* ZuPointerLookName(ZuPointerLook look);
bool ZuParsePointerLook(const std::string& word, ZuPointerLook& look);

struct ZuPointerTrack {
  std::vector<ZuPointerShape> shapes;
  std::vector<ZuPointerFrame> frames;
  ZuOverlaySettings settings;

  bool Empty() const { return frames.empty(); }
  // Whether any frame shows the pointer, and how many key presses the track holds.
  bool HasPointer() const;
  int KeyPressCount() const;
  // The index of shape in shapes, added when it is new. Its pixels are rounded first as a
  // movie keeps them (partly transparent colours premultiplied), so that a track written and
  // read back is the same track.
  int AddShape(const ZuPointerShape& shape);
};

// The edits, each the frame edit's own counterpart. Frames are counted from 0 here.

// Frames [first, first + count) of track, with only the shapes they use.
ZuPointerTrack ZuSlicePointerTrack(const ZuPointerTrack& track, int first, int count);
// Takes frames [first, first + count) out.
void ZuErasePointerFrames(ZuPointerTrack& track, int first, int count);
// Puts frames [first, first + count) of other in front of frame at (track.frames.size():
// at the end), their shapes joining track's. A track without frames takes other's settings.
void ZuInsertPointerFrames(ZuPointerTrack& track, int at, const ZuPointerTrack& other, int first,
                           int count);
// Keeps the frames whose entry of keep is true (keep has one entry per frame). The presses
// and keys of a dropped frame join the next kept frame, so a shortened movie still shows
// every click and shortcut. Events of dropped frames after the last kept one go with them.
void ZuKeepPointerFrames(ZuPointerTrack& track, const std::vector<bool>& keep);
// Takes key press index (from 0) of frame out; false when there is none.
bool ZuRemoveKeyPress(ZuPointerTrack& track, int frame, int index);
