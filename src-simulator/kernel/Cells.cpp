#include "kernel/Cells.h"

Cells::Cells(const PhaseTwo& two)
    : cells(static_cast<size_t>(two.numberOfComponents), Cell{nullptr, {0, 0, 0}, 0}),
      words(static_cast<size_t>(two.numberOfComponents) / 64 + 1, 0),
      requests(static_cast<size_t>(two.numberOfComponents) + 1) {
  // The drivers of each wire: the components with an evaluator or a hook that list it as an
  // output (a module's box lists the outputs of what it contains only to show them).
  std::vector<uint8_t> drivers(static_cast<size_t>(two.numberOfSignals), 0);
  for (int c = 0; c < two.numberOfComponents; ++c) {
    const ComponentKindRow& kind = two.kindOf(c);
    if (kind.logicEvaluate == nullptr && kind.xEventTriggered == nullptr && kind.heapQueueEventTriggered == nullptr)
      continue;
    const ComponentCore& core = two.core[c];
    for (int k = 0; k < core.numberOfOutputs; ++k) {
      const int s = core.outputs()[k];
      if (s >= 0 && s < two.numberOfSignals && drivers[static_cast<size_t>(s)] < 2) ++drivers[static_cast<size_t>(s)];
    }
  }
  for (int c = 0; c < two.numberOfComponents; ++c) {
    const ComponentKindRow& kind = two.kindOf(c);
    const LevelTable* const table = kind.levels;
    const ComponentCore& core = two.core[c];
    if (table == nullptr || core.logicEvaluate != kind.logicEvaluate || core.numberOfDataInputs != table->dataInputs ||
        core.numberOfControlInputs != table->controlInputs || core.numberOfOutputs != 1)
      continue;
    const int inputs = table->dataInputs + table->controlInputs;
    if (inputs < 1 || inputs > 3) continue;
    const int* const pins = core.pins;
    bool wired = pins[inputs] >= 0 && pins[inputs] < two.numberOfSignals && drivers[static_cast<size_t>(pins[inputs])] == 1;
    for (int k = 0; k < inputs; ++k) wired = wired && pins[k] >= 0 && pins[k] < two.numberOfSignals;
    if (!wired) continue;
    cells[static_cast<size_t>(c)] = Cell{table, {pins[0], pins[inputs > 1 ? 1 : 0], pins[inputs > 2 ? 2 : 0]}, pins[inputs]};
    words[static_cast<size_t>(c) / 64] = 1;
  }
}
