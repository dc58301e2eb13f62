// Signals: wire numbering, the list entries, every operator's bits and names, and the errors.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "construction/Ph1.h"
#include "construction/Signal.h"
#include "support/Harness.h"

// Built during static initialisation, in whatever order relative to Zero and One.
Signal earlyGlobal(2, "early");

namespace {

std::vector<int> serials(const Signal& s) { return std::vector<int>(s.serialNumber, s.serialNumber + s.length); }

std::vector<int> range(int first, int last) {
  std::vector<int> numbers;
  for (int i = first; first <= last ? i <= last : i >= last; first <= last ? ++i : --i) numbers.push_back(i);
  return numbers;
}

const SignalNode* listEntry(int serial) {
  for (const SignalNode* node = phaseOne->signalList.start; node != nullptr; node = node->ptr)
    if (node->signalSerialNumber == serial) return node;
  return nullptr;
}

int nextSerial() { return phaseOne->signalList.numberOfSignals; }

}  // namespace

TEST(Signals, ZeroAndOneAreWiresZeroAndOne) {
  EXPECT_EQ(serials(Zero), std::vector<int>{0});
  EXPECT_EQ(serials(One), std::vector<int>{1});
  EXPECT_EQ(Zero.constSignal, 1);
  // The first wire of the program, made by a global built before main.
  EXPECT_EQ(serials(earlyGlobal), (std::vector<int>{2, 3}));
  const SignalNode* zero = phaseOne->signalList.start;
  const SignalNode* one = zero->ptr;
  EXPECT_EQ(std::string(zero->name), "Zero[0]");
  EXPECT_EQ(zero->value, ZERO);
  EXPECT_EQ(zero->constSignal, 1);
  EXPECT_EQ(std::string(one->name), "One[0]");
  EXPECT_EQ(one->value, ONE);
  EXPECT_EQ(one->constSignal, 1);
  EXPECT_EQ(std::string(one->ptr->name), "early[0]");
}

TEST(Signals, ConstructorsAddOneListEntryPerWire) {
  int base = nextSerial();
  const char* name = "bus";
  Signal bus(3, name);
  EXPECT_EQ(serials(bus), range(base, base + 2));
  EXPECT_EQ(bus.nameTag, name);  // the caller's text, not a copy
  EXPECT_EQ(bus.constSignal, 0);
  EXPECT_EQ(std::string(listEntry(base + 2)->name), "bus[2]");
  EXPECT_EQ(listEntry(base + 2)->value, UNINITIALIZED);

  Signal none(0, "none");
  EXPECT_EQ(none.serialNumber, nullptr);
  EXPECT_EQ(nextSerial(), base + 3);

  Signal high(2, ONE, 1, "high");
  EXPECT_EQ(high.constSignal, 1);
  EXPECT_EQ(listEntry(base + 4)->value, ONE);
  EXPECT_EQ(listEntry(base + 4)->constSignal, 1);

  Signal anonymous(2, XXX, 0, nullptr);
  EXPECT_EQ(std::string(anonymous.nameTag), "Annon");
  EXPECT_EQ(std::string(listEntry(base + 5)->name), "Annon");
  EXPECT_EQ(std::string(listEntry(base + 6)->name), "Annon");

  // The mask repeats every 32 bits.
  Signal wide(40, 0x80000003u, "wide");
  EXPECT_EQ(wide.constSignal, 1);
  std::string levels;
  for (int i = 0; i < 40; ++i) levels += listEntry(wide.serialNumber[i])->value == ONE ? '1' : '0';
  EXPECT_EQ(levels, "1100000000000000000000000000000111000000");
  EXPECT_EQ(listEntry(wide.serialNumber[0])->constSignal, 1);
}

