// Probe lines: without a window, each change of a probe's input is a line on standard error,
// "Time = <t>  Probe for <decal> at <position>  Value = <ZERO|UNINITIALIZED|XXX|HIZ|ONE>".
#pragma once

// Registers the current simulation's probe lines with its run.
void probeLinesTakePart();
