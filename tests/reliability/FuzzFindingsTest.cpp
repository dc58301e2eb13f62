// Circuits the construction fuzzer found to overflow, index outside a component's pins or ask
// for storage without limit; each now ends in a message and a defined exit status.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include "display/SchCell.h"
#include "support/Harness.h"
#include "tavrin.h"

namespace {

TEST(FuzzFindings, MuxWithASelectWiderThanAnyDataBusIsALengthError) {
  // out.length shifted left by 64 overflowed the width check.
  RunResult r = runSimulation(
      [] {
        Signal select(64, "s"), data(4, "d"), out(1, "o");
        Mux(SD("aa"), select, data, out);
      },
      {"-X", "-E"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "I/O length error--Mux Mux at aa dataIn.length = 4 controlIn.length = 64 out.length = 1\n"
            "1 Fatal Diagnostic(s)--Can't Continue.\n");
}

TEST(FuzzFindings, ClockAndPulseTimesAtTheEndsOfTheIntRangeRun) {
  // period - duration and the kernel's added deltas overflowed.
  RunResult r = runSimulation(
      [] {
        Signal a(1, "a"), b(1, "b"), c(1, "c");
        Clock(SD("aa"), a, INT_MAX, 1, INT_MIN, Zero);
        Clock(SD("ab"), b, 3, INT_MAX, 10, One);
        PowerOn(SD("ac"), c, INT_MAX, Zero);
        Probe(SD("ad"), a, "a");
        Probe(SD("ae"), c, "c");
      },
      {"-X", "-T", "100"});
  EXPECT_EQ(r.status, 0) << r.err;
  // The clock rises one step after reaching ZERO and its huge duration keeps it ONE; the
  // power-on pulse lies far beyond the stop time.
  EXPECT_NE(r.err.find("Probe for a at ad  Value = ONE\n"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("Probe for c at ae  Value = ONE\n"), std::string::npos) << r.err;
}

TEST(FuzzFindings, MemoryParametersThatCannotBeSimulatedAreRefused) {
  // A negative address width with matching lengths read pins outside the component at run time;
  // the storage of INT_MAX words of 40 bits overflowed its count; words without bits let the
  // read ports go unbounded, each evaluation walking all of them.
  RunResult r = runSimulation(
      [] {
        Signal control(1, "c"), data(1, "d"), none(0, "n");
        Ram(SD("aa"), control, data, none, 2, 1, -1, 0, 1);
        Signal address(31, "a"), wide(40, "w");
        RegisterFile(SD("ab", "Big"), address, none, wide, INT_MAX, 40, 31, 1, 0);
        Signal romAddress(30, "ra"), romOut(8, "ro");
        Rom(SD("ac"), romAddress, romOut, 1 << 30, 8, nullptr);
        RegisterFile(SD("ad"), none, none, none, 4, 0, 0, INT_MAX, 0);
      },
      {"-X", "-E"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "Error--Ram Ram at aa: cannot be simulated: numberOfWords = 2 bitWordWidth = 1 portAddressSize = -1 "
            "numberOfReadPorts = 0 numberOfWritePorts = 1\n"
            "Error--RegisterFile Big at ab: cannot be simulated: numberOfWords = 2147483647 bitWordWidth = 40 "
            "portAddressSize = 31 numberOfReadPorts = 1 numberOfWritePorts = 0\n"
            "Error--Rom Rom at ac: cannot be simulated: words = 1073741824 bitsPerWord = 8\n"
            "Error--RegisterFile RegFile at ad: cannot be simulated: numberOfWords = 4 bitWordWidth = 0 "
            "portAddressSize = 0 numberOfReadPorts = 2147483647 numberOfWritePorts = 0\n"
            "4 Fatal Diagnostic(s)--Can't Continue.\n");
}

TEST(FuzzFindings, AMemoryWithLengthErrorsGetsNoStorage) {
  // INT_MAX write ports used to be allocated before the length error stopped the run.
  RunResult r = runSimulation(
      [] {
        Signal control(6, "c"), data(1, "d"), out(0, "o");
        RegisterFile(SD("aa", "U1"), control, data, out, 16, 34, 3, 1, INT_MAX);
      },
      {"-X", "-E"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Error--RegisterFile U1 at aa: I/O length error\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("1 Fatal Diagnostic(s)--Can't Continue.\n"), std::string::npos) << r.err;
}

TEST(FuzzFindings, NestedReversedRangesKeepTilesWithinReach) {
  // Each reversed level pushed the tile further out until it left the int range.
  const char* positions[] = {"aa", "za-aa.za-aa.za-aa.za-aa.za-aa", "az.zz-aa.zz-aa.zz-aa"};
  SchematicCell* root = new SchematicCell();
  for (const char* p : positions) enterSchematicCell(root, p);
  for (const char* p : positions) {
    int x = 0, y = 0, w = 1 << 24, h = 1 << 24;
    schematicSubSpace(root, p, x, y, w, h);
    for (int v : {x, y, w, h}) EXPECT_LE(std::abs(v), 1 << 28) << p;
  }
  releaseSchematicCell(root);
}

TEST(FuzzFindings, AGridLeftWithoutColumnsReleasesTheSubCellsItDrops) {
  // "ac-ab" narrows the reversed grid of "ab" to no columns, so it starts afresh without the
  // sub-cell "ac-aa", which used to be lost (the sanitizer build's leak check sees it now).
  SchematicCell* root = new SchematicCell();
  enterSchematicCell(root, "ab.ac-aa.aa");
  ASSERT_EQ(root->nr_of_subspaces, 1);
  EXPECT_EQ(root->ptr[0].nr_of_subspaces, 1);
  enterSchematicCell(root, "ab.ac-ab");
  EXPECT_EQ(root->ptr[0].nr_of_subspaces, 0);
  releaseSchematicCell(root);
}

}  // namespace
