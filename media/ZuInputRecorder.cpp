#include "media/ZuInputRecorder.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>
#include <X11/keysymdef.h>

#include <algorithm>
#include <cctype>
#include <utility>

namespace {

// Modifier bits, in the order their names lead a key's name.
constexpr uint8_t kCtrl = 1;
constexpr uint8_t kAlt = 2;
constexpr uint8_t kShift = 4;
constexpr uint8_t kSuper = 8;

struct ModifierName {
  uint8_t bit;
  const char* name;
};
constexpr ModifierName kModifierNames[] = {
    {kCtrl, "Ctrl"}, {kAlt, "Alt"}, {kShift, "Shift"}, {kSuper, "Super"}};

struct ModifierKey {
  KeySym key;
  uint8_t bit;
};
constexpr ModifierKey kModifierKeys[] = {
    {XK_Control_L, kCtrl}, {XK_Control_R, kCtrl}, {XK_Alt_L, kAlt},     {XK_Alt_R, kAlt},
    {XK_Meta_L, kAlt},     {XK_Meta_R, kAlt},     {XK_Shift_L, kShift}, {XK_Shift_R, kShift},
    {XK_Super_L, kSuper},  {XK_Super_R, kSuper},
};

// Keys that command rather than type: recorded as shortcuts even with no modifier.
constexpr KeySym kCommandKeys[] = {
    XK_Return, XK_KP_Enter, XK_Tab, XK_ISO_Left_Tab, XK_Escape,    XK_Left,   XK_Up,     XK_Right,
    XK_Down,   XK_Home,     XK_End, XK_Page_Up,      XK_Page_Down, XK_Insert, XK_Delete, XK_Menu,
};

bool IsCommandKey(KeySym key) {
  return (key >= XK_F1 && key <= XK_F35) ||
         std::find(std::begin(kCommandKeys), std::end(kCommandKeys), key) != std::end(kCommandKeys);
}

// The button bit of X button number `button`; 0 for the others (the wheel).
uint8_t ButtonBit(int button) {
  switch (button) {
    case Button1:
      return kZuLeftButton;
    case Button2:
      return kZuMiddleButton;
    case Button3:
      return kZuRightButton;
    default:
      return 0;
  }
}

uint8_t ButtonsHeld(unsigned int mask) {
  return static_cast<uint8_t>(((mask & Button1Mask) != 0 ? kZuLeftButton : 0) |
                              ((mask & Button2Mask) != 0 ? kZuMiddleButton : 0) |
                              ((mask & Button3Mask) != 0 ? kZuRightButton : 0));
}

// One premultiplied channel back to its straight value.
uint8_t Unpremultiply(unsigned long channel, unsigned long alpha) {
  if (alpha == 0) {
    return 0;
  }
  return static_cast<uint8_t>(std::min(255UL, (channel * 255 + alpha / 2) / alpha));
}

// The cursor image, whose pixels are premultiplied ARGB in the low 32 bits of longs, as a
// shape of straight RGBA.
ZuPointerShape ShapeOf(const XFixesCursorImage& image) {
  ZuPointerShape shape;
  shape.width = image.width;
  shape.height = image.height;
  shape.hotX = image.xhot;
  shape.hotY = image.yhot;
  const size_t count = size_t{image.width} * image.height;
  shape.rgba.resize(count * 4);
  for (size_t i = 0; i < count; ++i) {
    const unsigned long pixel = image.pixels[i];
    const unsigned long alpha = (pixel >> 24) & 0xff;
    uint8_t* out = &shape.rgba[i * 4];
    out[0] = Unpremultiply((pixel >> 16) & 0xff, alpha);
    out[1] = Unpremultiply((pixel >> 8) & 0xff, alpha);
    out[2] = Unpremultiply(pixel & 0xff, alpha);
    out[3] = static_cast<uint8_t>(alpha);
  }
  return shape;
}

// "S" for s: a single letter is named in capitals, as on the key; other keys by their
// keysym's name ("Return", "Up", "F5", "comma").
std::string KeysymName(KeySym key) {
  const char* name = XKeysymToString(key);
  if (name == nullptr) {
    return "";
  }
  std::string text = name;
  if (text.size() == 1) {
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  }
  return text;
}

}  // namespace

