#include "display/Window.h"

#include <X11/cursorfont.h>
#include <poll.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <utility>

#include "display/PaneBatch.h"
#include "kernel/RunTime.h"
#include "process/EndProcess.h"
#include "process/Settings.h"

// Value contexts and colours: one set for the process.
GC gc_ONE, gc_ZERO, gc_UNINITIALIZED, gc_XXX, gc_HIZ, gc_BOLD;
Colormap colormap1;
XColor color_ONE, color_ZERO, color_UNINITIALIZED, color_XXX, color_HIZ;
unsigned long foreground1;
char bar_color_ONE[8] = "#008000";
char bar_color_ZERO[8] = "#F0FFF0";
char bar_color_UNINITIALIZED[8] = "#FFFFFF";
char bar_color_XXX[8] = "#FF8C00";
char bar_color_HIZ[8] = "#FFEBCD";

const unsigned int Windex::cursor_shape[10] = {
    XC_arrow,           XC_fleur,           XC_top_left_corner, XC_sb_v_double_arrow, XC_top_right_corner,
    XC_sb_h_double_arrow, XC_sb_h_double_arrow, XC_bottom_left_corner, XC_sb_v_double_arrow, XC_bottom_right_corner};

int catchError(Display*, XErrorEvent*) {
  done = 1;
  return 0;
}

// The connection is gone (the X server ended or was killed): Xlib allows no further call on it,
// so the run ends here, its waveform completed by the exit handlers, with status 1.
int catchIOError(Display*) {
  done = 1;
  flushStandardError();
  std::cerr << "Lost the connection to the X server; the run ends." << std::endl;
  endProcess(1);
}

namespace {

int xConnection = -1;  // the X server's socket while the window is open
struct sigaction pipeActionBefore;

// SIGPIPE: a write to a closed pipe or socket. When it is the X server's socket that is gone,
// the write is let fail, so that Xlib reports the lost connection (catchIOError) and the run ends
// with its message and status; any other closed pipe (| head) keeps its ordinary behaviour.
extern "C" void onBrokenPipe(int) {
  if (xConnection >= 0) {
    pollfd connection{xConnection, POLLOUT, 0};
    if (poll(&connection, 1, 0) == 1 && (connection.revents & (POLLHUP | POLLERR)) != 0) return;
  }
  sigaction(SIGPIPE, &pipeActionBefore, nullptr);
  raise(SIGPIPE);  // delivered when the handler returns, with the action from before
}

void catchBrokenPipe(Display* display) {
  xConnection = ConnectionNumber(display);
  struct sigaction action{};
  action.sa_handler = onBrokenPipe;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGPIPE, &action, &pipeActionBefore);
}

void releaseBrokenPipe() {
  if (xConnection < 0) return;
  sigaction(SIGPIPE, &pipeActionBefore, nullptr);
  xConnection = -1;
}

constexpr long windowEventMask =
    KeyPressMask | ButtonPressMask | ButtonReleaseMask | Button1MotionMask | ExposureMask | StructureNotifyMask;
static_assert(windowEventMask == 164109);

// Allocates a colour given in 16-bit channels; ends the process on failure.
unsigned long allocColour(Display* display, unsigned short red, unsigned short green, unsigned short blue,
                          const char* message) {
  XColor color{};
  color.red = red;
  color.green = green;
  color.blue = blue;
  color.flags = DoRed | DoGreen | DoBlue;
  if (!XAllocColor(display, colormap1, &color)) {
    std::cerr << message << std::endl;
    endProcess(-1);
  }
  return color.pixel;
}

// The colour of a -C/-c/-S triple: each 0..255 component widened to 16 bits.
unsigned long allocTriple(Display* display, int red, int green, int blue, const char* message) {
  return allocColour(display, static_cast<unsigned short>(red << 8), static_cast<unsigned short>(green << 8),
                     static_cast<unsigned short>(blue << 8), message);
}

void setUpValueContext(Display* display, GC context, const char* name, XColor& color, unsigned long background) {
  XParseColor(display, colormap1, name, &color);
  XAllocColor(display, colormap1, &color);
  foreground1 = color.pixel;
  XSetBackground(display, context, background);
  XSetForeground(display, context, foreground1);
  XSetFunction(display, context, GXcopy);
}

}  // namespace

