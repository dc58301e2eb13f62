// The processor's building blocks on their own, driven by constants or switches.
#include <gtest/gtest.h>

#include "pipeline.h"
#include "pipeline/Bench.h"

using bench::word;

namespace {

struct AluCase {
  unsigned op, a, b, out;
};

TEST(ProcessorUnits, AluOperationsAndFlags) {
  const AluCase cases[] = {
      {0, 0x1234, 0x1111, 0x2345}, {0, 0xFFFF, 0x0001, 0x0000}, {1, 0x5000, 0x1234, 0x3DCC},
      {1, 0x0000, 0x0001, 0xFFFF}, {2, 0xF0F0, 0x3C3C, 0x3030}, {3, 0xF0F0, 0x3C3C, 0xFCFC},
      {4, 0x12FF, 0x0034, 0x1234}, {5, 0x12FF, 0xAB34, 0x1234}, {6, 0x9999, 0x0034, 0x3400},
      {7, 0x0000, 0x1234, 0x3400}, {2, 0x8000, 0x8001, 0x8000}, {3, 0x0000, 0x0000, 0x0000},
  };
  bench::inChild([&] {
    std::vector<Signal*> outs, ns, zs;
    for (const AluCase& c : cases) {
      outs.push_back(new Signal(16, "out"));
      ns.push_back(new Signal(1, "N"));
      zs.push_back(new Signal(1, "Z"));
      ALU(SD("aa"), Signal(16, c.a, "a"), Signal(16, c.b, "b"), Signal(3, c.op, "c"), *outs.back(), *ns.back(),
          *zs.back());
    }
    bench::start();
    for (size_t i = 0; i < std::size(cases); ++i) {
      const AluCase& c = cases[i];
      EXPECT_EQ(word(*outs[i]), static_cast<int>(c.out)) << "op " << c.op << " on " << c.a << ", " << c.b;
      EXPECT_EQ(word(*ns[i]), static_cast<int>(c.out >> 15)) << "N, case " << i;
      EXPECT_EQ(word(*zs[i]), c.out == 0 ? 1 : 0) << "Z, case " << i;
    }
  });
}

TEST(ProcessorUnits, Plus1CarriesAndWraps) {
  const unsigned inputs[] = {0x0000, 0x00FF, 0x7FFF, 0xFFFF};
  bench::inChild([&] {
    std::vector<Signal*> outs;
    for (unsigned in : inputs) {
      outs.push_back(new Signal(16, "out"));
      Plus1(SD("aa"), Signal(16, in, "in"), *outs.back());
    }
    bench::start();
    for (size_t i = 0; i < std::size(inputs); ++i)
      EXPECT_EQ(word(*outs[i]), static_cast<int>((inputs[i] + 1) & 0xFFFF)) << "input " << inputs[i];
  });
}

TEST(ProcessorUnits, InstructionDecoderClassesAndFields) {
  // alu, ld, st, branch, sethi, setlo, hilo, psr, immediate
  const std::pair<unsigned, const char*> words[] = {
      {0xC000, "000100000"}, {0x0A3E, "100001100"}, {0x0440, "100000011"}, {0x4440, "010000001"},
      {0x8000, "001000000"}, {0x0380, "100010100"}, {0x0300, "100010100"}, {0x0000, "100000000"},
  };
  bench::inChild([&] {
    std::vector<Signal*> outs;
    for (const auto& w : words) {
      outs.push_back(new Signal(9, "dec"));
      const Signal& o = *outs.back();
      InstructionDecoder(SD("aa"), Signal(16, w.first, "IR"), o[8], o[7], o[6], o[5], o[4], o[3], o[2], o[1], o[0]);
    }
    bench::start();
    for (size_t i = 0; i < std::size(words); ++i) {
      std::string got;
      for (int k = 8; k >= 0; --k) got += word((*outs[i])[k]) == 1 ? '1' : '0';
      EXPECT_EQ(got, words[i].second) << "word " << std::hex << words[i].first;
    }
  });
}

TEST(ProcessorUnits, BranchDecisionEveryCodeAndFlagPair) {
  bench::inChild([] {
    std::vector<Signal*> outs;
    for (unsigned v = 0; v < 64; ++v) {  // isBranch, code (3 bits), N, Z
      outs.push_back(new Signal(1, "taken"));
      BranchDecision(SD("aa"), Signal(1, v >> 5, "isBranch"), Signal(3, v >> 2, "c"), Signal(1, v >> 1, "lt"),
                     Signal(1, v, "eq"), *outs.back());
    }
    bench::start();
    for (unsigned v = 0; v < 64; ++v) {
      bool n = v & 2, z = v & 1;
      const bool met[8] = {true, z, !z, n, n || z, !n && !z, !n, false};
      EXPECT_EQ(word(*outs[v]), (v >> 5) && met[(v >> 2) & 7] ? 1 : 0) << "input " << v;
    }
  });
}

TEST(ProcessorUnits, RegistersWriteOnTheRisingClockOnly) {
  bench::inChild([] {
    Signal reset(1, "reset"), clock(1, "clock"), load(1, "load"), select(3, "select"), data(16, "data");
    Signal r[8] = {Signal(16, "R0"), Signal(16, "R1"), Signal(16, "R2"), Signal(16, "R3"),
                   Signal(16, "R4"), Signal(16, "R5"), Signal(16, "R6"), Signal(16, "R7")};
    Switch(SD("aa"), reset, 'r', One);
    Switch(SD("aa"), clock, 'c', Zero);
    Switch(SD("aa"), load, 'l', Zero);
    Switch(SD("aa"), select, 'x', Zero);  // x, y, z
    Switch(SD("aa"), data, 'A', Zero);    // A .. P
    Registers(SD("aa"), reset, clock, load, select, data, r[7], r[6], r[5], r[4], r[3], r[2], r[1], r[0]);
    bench::start();
    auto expectBank = [&](std::vector<int> values, const char* when) {
      for (int k = 0; k < 8; ++k) EXPECT_EQ(word(r[k]), values[k]) << "Reg" << k << " " << when;
    };
    auto cycle = [] {
      bench::press('c');
      bench::press('c');
    };
    cycle();
    expectBank({0, 0, 0, 0, 0, 0, 0, 0}, "in reset");
    bench::press('r');
    bench::setSwitches(select, 3);
    bench::setSwitches(data, 0x1234);
    cycle();
    expectBank({0, 0, 0, 0, 0, 0, 0, 0}, "with load 0");
    bench::press('l');
    bench::press('c');
    expectBank({0, 0, 0, 0x1234, 0, 0, 0, 0}, "after a rising edge");
    bench::setSwitches(data, 0xBEEF);
    expectBank({0, 0, 0, 0x1234, 0, 0, 0, 0}, "data changed while the clock is high");
    bench::press('c');
    bench::setSwitches(select, 0);
    cycle();
    expectBank({0, 0, 0, 0x1234, 0, 0, 0, 0}, "select 0");
    bench::press('l');
    bench::setSwitches(select, 7);
    cycle();
    expectBank({0, 0, 0, 0x1234, 0, 0, 0, 0}, "load 0");
    bench::press('l');
    bench::press('c');
    expectBank({0, 0, 0, 0x1234, 0, 0, 0, 0xBEEF}, "select 7");
    bench::press('r');
    expectBank({0, 0, 0, 0, 0, 0, 0, 0}, "reset raised");
  });
}

TEST(ProcessorUnits, MemoryMapReadsWritesAndBusDrivers) {
  bench::inChild([] {
    Signal mreq(1, "mreq"), read(1, "read"), drive(1, "drive"), addr(16, "addr"), value(16, "value");
    Signal dataIn(16, "dataIn"), dataOut(16, "dataOut"), link(1, "link"), rom(1, "rom"), ram(1, "ram");
    Switch(SD("aa"), mreq, '1', Zero);
    Switch(SD("aa"), read, '2', One);
    Switch(SD("aa"), drive, '3', Zero);
    Switch(SD("aa"), addr, 'A', Zero);   // A .. P
    Switch(SD("aa"), value, 'a', Zero);  // a .. p
    for (int k = 15; k >= 0; --k) Tsb(SD("aa"), value[k], drive, dataIn[k]);
    Memory(SD("aa"), mreq, read, addr, dataIn, dataOut, link, rom, ram);
    bench::start();
    using bench::setSwitches;
    auto readAt = [&](unsigned a) {
      setSwitches(addr, a);
      setSwitches(mreq, 1);
      int w = word(dataOut);
      setSwitches(mreq, 0);
      return w;
    };
    auto writeAt = [&](unsigned a, unsigned v) {
      setSwitches(value, v);
      setSwitches(drive, 1);
      setSwitches(addr, a);
      setSwitches(mreq, 1);  // enable first, then the strobe, as the processor does
      setSwitches(read, 0);
      EXPECT_EQ(word(dataOut), static_cast<int>(v)) << "the link shows the written word";
      setSwitches(read, 1);
      setSwitches(mreq, 0);
      setSwitches(drive, 0);
    };
    EXPECT_EQ(readAt(0x0040), 0x0000) << "RAM reads 0 until written";
    EXPECT_EQ(readAt(0x0080), 0x0A3E) << "address bits above 6 are not decoded";
    EXPECT_EQ(readAt(0x003F), 0x0000);
    writeAt(0x0005, 0xBEEF);
    EXPECT_EQ(readAt(0x0005), 0x3201) << "a write to the ROM half changes nothing";
    EXPECT_EQ(readAt(0x0045), 0x0000);
    writeAt(0x0045, 0x1234);
    EXPECT_EQ(readAt(0x0045), 0x1234);
    EXPECT_EQ(readAt(0x00C5), 0x1234);
    EXPECT_EQ(bench::word(bench::wires("Ram1Out", 8)), 0x12);
    EXPECT_EQ(bench::word(bench::wires("Ram2Out", 8)), 0x34);
    EXPECT_EQ(readAt(0xFF85), 0x3201);
    bench::restart();
    EXPECT_EQ(readAt(0x0045), 0x0000) << "a restart clears the RAM";

    setSwitches(value, 0xA5C3);
    setSwitches(drive, 1);
    EXPECT_EQ(word(dataOut), 0xA5C3) << "without a request the bus follows DataIn";
    setSwitches(drive, 0);
    for (int k = 0; k < 16; ++k) EXPECT_EQ(bench::level(dataOut.serialNumber[k]), HIZ) << "bit " << k;

    for (unsigned v = 0; v < 8; ++v) {
      setSwitches(mreq, v >> 2);
      setSwitches(read, (v >> 1) & 1);
      setSwitches(addr, (v & 1) << 6);
      EXPECT_EQ(word(link) + word(rom) + word(ram), 1) << "MReq, Read, A6 = " << v;
    }
  });
}

}  // namespace
