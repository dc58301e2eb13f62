#include "output/ProbeLines.h"

#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include "elaboration/Ph2.h"
#include "kernel/Ph4.h"
#include "kernel/RTSigSup.h"
#include "kernel/RunObserver.h"
#include "process/ErrorOutput.h"
#include "simulation/Simulation.h"

namespace {

// "  Probe for <decal> at <rcpos>  Value = ": the part of a probe's line that is the same on each
// line, composed once per run, at the probe's first line (each time outside a run).
std::string composeMiddle(int cind) {
  const ComponentRecord& r = phaseTwo->record[cind];
  return std::string("  Probe for ") + r.decal + " at " + r.rcpos + "  Value = ";
}

struct ProbeLines : RunObserver {
  ProbeLines() { watchesProbes = true; }

  std::vector<std::string> middles;  // per component, composed at its first line of the run
  bool inRun = false;
  std::string outsideRun;
  bool registered = false;

  void runStart() override {
    middles.assign(static_cast<size_t>(phaseTwo->numberOfComponents), std::string());
    inRun = true;
  }
  void runEnd() override { inRun = false; }

  const std::string& middle(int cind) {
    if (!inRun) return outsideRun = composeMiddle(cind);
    std::string& m = middles[static_cast<size_t>(cind)];
    if (m.empty()) m = composeMiddle(cind);
    return m;
  }

  void probeChange(int cind) override {
    static constexpr std::string_view names[] = {"ZERO\n", "UNINITIALIZED\n", "XXX\n", "HIZ\n", "ONE\n"};
    const SignalValue v = dataInputValue(cind, 0);
    char now[24];
    const std::to_chars_result digits = std::to_chars(now, now + sizeof now, phaseFour->now());
    writeStandardError({"Time = ", std::string_view(now, static_cast<size_t>(digits.ptr - now)), middle(cind),
                        v >= ZERO && v <= ONE ? names[v] : "NOT A SIGNAL\n"});
  }
};

}  // namespace

void probeLinesTakePart() {
  ProbeLines& lines = Simulation::current().part<ProbeLines>();
  if (lines.registered) return;
  lines.registered = true;
  observeRun(lines);
}
