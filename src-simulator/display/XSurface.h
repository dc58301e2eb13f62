// The window on the X server: the Surface of a build with X11. Its connection and contexts are
// public for the window tests, which send it events and read its pixels.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "display/Surface.h"

class XSurface : public Surface {
public:
  Display* display = nullptr;
  Window window = 0;
  GC gc = nullptr;
  XSizeHints hint{};
  int screen = 0;
  unsigned long foreground = 0;
  unsigned long background = 0;
  unsigned long subwin = 0;
  XEvent event{};
  static const unsigned int cursor_shape[10];
  Cursor cursor = 0;
  // The exposed rectangles of the exposure batch being gathered.
  XRectangle clips[16]{};
  int numClips = 0;

  // Takes over display, already open: the window created, mapped and first exposed; its size in
  // pixels in xPixels and yPixels.
  XSurface(Display* openDisplay, const char* title, const char* iconName, int& xPixels, int& yPixels);
  ~XSurface() override;
  XSurface(const XSurface&) = delete;
  XSurface& operator=(const XSurface&) = delete;

  void clear() override;
  void clearArea(int x, int y, int w, int h) override;
  void line(int xs, int ys, int xe, int ye, bool bold) override;
  void rectangle(int x, int y, int w, int h) override;
  void arc(int x, int y, int w, int h, int angle1, int angle2) override;
  void fillRectangle(Fill fill, int x, int y, int w, int h) override;
  void fillArc(int x, int y, int w, int h, int angle1, int angle2) override;
  void text(int x, int y, const char* s) override;
  void subWindowFrame(int x, int y, int w, int h) override;
  void setCursor(int zone) override;
  void nextEvent(Windex& window, int& eventType, int& keyChar) override;
  void waitForEvent() override;
  void flush() override;
};

// The X surface of a window, for the window tests: null when the window has none.
XSurface* xSurfaceOf(const Windex& w);

int catchError(Display* display, XErrorEvent* error);
// The X server went away: one line on standard error, then the process ends with status 1 (the
// waveform file completed first).
int catchIOError(Display* display);
