// The one window: the view and the drawing primitives, on the surface the window system gives
// (Surface.h). Every primitive takes world coordinates (0 .. 16777215) and does nothing without a
// surface but tell the recorder.
#pragma once

constexpr int worldSize = 16777215;

#include "display/Surface.h"

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
  // The window system's window; null when none is open (no -X window asked for, or it could not
  // be opened).
  Surface* surface = nullptr;
  int xPixels = 1;
  int yPixels = 1;
  int viewXs = 0, viewYs = 0, viewXe = worldSize, viewYe = worldSize;
  int subWinXs = 0, subWinYs = 0, subWinXe = 0, subWinYe = 0;
  WindexRecorder* recorder = nullptr;

  // Opens the window when the settings ask for one (useXDisplay); "Unable to open X Window" on
  // standard error when it cannot, and the run goes on without it.
  explicit Windex(const char* labelString);
  ~Windex();
  Windex(const Windex&) = delete;
  Windex& operator=(const Windex&) = delete;

  bool isOpen() const { return surface != nullptr; }
  // Whether a drawing goes anywhere: to the window or to a recorder.
  bool showsDrawings() const { return surface != nullptr || recorder != nullptr; }
  // Sends what has been drawn to the window system.
  void flush();

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

  // Window events (keyboard, mouse, exposure), classified as WindowKeys.h says.
  void checkEvent(int& eventType, int& keyChar);
  void repaint();
  int pointInSubWindow(int x, int y);
  void adjustSubWindow(int state, int xn, int yn, int xo, int yo);
  void subWinToViewWin();
  void setCursor(int which);
  // Blocks until the window has input; returns at once without one.
  void waitForEvent();

private:
  // A filled rectangle in world coordinates, in the given fill.
  void fillRectangle(Fill fill, int xs, int ys, int w, int h);
};

// Redraws the schematic, the lines where they are shown (in a clipped redraw, only in windowing
// mode) and the panes: what an exposure of the window shows again.
void drawContents(bool clipped);
