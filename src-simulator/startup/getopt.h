// The simulator's own option parser. Its names clash with the C library's, so they live here.
#pragma once

#include "process/ThreadLocal.h"

namespace tavrin {

// The parser's state: the current thread's.
extern TAVRIN_THREAD_LOCAL int optind;
extern TAVRIN_THREAD_LOCAL char* optarg;
extern TAVRIN_THREAD_LOCAL int optopt;
extern TAVRIN_THREAD_LOCAL int opterr;

int getopt(int nargc, char** nargv, const char* ostr);

// First occurrence of c in sp, or null.
const char* index(const char* sp, char c);

// Starts parsing a new argument vector (the state above back to its initial values).
void resetGetopt();

}  // namespace tavrin
