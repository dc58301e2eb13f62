// The registered components of a circuit, in registration order.
#pragma once

#include <string>
#include <vector>

#include "construction/ComponentKind.h"
#include "construction/Signal.h"

// One registered component: its kind, where it is drawn, its pins and its parameters. The
// flattening (elaboration/Ph2) copies it into the arrays the run reads.
class ComponentNode {
public:
  ComponentNode* ptr = nullptr;
  const int* iconArray = nullptr;  // the kind's icon, or null for a component not drawn
  std::string graphicPosition;
  std::string decal;
  std::vector<int> dataInputs;
  std::vector<int> controlInputs;
  std::vector<int> outputs;
  std::vector<int> integerParameters;
  std::vector<unsigned char> byteParameters;
  int componentIndex = 0;
  ComponentKind kind{};
  int graphicLevel = 0;
  int numberOfInternal32BitVariables = 0;
  int numberOfInternal16BitVariables = 0;
  int numberOfInternal8BitVariables = 0;

  void print() const;
};

// The nodes lie in blocks of their own, so that a node costs no allocation, and the flattening
// can hand back the memory of those it has copied while it goes on with the rest.
class ComponentList {
public:
  int numberOfComponents = 0;  // registered, including those released
  ComponentNode* start = nullptr;
  ComponentNode* end = nullptr;

  ComponentList() = default;
  ComponentList(const ComponentList&) = delete;
  ComponentList& operator=(const ComponentList&) = delete;

  // A new component at the end, empty but for its number (numberOfComponents before the call);
  // the list owns it.
  ComponentNode& add();
  // Destroys the nodes from start up to node, not included (every node for null), and frees the
  // blocks they emptied; start becomes node. node must be start or one that follows it.
  void releaseBefore(const ComponentNode* node);
  // The components after `after` (a node of the list; null: all of them) in a new order: those
  // of kinds that say they are order-free (ComponentKindRow::orderFree) behind the others,
  // gathered by kind in the kinds' order; the others, and each kind's components, keep their
  // order among themselves. Consecutive evaluations of one kind call one evaluator, which the
  // processor predicts. Every node keeps its place in the list and takes the contents and the
  // number (componentIndex) of its new place; nothing may hold the number of one of these
  // components yet (a switch registers its number, so only components made before any switch
  // after `after`).
  void gatherOrderFree(const ComponentNode* after);
  void print() const;
  ~ComponentList();  // reports the count

private:
  static constexpr int perBlock = 2048;
  std::vector<ComponentNode*> blocks;  // storage for perBlock nodes each; freed ones null
  int usedInLast = 0;                  // nodes made in the last block
  size_t frontBlock = 0;               // the block of start
  int releasedInFront = 0;             // nodes of it destroyed
};
