// The window on the X server: its colours and graphics contexts, drawing in pixels, and reading
// and classifying its events.
#include "display/XSurface.h"

#include <X11/XKBlib.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>

#include <cstdio>
#include <cstring>
#include <iostream>

#include "display/Window.h"
#include "display/WindowKeys.h"
#include "kernel/RunTime.h"
#include "process/EndProcess.h"
#include "process/ErrorOutput.h"
#include "process/Settings.h"
#include "process/StandardStreams.h"

extern char bar_color_ONE[8], bar_color_ZERO[8], bar_color_UNINITIALIZED[8], bar_color_XXX[8], bar_color_HIZ[8];

// Value contexts and colours: one set for the process.
GC gc_ONE, gc_ZERO, gc_UNINITIALIZED, gc_XXX, gc_HIZ, gc_BOLD;
Colormap colormap1;
XColor color_ONE, color_ZERO, color_UNINITIALIZED, color_XXX, color_HIZ;
unsigned long foreground1;

const unsigned int XSurface::cursor_shape[10] = {
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
  standardError() << "Lost the connection to the X server; the run ends." << std::endl;
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
    standardError() << message << std::endl;
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

namespace {

// Every event a window can select; events outside it (mapping changes, client messages) are
// read separately so that none stays queued.
constexpr long anyWindowEventMask = 0x01FFFFFFL;
constexpr int keyTextCapacity = 25;

// Pixel coordinates are packed into 12-bit fields; a drag that leaves the window reports
// coordinates outside them, which would otherwise spill into the neighbouring field.
int packField(int v) {
  if (v < 0) return 0;
  if (v > pointerFieldMask) return pointerFieldMask;
  return v;
}

}  // namespace

Surface* openSurface(const char* title, const char* iconName, int& xPixels, int& yPixels) {
  XSetErrorHandler(catchError);
  XSetIOErrorHandler(catchIOError);
  Display* display = XOpenDisplay("");
  if (display == nullptr) {
    standardError() << "Unable to open X Window" << std::endl;
    return nullptr;
  }
  auto* surface = new XSurface(display, title, iconName, xPixels, yPixels);
  if (surface->display == nullptr) {
    delete surface;
    return nullptr;
  }
  return surface;
}

XSurface* xSurfaceOf(const Windex& w) { return static_cast<XSurface*>(w.surface); }

XSurface::XSurface(Display* openDisplay, const char* title, const char* iconName, int& xPixels, int& yPixels)
    : display(openDisplay) {
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
    standardError() << "Unable to open X Window of size " << hint.width << "x" << hint.height << std::endl;
    releaseBrokenPipe();
    XCloseDisplay(display);
    display = nullptr;
    return;
  }

  window = XCreateSimpleWindow(display, RootWindow(display, screen), hint.x, hint.y, hint.width, hint.height, 5,
                               foreground, background);

  cursor = XCreateFontCursor(display, cursor_shape[0]);
  XDefineCursor(display, window, cursor);

  XSetStandardProperties(display, window, title, iconName, None, nullptr, 0, &hint);

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


XSurface::~XSurface() {
  if (display == nullptr) return;
  XFreeGC(display, gc);
  XDestroyWindow(display, window);
  releaseBrokenPipe();
  XCloseDisplay(display);
  display = nullptr;
}

// ---- Drawing, in pixels.

void XSurface::clear() { XClearArea(display, window, 0, 0, 0, 0, False); }

void XSurface::clearArea(int x, int y, int w, int h) {
  XClearArea(display, window, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), False);
}

void XSurface::line(int xs, int ys, int xe, int ye, bool bold) {
  XDrawLine(display, window, bold ? gc_BOLD : gc, xs, ys, xe, ye);
}

void XSurface::rectangle(int x, int y, int w, int h) {
  XDrawRectangle(display, window, gc, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h));
}

void XSurface::arc(int x, int y, int w, int h, int angle1, int angle2) {
  XDrawArc(display, window, gc, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), angle1, angle2);
}

void XSurface::fillRectangle(Fill fill, int x, int y, int w, int h) {
  GC context = gc;
  switch (fill) {
    case Fill::Foreground: context = gc; break;
    case Fill::ValueOne: context = gc_ONE; break;
    case Fill::ValueZero: context = gc_ZERO; break;
    case Fill::ValueUninitialized: context = gc_UNINITIALIZED; break;
    case Fill::ValueXxx: context = gc_XXX; break;
    case Fill::ValueHiz: context = gc_HIZ; break;
  }
  XFillRectangle(display, window, context, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h));
}

