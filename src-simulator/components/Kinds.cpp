// The table of the library's component kinds, one row per kind in the order of ComponentKind,
// and the kinds defined at run time after them.
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <vector>

#include "components/msiRT.h"
#include "components/ssiRT.h"
#include "components/vlsiRT.h"
#include "construction/ComponentKind.h"
#include "display/iconData.h"
#include "process/EndProcess.h"
#include "process/Settings.h"
#include "process/StandardStreams.h"

namespace {

using K = ComponentKind;

// The gates' pins: any number of inputs, one output.
constexpr PinNames gatePins{.data = "in[]", .outputs = "out"};
// Iand, Inand, CiOr, CiNor: the complemented inputs are the data pins, the true ones the controls.
constexpr PinNames bubblePins{.data = "complemented[]", .control = "true[]", .outputs = "out"};
constexpr PinNames onePinOut{.outputs = "out"};
// The memories: the read ports' addresses, then each write port's address, strobe and enable.
constexpr PinNames memoryPins{
    .data = "writeData[]", .control = "readAddresses[] writePorts[]", .outputs = "readData[]"};

constexpr ComponentKindRow libraryKinds[] = {
    {.kind = K::And,
     .name = "And",
     .logicEvaluate = and_,
     .levels = &andLevels,
     .orderFree = true,
     .icon = andIcon,
     .pins = gatePins},
    {.kind = K::Or,
     .name = "Or",
     .logicEvaluate = or_,
     .levels = &orLevels,
     .orderFree = true,
     .icon = orIcon,
     .pins = gatePins},
    {.kind = K::Not,
     .name = "Not",
     .logicEvaluate = not_,
     .levels = &notLevels,
     .orderFree = true,
     .icon = notIcon,
     .pins = {.data = "in", .outputs = "out"}},
    {.kind = K::Nand,
     .name = "Nand",
     .logicEvaluate = nand,
     .levels = &nandLevels,
     .orderFree = true,
     .icon = nandIcon,
     .pins = gatePins},
    {.kind = K::Nor,
     .name = "Nor",
     .logicEvaluate = nor,
     .levels = &norLevels,
     .orderFree = true,
     .icon = norIcon,
     .pins = gatePins},
    {.kind = K::Xor,
     .name = "Xor",
     .logicEvaluate = xor_,
     .levels = &xorLevels,
     .orderFree = true,
     .icon = xorIcon,
     .pins = gatePins},
    {.kind = K::Xnor,
     .name = "Xnor",
     .logicEvaluate = xnor,
     .levels = &xnorLevels,
     .orderFree = true,
     .icon = xnorIcon,
     .pins = gatePins},
    {.kind = K::MultiLevelCompare,
     .name = "MultiLevelCompare",
     .label = "mLevCmp",
     .logicEvaluate = multiLevelCompare,
     .orderFree = true,
     .icon = rectIcon,
     .pins = gatePins},
    {.kind = K::Iand,
     .name = "Iand",
     .logicEvaluate = iand,
     .levels = &iandLevels,
     .orderFree = true,
     .icon = iAndIcon,
     .pins = bubblePins},
    {.kind = K::Inand,
     .name = "Inand",
     .logicEvaluate = inand,
     .levels = &inandLevels,
     .orderFree = true,
     .icon = iNandIcon,
     .pins = bubblePins},
    {.kind = K::CiOr,
     .name = "CiOr",
     .logicEvaluate = cior,
     .levels = &ciorLevels,
     .orderFree = true,
     .icon = CiOrIcon,
     .pins = bubblePins},
    {.kind = K::CiNor,
     .name = "CiNor",
     .logicEvaluate = cinor,
     .levels = &cinorLevels,
     .orderFree = true,
     .icon = CiNorIcon,
     .pins = bubblePins},
    {.kind = K::Tsb,
     .name = "Tsb",
     .logicEvaluate = tsb,
     .icon = tsbIcon,
     .outputOverloadable = 1,
     .pins = {.data = "in", .control = "enable", .outputs = "out"}},

    {.kind = K::Probe,
     .name = "Probe",
     .drawDynamic = probe,
     .tellsOnlyProbeWatchers = true,
     .icon = circleIcon,
     .pins = {.data = "in"}},
    {.kind = K::ProbeByte,
     .name = "ProbeByte",
     .drawDynamic = probebyte,
     .icon = circleIcon,
     .pins = {.data = "in[8]"}},
    {.kind = K::ProbeByteH,
     .name = "ProbeByteH",
     .drawDynamic = probebyteh,
     .icon = circleIcon,
     .pins = {.data = "in[8]"}},
    {.kind = K::Switch,
     .name = "Switch",
     .drawDynamic = switchPane,
     .drawsOnlyPanes = true,
     .xEventTriggered = toggleSwitch,
     .icon = rectIcon,
     .selfActivating = 1,
     .pins = onePinOut},
    {.kind = K::PowerOn,
     .name = "PowerOn",
     .logicEvaluate = powerOn,
     .drawDynamic = switchPane,
     .drawsOnlyPanes = true,
     .icon = rectIcon,
     .selfActivating = 1,
     .pins = onePinOut},
    {.kind = K::Pulser,
     .name = "Pulser",
     .drawDynamic = switchPane,
     .drawsOnlyPanes = true,
     .xEventTriggered = togglePulser,
     .icon = rectIcon,
     .selfActivating = 1,
     .pins = onePinOut},
    {.kind = K::Clock,
     .name = "Clock",
     .logicEvaluate = tavrin::clock,
     .drawDynamic = switchPane,
     .drawsOnlyPanes = true,
     .icon = rectIcon,
     .selfActivating = 1,
     .pins = onePinOut},
    {.kind = K::Stop, .name = "Stop", .logicEvaluate = stop, .icon = rectIcon, .pins = {.data = "in"}},
    // A box around the parts inside, which drive its outputs: it may share them.
    {.kind = K::Module,
     .name = "Module",
     .icon = rectIcon,
     .outputOverloadable = 1,
     .pins = {.data = "in[]", .outputs = "out[]"}},
    {.kind = K::Space, .name = "Space", .label = "", .icon = spaceIcon},

    {.kind = K::Adder,
     .name = "Adder",
     .logicEvaluate = adder,
     .icon = rectIcon,
     .pins = {.data = "a[] b[]", .outputs = "sum[]"}},
    {.kind = K::Increment,
     .name = "Increment",
     .logicEvaluate = increment,
     .icon = rectIcon,
     .pins = {.data = "in[]", .outputs = "out[]"}},
    {.kind = K::Mux,
     .name = "Mux",
     .logicEvaluate = mux,
     .levels = &muxLevels,
     .orderFree = true,
     .icon = rectIcon,
     .pins = {.data = "in[]", .control = "select[]", .outputs = "out[]"}},
    {.kind = K::Decoder,
     .name = "Decoder",
     .logicEvaluate = decoder,
     .icon = rectIcon,
     .pins = {.data = "select[]", .control = "enable", .outputs = "out[]"}},
    {.kind = K::Encoder,
     .name = "Encoder",
     .logicEvaluate = encoder,
     .icon = rectIcon,
     .pins = {.data = "in[]", .outputs = "out[] valid"}},
    {.kind = K::Gate,
     .name = "Gate",
     .logicEvaluate = gate,
     .icon = rectIcon,
     .pins = {.data = "clock enable", .outputs = "out"}},
    {.kind = K::Counter,
     .name = "Counter",
     .logicEvaluate = counter,
     .icon = rectIcon,
     .pins = {.data = "clock clear", .outputs = "count[]"}},
    {.kind = K::Dff,
     .name = "Dff",
     .logicEvaluate = dff,
     .icon = rectIcon,
     .quietInputs = dffQuietInputs,
     .pins = {.data = "clear clock D preset", .outputs = "Q"}},
    {.kind = K::Jkff,
     .name = "Jkff",
     .logicEvaluate = jkff,
     .icon = rectIcon,
     .pins = {.data = "clear K clock J preset", .outputs = "Q' Q"}},
    {.kind = K::Register,
     .name = "Register",
     .logicEvaluate = enabledRegister,
     .icon = rectIcon,
     .pins = {.data = "in[]", .control = "write enable", .outputs = "out[]"}},
    {.kind = K::BitAddressibleRegister,
     .name = "BitAddressibleRegister",
     .label = "BitAddrReg",
     .logicEvaluate = bitAddressibleRegister,
     .icon = rectIcon,
     .pins = {.data = "readAddress[] writeAddress[] bitIn",
              .control = "write enable set clear",
              .outputs = "registerOut[] bitOut"}},
    {.kind = K::Stderr,
     .name = "Stderr",
     .logicEvaluate = _stderr,
     .icon = rectIcon,
     .pins = {.data = "character[8] strobe enable"}},
    {.kind = K::IntOut,
     .name = "IntOut",
     .logicEvaluate = intOut,
     .icon = rectIcon,
     .pins = {.data = "data[]", .control = "strobe enable"}},
    {.kind = K::HexOut,
     .name = "HexOut",
     .logicEvaluate = hexOut,
     .icon = rectIcon,
     .pins = {.data = "data[]", .control = "strobe enable"}},

    {.kind = K::RegisterFile,
     .name = "RegisterFile",
     .label = "RegFile",
     .logicEvaluate = multiPortRam,
     .icon = rectIcon,
     .pins = memoryPins},
    {.kind = K::Ram, .name = "Ram", .logicEvaluate = multiPortRam, .icon = rectIcon, .pins = memoryPins},
    {.kind = K::Rom,
     .name = "Rom",
     .logicEvaluate = rom,
     .icon = rectIcon,
     .pins = {.data = "address[]", .outputs = "data[]"}},
};

constexpr bool everyRowInItsPlace() {
  constexpr size_t rows = sizeof libraryKinds / sizeof libraryKinds[0];
  if (rows != static_cast<size_t>(K::numberOfLibraryKinds)) return false;
  for (size_t k = 0; k < rows; ++k)
    if (libraryKinds[k].kind != static_cast<K>(k)) return false;
  return true;
}
static_assert(everyRowInItsPlace(), "one row per ComponentKind, in its order");

// The library's rows and the defined ones, made on the first definition.
std::vector<ComponentKindRow>& allKinds() {
  static std::vector<ComponentKindRow> rows(std::begin(libraryKinds), std::end(libraryKinds));
  return rows;
}

constexpr size_t kindLimit = UINT16_MAX;

std::atomic<int> frozenTimes{0};

}  // namespace

