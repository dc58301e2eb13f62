// Flattening the construction lists, the connectivity check and the activation lists. Every
// circuit is built and elaborated in a child process of its own.
#include <gtest/gtest.h>

#include <iostream>
#include <string>

#include "construction/Ph1.h"
#include "construction/SwList.h"
#include "construction/addStCmp.h"
#include "elaboration/Ph2.h"
#include "elaboration/Ph3.h"
#include "startup/Sim.h"
#include "support/Harness.h"

namespace {

void nothing(int) {}

void add(ComponentFunction evaluate, const SD& sd, const Signal& dataIn, const Signal& controlIn, const Signal& out,
         int overloadable = 0, int selfActivating = 0, int integerCount = 0, const int* integers = nullptr) {
  // A kind of its own each: every circuit is built in a child process.
  const ComponentKind kind = defineComponentKind({.name = "Part",
                                                  .logicEvaluate = evaluate,
                                                  .outputOverloadable = overloadable,
                                                  .selfActivating = selfActivating});
  addComponent(kind, sd, {.data = dataIn, .control = controlIn, .outputs = out},
               {.integers = {integers, static_cast<size_t>(integerCount)},
                .internal32BitVariables = 2,
                .internal8BitVariables = 1});
}

// Elaborates what the body built, as Sim does.
RunResult elaborated(const std::function<void()>& build, const std::function<void()>& inspect) {
  return runInChild([&] {
    build();
    useXDisplay = 0;
    ::elaborate();
    inspect();
  });
}

}  // namespace

TEST(Flattening, DumpShowsEveryWireSwitchAndComponent) {
  RunResult r = elaborated(
      [] {
        Signal a(1, "a"), bus(2, "bus");
        PhaseOne::instance().switchList.add(a.serialNumber[0], 'k');
        add(nullptr, SD("aa", "Key"), Signal(), Signal(), a, 0, 1);
        const int params[2] = {7, 9};
        SD block("ab");
        add(nullptr, SD(SD(block, "aa"), "ac"), (a, a), One, bus, 1, 0, 2, params);
        PhaseOne::instance().switchList.add(bus.serialNumber[1], static_cast<char>(0xE9));
        add(nothing, SD("ac"), Signal(), Signal(), Signal());
      },
      [] {
        phaseTwo->dumpFromArrays();
        const PhaseTwo& two = *phaseTwo;
        std::cout << "max=" << two.maxGraphicDisplayLevel << " switches=" << two.numberOfSwitches
                  << " key1=" << two.activationsFromWindow[1][0] << " comp1=" << two.activationsFromWindow[1][1]
                  << " params=" << two.core[1].integerParameters()[0] << "," << two.core[1].integerParameters()[1]
                  << " noParams=" << (two.record[0].numberOfIntegerParameters == 0)
                  << " vars=" << (two.record[0].internal32BitVariables != nullptr)
                  << (two.record[0].internal16BitVariables == nullptr)
                  << (two.record[0].internal8BitVariables != nullptr) << " control=" << two.core[1].controlInputs()[0]
                  << " eval=" << reinterpret_cast<void*>(two.core[2].logicEvaluate) << "\n";
      });
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string out = r.out;
  const std::string eval = out.substr(out.find("eval=") + 5, out.size() - out.find("eval=") - 6);
  EXPECT_EQ(out, "max=3 switches=2 key1=-23 comp1=2 params=7,9 noParams=1 vars=111 control=1 eval=" + eval + "\n");
  EXPECT_EQ(r.err,
            "There are 3 components.\nThere are 5 signals.\n"
            "dumpFromArrays():\n"
            "Signal 0  Init = 0 constSignal = 1  Name = Zero[0]\n"
            "Signal 1  Init = 4 constSignal = 1  Name = One[0]\n"
            "Signal 2  Init = 1 constSignal = 0  Name = a[0]\n"
            "Signal 3  Init = 1 constSignal = 0  Name = bus[0]\n"
            "Signal 4  Init = 1 constSignal = 0  Name = bus[1]\n"
            "Switch 0  keyChar = k  CompNumber = 0  SignalSerialNumber = 2\n"
            "Switch 1  keyChar = \xE9  CompNumber = 2  SignalSerialNumber = 4\n"
            "Comp 0 eval() at 0  iconArray at 0  overLoadable = 0\n"
            "   rcpos =  aa  decal = Key \n"
            "   Inputs[0]:  Outputs[1]: 2\n"
            "Comp 1 eval() at 0  iconArray at 0  overLoadable = 1\n"
            "   rcpos =  ab.aa.ac  decal = Part \n"
            "   Inputs[2]: 2 2  Outputs[2]: 3 4\n"
            "Comp 2 eval() at " + eval + "  iconArray at 0  overLoadable = 0\n"
            "   rcpos =  ac  decal = Part \n"
            "   Inputs[0]:  Outputs[0]:\n");
}

