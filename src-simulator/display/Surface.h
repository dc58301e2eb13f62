// What the window draws on and reads its events from, in pixels: the X server's window
// (XSurface.cpp) in a build with X11. A build without X11 has none (NoSurface.cpp).
#pragma once

class Windex;

// The fills of the drawing primitives: the foreground and one colour per signal value.
enum class Fill { Foreground, ValueOne, ValueZero, ValueUninitialized, ValueXxx, ValueHiz };

class Surface {
public:
  virtual ~Surface() = default;

  // Pixel coordinates, as Windex has scaled them.
  virtual void clear() = 0;
  virtual void clearArea(int x, int y, int w, int h) = 0;
  virtual void line(int xs, int ys, int xe, int ye, bool bold) = 0;
  virtual void rectangle(int x, int y, int w, int h) = 0;
  virtual void arc(int x, int y, int w, int h, int angle1, int angle2) = 0;
  virtual void fillRectangle(Fill fill, int x, int y, int w, int h) = 0;
  virtual void fillArc(int x, int y, int w, int h, int angle1, int angle2) = 0;
  virtual void text(int x, int y, const char* s) = 0;
  // The sub-window's frame, drawn so that drawing it twice erases it.
  virtual void subWindowFrame(int x, int y, int w, int h) = 0;
  // The cursor shape of a sub-window zone (0 ... 9).
  virtual void setCursor(int zone) = 0;

  // One pending event, classified as WindowKeys.h says (noWindowEvent when none); an exposure
  // is served here, by redrawing the exposed part of window.
  virtual void nextEvent(Windex& window, int& eventType, int& keyChar) = 0;
  // Blocks until an event is pending.
  virtual void waitForEvent() = 0;
  // Sends what has been drawn.
  virtual void flush() = 0;
};

// The window titled title (the icon named iconName) on the display of the settings, its size in
// pixels in xPixels and yPixels; null, with a message on standard error, when it cannot be opened.
Surface* openSurface(const char* title, const char* iconName, int& xPixels, int& yPixels);