std::unique_ptr<ZuInputRecorder> ZuInputRecorder::Open(const ZuInputOptions& options,
                                                       std::string& warning) {
  Display* display = XOpenDisplay(options.display.c_str());
  if (display == nullptr) {
    return nullptr;
  }
  std::unique_ptr<ZuInputRecorder> recorder(new ZuInputRecorder(display, options));
  warning = recorder->Setup();
  return recorder;
}

ZuInputRecorder::ZuInputRecorder(_XDisplay* display, const ZuInputOptions& options)
    : m_display(display), m_options(options), m_root(DefaultRootWindow(display)) {}

ZuInputRecorder::~ZuInputRecorder() {
  XCloseDisplay(m_display);
}

std::string ZuInputRecorder::Setup() {
  std::string lacking;
  int error = 0;
  int fixesMajor = 0;
  int fixesMinor = 0;
  if (m_options.pointer) {
    if (XFixesQueryExtension(m_display, &m_fixesEventBase, &error) != 0 &&
        XFixesQueryVersion(m_display, &fixesMajor, &fixesMinor) != 0 && fixesMajor >= 2) {
      XFixesSelectCursorInput(m_display, m_root, XFixesDisplayCursorNotifyMask);
    } else {
      m_fixesEventBase = -1;
      lacking = "XFixes: the pointer is not recorded";
    }
  }
  int event = 0;
  int inputMajor = 2;
  int inputMinor = 2;
  if (XQueryExtension(m_display, "XInputExtension", &m_inputOpcode, &event, &error) == 0 ||
      XIQueryVersion(m_display, &inputMajor, &inputMinor) != Success) {
    m_inputOpcode = -1;
    if (m_options.keys != ZuKeyCapture::kOff) {
      lacking += std::string(lacking.empty() ? "" : "; ") + "XInput2: keys are not recorded";
    }
  } else {
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    if (m_options.pointer) {
      XISetMask(bits, XI_RawButtonPress);
    }
    if (m_options.keys != ZuKeyCapture::kOff) {
      XISetMask(bits, XI_RawKeyPress);
      XISetMask(bits, XI_RawKeyRelease);
    }
    XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
    XISelectEvents(m_display, m_root, &mask, 1);
  }
  XFlush(m_display);
  return lacking.empty() ? "" : "display " + m_options.display + " has no " + lacking;
}

void ZuInputRecorder::Sample() {
  ZuPointerFrame sample;
  if (m_options.pointer) {
    SamplePointer(sample);
  } else {
    ReadEvents(sample);
  }
  const std::lock_guard<std::mutex> lock(m_mutex);
  m_samples.push_back(std::move(sample));
}

void ZuInputRecorder::SamplePointer(ZuPointerFrame& sample) {
  Window root = 0;
  Window child = 0;
  int rootX = 0;
  int rootY = 0;
  int x = 0;
  int y = 0;
  unsigned int mask = 0;
  // The one round trip: every event the server sent before it is queued once it returns.
  const bool sameScreen =
      XQueryPointer(m_display, m_root, &root, &child, &rootX, &rootY, &x, &y, &mask) != 0;
  ReadEvents(sample);
  sample.held = ButtonsHeld(mask);
  if (m_inputOpcode < 0) {
    sample.pressed = static_cast<uint8_t>(sample.held & ~m_lastHeld);
  }
  m_lastHeld = sample.held;
  sample.x = rootX - m_options.x;
  sample.y = rootY - m_options.y;
  const bool inside = sameScreen && sample.x >= 0 && sample.y >= 0 && sample.x < m_options.width &&
                      sample.y < m_options.height;
  sample.shape = inside ? ShapeIndex() : -1;
  sample.shown = sample.shape >= 0;
  if (!sample.shown) {
    sample.x = sample.y = sample.shape = 0;
  }
}

