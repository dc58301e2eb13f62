#include "kernel/RunTime.h"

#include <time.h>

int done = 0;
int reStart = 0;
int haltFlag = 0;
int stallLevel = 0;

void msWait() {
  struct timespec oneMillisecond = {0, 1000000};
  nanosleep(&oneMillisecond, nullptr);
}
