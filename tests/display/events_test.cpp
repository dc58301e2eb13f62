// Window input: key operations, sub-window zones and drags, and the classification of X events
// fed into a real window on a private Xvfb.
#include <gtest/gtest.h>
#include <X11/XKBlib.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "display/FandCOp.h"
#include "display/Pane.h"
#include "display/PaneBatch.h"
#include "display/Ph5.h"
#include "display/Window.h"
#include "display/XSurface.h"
#include "display/WindowEv.h"
#include "elaboration/Ph2.h"
#include "kernel/RunTime.h"
#include "startup/Sim.h"
#include "support/Harness.h"
#include "support/PrivateXServer.h"

namespace {

// Runs body in a child; its gtest failures come back through the exit status and output.
void inChild(const std::function<void()>& body) {
  RunResult r = runInChild([&] {
    body();
    std::fflush(nullptr);
    if (::testing::Test::HasFailure()) _exit(1);
  });
  EXPECT_EQ(r.status, 0) << r.out << r.err;
}

// Empty circuit with the given deepest level, and the display state (window only with a display).
void makePhases(int maxLevel, bool withDisplay) {
  useXDisplay = withDisplay ? 1 : 0;
  phaseTwo = new PhaseTwo();
  phaseTwo->maxGraphicDisplayLevel = maxLevel;
  phaseFive = new PhaseFive();
}

std::string stderrOf(const std::function<void()>& body) {
  RunResult r = runInChild(body);
  return r.err;
}

TEST(EventsKeys, FunctionKeyStringCodes) {
  inChild([] {
    makePhases(4, false);
    PhaseFive& f = *phaseFive;
    for (const char* c = "23589DD"; *c; ++c) FunctionKeyOperate(*c - '0');
    EXPECT_EQ(f.interconnectFlag, 0);
    EXPECT_EQ(f.labelGateFlag, 0);
    EXPECT_EQ(f.drawComponentLeadsFlag, 1);
    EXPECT_EQ(f.labelLinesFlag, 1);
    EXPECT_EQ(f.superProbeSelect, 1);
    EXPECT_EQ(f.newWindowingMode, 0);
    EXPECT_EQ(f.currentGraphicDisplayLevel, 3);
    FunctionKeyOperate('4' - '0');
    EXPECT_EQ(f.drawComponentLeadsFlag, 0);

    // D and E clamp at the deepest level, U and H at 1.
    const struct {
      char key;
      int level;
    } steps[] = {{'D', 4}, {'D', 4}, {'U', 3}, {'H', 1}, {'U', 1}, {'E', 4}};
    for (auto s : steps) {
      FunctionKeyOperate(s.key - '0');
      EXPECT_EQ(f.currentGraphicDisplayLevel, s.level) << s.key;
    }
    // The keyboard's codes for the same operations.
    const struct {
      int code;
      int level;
    } keys[] = {{27, 1}, {35, 2}, {33, 4}, {29, 3}, {24, 1}, {20, 2}, {37, 1}, {21, 4}};
    for (auto k : keys) {
      FunctionKeyOperate(k.code);
      EXPECT_EQ(f.currentGraphicDisplayLevel, k.level) << k.code;
    }

    EXPECT_EQ(reStart, 0);
    FunctionKeyOperate(1);
    EXPECT_EQ(reStart, 1);
    FunctionKeyOperate(6);
    FunctionKeyOperate(7);
    EXPECT_EQ(displayTimeFlag, 1);
    EXPECT_EQ(connectMuxOnlyFlag, 1);
    FunctionKeyOperate(6);
    EXPECT_EQ(displayTimeFlag, 0);
    EXPECT_EQ(done, 0);
    FunctionKeyOperate(':' - '0');
    EXPECT_EQ(done, 1);
  });
}

TEST(EventsKeys, CursorKeyStringCodes) {
  inChild([] {
    for (const char* c = "0003"; *c; ++c) CursorKeyOperate(*c - '0');
    EXPECT_EQ(stallLevel, 3);
    EXPECT_EQ(haltFlag, 1);
    CursorKeyOperate(2);
    EXPECT_EQ(stallLevel, 2);
    CursorKeyOperate(1);
    EXPECT_EQ(stallLevel, 0);
    CursorKeyOperate(2);
    EXPECT_EQ(stallLevel, 0);
    CursorKeyOperate(3);
    EXPECT_EQ(haltFlag, 0);
  });
}

TEST(EventsKeys, UnusedCodesOnlyReport) {
  std::string err = stderrOf([] {
    makePhases(2, false);
    FunctionKeyOperate(0);
    FunctionKeyOperate(11);
    FunctionKeyOperate('U' - '0' + 1);
    CursorKeyOperate(-1);
    CursorKeyOperate(4);
    CursorKeyOperate('H' - '0');
    std::fprintf(stderr, "%d %d %d\n", phaseFive->currentGraphicDisplayLevel, stallLevel, haltFlag);
  });
  EXPECT_EQ(err,
            "Unused Function key F0\nUnused Function key F11\nUnused Function key F38\n"
            "Unused Cursor key = -1\nUnused Cursor key = 4\nUnused Cursor key = 24\n1 0 0\n");
}

// A view of 800 x 800 world units on 800 x 800 pixels: pixels and world units coincide.
Windex* unitWindow() {
  useXDisplay = 0;
  Windex* w = new Windex(windowTitle);
  w->xPixels = 800;
  w->yPixels = 800;
  w->setView(0, 0, 800, 800);
  w->setSubWin();  // 300 .. 500 in both directions, zones one eighth (25) wide
  return w;
}

TEST(EventsSubWindow, Zones) {
  inChild([] {
    Windex* w = unitWindow();
    const struct {
      int x, y, zone;
    } points[] = {{299, 400, 0}, {501, 400, 0}, {400, 299, 0}, {400, 501, 0}, {300, 300, 2},
                  {400, 300, 3}, {500, 300, 4}, {324, 400, 5}, {325, 400, 1}, {475, 400, 1},
                  {476, 400, 6}, {300, 500, 7}, {400, 474, 1}, {400, 475, 8}, {500, 500, 9},
                  {400, 324, 3}, {400, 325, 1}};
    for (auto p : points) EXPECT_EQ(w->pointInSubWindow(p.x, p.y), p.zone) << p.x << "," << p.y;
  });
}

TEST(EventsSubWindow, DragMovesTheZonesEdges) {
  inChild([] {
    // Edges each zone moves: left, top, right, bottom.
    const int moves[10][4] = {{0, 0, 0, 0}, {1, 1, 1, 1}, {1, 1, 0, 0}, {0, 1, 0, 0}, {0, 1, 1, 0},
                              {1, 0, 0, 0}, {0, 0, 1, 0}, {1, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 1, 1}};
    for (int zone = 0; zone <= 9; ++zone) {
      Windex* w = unitWindow();
      w->adjustSubWindow(zone, 417, 388, 400, 400);
      const int* m = moves[zone];
      EXPECT_EQ(w->subWinXs, 300 + 17 * m[0]) << zone;
      EXPECT_EQ(w->subWinYs, 300 - 12 * m[1]) << zone;
      EXPECT_EQ(w->subWinXe, 500 + 17 * m[2]) << zone;
      EXPECT_EQ(w->subWinYe, 500 - 12 * m[3]) << zone;
      delete w;
    }
  });
}

TEST(EventsSubWindow, DragScalesToTheViewAndKeepsTheFrameProper) {
  inChild([] {
    Windex* w = unitWindow();
    w->xPixels = 1000;
    w->resetView();
    w->setSubWin();
    // 16777215 x 200 does not fit an int; the shift is a fifth of the world width.
    w->adjustSubWindow(6, 700, 400, 500, 400);
    EXPECT_EQ(w->subWinXe, 5 * (worldSize >> 3) + 3355443);

    // The right edge dragged past the left one is refused.
    Windex* u = unitWindow();
    u->adjustSubWindow(6, 100, 400, 400, 400);
    u->adjustSubWindow(8, 400, 100, 400, 300);
    EXPECT_EQ(u->subWinXe, 500);
    EXPECT_EQ(u->subWinYe, 500);
    u->subWinToViewWin();
    int xs, ys, xe, ye;
    u->getView(&xs, &ys, &xe, &ye);
    EXPECT_EQ(xs, 300);
    EXPECT_EQ(ys, 300);
    EXPECT_EQ(xe, 500);
    EXPECT_EQ(ye, 500);
  });
}

// ---- A real window on a private X server; events are put back into its queue.

class EventsX : public ::testing::Test {
protected:
  static PrivateXServer server;
  static void SetUpTestSuite() { server.start(); }
  static void TearDownTestSuite() { server.stop(); }
  void SetUp() override { ASSERT_TRUE(server.running()) << "no Xvfb could be started"; }

