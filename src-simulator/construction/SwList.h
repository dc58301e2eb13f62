// The keyboard switches of a circuit, in the order they were added.
#pragma once

class SwitchNode {
public:
  SwitchNode* ptr;
  int componentNumber;
  int signalSerialNumber;
  int switchSerialNumber;  // never set or read
  char keyChar;
};

class SwitchList {
public:
  int numberOfSwitches = 0;
  SwitchNode* start = nullptr;
  SwitchNode* end = nullptr;

  // Records the number the next registered component will receive.
  void add(int serialNumber, char keyChar);
  void print() const;
  ~SwitchList();  // releases the nodes
};
