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
  int componentIndex = 0;
  ComponentKind kind{};
  const int* iconArray = nullptr;  // the kind's icon, or null for a component not drawn
  int graphicLevel = 0;
  std::string graphicPosition;
  std::string decal;
  std::vector<int> dataInputs;
  std::vector<int> controlInputs;
  std::vector<int> outputs;
  std::vector<int> integerParameters;
  std::vector<unsigned char> byteParameters;
  int numberOfInternal32BitVariables = 0;
  int numberOfInternal16BitVariables = 0;
  int numberOfInternal8BitVariables = 0;

  void print() const;
};

class ComponentList {
public:
  int numberOfComponents = 0;
  ComponentNode* start = nullptr;
  ComponentNode* end = nullptr;

  ComponentList() = default;
  ComponentList(const ComponentList&) = delete;
  ComponentList& operator=(const ComponentList&) = delete;

  void add(ComponentNode* newComponent);  // numbers the component, and owns it from then on
  void print() const;
  ~ComponentList();  // reports the count
};