void XSurface::fillArc(int x, int y, int w, int h, int angle1, int angle2) {
  XFillArc(display, window, gc_ZERO, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), angle1, angle2);
}

void XSurface::text(int x, int y, const char* s) {
  XDrawImageString(display, window, gc, x, y, s, static_cast<int>(strlen(s)));
}

void XSurface::subWindowFrame(int x, int y, int w, int h) {
  // Exclusive-or, so that drawing the frame twice erases it.
  XSetLineAttributes(display, gc, 0, LineOnOffDash, CapRound, JoinRound);
  XSetFunction(display, gc, GXxor);
  XSetForeground(display, gc, subwin);
  XDrawRectangle(display, window, gc, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h));
  XSetLineAttributes(display, gc, 0, LineSolid, CapRound, JoinRound);
  XSetFunction(display, gc, GXcopy);
  XSetForeground(display, gc, foreground);
}

void XSurface::setCursor(int zone) {
  Cursor previous = cursor;
  cursor = XCreateFontCursor(display, cursor_shape[zone]);
  XDefineCursor(display, window, cursor);
  // The server keeps a cursor alive while a window uses it, so the old one can go now.
  if (previous != 0) XFreeCursor(display, previous);
}

void XSurface::flush() { XFlush(display); }

void XSurface::waitForEvent() {
  if (XPending(display) > 0) return;
  pollfd descriptor{ConnectionNumber(display), POLLIN, 0};
  poll(&descriptor, 1, -1);
}

// ---- Events.

void XSurface::nextEvent(Windex& w, int& eventType, int& keyChar) {
  eventType = noWindowEvent;
  if (!XCheckWindowEvent(display, window, anyWindowEventMask, &event)) {
    // Nothing for the window; take one event of any other kind so it cannot stay queued.
    if (XPending(display) > 0) {
      XNextEvent(display, &event);
      if (event.type == MappingNotify) XRefreshKeyboardMapping(&event.xmapping);
    }
    return;
  }

  switch (event.type) {
    case KeyPress: {
      KeySym keysym = XkbKeycodeToKeysym(display, static_cast<KeyCode>(event.xkey.keycode), 0, 0);
      if (keysym >= XK_F1 && keysym <= XK_F35) {
        eventType = functionKeyEvent;
        keyChar = static_cast<int>(keysym - functionKeyOrigin);
      } else if (keysym >= cursorBlockFirst && keysym <= cursorBlockLast) {
        eventType = cursorKeyEvent;
        keyChar = static_cast<int>(keysym) - cursorKeyOrigin;
      } else {
        char text[keyTextCapacity];
        KeySym translated;
        int count = XLookupString(&event.xkey, text, keyTextCapacity, &translated, nullptr);
        if (count == 1) {
          eventType = characterEvent;
          keyChar = static_cast<signed char>(text[0]);
        }
      }
      break;
    }
    case ButtonPress:
    case ButtonRelease:
      eventType = event.type == ButtonPress ? buttonPressEvent : buttonReleaseEvent;
      keyChar = static_cast<int>(event.xbutton.button << pointerButtonShift) |
                packField(event.xbutton.x) << pointerFieldBits |
                packField(event.xbutton.y);
      break;
    case MotionNotify:
      eventType = pointerMotionEvent;
      keyChar = packField(event.xmotion.x) << pointerFieldBits | packField(event.xmotion.y);
      break;
    case Expose: {
      const XExposeEvent& e = event.xexpose;
      if (numClips < 16) {
        XRectangle& r = clips[numClips];
        r.x = static_cast<short>(e.x);
        r.y = static_cast<short>(e.y);
        r.width = static_cast<unsigned short>(e.width);
        r.height = static_cast<unsigned short>(e.height);
        ++numClips;
      }
      if (e.count == 0 || numClips >= 16) {
        XSetClipRectangles(display, gc, 0, 0, clips, numClips, Unsorted);
        drawContents(true);
        w.drawSubWindow();
        XSetClipMask(display, gc, None);
        numClips = 0;
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, window, &attributes)) {
          w.xPixels = attributes.width;
          w.yPixels = attributes.height;
        }
      }
      w.repaint();
      break;
    }
    default:
      break;
  }
}
