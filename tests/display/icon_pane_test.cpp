// Icons, leads, tabs and super-probe collection; value panes and byte strips.
#include "display/IconDraw.h"
#include "display/Pane.h"
#include "display/iconData.h"
#include "display_support.h"

using namespace displaytest;

namespace {

const int diagonalIcon[] = {1, 2, 0, 0, 1000, 1000};

LineRecorder* recorderOfPhaseFive() { return static_cast<LineRecorder*>(phaseFive->windexPointer->recorder); }

std::string tabsOf(const TabList& list) {
  std::string s;
  for (const Tab* t = list.start; t != nullptr; t = t->link)
    s += std::to_string(t->cmp) + ":" + std::to_string(t->signalIndex) + "@" + std::to_string(t->xc) + "," +
         std::to_string(t->yc) + " ";
  return s;
}

std::string superProbesOf() {
  std::string s;
  for (const SuperProbe* p = phaseFive->superProbeList.start; p != nullptr; p = p->link)
    s += std::to_string(p->signalIndex) + ":" + std::to_string(p->x) + "," + std::to_string(p->y) + "," +
         std::to_string(p->w) + "," + std::to_string(p->h) + " ";
  return s;
}

TEST(DisplayIcon, TwoInputGateLayout) {
  inChild([] {
    LineRecorder* rec = makeCircuit({{.position = "aa", .icon = diagonalIcon, .data = {3, 4}, .outputs = {5},
                                      .decal = "G"}});
    phaseTwo->record[0].tile = ScreenTile{.x = 1000, .y = 2000, .w = 10000, .h = 8000};
    phaseFive->labelLinesFlag = 1;
    iconDraw(0, diagonalIcon);
    // Body 3500..8500 x 4000..8000; data input 1 above data input 0; the output at mid-height.
    EXPECT_EQ(rec->all(),
              "drawLine 3500 4000 8500 8000\n"
              "drawText 3500 4000 \"G\"\n"
              "drawLine 2500 5000 3500 5000\n"
              "drawText 2500 5000 \"s4\"\n"
              "drawRectangle 2000 4800 500 400\n"
              "drawLine 2500 7000 3500 7000\n"
              "drawText 2500 7000 \"s3\"\n"
              "drawRectangle 2000 6800 500 400\n"
              "drawLine 8500 6000 9500 6000\n"
              "drawRectangle 9500 5600 500 800\n"
              "drawText 8500 6000 \"s5\"\n");
    EXPECT_EQ(tabsOf(phaseFive->inTab), "0:3@2250,7000 0:4@2250,5000 ");
    EXPECT_EQ(tabsOf(phaseFive->outTab), "0:5@9750,6000 ");
    EXPECT_EQ(superProbesOf(), "5:9500,5600,500,800 3:2000,6800,500,400 4:2000,4800,500,400 ");
  });
}

TEST(DisplayIcon, ControlInputsComeFirstAndFlagsStopRecording) {
  inChild([] {
    makeCircuit({{.position = "aa", .icon = diagonalIcon, .data = {3, 4}, .control = {6, 7}}});
    phaseTwo->record[0].tile = ScreenTile{.x = 1000, .y = 2000, .w = 10000, .h = 8000};
    phaseFive->superProbeCollect = 0;
    iconDraw(0, diagonalIcon);
    EXPECT_EQ(tabsOf(phaseFive->inTab), "0:3@2250,7500 0:4@2250,6500 0:6@2250,5500 0:7@2250,4500 ");
    EXPECT_EQ(superProbesOf(), "");

    phaseFive->inTab.clear();
    phaseFive->superProbeCollect = 1;
    phaseFive->drawComponentLeadsFlag = 0;
    phaseFive->labelGateFlag = 0;
    recorderOfPhaseFive()->lines.clear();
    iconDraw(0, diagonalIcon);
    EXPECT_EQ(recorderOfPhaseFive()->all(), "drawLine 3500 4000 8500 8000\n");
    EXPECT_EQ(phaseFive->inTab.start, nullptr);
    EXPECT_EQ(superProbesOf(), "");
  });
}

TEST(DisplayIcon, CrowdedLeadsAndEmptyIcons) {
  inChild([] {
    LineRecorder* rec = makeCircuit({{.position = "aa", .icon = rectIcon, .data = {0, 1, 2, 3, 4, 5, 6, 7}},
                                     {.position = "ab", .icon = spaceIcon}});
    // Body height 5 world units for eight inputs: every lead on the top edge, tabs of height 0.
    phaseTwo->record[0].tile = ScreenTile{.x = 0, .y = 0, .w = 1000, .h = 10};
    iconDraw(0, rectIcon);
    int leads = 0;
    for (const std::string& line : rec->lines) {
      if (line.rfind("drawRectangle", 0) == 0) {
        EXPECT_EQ(line, "drawRectangle 100 2 50 0");
        ++leads;
      }
    }
    EXPECT_EQ(leads, 8);
    rec->lines.clear();
    phaseFive->inTab.clear();
    phaseTwo->record[1].tile = ScreenTile{.x = 0, .y = 0, .w = 1000, .h = 1000};
    iconDraw(1, spaceIcon);
    EXPECT_EQ(rec->all(), "drawText 250 250 \"\"\n");
    EXPECT_EQ(phaseFive->inTab.start, nullptr);
    EXPECT_EQ(phaseFive->outTab.start, nullptr);
  });
}

TEST(DisplayIcon, TransformIsSinglePrecision) {
  EXPECT_EQ(TrX(333, 1234567, 1111105, 1000), 1604565);  // double precision: 1604564
  EXPECT_EQ(TrY(1000, 10, 300, 1000), 310);
  EXPECT_EQ(TrX(0, 7, 300, 1000), 7);
}

TEST(DisplayPane, ShrinkAboutTheCentre) {
  int xs, ys, ws, hs;
  shrink(0.25f, 1000, 2000, 100, 60, xs, ys, ws, hs);
  EXPECT_EQ((std::vector<int>{xs, ys, ws, hs}), (std::vector<int>{1037, 2022, 25, 15}));
  shrink(0.66f, 0, 0, 100, 101, xs, ys, ws, hs);
  EXPECT_EQ((std::vector<int>{xs, ys, ws, hs}), (std::vector<int>{17, 17, 66, 66}));
}

TEST(DisplayPane, ProbeAndSwitchPatterns) {
  inChild([] {
    LineRecorder* rec = makeCircuit({{}});
    auto pane = [&](SignalValue v, bool probe) {
      rec->lines.clear();
      drawPane(1000, 2000, 100, 60, v, probe, 0.25f);
      return rec->all();
    };
    // XXX: a dark orange square in a probe, a cross in a switch.
    EXPECT_EQ(pane(XXX, true),
              "clearArea 1037 2022 25 15\ndrawFilledRectangle_XXX 1037 2022 25 15\ndrawRectangle 1037 2022 25 15\n");
    EXPECT_EQ(pane(XXX, false), "clearArea 1037 2022 25 15\ndrawRectangle 1037 2022 25 15\n"
                                "drawLine 1037 2022 1062 2037\ndrawLine 1037 2037 1062 2022\n");
    EXPECT_EQ(pane(ONE, false), "clearArea 1037 2022 25 15\ndrawFilledRectangle 1037 2022 25 15\n");
    EXPECT_EQ(pane(UNINITIALIZED, false),
              "clearArea 1037 2022 25 15\ndrawRectangle 1037 2022 25 15\ndrawLine 1037 2037 1062 2022\n");
    EXPECT_EQ(pane(HIZ, false),
              "clearArea 1037 2022 25 15\ndrawRectangle 1037 2022 25 15\ndrawLine 1037 2029 1062 2029\n");
    EXPECT_EQ(pane(static_cast<SignalValue>(7), true), "");
    EXPECT_EQ(pane(static_cast<SignalValue>(-1), false), "");
  });
}

TEST(DisplayPane, ByteStrips) {
  inChild([] {
    LineRecorder* rec = makeCircuit({{}});
    SignalValue v[8] = {ONE, ZERO, XXX, static_cast<SignalValue>(9), HIZ, UNINITIALIZED, ONE, ZERO};
    // Width 320 shrinks to 80: slots of 10, filled 7 (in double precision; single would give 6).
    drawPane_byte_h(0, 0, 320, 40, v, false, 0.25f);
    ASSERT_EQ(rec->lines.size(), 21u);
    EXPECT_EQ(rec->lines[0], "clearArea 120 15 10 10");
    EXPECT_EQ(rec->lines[1], "drawFilledRectangle_ONE 120 15 7 10");
    EXPECT_EQ(rec->lines[2], "drawRectangle 120 15 7 10");
    EXPECT_EQ(rec->lines[9], "clearArea 160 15 10 10");  // entry 3 skipped
    EXPECT_EQ(rec->lines[10], "drawFilledRectangle_HIZ 160 15 7 10");
    rec->lines.clear();
    // The vertical strip clears only the filled part of each slot.
    drawPane_byte(0, 0, 40, 320, v, true, 0.25f);
    ASSERT_EQ(rec->lines.size(), 21u);
    EXPECT_EQ(rec->lines[3], "clearArea 15 130 10 7");
    EXPECT_EQ(rec->lines[4], "drawFilledRectangle_ZERO 15 130 10 7");
    rec->lines.clear();
    // Seven units wide after shrinking: slots of 0, nothing visible.
    drawPane_byte_h(0, 0, 28, 40, v, false, 0.25f);
    EXPECT_EQ(rec->lines[1], "drawFilledRectangle_ONE 10 15 0 10");
    EXPECT_EQ(rec->lines[4], "drawFilledRectangle_ZERO 10 15 0 10");
  });
}

TEST(DisplayPane, SuperProbesShowTheirWiresNewestFirst) {
  inChild([] {
    LineRecorder* rec = makeCircuit({{}});
    phaseThree->currentSignals[2] = ONE;
    phaseThree->currentSignals[3] = HIZ;
    phaseFive->superProbeList.addSuperProbe(2, 0, 0, 100, 100);
    phaseFive->superProbeList.addSuperProbe(3, 1000, 0, 100, 50);
    phaseFive->displaySuperProbes();
    EXPECT_EQ(rec->all(),
              "clearArea 1017 8 66 33\ndrawFilledRectangle_HIZ 1017 8 66 33\ndrawRectangle 1017 8 66 33\n"
              "clearArea 17 17 66 66\ndrawFilledRectangle_ONE 17 17 66 66\ndrawRectangle 17 17 66 66\n");
  });
}

}  // namespace
