// Run-time evaluators of the memories.
#pragma once

void multiPortRam(int cind);
void rom(int cind);
