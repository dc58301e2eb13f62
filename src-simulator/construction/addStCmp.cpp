#include "construction/addStCmp.h"

#include "construction/Ph1.h"
#include "process/ThreadLocal.h"

TAVRIN_THREAD_LOCAL int visibleFlag = 1;

namespace {

std::vector<int> wiresOf(const Signal& bus) {
  if (bus.length <= 0 || bus.serialNumber == nullptr) return {};
  return std::vector<int>(bus.serialNumber, bus.serialNumber + bus.length);
}

}  // namespace

const Signal& noSignal() {
  static const Signal none;
  return none;
}

void addComponent(ComponentKind kind, const SD& sd, const ComponentPins& pins, const ComponentParameters& parameters,
                  const char* label) {
  ComponentNode* node = &PhaseOne::instance().componentList.add();
  node->kind = kind;
  node->iconArray = visibleFlag ? componentKind(kind).icon : nullptr;
  const char* own = label != nullptr ? label : defaultLabel(kind);
  node->decal = sd.decal != nullptr ? sd.decal : (own != nullptr ? own : "");
  node->graphicPosition = sd.graphicPosition != nullptr ? sd.graphicPosition : "";
  node->graphicLevel = sd.graphicLevel;
  node->dataInputs = wiresOf(pins.data);
  node->controlInputs = wiresOf(pins.control);
  node->outputs = wiresOf(pins.outputs);
  node->integerParameters.assign(parameters.integers.begin(), parameters.integers.end());
  node->byteParameters.assign(parameters.bytes.begin(), parameters.bytes.end());
  node->numberOfInternal32BitVariables = parameters.internal32BitVariables;
  node->numberOfInternal16BitVariables = parameters.internal16BitVariables;
  node->numberOfInternal8BitVariables = parameters.internal8BitVariables;
}

void countFatalDiagnostic() { ++PhaseOne::instance().fatalDiagnosticCount; }