ZuPointerFrame ZuInputRecorder::Take() {
  const std::lock_guard<std::mutex> lock(m_mutex);
  if (m_samples.empty()) {
    ZuPointerFrame same = m_lastTaken;
    same.pressed = 0;
    same.keys.clear();
    return same;
  }
  m_lastTaken = std::move(m_samples.front());
  m_samples.pop_front();
  return m_lastTaken;
}

void ZuInputRecorder::ReadEvents(ZuPointerFrame& sample) {
  while (XEventsQueued(m_display, QueuedAfterReading) > 0) {
    XEvent event;
    XNextEvent(m_display, &event);
    if (m_fixesEventBase >= 0 && event.type == m_fixesEventBase + XFixesCursorNotify) {
      // A shape seen before is not fetched again.
      const auto& notify = reinterpret_cast<const XFixesCursorNotifyEvent&>(event);
      if (m_shapeOfSerial.count(notify.cursor_serial) != 0) {
        m_cursorSerial = notify.cursor_serial;
      } else {
        m_cursorChanged = true;
      }
      continue;
    }
    XGenericEventCookie& cookie = event.xcookie;
    if (cookie.type != GenericEvent || cookie.extension != m_inputOpcode ||
        XGetEventData(m_display, &cookie) == 0) {
      continue;
    }
    OnRawEvent(cookie.evtype, static_cast<const XIRawEvent*>(cookie.data)->detail, sample);
    XFreeEventData(m_display, &cookie);
  }
}

void ZuInputRecorder::OnRawEvent(int type, int detail, ZuPointerFrame& sample) {
  if (type == XI_RawButtonPress) {
    sample.pressed |= ButtonBit(detail);
    return;
  }
  const uint8_t modifier = ModifierBit(detail);
  if (type == XI_RawKeyRelease) {
    m_modifiers = static_cast<uint8_t>(m_modifiers & ~modifier);
  } else if (modifier != 0) {
    m_modifiers |= modifier;
  } else if (type == XI_RawKeyPress) {
    std::string name = KeyName(detail);
    if (!name.empty()) {
      sample.keys.push_back(std::move(name));
    }
  }
}

uint8_t ZuInputRecorder::ModifierBit(int keycode) const {
  const KeySym key = XkbKeycodeToKeysym(m_display, static_cast<KeyCode>(keycode), 0, 0);
  for (const ModifierKey& entry : kModifierKeys) {
    if (entry.key == key) {
      return entry.bit;
    }
  }
  return 0;
}

std::string ZuInputRecorder::KeyName(int keycode) const {
  const KeySym key = XkbKeycodeToKeysym(m_display, static_cast<KeyCode>(keycode), 0, 0);
  if (key == NoSymbol || IsModifierKey(key)) {
    return "";
  }
  const bool shortcut = (m_modifiers & (kCtrl | kAlt | kSuper)) != 0 || IsCommandKey(key);
  if (m_options.keys == ZuKeyCapture::kOff ||
      (m_options.keys == ZuKeyCapture::kShortcuts && !shortcut)) {
    return "";
  }
  std::string name;
  for (const ModifierName& modifier : kModifierNames) {
    if ((m_modifiers & modifier.bit) != 0) {
      name += std::string(modifier.name) + "+";
    }
  }
  const std::string base = KeysymName(key);
  return base.empty() ? "" : name + base;
}

int ZuInputRecorder::ShapeIndex() {
  if (m_fixesEventBase < 0) {
    return -1;
  }
  if (m_cursorChanged) {
    m_cursorChanged = false;
    XFixesCursorImage* image = XFixesGetCursorImage(m_display);
    if (image == nullptr) {
      return -1;
    }
    m_cursorSerial = image->cursor_serial;
    if (m_shapeOfSerial.count(m_cursorSerial) == 0) {
      m_shapeOfSerial[m_cursorSerial] = m_shapes.AddShape(ShapeOf(*image));
    }
    XFree(image);
  }
  const auto known = m_shapeOfSerial.find(m_cursorSerial);
  return known == m_shapeOfSerial.end() ? -1 : known->second;
}