  // In a child: a window on the private server, its start-up events consumed.
  static Windex* openWindow(int maxLevel) {
    setenv("DISPLAY", server.name().c_str(), 1);
    makePhases(maxLevel, true);
    Windex* w = phaseFive->windexPointer;
    if (xSurfaceOf(*w)->display == nullptr) _exit(2);
    XSync(xSurfaceOf(*w)->display, False);
    int type, key;
    while (XPending(xSurfaceOf(*w)->display) > 0) w->checkEvent(type, key);
    return w;
  }
};
PrivateXServer EventsX::server;

void putKey(Windex* w, KeySym sym, unsigned state = 0) {
  XEvent e{};
  e.xkey.type = KeyPress;
  e.xkey.display = xSurfaceOf(*w)->display;
  e.xkey.window = xSurfaceOf(*w)->window;
  e.xkey.root = DefaultRootWindow(xSurfaceOf(*w)->display);
  e.xkey.keycode = XKeysymToKeycode(xSurfaceOf(*w)->display, sym);
  e.xkey.state = state;
  e.xkey.same_screen = True;
  XPutBackEvent(xSurfaceOf(*w)->display, &e);
}

void putButton(Windex* w, int type, unsigned button, int x, int y) {
  XEvent e{};
  e.type = type;
  e.xany.display = xSurfaceOf(*w)->display;
  e.xany.window = xSurfaceOf(*w)->window;
  if (type == MotionNotify) {
    e.xmotion.x = x;
    e.xmotion.y = y;
    e.xmotion.state = Button1Mask;
  } else {
    e.xbutton.button = button;
    e.xbutton.x = x;
    e.xbutton.y = y;
  }
  XPutBackEvent(xSurfaceOf(*w)->display, &e);
}

std::pair<int, int> classify(Windex* w) {
  int type = -1, key = -1;
  w->checkEvent(type, key);
  return {type, key};
}

TEST_F(EventsX, KeyClassification) {
  inChild([] {
    Windex* w = openWindow(1);
    const struct {
      KeySym sym;
      unsigned state;
      int type, key;
    } keys[] = {{XK_F1, 0, 2, 1},          {XK_F12, 0, 2, 12},      {XK_F5, ShiftMask, 2, 5},
                {XK_Left, 0, 3, 0},        {XK_Up, 0, 3, 1},        {XK_Right, 0, 3, 2},
                {XK_Down, 0, 3, 3},        {XK_Home, 0, 3, -1},     {XK_Prior, 0, 3, 4},
                {XK_Next, 0, 3, 5},        {XK_End, 0, 3, 6},       {XK_a, 0, 1, 'a'},
                {XK_a, ShiftMask, 1, 'A'}, {XK_2, 0, 1, '2'},       {XK_Return, 0, 1, 13},
                {XK_Escape, 0, 1, 27},     {XK_Tab, 0, 1, 9},       {XK_n, ControlMask, 1, 14},
                {XK_Shift_L, 0, 0, -1},    {XK_Control_L, 0, 0, -1}};
    for (auto k : keys) {
      putKey(w, k.sym, k.state);
      auto [type, key] = classify(w);
      EXPECT_EQ(type, k.type) << XKeysymToString(k.sym);
      if (k.type != 0) {
        EXPECT_EQ(key, k.key) << XKeysymToString(k.sym);
      }
    }
  });
}

TEST_F(EventsX, PointerPacking) {
  inChild([] {
    Windex* w = openWindow(1);
    putButton(w, ButtonPress, 3, 100, 200);
    EXPECT_EQ(classify(w), std::make_pair(8, 3 << 24 | 100 << 12 | 200));
    putButton(w, ButtonRelease, 1, 1024, 824);
    EXPECT_EQ(classify(w), std::make_pair(9, 1 << 24 | 1024 << 12 | 824));
    putButton(w, MotionNotify, 0, 7, 9);
    EXPECT_EQ(classify(w), std::make_pair(10, 7 << 12 | 9));
    // A drag that leaves the window stays inside its fields.
    putButton(w, MotionNotify, 0, -40, 5000);
    EXPECT_EQ(classify(w), std::make_pair(10, 0 << 12 | 4095));
  });
}

class CountingRecorder : public WindexRecorder {
public:
  int clears = 0;
  void record(const char* op, const int*, int, const char*) override {
    if (std::string(op) == "clear") ++clears;
  }
};

TEST_F(EventsX, ExposureBatchesOfSixteenAndARepaintEach) {
  inChild([] {
    Windex* w = openWindow(1);
    CountingRecorder recorder;
    w->recorder = &recorder;
    for (int i = 0; i < 20; ++i) {  // put back last first: the queue then reads count 19 .. 0
      XEvent e{};
      e.xexpose.type = Expose;
      e.xexpose.display = xSurfaceOf(*w)->display;
      e.xexpose.window = xSurfaceOf(*w)->window;
      e.xexpose.x = 10 * i;
      e.xexpose.width = 5;
      e.xexpose.height = 5;
      e.xexpose.count = i;
      XPutBackEvent(xSurfaceOf(*w)->display, &e);
    }
    std::string counts;
    for (int i = 0; i < 20; ++i) {
      EXPECT_EQ(classify(w).first, 0);
      counts += std::to_string(xSurfaceOf(*w)->numClips) + " ";
    }
    EXPECT_EQ(counts, "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 0 1 2 3 0 ");
    EXPECT_EQ(recorder.clears, 20);
    w->recorder = nullptr;
  });
}

int hookCalls[4];
void hook(int cind) { ++hookCalls[cind]; }

TEST_F(EventsX, KeysReachSwitchesAndOperations) {
  std::string err = stderrOf([] {
    Windex* w = openWindow(3);
    // 'a' is bound twice (the first wins), 'b' to a component without a hook.
    static int table[3][3] = {{'a', 0, 2}, {'b', 1, 3}, {'a', 2, 4}};
    const ComponentKind keyed = defineComponentKind({.name = "Keyed", .xEventTriggered = hook});
    const ComponentKind plain = defineComponentKind({.name = "Plain"});
    static ComponentNode nodes[3];
    nodes[0].kind = keyed;
    nodes[1].kind = plain;
    nodes[2].kind = keyed;
    nodes[0].ptr = &nodes[1];
    nodes[1].ptr = &nodes[2];
    phaseTwo->componentsToArrays(nodes, 3);
    phaseTwo->numberOfSwitches = 3;
    phaseTwo->activationsFromWindow = table;
    const struct {
      KeySym sym;
      unsigned state;
    } keys[] = {{XK_a, 0},           {XK_b, 0},           {XK_2, 0},           {XK_Escape, 0},
                {XK_Return, 0},      {XK_n, ControlMask}, {XK_n, ControlMask}, {XK_z, ControlMask},
                {XK_m, ControlMask}, {XK_a, ControlMask}, {XK_Down, 0},        {XK_Home, 0},
                {XK_F11, 0}};
    for (auto k : keys) {
      putKey(w, k.sym, k.state);
      int handled = anyWindowEvents();
      std::fprintf(stderr, "%d level %d\n", handled, phaseFive->currentGraphicDisplayLevel);
    }
    putKey(w, XK_Shift_L);
    std::fprintf(stderr, "%d calls %d %d %d halt %d\n", anyWindowEvents(), hookCalls[0], hookCalls[1],
                 hookCalls[2], haltFlag);
  });
  EXPECT_EQ(err,
            "1 level 1\n"
            "Keyboard input maps to a component, but no function exists\n1 level 1\n"
            "Keyboard input:  Character (char=2,int=50) with no corresponding component activation defined.\n"
            "1 level 1\n"
            "Keyboard input:  Control character (int=27) unmapped.\n1 level 1\n"
            "1 level 2\n1 level 1\n1 level 1\n1 level 3\n1 level 3\n1 level 1\n1 level 1\n"
            "Unused Cursor key = -1\n1 level 1\n"
            "Unused Function key F11\n1 level 1\n"
            "0 calls 1 0 0 halt 1\n");
}

unsigned long pixelAt(Windex* w, int x, int y) {
  XSync(xSurfaceOf(*w)->display, False);
  XImage* image = XGetImage(xSurfaceOf(*w)->display, xSurfaceOf(*w)->window, x, y, 1, 1, AllPlanes, ZPixmap);
  unsigned long p = XGetPixel(image, 0, 0);
  XDestroyImage(image);
  return p;
}

TEST_F(EventsX, ClearingAnEmptyRectangleLeavesTheWindowAlone) {
  inChild([] {
    Windex* w = openWindow(1);
    const int half = worldSize / 2;
    w->drawFilledRectangle(0, 0, worldSize, worldSize);
    // Narrower than a pixel, shorter than a pixel, and the empty tile of a component drawn
    // before the tiling (a super probe collected by -F 8): none may clear to the window's edge.
    w->clearArea(half, 0, 1000, worldSize);
    w->clearArea(0, half, worldSize, 1000);
    drawPane(0, 0, 0, 0, ZERO, true, 0.66f);
    // A byte strip 7 units wide after shrinking has slots of 0: nothing visible.
    SignalValue values[8] = {ONE, ZERO, XXX, HIZ, UNINITIALIZED, ONE, ZERO, ONE};
    drawPane_byte_h(half, half, 28, worldSize / 4, values, true, 0.25f);
    EXPECT_EQ(pixelAt(w, 900, 100), xSurfaceOf(*w)->foreground);
    EXPECT_EQ(pixelAt(w, 100, 700), xSurfaceOf(*w)->foreground);
    EXPECT_EQ(pixelAt(w, 500, 400), xSurfaceOf(*w)->foreground);
    EXPECT_EQ(pixelAt(w, 900, 515), xSurfaceOf(*w)->foreground);
    w->clearArea(0, 0, worldSize / 4, worldSize / 4);
    EXPECT_EQ(pixelAt(w, 10, 10), xSurfaceOf(*w)->background);
    EXPECT_EQ(pixelAt(w, 500, 400), xSurfaceOf(*w)->foreground);
  });
}

// The whole window's pixels.
std::string windowPixels(Windex* w) {
  XSync(xSurfaceOf(*w)->display, False);
  XImage* image = XGetImage(xSurfaceOf(*w)->display, xSurfaceOf(*w)->window, 0, 0, static_cast<unsigned>(w->xPixels),
                            static_cast<unsigned>(w->yPixels), AllPlanes, ZPixmap);
  std::string bytes(image->data, static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(image->height));
  XDestroyImage(image);
  return bytes;
}

// Drawings collected between two looks leave exactly the picture of drawing each at once: a
// plain pane's line patterns of earlier values, a byte strip, a probe, a time text that got
// shorter, and panes small enough that nothing is cleared.
TEST_F(EventsX, CollectedDrawingsLeaveThePictureOfDrawingAtOnce) {
  inChild([] {
    Windex* w = openWindow(1);
    const int q = worldSize / 4;
    const std::vector<std::pair<int, std::vector<SignalValue>>> histories = {
        {0, {ONE, ZERO, ONE}},
        {1, {ONE, XXX, HIZ, UNINITIALIZED, ONE}},
        {2, {ZERO, HIZ, ZERO}},
        {3, {ZERO, XXX, ONE, UNINITIALIZED}},
        {4, {ONE, ZERO, XXX, ONE}},
        {5, {ONE, XXX, ONE}},
    };
    auto draw = [&](int pane, SignalValue v, long time) {
      SignalValue bytes[8] = {v, ONE, v, ZERO, v, HIZ, v, XXX};
      switch (pane) {
        case 0: drawPane(0, 0, q, q, v, false, 0.66f); break;
        case 1: drawPane(q, 0, q, q, v, false, 0.25f); break;
        case 2: drawPane(2 * q, 0, q, q, v, false, 0.5f); break;
        case 3: drawPane(0, q, q, q, v, true, 0.66f); break;
        case 4: drawPane_byte_h(q, q, q, q, bytes, true, 0.66f); break;
        case 5: drawPane(2 * q, q, 9000, 9000, v, false, 1.0f); break;
      }
      w->drawTimeAndQueue(static_cast<unsigned long long>(time), time % 2 == 1 ? 1000000000 : 1, 0);  // the last one short
    };
    auto picture = [&](bool collect) {
      w->clear();
      for (const auto& [pane, values] : histories) draw(pane, values.front(), 0);
      paneBatch::collecting = collect;
      long time = 1;
      for (size_t step = 1; step < 5; ++step)
        for (const auto& [pane, values] : histories)
          if (step < values.size()) draw(pane, values[step], time++);
      paneBatch::collecting = false;
      paneBatch::drawCollected();
      return windowPixels(w);
    };
    const std::string atOnce = picture(false);
    EXPECT_TRUE(picture(true) == atOnce);
    EXPECT_FALSE(paneBatch::pending());
  });
}

TEST_F(EventsX, WaitingSleepsUntilInputArrives) {
  inChild([] {
    Windex* w = openWindow(1);
    Window target = xSurfaceOf(*w)->window;
    std::string name = server.name();
    pid_t sender = fork();
    if (sender == 0) {
      usleep(400000);
      Display* d = XOpenDisplay(name.c_str());
      XEvent e{};
      e.xkey.type = KeyPress;
      e.xkey.window = target;
      e.xkey.keycode = XKeysymToKeycode(d, XK_F7);
      XSendEvent(d, target, False, KeyPressMask, &e);
      XCloseDisplay(d);
      _exit(0);
    }
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    auto start = std::chrono::steady_clock::now();
    w->waitForEvent();
    double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    getrusage(RUSAGE_SELF, &after);
    waitpid(sender, nullptr, 0);
    double cpu = (after.ru_utime.tv_sec - before.ru_utime.tv_sec) + (after.ru_stime.tv_sec - before.ru_stime.tv_sec) +
                 1e-6 * ((after.ru_utime.tv_usec - before.ru_utime.tv_usec) +
                         (after.ru_stime.tv_usec - before.ru_stime.tv_usec));
    EXPECT_GT(waited, 0.3);
    EXPECT_LT(cpu, 0.05);
    EXPECT_EQ(classify(w), std::make_pair(2, 7));
    // Something already queued: no wait at all.
    putKey(w, XK_a);
    start = std::chrono::steady_clock::now();
    w->waitForEvent();
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 0.1);
  });
}

}  // namespace