Windex::Windex(const char* labelString) {
  char title[100];
  snprintf(title, sizeof title, "%s%s", labelString, WindowLabelString);

  XSetErrorHandler(catchError);
  XSetIOErrorHandler(catchIOError);

  display = nullptr;
  if (!useXDisplay) return;
  display = XOpenDisplay("");
  if (display == nullptr) {
    std::cerr << "Unable to open X Window" << std::endl;
    return;
  }
  catchBrokenPipe(display);

  screen = DefaultScreen(display);
  colormap1 = DefaultColormap(display, screen);

  if (red_bg || green_bg || blue_bg)
    background = allocTriple(display, red_bg, green_bg, blue_bg, "Can't Alloc background Pixel\n");
  else
    background = WhitePixel(display, screen);
  if (red_fg || green_fg || blue_fg)
    foreground = allocTriple(display, red_fg, green_fg, blue_fg, "Can't Alloc foreground Pixel\n");
  else
    foreground = BlackPixel(display, screen);
  if (red_sw || green_sw || blue_sw)
    subwin = allocTriple(display, red_sw, green_sw, blue_sw, "Can't Alloc subwindow Pixel\n");
  else
    subwin = allocColour(display, 65535, 0, 0, "Can't Alloc subwindow Pixel\n");
  subwin ^= background;

  int mask = XGeometry(display, screen, XW_geometry, "1025x825+100+25", 5, 1, 1, 0, 0, &hint.x, &hint.y,
                       &hint.width, &hint.height);
  hint.flags = mask ? mask : PPosition | PSize;
  // X refuses a window without area, and the first exposure awaited below would never come.
  if (hint.width <= 0 || hint.height <= 0) {
    std::cerr << "Unable to open X Window of size " << hint.width << "x" << hint.height << std::endl;
    releaseBrokenPipe();
    XCloseDisplay(display);
    display = nullptr;
    return;
  }

  window = XCreateSimpleWindow(display, RootWindow(display, screen), hint.x, hint.y, hint.width, hint.height, 5,
                               foreground, background);

  cursor = XCreateFontCursor(display, cursor_shape[0]);
  XDefineCursor(display, window, cursor);

  XSetStandardProperties(display, window, title, labelString, None, nullptr, 0, &hint);

  gc = XCreateGC(display, window, 0, nullptr);
  numClips = 0;
  XSetBackground(display, gc, background);
  XSetForeground(display, gc, foreground);
  XSetFunction(display, gc, GXcopy);

  gc_ONE = XCreateGC(display, window, 0, nullptr);
  gc_ZERO = XCreateGC(display, window, 0, nullptr);
  gc_UNINITIALIZED = XCreateGC(display, window, 0, nullptr);
  gc_XXX = XCreateGC(display, window, 0, nullptr);
  gc_HIZ = XCreateGC(display, window, 0, nullptr);
  gc_BOLD = XCreateGC(display, window, 0, nullptr);
  XSetBackground(display, gc_BOLD, background);
  XSetForeground(display, gc_BOLD, foreground);
  XSetFunction(display, gc_BOLD, GXcopy);
  XSetLineAttributes(display, gc_BOLD, 2, LineSolid, CapButt, JoinBevel);

  setUpValueContext(display, gc_ONE, bar_color_ONE, color_ONE, background);
  setUpValueContext(display, gc_ZERO, bar_color_ZERO, color_ZERO, background);
  setUpValueContext(display, gc_UNINITIALIZED, bar_color_UNINITIALIZED, color_UNINITIALIZED, background);
  setUpValueContext(display, gc_XXX, bar_color_XXX, color_XXX, background);
  setUpValueContext(display, gc_HIZ, bar_color_HIZ, color_HIZ, background);

  XSelectInput(display, window, windowEventMask);
  XMapRaised(display, window);

  resetView();
  setSubWin();

  // Nothing can be drawn before the window is first exposed.
  while (!XCheckWindowEvent(display, window, ExposureMask, &event)) {
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    poll(&connection, 1, 100);
  }
  XWindowAttributes attributes;
  XGetWindowAttributes(display, window, &attributes);
  xPixels = attributes.width;
  yPixels = attributes.height;
}

Windex::~Windex() {
  if (display == nullptr) return;
  XFreeGC(display, gc);
  XDestroyWindow(display, window);
  releaseBrokenPipe();
  XCloseDisplay(display);
  display = nullptr;
}

// ---- Drawing primitives: world coordinates in, nothing done without a display.

#define RECORD(op, text, ...)                                         \
  do {                                                                \
    if (recorder) {                                                   \
      const int recordArgs[] = {__VA_ARGS__};                         \
      recorder->record(op, recordArgs, static_cast<int>(sizeof recordArgs / sizeof(int)), text); \
    }                                                                 \
  } while (0)

