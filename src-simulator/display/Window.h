// The one X11 window: colours, graphics contexts, the view and the drawing primitives.
// Every primitive takes world coordinates (0 .. 16777215) and does nothing without a display.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

constexpr int worldSize = 16777215;

// Receives every drawing primitive with its world arguments, with or without a display, so that
// geometry can be checked without pixels. Unset (null) in normal runs.
class WindexRecorder {
public:
  virtual ~WindexRecorder() = default;
  // op is the primitive's name ("drawLine", "drawFilledRectangle_ONE", ...); text is the string
  // of drawText and buttonPoint, else null.
  virtual void record(const char* op, const int* args, int count, const char* text) = 0;
};

class Windex {
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
  int xPixels = 1;
  int yPixels = 1;
  int viewXs = 0, viewYs = 0, viewXe = worldSize, viewYe = worldSize;
  int subWinXs = 0, subWinYs = 0, subWinXe = 0, subWinYe = 0;
  XRectangle clips[16]{};
  int numClips = 0;
  WindexRecorder* recorder = nullptr;

  explicit Windex(const char* labelString);
  ~Windex();
  Windex(const Windex&) = delete;
  Windex& operator=(const Windex&) = delete;

  void clear();
  void clearArea(int xs, int ys, int w, int h);
  void drawLine(int xs, int ys, int xe, int ye);
  void drawLine_BOLD(int xs, int ys, int xe, int ye);
  void drawRectangle(int xs, int ys, int w, int h);
  void drawCircle(int xs, int ys, int w, int h, int angle1, int angle2);
  void drawFilledRectangle(int xs, int ys, int w, int h);
  void drawFilledRectangle_ONE(int xs, int ys, int w, int h);
  void drawFilledRectangle_ZERO(int xs, int ys, int w, int h);
  void drawFilledRectangle_UNINITIALIZED(int xs, int ys, int w, int h);
  void drawFilledRectangle_XXX(int xs, int ys, int w, int h);
  void drawFilledRectangle_HIZ(int xs, int ys, int w, int h);
  void drawFilledCircle(int xs, int ys, int w, int h, int angle1, int angle2);
  void drawText(int x, int y, const char* s);
  void buttonPoint(int x, int y);

  int xScale(int x) const;
  int yScale(int y) const;
  int wScale(int w) const;
  int hScale(int h) const;
  void setView(int xs, int ys, int xe, int ye);
  void getView(int* xs, int* ys, int* xe, int* ye) const;
  void resetView();
  void reviseView(int xa, int ya, int xb, int yb);
  void showView() const;
  void drawTimeAndQueue(unsigned long long t, int q, int s);

  void setSubWin();
  void drawSubWindow();

  // Window events (keyboard, mouse, exposure).
  void checkEvent(int& eventType, int& keyChar);
  void repaint();
  int pointInSubWindow(int x, int y);
  void adjustSubWindow(int state, int xn, int yn, int xo, int yo);
  void subWinToViewWin();
  void setCursor(int which);
  // Blocks until the X connection has input; returns at once without a display.
  void waitForEvent();
};

int catchError(Display* display, XErrorEvent* error);
// The X server went away: one line on standard error, then the process ends with status 1 (the
// waveform file completed first).
int catchIOError(Display* display);
