#include "kernel/RunTime.h"

#include <time.h>

#include "process/ThreadLocal.h"

TAVRIN_THREAD_LOCAL int done = 0;
TAVRIN_THREAD_LOCAL int reStart = 0;
TAVRIN_THREAD_LOCAL int haltFlag = 0;
TAVRIN_THREAD_LOCAL int stallLevel = 0;

void msWait() {
  struct timespec oneMillisecond = {0, 1000000};
  nanosleep(&oneMillisecond, nullptr);
}
