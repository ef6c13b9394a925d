// paint_screen: keeps an X screen busy the way a screen recording sees it, for the capture
// benchmark: a window-sized block moves across the screen and a clock-sized corner changes,
// rate times a second. Usage: paint_screen DISPLAY SECONDS [RATE]

#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: paint_screen DISPLAY SECONDS [RATE]\n");
    return 2;
  }
  Display* display = XOpenDisplay(argv[1]);
  if (display == nullptr) {
    std::fprintf(stderr, "paint_screen: cannot open display %s\n", argv[1]);
    return 1;
  }
  const int rate = argc > 3 ? std::atoi(argv[3]) : 15;
  const int steps = std::atoi(argv[2]) * rate;
  const Window root = DefaultRootWindow(display);
  const int screen = DefaultScreen(display);
  const int width = DisplayWidth(display, screen);
  const int height = DisplayHeight(display, screen);
  GC gc = XCreateGC(display, root, 0, nullptr);
  for (int step = 0; step < steps; ++step) {
    XSetForeground(display, gc, 0x303030);
    XFillRectangle(display, root, gc, 0, 0, width, height);
    XSetForeground(display, gc, 0x4080c0 + step * 0x010203);
    XFillRectangle(display, root, gc, (step * 12) % (width - 640), height / 4, 640, 400);
    XSetForeground(display, gc, step % 2 == 0 ? 0xffffff : 0x000000);
    XFillRectangle(display, root, gc, width - 160, 8, 150, 30);
    XSync(display, False);
    usleep(1000000 / rate);
  }
  XFreeGC(display, gc);
  XCloseDisplay(display);
  return 0;
}
