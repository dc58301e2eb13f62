#include "elaboration/Ph2.h"

#include <cstring>
#include <iostream>
#include <string>

#include "construction/Ph1.h"
#include "construction/Blocks.h"
#include "construction/TextCopy.h"
#include "process/StandardStreams.h"
#include "process/ThreadLocal.h"

TAVRIN_THREAD_LOCAL PhaseTwo* phaseTwo = nullptr;

namespace {

// Hands out lists one after another from a single block, so that a component's pins and
// parameters lie together and its neighbours' follow: an evaluation touches a cache line or two
// instead of one allocation per list. An empty list stays a null pointer. The block's memory is
// taken as it is filled, not all at once.
template <typename T>
class Block {
public:
  explicit Block(size_t total) : first(total > 0 ? new T[total] : nullptr), next(first) {}
  T* start() const { return first; }
  T* copy(size_t count, const T* values) {
    if (count == 0) return nullptr;
    T* copy = next;
    std::memcpy(copy, values, sizeof(T) * count);
    next += count;
    return copy;
  }
  // count zeroed values: private variables, so that a component that forgets to set them up
  // still behaves the same on every run.
  T* take(int count) {
    if (count <= 0) return nullptr;
    T* taken = next;
    std::memset(taken, 0, sizeof(T) * static_cast<size_t>(count));
    next += count;
    return taken;
  }
  T* position() const { return next; }

private:
  T* first;
  T* next;
};

size_t counted(int count) { return count > 0 ? static_cast<size_t>(count) : 0; }

const char* orEmpty(const char* text) { return text != nullptr ? text : ""; }

// A component's text, shared with the component before when that has the same one.
class SharedText {
public:
  // The room text needs in the block: none when it repeats the one before.
  size_t room(const std::string& text) {
    if (before != nullptr && *before == text) return 0;
    before = &text;
    return text.size() + 1;
  }
  const char* copy(const std::string& text, Block<char>& block) {
    if (copied == nullptr || text != copied) copied = block.copy(text.size() + 1, text.c_str());
    return copied;
  }

private:
  const std::string* before = nullptr;  // while sizing
  const char* copied = nullptr;         // while copying
};

}  // namespace

PhaseTwo::PhaseTwo() : maxGraphicDisplayLevel(1) {}

void PhaseTwo::listsToArrays() {
  PhaseOne& one = *phaseOne;
  numberOfSignals = one.signalList.numberOfSignals;
  numberOfSwitches = one.switchList.numberOfSwitches;
  flattenComponents(one.componentList.start, one.componentList.numberOfComponents, &one.componentList);

  activationsFromWindow = new int[numberOfSwitches][3]();
  signalInitializations = new SignalValue[numberOfSignals];
  constSignals = new int[numberOfSignals]();
  signalNames = new char*[numberOfSignals];
  for (int s = 0; s < numberOfSignals; ++s) {
    signalInitializations[s] = UNINITIALIZED;
    signalNames[s] = nullptr;
  }
  // The names stay where the list put them.
  nameBlocks = new TextBlocks(one.signalList.takeNames());
  for (const SignalNode* node = one.signalList.start; node != nullptr; node = node->ptr) {
    const int s = node->signalSerialNumber;
    if (s < 0 || s >= numberOfSignals) continue;
    signalInitializations[s] = node->value;
    constSignals[s] = node->constSignal;
    signalNames[s] = node->name;
  }

  int k = 0;
  for (const SwitchNode* node = one.switchList.start; node != nullptr && k < numberOfSwitches; node = node->ptr, ++k) {
    activationsFromWindow[k][0] = static_cast<int>(static_cast<signed char>(node->keyChar));
    activationsFromWindow[k][1] = node->componentNumber;
    activationsFromWindow[k][2] = node->signalSerialNumber;
  }
}

void PhaseTwo::componentsToArrays(const ComponentNode* first, int count) { flattenComponents(first, count, nullptr); }

