#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/pointer/ZuPointerTrack.h"
#include "media/ZuKeyCapture.h"

struct _XDisplay;  // NOLINT(bugprone-reserved-identifier): Xlib names its display so

// What the X input recorder watches.
struct ZuInputOptions {
  std::string display = ":0";
  int x = 0;  // the captured region, in screen pixels
  int y = 0;
  int width = 0;
  int height = 0;
  bool pointer = true;  // position, shape and buttons
  ZuKeyCapture keys = ZuKeyCapture::kOff;
};

// Records the X pointer and keyboard beside a screen grabber, on a connection of its own:
// one Sample per grabbed picture, taken on the grabbing thread just after the grab, and
// Take on the recording thread for that picture, in the same order.
//
// A sample is a ZuPointerFrame: the pointer's hot spot relative to the region (not shown
// outside it), its shape (the cursor image through XFixes, fetched only when the server says
// it changed), the buttons held, and the presses and keys (XInput2 raw events) that came
// since the sample before. Each sample costs one round trip to the server (the pointer query);
// events are read as they are queued.
class ZuInputRecorder {
 public:
  // Opens the connection and asks for the events wanted. Null when the display cannot be
  // opened. What the server lacks (XFixes: no pointer shape, so no pointer; XInput2: no keys,
  // and presses only from buttons seen held) is left out, said in warning as one line.
  static std::unique_ptr<ZuInputRecorder> Open(const ZuInputOptions& options, std::string& warning);
  ~ZuInputRecorder();
  ZuInputRecorder(const ZuInputRecorder&) = delete;
  ZuInputRecorder& operator=(const ZuInputRecorder&) = delete;

  // Samples the pointer and the events so far (the grabbing thread).
  void Sample();
  // The oldest sample not taken yet (the recording thread); a sample with no events, at the
  // state of the last one, when none is waiting.
  ZuPointerFrame Take();
  // The shapes the samples index. Only once sampling has stopped.
  const std::vector<ZuPointerShape>& GetShapes() const { return m_shapes.shapes; }

 private:
  ZuInputRecorder(_XDisplay* display, const ZuInputOptions& options);
  // Which extensions the server has; the warning for what it lacks.
  std::string Setup();
  // The pointer's position, shape and buttons into sample, with the events so far.
  void SamplePointer(ZuPointerFrame& sample);
  // The events queued into sample (presses and keys); notes a new cursor shape.
  void ReadEvents(ZuPointerFrame& sample);
  void OnRawEvent(int type, int detail, ZuPointerFrame& sample);
  // The index of the cursor's shape now, fetched when it changed to one not seen; -1: none.
  int ShapeIndex();
  // "Ctrl+S" for the key with keycode and the modifiers held; "" when it is not recorded.
  std::string KeyName(int keycode) const;
  // The modifier bit of keycode (kCtrl...), or 0.
  uint8_t ModifierBit(int keycode) const;

  _XDisplay* m_display;
  ZuInputOptions m_options;
  unsigned long m_root = 0;
  int m_fixesEventBase = -1;  // -1: no XFixes
  int m_inputOpcode = -1;     // -1: no XInput2
  unsigned long m_cursorSerial = 0;
  bool m_cursorChanged = true;
  std::map<unsigned long, int> m_shapeOfSerial;
  uint8_t m_modifiers = 0;  // modifier bits held, from the raw key events
  uint8_t m_lastHeld = 0;
  ZuPointerTrack m_shapes;  // only its shapes

  std::mutex m_mutex;
  std::deque<ZuPointerFrame> m_samples;  // sampled, not taken yet
  ZuPointerFrame m_lastTaken;
};
