// The simulator's state of the current thread's simulation (settings, run flags, phase pointers
// and the rest): thread_local, constant-initialised, and in the executable's own block of
// thread-local storage (the local-exec model), so that reaching it costs one instruction, as
// reaching a global does, and no TLS wrapper is called. The simulator is a static library linked
// into executables, where that model holds.
#pragma once

#define TAVRIN_THREAD_LOCAL thread_local constinit __attribute__((tls_model("local-exec")))
