// Serves one pending window event: keys, mouse buttons, pointer motion.
#pragma once

// Handles at most one event; 0 when none was pending.
int anyWindowEvents();

extern int viewXlast, viewYlast;
