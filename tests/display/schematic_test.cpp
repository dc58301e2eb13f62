// Position strings, the grid tree, tiling, visibility and interconnecting lines.
#include "components/msiRT.h"
#include "display/SchCell.h"
#include "display/iconData.h"
#include "display_support.h"

using namespace displaytest;

namespace {

std::vector<std::string> fieldsOf(const char* s, std::string& err) {
  std::vector<std::string> v;
  err = stderrOf([&] {
    char** fields = nullptr;
    int n = breakOut(s, &fields);
    for (int i = 0; i < n; ++i) {
      v.emplace_back(fields[i]);
      delete[] fields[i];
    }
    delete[] fields;
  });
  return v;
}

TEST(DisplaySchematic, BreakingPositionStrings) {
  std::string err;
  EXPECT_EQ(fieldsOf("ff.aa-ab.1z", err), (std::vector<std::string>{"ff", "aa-ab", "1z"}));
  EXPECT_EQ(err, "");
  EXPECT_EQ(fieldsOf("", err), std::vector<std::string>{});
  EXPECT_EQ(err, "Screen_cell string has zero length.\n");
  EXPECT_EQ(fieldsOf(".aa..ab.", err), (std::vector<std::string>{"aa", "ab"}));
  EXPECT_EQ(err, "Length zero field in schematic cell designation: .aa..ab.\n"
            "Length zero field in schematic cell designation: .aa..ab.\n"
            "Length zero field in schematic cell designation: .aa..ab.\n");

  char r[2], c[2];
  breakCell("da-ea", r, c);
  EXPECT_EQ(std::string(r, 2) + std::string(c, 2), "deaa");
  breakCell("1z", r, c);
  EXPECT_EQ(std::string(r, 2) + std::string(c, 2), "11zz");
  breakCell("ab+cd", r, c);  // any separator
  EXPECT_EQ(std::string(r, 2) + std::string(c, 2), "acbd");
  breakCell("ab-", r, c);  // a cut-off range reads nothing past its end
  EXPECT_EQ(std::string(r, 2) + std::string(c, 2), "aabb");

  char f[6];
  firstCell("aa-ab.cd", f);
  EXPECT_STREQ(f, "aa-ab");
  firstCell("abcdefgh", f);
  EXPECT_STREQ(f, "abcde");
}

TEST(DisplaySchematic, DescentStopsAtAMissingSubCell) {
  SchematicCell root;
  enterSchematicCell(&root, "da-ea.ac");
  enterSchematicCell(&root, "fa");
  ASSERT_EQ(root.nr_of_subspaces, 1);
  EXPECT_STREQ(root.ptr[0].name, "da-ea");
  int x = 0, y = 0, w = worldSize, h = worldSize;
  schematicSubSpace(&root, "fa.zz", x, y, w, h);  // rows d..f: the third one
  EXPECT_EQ((std::vector<int>{x, y, w, h}), (std::vector<int>{0, 11184810, worldSize, 5592405}));
}

TEST(DisplaySchematic, TilingEdgeCases) {
  inChild([] {
    makeCircuit({{.position = "aa"}, {.position = "ab"}});
    tile();
    EXPECT_EQ(tileOf(0), "0 0 8388607 16777215");
    EXPECT_EQ(tileOf(1), "8388607 0 8388607 16777215");
  });
  inChild([] {
    makeCircuit({{.position = "da-ea"}, {.position = "fa"}});
    tile();
    EXPECT_EQ(tileOf(0), "0 0 16777215 11184810");
    EXPECT_EQ(tileOf(1), "0 11184810 16777215 5592405");
  });
  inChild([] {
    // Same position: stacked in registration order, a third of the cell each.
    makeCircuit({{.position = "ba"}, {.position = "aa"}, {.position = "ba"}, {.position = "ba"}});
    tile();
    EXPECT_EQ(tileOf(0), "0 8388607 16777215 2796202");
    EXPECT_EQ(tileOf(1), "0 0 16777215 8388607");
    EXPECT_EQ(tileOf(2), "0 11184809 16777215 2796202");
    EXPECT_EQ(tileOf(3), "0 13981011 16777215 2796202");
  });
  inChild([] {
    // Single precision in the grid: 11 columns, the ninth starts where float puts it.
    std::vector<Part> parts;
    const char* positions[] = {"aa", "ab", "ac", "ad", "ae", "af", "ag", "ah", "ai", "aj", "ak"};
    for (const char* p : positions) parts.push_back({.position = p});
    makeCircuit(parts);
    tile();
    EXPECT_EQ(phaseTwo->record[8].tile.x, 12201611);  // exact: 12201610
  });
}

TEST(DisplaySchematic, TilingOfOddPositions) {
  inChild([] {
    makeCircuit({{.position = "aa..ab"}, {.position = "aa.ac"}, {.position = ""}, {.position = "ab.abcdefg"},
                 {.position = "ab.abcdeXY.aa"}});
    std::string err = stderrOf(tile);
    EXPECT_EQ(err,
              "Length zero field in schematic cell designation: aa..ab\n"
              "Screen_cell string has zero length.\n"
              "Field longer than five characters in schematic cell designation: ab.abcdefg (cut to five)\n"
              "Field longer than five characters in schematic cell designation: ab.abcdeXY.aa (cut to five)\n");
    // "aa..ab" is "aa.ab": the left half of cell aa (columns b..c).
    EXPECT_EQ(tileOf(0), "0 0 4194303 16777215");
    EXPECT_EQ(tileOf(1), "4194303 0 4194303 16777215");
    // An empty position keeps the world square.
    EXPECT_EQ(tileOf(2), "0 0 16777215 16777215");
    // Long fields are cut, so both components land in sub-cell "abcde" (rows a..d, column b..e).
    EXPECT_EQ(phaseTwo->record[3].tile.x, 8388607);
    EXPECT_EQ(phaseTwo->record[4].tile.x, 8388607);
  });
}

TEST(DisplaySchematic, ManyComponentsInOneCellStackWithoutOverflow) {
  inChild([] {
    makeCircuit(std::vector<Part>(200, Part{.position = "aa"}));
    tile();
    EXPECT_EQ(tileOf(199), "0 16693328 16777215 83886");  // 199 * 16777215 / 200
    EXPECT_EQ(phaseTwo->record[1].tile.y, 83886);
  });
}

int evaluated = 0;
void countDynamic(int) { ++evaluated; }

TEST(DisplaySchematic, VisibilityByLevel) {
  inChild([] {
    // A module at level 2 and a gate at level 2, inside a level-1 cell.
    makeCircuit({{.position = "aa", .level = 2, .overloadable = 1, .icon = rectIcon, .dynamic = countDynamic},
                 {.position = "aa", .level = 2, .icon = notIcon, .dynamic = countDynamic},
                 {.position = "ab", .level = 1, .icon = notIcon, .dynamic = countDynamic}});
    const int expectedModule[] = {0, 0, 1, 0};
    const int expectedGate[] = {0, 0, 1, 1};
    for (int level = 1; level <= 3; ++level) {
      phaseFive->currentGraphicDisplayLevel = level;
      EXPECT_EQ(phaseFive->isVisible(0), expectedModule[level] == 1) << level;
      EXPECT_EQ(phaseFive->isVisible(1), expectedGate[level] == 1) << level;
      EXPECT_TRUE(phaseFive->isVisible(2));
    }
    tile();
    LineRecorder* rec = static_cast<LineRecorder*>(phaseFive->windexPointer->recorder);
    phaseFive->currentGraphicDisplayLevel = 1;
    phaseFive->drawSchematic();
    EXPECT_EQ(rec->countOf("drawLine"), 7u);  // one Not body: three sides and the bubble's four
    rec->lines.clear();
    phaseFive->currentGraphicDisplayLevel = 2;
    phaseFive->drawSchematic();
    EXPECT_EQ(rec->countOf("drawLine"), 7u + 7 + 9);  // two Nots and the module's box
    evaluated = 0;
    phaseFive->drawPanes();
    EXPECT_EQ(evaluated, 3);
    phaseFive->currentGraphicDisplayLevel = 3;
    evaluated = 0;
    phaseFive->drawPanes();
    EXPECT_EQ(evaluated, 2);
  });
}

TEST(DisplaySchematic, InterconnectingLines) {
  inChild([] {
    // Component 0 drives wire 5 (and 6); 1 reads 5 as a gate, 2 reads 5 and 6 as a multiplexer.
    makeCircuit({{.position = "aa", .outputs = {5, 6}},
                 {.position = "ab", .data = {5}, .evaluate = nullptr},
                 {.position = "ac", .data = {5}, .control = {6}, .kind = ComponentKind::Mux}});
    PhaseFive& five = *phaseFive;
    LineRecorder* rec = static_cast<LineRecorder*>(five.windexPointer->recorder);
    five.outTab.addTab(0, 5, 100, 10);
    five.outTab.addTab(0, 6, 100, 20);
    five.inTab.addTab(1, 5, 200, 10);
    five.inTab.addTab(2, 5, 300, 10);
    five.inTab.addTab(2, 6, 300, 20);
    five.inTab.addTab(1, 7, 200, 30);  // nobody drives it
    five.connect();
    // Output tabs newest first, each with its wire's inputs newest first.
    EXPECT_EQ(rec->all(),
              "drawLine 100 20 300 20\n"
              "drawLine 100 10 300 10\n"
              "drawLine 100 10 200 10\n");
    EXPECT_EQ(five.inTab.start, nullptr);
    EXPECT_EQ(five.outTab.start, nullptr);

    rec->lines.clear();
    connectMuxOnlyFlag = 1;
    five.outTab.addTab(0, 5, 100, 10);
    five.inTab.addTab(1, 5, 200, 10);
    five.inTab.addTab(2, 5, 300, 10);
    five.connect();
    EXPECT_EQ(rec->all(), "drawLine 100 10 300 10\n");
  });
}

}  // namespace

