#include "MajorityKind.h"

#include <iostream>

#include "construction/addStCmp.h"
#include "display/iconData.h"
#include "kernel/Ph4.h"
#include "kernel/RTSigSup.h"

namespace {

void majority(int cind) {
  const Pins in = dataPins(cind);
  int ones = 0, zeros = 0;
  for (int i = 0; i < in.count; ++i) {
    ones += in[i] == ONE;
    zeros += in[i] == ZERO;
  }
  const SignalValue v = ones >= 2 ? ONE : (zeros >= 2 ? ZERO : XXX);
  if (const int s = outputSignal(cind, 0); s >= 0) phaseFour->signalTransition(s, v, 7, 10);
}

const ComponentKind majorityKind = defineComponentKind(
    {.name = "Majority", .logicEvaluate = majority, .icon = rectIcon, .pins = {.data = "a b c", .outputs = "out"}});

}  // namespace

void Majority(const SD& sd, const Signal& in, const Signal& out) {
  if (in.length != 3 || out.length != 1) {
    std::cerr << "I/O length error--Majority() at " << sd.graphicPosition << " in.length = " << in.length
              << " out.length = " << out.length << " should be 3 & 1.\n";
    countFatalDiagnostic();
  }
  addComponent(majorityKind, sd, {.data = in, .outputs = out});
}