constinit const ComponentKindRow* componentKindRows = libraryKinds;

int numberOfComponentKinds() {
  return componentKindRows == libraryKinds ? static_cast<int>(K::numberOfLibraryKinds)
                                           : static_cast<int>(allKinds().size());
}

ComponentKind defineComponentKind(const ComponentKindRow& row) {
  if (frozenTimes.load() > 0) {
    standardError() << "ERROR -- component kind defined while simulations run on threads: "
                    << (row.name != nullptr ? row.name : "") << std::endl;
    endProcess(1);
  }
  std::vector<ComponentKindRow>& rows = allKinds();
  if (rows.size() >= kindLimit) {
    standardError() << "ERROR -- too many component kinds: " << (row.name != nullptr ? row.name : "") << std::endl;
    endProcess(1);
  }
  rows.push_back(row);
  rows.back().kind = static_cast<K>(rows.size() - 1);
  componentKindRows = rows.data();
  return rows.back().kind;
}

bool pinNamesFit(const char* names, int count) {
  int fixed = 0;
  bool anyWidth = false;
  for (const char* p = names != nullptr ? names : ""; *p != '\0';) {
    while (*p == ' ') ++p;
    if (*p == '\0') break;
    const char* end = p;
    while (*end != '\0' && *end != ' ') ++end;
    const char* open = static_cast<const char*>(std::memchr(p, '[', static_cast<size_t>(end - p)));
    if (open == nullptr)
      ++fixed;
    else if (open + 2 == end && open[1] == ']')
      anyWidth = true;
    else
      fixed += std::atoi(open + 1);
    p = end;
  }
  return anyWidth ? count >= fixed : count == fixed;
}

void freezeComponentKinds(bool frozen) {
  if (frozen)
    ++frozenTimes;
  else
    --frozenTimes;
}
