#include "kernel/Event.h"

#include <iostream>

#include "process/StandardStreams.h"

void Event::printEvent() const {
  standardError() << " printEvent()--Time: " << time << " "
                  << "EventType = " << eventType << " "
                  << "signalSerialNumber = " << signalSerialNumber << " "
                  << "sigValue = ";
  saySignalValue(sigValue);
  standardError() << std::endl;
}