TEST(Signals, SelectionAndRanges) {
  Signal x(16, "x");
  int b = x.serialNumber[0];
  EXPECT_EQ(serials(x[3]), std::vector<int>{b + 3});
  EXPECT_EQ(std::string(x[3].nameTag), "x[3]");
  Signal bit(1, "bit");
  EXPECT_EQ(std::string(bit[0].nameTag), "bit");

  EXPECT_EQ(serials(x.sub(3, 3)), std::vector<int>{b + 3});
  EXPECT_EQ(serials(x.sub(15, 8)), range(b + 8, b + 15));  // natural order
  EXPECT_EQ(serials(x.sub(8, 15)), range(b + 15, b + 8));  // reversed
  EXPECT_EQ(std::string(x.sub(8, 15).nameTag), "x");

  EXPECT_EQ(serials(x[15] - x[0]), range(b, b + 15));
  EXPECT_EQ(serials(x[0] - x[15]), range(b + 15, b));
  EXPECT_EQ(serials(x[3] - x[3]), std::vector<int>{b + 3});
  // Across handles: every wire between the two serial numbers.
  Signal y(2, "y");
  EXPECT_EQ(serials(y[1] - x[14]), range(b + 14, y.serialNumber[1]));

  Signal constant(4, 5u, "k");
  EXPECT_EQ(constant.sub(2, 1).constSignal, 1);
  EXPECT_EQ(constant[2].constSignal, 1);
}

TEST(Signals, ConcatenationAndReplication) {
  Signal a(4, "a"), b(2, "b");
  Signal ab = (a, b);
  std::vector<int> expected = serials(b);
  for (int s : serials(a)) expected.push_back(s);
  EXPECT_EQ(serials(ab), expected);
  EXPECT_EQ(std::string(ab.nameTag), "a,b");

  Signal three = 3 * b;
  EXPECT_EQ(serials(three), (std::vector<int>{b.serialNumber[0], b.serialNumber[1], b.serialNumber[0],
                                              b.serialNumber[1], b.serialNumber[0], b.serialNumber[1]}));
  EXPECT_EQ(std::string(three.nameTag), "b");
  EXPECT_EQ((0 * b).length, 0);
  EXPECT_EQ((-2 * b).length, 0);
  EXPECT_EQ((4 * One).constSignal, 1);

  Signal copy(ab);
  EXPECT_NE(copy.serialNumber, ab.serialNumber);
  EXPECT_EQ(serials(copy), serials(ab));
  EXPECT_EQ(std::string(copy.nameTag), "a,b");
}

TEST(Signals, FatalErrorsEndTheProcess) {
  RunResult r = runInChild([] { Signal x(2, "x"); x[-1]; });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Signal :: operator[] subscript out of range--\n  -- Signal = x sub = -1\n");

  r = runInChild([] { Signal x(4, "x"); x.sub(0, 4); });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Signal member sub(int,int)--bad range: 0,4\nSource length = 4\n");

  r = runInChild([] { Signal x(1, "x"), y(3, "y"); x - y; });
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Error--operator - arguments are not length = 1.\n");
}

TEST(Signals, Printing) {
  RunResult r = runInChild([] {
    Signal x(3, "x");
    x.print();
    std::printf("%d %d %d ", x.serialNumber[2], x.serialNumber[1], x.serialNumber[0]);
    SignalList list;
    list.add(7, HIZ, "w[0]", 0);
    list.add(8, ONE, "k[0]", 1);
    list.numberOfSignals = 2;
    list.print();
    for (int v : {0, 1, 2, 3, 4, 7}) saySignalValue(static_cast<SignalValue>(v)), std::fputc(' ', stderr);
    std::fputc('\n', stderr);
  });
  std::regex expected(
      "Signal\\.print\\(\\) this=0x[0-9a-f]+ nameTag=x constSignal=0 length=3, numbered:\n     " + r.out + "\n"
      "   Signal number 7   constSignal = 0  Name: w\\[0\\]  Value: 3\n"
      "   Signal number 8   constSignal = 1  Name: k\\[0\\]  Value: 4\n"
      "ZERO UNINITIALIZED XXX HIZ ONE NOT A SIGNAL \n"
      "There are 2 signals\\.\n");
  EXPECT_TRUE(std::regex_match(r.err, expected)) << r.err;
}