void PhaseTwo::flattenComponents(const ComponentNode* first, int count, ComponentList* consumed) {
  const int nc = count > 0 ? count : 0;
  numberOfComponents = nc;
  size_t pins = 0, bytes = 0, texts = 0, words32 = 0, words16 = 0, words8 = 0;
  SharedText positions, decals;
  int n = 0;
  for (const ComponentNode* node = first; node != nullptr && n < nc; node = node->ptr, ++n) {
    pins +=
        node->dataInputs.size() + node->controlInputs.size() + node->outputs.size() + node->integerParameters.size();
    bytes += node->byteParameters.size();
    texts += positions.room(node->graphicPosition) + decals.room(node->decal);
    words32 += counted(node->numberOfInternal32BitVariables);
    words16 += counted(node->numberOfInternal16BitVariables);
    words8 += counted(node->numberOfInternal8BitVariables);
  }
  // Filled component by component below, while the nodes already copied are released.
  core = new ComponentCore[nc];
  record = new ComponentRecord[nc];
  Block<int> pinLists(pins);
  Block<unsigned char> byteLists(bytes);
  Block<char> text(texts);
  Block<uint32_t> variables32(words32);
  Block<uint16_t> variables16(words16);
  Block<uint8_t> variables8(words8);
  pinBlock = pinLists.start();
  byteBlock = byteLists.start();
  textBlock = text.start();
  block32 = variables32.start();
  block16 = variables16.start();
  block8 = variables8.start();

  int i = 0;
  for (const ComponentNode* node = first; node != nullptr && i < nc; ++i) {
    ComponentCore& c = core[i];
    c.logicEvaluate = componentKind(node->kind).logicEvaluate;
    c.pins = pinLists.position();
    c.state = 0;
    c.numberOfDataInputs = static_cast<int>(node->dataInputs.size());
    c.numberOfControlInputs = static_cast<int>(node->controlInputs.size());
    c.numberOfOutputs = static_cast<int>(node->outputs.size());
    pinLists.copy(node->dataInputs.size(), node->dataInputs.data());
    pinLists.copy(node->controlInputs.size(), node->controlInputs.data());
    pinLists.copy(node->outputs.size(), node->outputs.data());
    pinLists.copy(node->integerParameters.size(), node->integerParameters.data());

    ComponentRecord& r = record[i];
    r.kind = node->kind;
    r.graphicLevel = node->graphicLevel;
    if (node->graphicLevel > maxGraphicDisplayLevel) maxGraphicDisplayLevel = node->graphicLevel;
    r.tile = ScreenTile{};
    r.rcpos = positions.copy(node->graphicPosition, text);
    r.decal = decals.copy(node->decal, text);
    r.iconArray = node->iconArray;
    r.numberOfIntegerParameters = static_cast<int>(node->integerParameters.size());
    r.numberOfByteParameters = static_cast<int>(node->byteParameters.size());
    r.byteParameters = byteLists.copy(node->byteParameters.size(), node->byteParameters.data());
    r.numberOfInternal32BitVariables = node->numberOfInternal32BitVariables;
    r.internal32BitVariables = variables32.take(node->numberOfInternal32BitVariables);
    r.numberOfInternal16BitVariables = node->numberOfInternal16BitVariables;
    r.internal16BitVariables = variables16.take(node->numberOfInternal16BitVariables);
    r.numberOfInternal8BitVariables = node->numberOfInternal8BitVariables;
    r.internal8BitVariables = variables8.take(node->numberOfInternal8BitVariables);

    const ComponentNode* next = node->ptr;
    if (consumed != nullptr) consumed->releaseBefore(next);
    node = next;
  }
  for (; i < nc; ++i) {
    core[i] = ComponentCore{};
    record[i] = ComponentRecord{};
  }
}

int PhaseTwo::switchComponent(int keyChar) const {
  for (int k = 0; k < numberOfSwitches; ++k)
    if (activationsFromWindow[k][0] == keyChar) return activationsFromWindow[k][1];
  return -1;
}

void PhaseTwo::releaseArrays() {
  delete[] core;
  delete[] record;
  delete[] pinBlock;
  delete[] byteBlock;
  delete[] textBlock;
  delete[] block32;
  delete[] block16;
  delete[] block8;
  delete[] activationsFromWindow;
  delete[] signalInitializations;
  delete nameBlocks;
  delete[] signalNames;
  delete[] constSignals;
  *this = PhaseTwo();
}

void PhaseTwo::dumpFromArrays() const {
  std::ostream& err = standardError();
  err << "dumpFromArrays():" << std::endl;
  for (int s = 0; s < numberOfSignals; ++s)
    err << "Signal " << s << "  Init = " << static_cast<int>(signalInitializations[s])
        << " constSignal = " << constSignals[s] << "  Name = " << orEmpty(signalNames[s]) << std::endl;
  for (int k = 0; k < numberOfSwitches; ++k)
    err << "Switch " << k << "  keyChar = " << static_cast<char>(activationsFromWindow[k][0])
        << "  CompNumber = " << activationsFromWindow[k][1] << "  SignalSerialNumber = " << activationsFromWindow[k][2]
        << std::endl;
  for (int i = 0; i < numberOfComponents; ++i) {
    const ComponentCore& c = core[i];
    const ComponentRecord& r = record[i];
    err << "Comp " << i << " eval() at " << reinterpret_cast<const void*>(c.logicEvaluate) << "  iconArray at "
        << static_cast<const void*>(r.iconArray) << "  overLoadable = " << kindOf(i).outputOverloadable << std::endl;
    err << "   rcpos =  " << orEmpty(r.rcpos) << "  decal = " << orEmpty(r.decal) << " " << std::endl;
    err << "   Inputs[" << c.numberOfDataInputs << "]:";
    for (int k = 0; k < c.numberOfDataInputs; ++k) err << " " << c.dataInputs()[k];
    err << "  Outputs[" << c.numberOfOutputs << "]:";
    for (int k = 0; k < c.numberOfOutputs; ++k) err << " " << c.outputs()[k];
    err << std::endl;
  }
}
