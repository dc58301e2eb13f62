// Serves one pending window event: keys, mouse buttons, pointer motion.
#pragma once

#include "process/ThreadLocal.h"

// Handles at most one event; 0 when none was pending.
int anyWindowEvents();

extern TAVRIN_THREAD_LOCAL int viewXlast, viewYlast;
