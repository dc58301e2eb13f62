// The window object without a display: scaling, the view, the sub-window and the primitives.
#include <algorithm>

#include "display_support.h"

using namespace displaytest;

namespace {

// A window that never touches X, with a given pixel size.
struct HeadlessWindow {
  int savedUseXDisplay = useXDisplay;
  Windex* w;
  LineRecorder recorder;
  HeadlessWindow(int xPixels, int yPixels) {
    useXDisplay = 0;
    w = new Windex(windowTitle);
    w->xPixels = xPixels;
    w->yPixels = yPixels;
    w->recorder = &recorder;
  }
  ~HeadlessWindow() {
    delete w;
    useXDisplay = savedUseXDisplay;
  }
};

TEST(DisplayWindow, ScalesAreSinglePrecisionTruncations) {
  HeadlessWindow h(1025, 825);
  Windex& w = *h.w;
  EXPECT_FALSE(w.isOpen());
  EXPECT_EQ(w.xScale(0), 0);
  EXPECT_EQ(w.xScale(worldSize), 1025);
  EXPECT_EQ(w.yScale(worldSize), 825);
  EXPECT_EQ(w.wScale(worldSize / 8), 128);
  EXPECT_EQ(w.hScale(worldSize / 8), 103);
  // Values where double precision would truncate one pixel lower.
  EXPECT_EQ(w.xScale(1129393), 69);
  EXPECT_EQ(w.yScale(1138817), 56);
  EXPECT_EQ(w.wScale(1129393), 69);

  w.setView(1000, 2000, 1000 + 4100, 2000 + 1650);
  EXPECT_EQ(w.xScale(1000 + 2050), 512);
  EXPECT_EQ(w.yScale(2000 + 825), 412);
  EXPECT_EQ(w.xScale(1000 - 2050), -512);
  EXPECT_EQ(w.wScale(4100), 1025);
  EXPECT_EQ(w.hScale(825), 412);
}

TEST(DisplayWindow, ViewResetReviseAndShow) {
  HeadlessWindow h(1025, 825);
  Windex& w = *h.w;
  int xs, ys, xe, ye;
  w.getView(&xs, &ys, &xe, &ye);
  EXPECT_EQ((std::vector<int>{xs, ys, xe, ye}), (std::vector<int>{0, 0, worldSize, worldSize}));
  EXPECT_EQ(stderrOf([&] { w.showView(); }), "View: 0 0 16777215 16777215\n");

  // All four corners come from the old view, in single precision (the far corner loses one unit).
  w.reviseView(201, 0, 1025, 825);
  EXPECT_EQ(stderrOf([&] { w.showView(); }), "View: 3289971 0 16777214 16777215\n");
  w.reviseView(0, 0, 512, 412);
  EXPECT_EQ(stderrOf([&] { w.showView(); }), "View: 3289971 0 10027014 8378439\n");

  w.resetView();
  EXPECT_EQ(stderrOf([&] { w.showView(); }), "View: 0 0 16777215 16777215\n");
}

TEST(DisplayWindow, EmptyViewsAreRefused) {
  HeadlessWindow h(1025, 825);
  Windex& w = *h.w;
  std::string err = stderrOf([&] { w.reviseView(100, 50, 100, 300); });
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  err = stderrOf([&] { w.setView(5, 7, 9, 7); });
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  int xs, ys, xe, ye;
  w.getView(&xs, &ys, &xe, &ye);
  EXPECT_EQ((std::vector<int>{xs, ys, xe, ye}), (std::vector<int>{0, 0, worldSize, worldSize}));
  EXPECT_EQ(w.xScale(worldSize), 1025);
}

TEST(DisplayWindow, SubWindowIsTheMiddleQuarter) {
  HeadlessWindow h(1025, 825);
  Windex& w = *h.w;
  w.setSubWin();
  EXPECT_EQ((std::vector<int>{w.subWinXs, w.subWinYs, w.subWinXe, w.subWinYe}),
            (std::vector<int>{6291453, 6291453, 10485755, 10485755}));
  w.setView(800, 1600, 800 + 81, 1600 + 17);  // extents 81 and 17: a = 10, b = 2
  w.setSubWin();
  EXPECT_EQ((std::vector<int>{w.subWinXs, w.subWinYs, w.subWinXe, w.subWinYe}),
            (std::vector<int>{830, 1606, 850, 1610}));
  w.drawSubWindow();
  EXPECT_EQ(h.recorder.all(), "drawSubWindow 830 1606 20 4\n");
}

TEST(DisplayWindow, TimeAndQueueTextAndPlace) {
  HeadlessWindow h(1025, 825);
  Windex& w = *h.w;
  w.drawTimeAndQueue(18446744073709551615ull, 12, 3);
  w.setView(64, 320, 64 + 3200, 320 + 640);
  w.drawTimeAndQueue(0, 0, 0);
  EXPECT_EQ(h.recorder.all(),
            "drawText 524287 524287 \"T=18446744073709551615 Q=12 S=3        \"\n"
            "drawText 164 340 \"T=0 Q=0 S=0        \"\n");
}

TEST(DisplayWindow, PrimitivesWithoutDisplayOnlyRecord) {
  HeadlessWindow h(1025, 825);
  Windex& w = *h.w;
  w.clear();
  w.drawFilledRectangle_HIZ(1, 2, 3, 4);
  w.drawCircle(1, 2, 3, 4, 0, 23040);
  w.buttonPoint(7, 8);
  EXPECT_EQ(h.recorder.all(),
            "clear\ndrawFilledRectangle_HIZ 1 2 3 4\ndrawCircle 1 2 3 4 0 23040\nbuttonPoint 7 8 \"X\"\n");
  w.recorder = nullptr;
  w.drawLine(1, 2, 3, 4);  // unrecorded and harmless
}

}  // namespace
