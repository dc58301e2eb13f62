// The Yosys JSON reader: the output of `write_json` after `synth`.
//
// The design's modules are flattened from the top module down: every instance of a user module
// becomes a box (Netlist::boxes) holding its own cells, its nets joined to the nets its ports are
// connected to. The fine-grained cells of synth are read:
//   $_BUF_ $_NOT_ $_AND_ $_NAND_ $_OR_ $_NOR_ $_XOR_ $_XNOR_ $_ANDNOT_ $_ORNOT_ $_MUX_ $_NMUX_
//   $_AOI3_ $_OAI3_ $_AOI4_ $_OAI4_ $_TBUF_
//   $_DFF_[PN]_ $_DFFE_[PN][PN]_ $_DFF_[PN][PN][01]_ $_DFFE_[PN][PN][01][PN]_ $_SDFF_[PN][PN][01]_
//   $_SDFFE_[PN][PN][01][PN]_ $_SDFFCE_[PN][PN][01][PN]_ $_DFFSR_[PN][PN][PN]_ $_DFFSRE_[PN][PN][PN][PN]_
//   $_DLATCH_[PN]_ $_DLATCH_[PN][PN][01]_
// Constant bits "0" "1" "x" "z" become the constant nets. Top-level ports become Netlist::ports
// in file order (an inout port counts as an output); netnames become Netlist::names, those of an
// instance prefixed with its path ("u1.sum"), top module first.
#pragma once

#include <string>
#include <string_view>

#include "netlist/Netlist.h"

namespace netlist {

// Reads text into netlist (empty before). top names the top module; empty: the module with a
// nonzero attribute "top", else the only module no other one instantiates. Places are JSON paths
// ("modules.top.cells.$abc$12.type"), or a line number for malformed JSON. Errors: malformed
// JSON; no "modules" object; an unknown, missing or ambiguous top module; a module that
// instantiates itself; an unknown cell type; a $mem or $mem_v2 cell (to be mapped with the
// Yosys pass memory_map); a cell port missing or of the wrong width; a bit that is neither a
// number nor one of the constants; two constants joined by a port. Returns false when an error
// was added to diagnostics; the netlist is then incomplete.
bool readYosysJson(std::string_view text, const std::string& top, Netlist& netlist, Diagnostics& diagnostics);

}  // namespace netlist