void Windex::clear() {
  if (recorder) recorder->record("clear", nullptr, 0, nullptr);
  if (display == nullptr) return;
  XClearArea(display, window, 0, 0, 0, 0, False);
}

void Windex::clearArea(int xs, int ys, int w, int h) {
  RECORD("clearArea", nullptr, xs, ys, w, h);
  if (display == nullptr) return;
  const int width = wScale(w), height = hScale(h);
  // X reads a width or height of 0 as "to the window's edge": a pane too small for a pixel, or
  // the empty tile of a component drawn before the tiling, would wipe a whole band.
  if (width <= 0 || height <= 0) return;
  XClearArea(display, window, xScale(xs), yScale(ys), static_cast<unsigned>(width), static_cast<unsigned>(height),
             False);
}

void Windex::drawLine(int xs, int ys, int xe, int ye) {
  RECORD("drawLine", nullptr, xs, ys, xe, ye);
  if (display == nullptr) return;
  XDrawLine(display, window, gc, xScale(xs), yScale(ys), xScale(xe), yScale(ye));
}

void Windex::drawLine_BOLD(int xs, int ys, int xe, int ye) {
  RECORD("drawLine_BOLD", nullptr, xs, ys, xe, ye);
  if (display == nullptr) return;
  XDrawLine(display, window, gc_BOLD, xScale(xs), yScale(ys), xScale(xe), yScale(ye));
}

void Windex::drawRectangle(int xs, int ys, int w, int h) {
  RECORD("drawRectangle", nullptr, xs, ys, w, h);
  if (display == nullptr) return;
  XDrawRectangle(display, window, gc, xScale(xs), yScale(ys), wScale(w), hScale(h));
}

void Windex::drawCircle(int xs, int ys, int w, int h, int angle1, int angle2) {
  RECORD("drawCircle", nullptr, xs, ys, w, h, angle1, angle2);
  if (display == nullptr) return;
  XDrawArc(display, window, gc, xScale(xs), yScale(ys), wScale(w), hScale(h), angle1, angle2);
}

void Windex::fillRectangle(GC context, int xs, int ys, int w, int h) {
  if (display == nullptr) return;
  XFillRectangle(display, window, context, xScale(xs), yScale(ys), wScale(w), hScale(h));
}

void Windex::drawFilledRectangle(int xs, int ys, int w, int h) {
  RECORD("drawFilledRectangle", nullptr, xs, ys, w, h);
  fillRectangle(gc, xs, ys, w, h);
}

void Windex::drawFilledRectangle_ONE(int xs, int ys, int w, int h) {
  RECORD("drawFilledRectangle_ONE", nullptr, xs, ys, w, h);
  fillRectangle(gc_ONE, xs, ys, w, h);
}

void Windex::drawFilledRectangle_ZERO(int xs, int ys, int w, int h) {
  RECORD("drawFilledRectangle_ZERO", nullptr, xs, ys, w, h);
  fillRectangle(gc_ZERO, xs, ys, w, h);
}

void Windex::drawFilledRectangle_UNINITIALIZED(int xs, int ys, int w, int h) {
  RECORD("drawFilledRectangle_UNINITIALIZED", nullptr, xs, ys, w, h);
  fillRectangle(gc_UNINITIALIZED, xs, ys, w, h);
}

void Windex::drawFilledRectangle_XXX(int xs, int ys, int w, int h) {
  RECORD("drawFilledRectangle_XXX", nullptr, xs, ys, w, h);
  fillRectangle(gc_XXX, xs, ys, w, h);
}

void Windex::drawFilledRectangle_HIZ(int xs, int ys, int w, int h) {
  RECORD("drawFilledRectangle_HIZ", nullptr, xs, ys, w, h);
  fillRectangle(gc_HIZ, xs, ys, w, h);
}

void Windex::drawFilledCircle(int xs, int ys, int w, int h, int angle1, int angle2) {
  RECORD("drawFilledCircle", nullptr, xs, ys, w, h, angle1, angle2);
  if (display == nullptr) return;
  XFillArc(display, window, gc_ZERO, xScale(xs), yScale(ys), wScale(w), hScale(h), angle1, angle2);
}

void Windex::drawText(int x, int y, const char* s) {
  if (s == nullptr) s = "";
  RECORD("drawText", s, x, y);
  if (display == nullptr) return;
  XDrawImageString(display, window, gc, xScale(x), yScale(y), s, static_cast<int>(strlen(s)));
}

void Windex::buttonPoint(int x, int y) {
  RECORD("buttonPoint", "X", x, y);
  if (display == nullptr) return;
  XDrawImageString(display, window, gc, x, y, "X", 1);
}

#undef RECORD