namespace {

// A run of components at one position: stacked as before whether their texts are shared or not,
// and each one's odd position reported.
TEST(DisplaySchematic, RepeatedPositionsTileAndReportPerComponent) {
  inChild([] {
    makeCircuit({{.position = "ab.aa"}, {.position = "ab.aa"}, {.position = "ab.aa"}, {.position = "aa"},
                 {.position = "aa.abcdefg"}, {.position = "aa.abcdefg"}});
    // Component 2's text a copy of its own: no longer the one component 1 has.
    static const std::string copy = "ab.aa";
    ASSERT_EQ(phaseTwo->record[1].rcpos, phaseTwo->record[0].rcpos);
    phaseTwo->record[2].rcpos = copy.c_str();
    const std::string err = stderrOf(tile);
    EXPECT_EQ(err,
              "Field longer than five characters in schematic cell designation: aa.abcdefg (cut to five)\n"
              "Field longer than five characters in schematic cell designation: aa.abcdefg (cut to five)\n");
    // Cell ab, the right half, in thirds; the cut block abcde fills cell aa, in halves.
    EXPECT_EQ(tileOf(0), "8388607 0 8388607 5592405");
    EXPECT_EQ(tileOf(1), "8388607 5592405 8388607 5592405");
    EXPECT_EQ(tileOf(2), "8388607 11184810 8388607 5592405");
    EXPECT_EQ(tileOf(4), "0 0 8388607 8388607");
    EXPECT_EQ(tileOf(5), "0 8388607 8388607 8388607");
  });
}

// Without a window or a recorder the start-up draws nothing, so it collects no lead tabs and no
// super probes; the panes are drawn all the same.
TEST(DisplaySchematic, StartUpWithoutAnyoneToShowItCollectsNothing) {
  inChild([] {
    makeCircuit({{.position = "aa", .icon = notIcon, .data = {3}, .outputs = {4}, .dynamic = countDynamic}});
    for (bool recorded : {true, false}) {
      WindexRecorder* recorder = phaseFive->windexPointer->recorder;
      if (!recorded) phaseFive->windexPointer->recorder = nullptr;
      phaseFive->superProbeList.clear();
      phaseFive->superProbeCollect = 1;
      evaluated = 0;
      phaseFive->drawStartUp();
      EXPECT_EQ(phaseFive->superProbeList.start != nullptr, recorded);
      EXPECT_EQ(phaseFive->inTab.start, nullptr);  // used up by the lines, or never made
      EXPECT_EQ(phaseFive->superProbeCollect, 0);
      EXPECT_EQ(evaluated, 1);
      phaseFive->windexPointer->recorder = recorder;
    }
  });
}

}  // namespace
