#include "kernel/Event.h"

#include <iostream>

void Event::printEvent() const {
  std::cerr << " printEvent()--Time: " << time << " " << "EventType = " << eventType << " "
            << "signalSerialNumber = " << signalSerialNumber << " " << "sigValue = ";
  saySignalValue(sigValue);
  std::cerr << std::endl;
}