TEST(Flattening, CircuitWithoutComponents) {
  RunResult r = elaborated([] { Signal lonely(3, "lonely"); },
                          [] {
                            std::cout << phaseTwo->numberOfComponents << " " << phaseTwo->maxGraphicDisplayLevel;
                            for (int s = 0; s < phaseTwo->numberOfSignals; ++s)
                              std::cout << " " << phaseThree->lengthOfActivationList[s];
                            std::cout << "\n";
                          });
  EXPECT_EQ(r.out, "0 1 0 0 0 0 0\n");
  EXPECT_EQ(r.err, "There are 0 components.\nThere are 5 signals.\n");

  // Through the whole phase sequence, the run ends after its initial drawing.
  r = runSimulation([] { Signal lonely(3, "lonely"); }, {"-X"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "There are 0 components.\nThere are 5 signals.\n");
}

TEST(Elaboration, WiresStartAtTheirResetValues) {
  RunResult r = elaborated(
      [] {
        Signal plain(1, "plain"), listed(1, ONE, 0, "listed"), fixed(1, ONE, 1, "fixed"), mask(2, 2u, "mask");
        add(nothing, SD("aa"), (plain, listed), Signal(), Signal());
      },
      [] {
        const PhaseThree& three = *phaseThree;
        for (int s = 0; s < phaseTwo->numberOfSignals; ++s)
          std::cout << three.currentSignals[s] << three.scheduledSignals[s] << three.scheduledTimes[s]
                    << three.whenScheduled[s] << " ";
        std::cout << "activated=" << three.componentsActivated[0] << "\n";
      });
  // Zero, One, plain, listed (not constant: UNINITIALIZED), fixed, mask bits 0 and 1.
  EXPECT_EQ(r.out, "0000 4400 1100 1100 4400 0000 4400 activated=0\n");
}

TEST(Elaboration, ConnectivityWarnings) {
  RunResult r = elaborated(
      [] {
        Signal undriven(2, "undriven"), k(1, 1u, "k"), fromBlock(1, "fromBlock"), bus(1, "bus"), y(1, "y");
        add(nothing, SD("aa", "Block"), Signal(), Signal(), fromBlock, 1);  // counts as a driver
        add(nothing, SD("ab"), Signal(), Signal(), bus, 1);                   // two overloadable drivers
        add(nothing, SD("ac"), Signal(), Signal(), bus, 1);
        // Concatenation puts its right operand in the low bits: bus is data input 0.
        add(nothing, SD("ad", "Gate"), (Zero, One, k, undriven[1], bus), (One, k, fromBlock, undriven[0]), y);
        add(nothing, SD("ae.af"), (y, undriven[1]), y, Signal());
      },
      [] {});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            "There are 5 components.\nThere are 8 signals.\n"
            "Warning -- signal[3] undriven[1] has no driver, cmp = 3 Gate at ad has unconnected DATA input, "
            "position = 1\n"
            "Warning -- signal[2] has no driver, cmp = 3 Gate at ad has unconnected CONTROL input, position = 0\n"
            "Warning -- signal[3] undriven[1] has no driver, cmp = 4 Part at ae.af has unconnected DATA input, "
            "position = 0\n"
            "There are 3 inputUnconnectedWarnings\n");

  r = elaborated(
      [] {
        Signal a(1, "a");
        add(nothing, SD("aa"), Signal(), Signal(), a);
        add(nothing, SD("ab"), (a, Zero), One, Signal());
      },
      [] {});
  EXPECT_EQ(r.err, "There are 2 components.\nThere are 3 signals.\n");
}

TEST(Elaboration, ActivationLists) {
  RunResult r = elaborated(
      [] {
        Signal a(1, "a"), b(1, "b"), y(1, "y"), s(1, "s");
        add(nothing, SD("aa"), (a, a, b), a, y);        // 0: a twice and as control, b
        add(nothing, SD("ab"), Signal(), Signal(), s, 0, 1);  // 1: self-activating, its own output
        add(nothing, SD("ac"), (y, s), b, s);            // 2: drives s but is not self-activating
        add(nothing, SD("ad"), Signal(), (a, b), b, 0, 1);  // 3: b as control and own output
      },
      [] {
        for (int s = 0; s < phaseTwo->numberOfSignals; ++s) {
          std::cout << phaseTwo->signalNames[s] << ":";
          for (int k = 0; k < phaseThree->lengthOfActivationList[s]; ++k)
            std::cout << " " << phaseThree->activationList[s][k];
          std::cout << "\n";
        }
      });
  EXPECT_EQ(r.err.find("ActivationList"), std::string::npos);
  EXPECT_EQ(r.out,
            "Zero[0]:\n"
            "One[0]:\n"
            "a[0]: 0 3\n"
            "b[0]: 0 2 3\n"
            "y[0]: 2\n"
            "s[0]: 1 2\n");
}

// The flattening releases the nodes as it copies them, keeps the wires' names where the list put
// them, and shares a text with the component before when it is the same.
TEST(Flattening, ReleasesTheNodesAndSharesRepeatedTexts) {
  RunResult r = runInChild([] {
    Signal a(1, "a"), y(3, "y");
    add(nothing, SD("aa.ab", "G"), a, Signal(), y[0]);
    add(nothing, SD("aa.ab", "G"), a, Signal(), y[1]);
    add(nothing, SD("aa.ac", "H"), a, Signal(), y[2]);
    add(nothing, SD("aa.ab", "G"), a, Signal(), y[2]);
    phaseTwo = new PhaseTwo();
    phaseTwo->listsToArrays();
    const ComponentList& list = phaseOne->componentList;
    const ComponentRecord* record = phaseTwo->record;
    std::cout << "left=" << (list.start == nullptr) << (list.end == nullptr) << " counted=" << list.numberOfComponents
              << " shared=" << (record[1].rcpos == record[0].rcpos) << (record[1].decal == record[0].decal)
              << (record[3].rcpos == record[0].rcpos) << " texts=" << record[3].rcpos << "," << record[3].decal << ","
              << record[2].rcpos << " names=" << phaseTwo->signalNames[2] << "," << phaseTwo->signalNames[5] << "\n";
  });
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "left=11 counted=4 shared=110 texts=aa.ab,G,aa.ac names=a[0],y[2]\n");
}
