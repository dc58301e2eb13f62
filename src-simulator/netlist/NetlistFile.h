// A netlist file read whole, its format picked, checked: the one call tavrin-net and the
// benchmark make before placing and building.
#pragma once

#include <string>
#include <string_view>

#include "netlist/Netlist.h"

namespace netlist {

enum class Format { YosysJson, Bench };

// JSON when the text's first character other than white space is '{', or, for an empty or
// blank text, when the path ends in ".json"; .bench otherwise.
Format formatOf(const std::string& path, std::string_view text);

// Reads the file at path (diagnostics.file is set to it) in its format (YosysJson.h, BenchFile.h;
// top as readYosysJson takes it, ignored for .bench) and checks it (checkNetlist). Errors: the
// file cannot be read ("FILE:0: cannot read the file"), and those of the reader and the check.
// Returns false when an error was added.
bool readNetlistFile(const std::string& path, const std::string& top, Netlist& netlist, Diagnostics& diagnostics);

// As readNetlistFile, on text already read.
bool readNetlistText(const std::string& path, std::string_view text, const std::string& top, Netlist& netlist,
                     Diagnostics& diagnostics);

}  // namespace netlist
