// The probe layout of the processor's schematic, and where its value panes land in the window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>

#include "components/ssiRT.h"
#include "display/Ph5.h"
#include "display/SchCell.h"
#include "elaboration/Ph2.h"
#include "pipeline.h"
#include "pipeline/Bench.h"

namespace {

struct Row {
  const char* name;
  int width;
  const char* first;  // bit 15's position (the only one for one-bit signals)
  const char* last;   // bit 0's position
  const char* title;  // one character per bit from bit 15; a one-bit probe's whole label
};

const Row rows[] = {
    {"PC", 16, "aa.aa", "ad.aa", "IF: PC"},
    {"PCtmp", 16, "ba.aa", "bd.aa", "IF: PCtmp"},
    {"memory", 1, "ak.aa-ac", "", "MemRq"},
    {"AddrBus", 16, "ak.ae", "an.ae", "Address Bus"},
    {"read", 1, "bk.aa-ac", "", "R/W"},
    {"DataBus", 16, "bk.ae", "bn.ae", "Data Bus"},
    {"IR_ID", 16, "da-ea.aa", "dd-ed.aa", "ID: IR"},
    {"IR_EX", 16, "dd-ed.ad", "dg-eg.ad", "EX: IR"},
    {"IR_MEM", 16, "dh-eh.ab", "dk-ek.ab", "MEM: IR"},
    {"IR_WB", 16, "dk-ek.ae", "dn-en.ae", "WB: IR"},
    {"stallIF", 1, "ca", "", "Stall_IF"},
    {"stallID", 1, "cd", "", "Stall_ID"},
    {"stallEX", 1, "cg", "", "Stall_EX"},
    {"branchDecision", 1, "ai", "", "Branch?"},
    {"stallMEM", 1, "ck", "", "Stall_MEM"},
    {"PC1", 16, "fa.aa", "fd.aa", "ID: PC1"},
    {"A", 16, "ga.aa", "gd.aa", "ID: A"},
    {"B", 16, "ha.aa", "hd.aa", "ID: B"},
    {"IR1", 16, "ia.aa", "id.aa", "ID: IR1"},
    {"D", 16, "ja.aa", "jd.aa", "ID: D"},
    {"N", 1, "ff.aa-ab", "", "N"},
    {"Z", 1, "ff.ad-ae", "", "Z"},
    {"ALUo", 16, "gd.ad", "gg.ad", "EX: ALUo"},
    {"DMAR", 16, "hd.ad", "hg.ad", "EX: DMAR"},
    {"SMDR", 16, "jd.ad", "jg.ad", "EX: SMDR"},
    {"ALUo1", 16, "gh.ab", "gk.ab", "MEM: ALUo1"},
    {"LMDR", 16, "jh.ab", "jk.ab", "MEM: LMDR"},
    {"Reg0", 16, "fk.ae", "fn.ae", "Reg0"},
    {"Reg1", 16, "gk.ae", "gn.ae", "Reg1"},
    {"Reg2", 16, "hk.ae", "hn.ae", "Reg2"},
    {"Reg3", 16, "ik.ae", "in.ae", "Reg3"},
    {"Reg4", 16, "jk.ae", "jn.ae", "Reg4"},
    {"Reg5", 16, "kk.ae", "kn.ae", "Reg5"},
    {"Reg6", 16, "lk.ae", "ln.ae", "Reg6"},
    {"Reg7", 16, "mk.ae", "mn.ae", "Reg7"},
};

int probeOf(int serial) {
  int found = -1;
  for (int i = 0; i < phaseTwo->numberOfComponents; ++i)
    if (phaseTwo->record[i].kind == ComponentKind::Probe && phaseTwo->core[i].dataInputs()[0] == serial) {
      EXPECT_EQ(found, -1) << "two probes on wire " << serial;
      found = i;
    }
  EXPECT_NE(found, -1) << "no probe on wire " << serial;
  return found;
}

// The centre pixel of a probe's pane in the default 1025 x 825 window showing the whole world.
std::pair<int, int> paneCentre(int cind) {
  const ScreenTile& t = phaseTwo->record[cind].tile;
  const float world = 16777215.0f;
  int ws = static_cast<int>(t.w * 0.25f), hs = static_cast<int>(t.h * 0.25f);
  int xs = static_cast<int>(t.x + static_cast<float>((t.w - ws) / 2));
  int ys = static_cast<int>(t.y + static_cast<float>((t.h - hs) / 2));
  int x = static_cast<int>(1025 * (xs / world)), y = static_cast<int>(825 * (ys / world));
  return {x + static_cast<int>(1025 * (ws / world)) / 2, y + static_cast<int>(825 * (hs / world)) / 2};
}

TEST(ProcessorLayout, ProbesSwitchesAndFillers) {
  bench::inChild([] {
    simnet();
    bench::elaborate();
    int probes = 0;
    for (int i = 0; i < phaseTwo->numberOfComponents; ++i) probes += phaseTwo->record[i].kind == ComponentKind::Probe;
    EXPECT_EQ(probes, 425);

    for (const Row& row : rows) {
      std::vector<int> bits = bench::wires(row.name, row.width);
      for (int k = row.width - 1; k >= 0; --k) {
        int cind = probeOf(bits[k]);
        if (cind < 0) return;
        std::string position = phaseTwo->record[cind].rcpos, label = phaseTwo->record[cind].decal;
        if (row.width == 1) {
          EXPECT_EQ(position, row.first) << row.name;
          EXPECT_EQ(label, row.title) << row.name;
          continue;
        }
        if (k == 15 || k == 0) {
          EXPECT_EQ(position, k == 15 ? row.first : row.last) << row.name;
        }
        size_t i = 15 - k;
        std::string title = i < std::strlen(row.title) && row.title[i] != ' ' ? std::string(1, row.title[i]) : "";
        EXPECT_EQ(label, title.empty() ? std::string(row.name) + "[" + std::to_string(k) + "]" : title);
      }
    }

    ASSERT_EQ(phaseTwo->numberOfSwitches, 2);
    const char* keys = "01";
    const char* names[2] = {"reset", "clock"};
    for (int s = 0; s < 2; ++s) {
      EXPECT_EQ(phaseTwo->activationsFromWindow[s][0], keys[s]);
      EXPECT_EQ(phaseTwo->activationsFromWindow[s][2], bench::wires(names[s], 1)[0]);
    }

    // Fillers: inverters from Zero, in the odd order _1 .. _5, _7, _8, _6, _9 .. _15.
    std::vector<std::string> fillers;
    for (int i = 0; i < phaseTwo->numberOfComponents; ++i)
      if (phaseTwo->record[i].kind == ComponentKind::Not && phaseTwo->record[i].graphicLevel == 1)
        fillers.push_back(phaseTwo->signalNames[phaseTwo->core[i].outputs()[0]]);
    EXPECT_EQ(fillers, (std::vector<std::string>{"_1[0]", "_2[0]", "_3[0]", "_4[0]", "_5[0]", "_7[0]", "_8[0]",
                                                 "_6[0]", "_9[0]", "_10[0]", "_11[0]", "_12[0]", "_13[0]", "_14[0]",
                                                 "_15[0]"}));
    std::vector<int> fillerWires = bench::wires("_1", 1);
    EXPECT_EQ(bench::wires("_7", 1)[0], fillerWires[0] + 5) << "created before _6";

    // For the window check: where the panes of IR_WB and Reg1 appear, bit 15 first.
    if (const char* path = std::getenv("TAVRIN_PANE_CENTRES")) {
      useXDisplay = 0;
      phaseFive = new PhaseFive();
      phaseFive->componentTiling(new SchematicCell());
      std::ofstream out(path);
      for (const char* name : {"IR_WB", "Reg1"}) {
        std::vector<int> bits = bench::wires(name, 16);
        for (int k = 15; k >= 0; --k) {
          auto [x, y] = paneCentre(probeOf(bits[k]));
          out << name << " " << k << " " << x << " " << y << "\n";
        }
      }
    }
  });
}

}  // namespace