// ---- View and scaling, in single precision: the quotient first, then the pixel count.

int Windex::xScale(int x) const {
  float q = static_cast<float>(x - viewXs) / static_cast<float>(viewXe - viewXs);
  return static_cast<int>(static_cast<float>(xPixels) * q);
}

int Windex::yScale(int y) const {
  float q = static_cast<float>(y - viewYs) / static_cast<float>(viewYe - viewYs);
  return static_cast<int>(static_cast<float>(yPixels) * q);
}

int Windex::wScale(int w) const {
  float q = static_cast<float>(w) / static_cast<float>(viewXe - viewXs);
  return static_cast<int>(static_cast<float>(xPixels) * q);
}

int Windex::hScale(int h) const {
  float q = static_cast<float>(h) / static_cast<float>(viewYe - viewYs);
  return static_cast<int>(static_cast<float>(yPixels) * q);
}

namespace {

// The scale functions divide by the view's extents, so an empty view is never taken.
bool refuseEmptyView(int xs, int ys, int xe, int ye) {
  if (xs != xe && ys != ye) return false;
  std::cerr << "Zoom ignored: the view " << xs << " " << ys << " " << xe << " " << ye
            << " has zero width or height" << std::endl;
  return true;
}

}  // namespace

void Windex::setView(int xs, int ys, int xe, int ye) {
  if (refuseEmptyView(xs, ys, xe, ye)) return;
  viewXs = xs;
  viewYs = ys;
  viewXe = xe;
  viewYe = ye;
}

void Windex::getView(int* xs, int* ys, int* xe, int* ye) const {
  *xs = viewXs;
  *ys = viewYs;
  *xe = viewXe;
  *ye = viewYe;
}

void Windex::resetView() { setView(0, 0, worldSize, worldSize); }

void Windex::reviseView(int xa, int ya, int xb, int yb) {
  float xSpan = static_cast<float>(viewXe - viewXs);
  float ySpan = static_cast<float>(viewYe - viewYs);
  float xp = static_cast<float>(xPixels);
  float yp = static_cast<float>(yPixels);
  int xs = static_cast<int>(static_cast<float>(viewXs) + xSpan * static_cast<float>(xa) / xp);
  int xe = static_cast<int>(static_cast<float>(viewXs) + xSpan * static_cast<float>(xb) / xp);
  int ys = static_cast<int>(static_cast<float>(viewYs) + ySpan * static_cast<float>(ya) / yp);
  int ye = static_cast<int>(static_cast<float>(viewYs) + ySpan * static_cast<float>(yb) / yp);
  setView(xs, ys, xe, ye);
}

void Windex::showView() const {
  std::cerr << "View: " << viewXs << " " << viewYs << " " << viewXe << " " << viewYe << std::endl;
}

void Windex::drawTimeAndQueue(unsigned long long t, int q, int s) {
  std::string text = "T=" + std::to_string(t) + " Q=" + std::to_string(q) + " S=" + std::to_string(s) + "        ";
  if (paneBatch::collecting) {
    paneBatch::addText(viewXs + (viewXe - viewXs) / 32, viewYs + (viewYe - viewYs) / 32, std::move(text));
    return;
  }
  drawText(viewXs + (viewXe - viewXs) / 32, viewYs + (viewYe - viewYs) / 32, text.c_str());
}

// ---- The sub-window frame.

void Windex::setSubWin() {
  int a = (viewXe - viewXs) >> 3;
  int b = (viewYe - viewYs) >> 3;
  subWinXs = viewXs + 3 * a;
  subWinXe = viewXs + 5 * a;
  subWinYs = viewYs + 3 * b;
  subWinYe = viewYs + 5 * b;
}

void Windex::drawSubWindow() {
  if (recorder) {
    const int args[] = {subWinXs, subWinYs, subWinXe - subWinXs, subWinYe - subWinYs};
    recorder->record("drawSubWindow", args, 4, nullptr);
  }
  if (display == nullptr) return;
  // Exclusive-or, so that drawing the frame twice erases it.
  XSetLineAttributes(display, gc, 0, LineOnOffDash, CapRound, JoinRound);
  XSetFunction(display, gc, GXxor);
  XSetForeground(display, gc, subwin);
  XDrawRectangle(display, window, gc, xScale(subWinXs), yScale(subWinYs), wScale(subWinXe - subWinXs),
                 hScale(subWinYe - subWinYs));
  XSetLineAttributes(display, gc, 0, LineSolid, CapRound, JoinRound);
  XSetFunction(display, gc, GXcopy);
  XSetForeground(display, gc, foreground);
}
