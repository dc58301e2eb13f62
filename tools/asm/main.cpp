// tavrin-asm: assembles a program for the bundled processor into a 64-word ROM image.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "Assembler.h"

namespace {

const char* usage =
    "usage: tavrin-asm [-w] [-o out.hex] prog.s\n"
    "Assembles prog.s into a 64-word ROM image for tavrin -r (default output: prog.hex next to prog.s;\n"
    "-o - writes to standard output). -w leaves out the warnings.\n";

std::string defaultOutput(const std::string& source) {
  std::string::size_type slash = source.rfind('/');
  std::string::size_type dot = source.rfind('.');
  std::string::size_type nameStart = slash == std::string::npos ? 0 : slash + 1;
  if (dot != std::string::npos && dot > nameStart) return source.substr(0, dot) + ".hex";
  return source + ".hex";
}

bool sameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// Writes through a temporary file so that a failed run leaves no partial image behind.
bool writeFile(const std::string& path, const std::string& text, std::string& error) {
  std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) {
      error = "cannot write '" + path + "': " + std::strerror(errno);
      return false;
    }
    out << text;
    out.close();
    if (!out) {
      std::remove(temporary.c_str());
      error = "cannot write '" + path + "'";
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = "cannot write '" + path + "': " + std::strerror(errno);
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string output, source;
  bool warnings = true;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "-h") {
      std::cout << usage;
      return 0;
    }
    if (arg == "-w") {
      warnings = false;
      continue;
    }
    if (arg == "-o" || (arg.rfind("-o", 0) == 0 && arg.size() > 2)) {
      if (arg.size() > 2) {
        output = arg.substr(2);
      } else if (i + 1 < argc) {
        output = argv[++i];
      } else {
        std::cerr << "tavrin-asm: option -o needs a file name\n" << usage;
        return 1;
      }
      continue;
    }
    if (arg.size() > 1 && arg[0] == '-') {
      std::cerr << "tavrin-asm: unknown option '" << arg << "'\n" << usage;
      return 1;
    }
    if (!source.empty()) {
      std::cerr << "tavrin-asm: more than one source file\n" << usage;
      return 1;
    }
    source = arg;
  }
  if (source.empty()) {
    std::cerr << usage;
    return 1;
  }
  if (output.empty()) output = defaultOutput(source);

  std::ifstream in(source, std::ios::binary);
  struct stat info;
  if (!in || (stat(source.c_str(), &info) == 0 && S_ISDIR(info.st_mode))) {
    std::cerr << "tavrin-asm: cannot open '" << source << "': " << std::strerror(in ? EISDIR : errno) << "\n";
    return 1;
  }
  std::stringstream text;
  text << in.rdbuf();

  tavrin::assembler::Result result = tavrin::assembler::assemble(text.str(), source);
  for (const tavrin::assembler::Diagnostic& diagnostic : result.diagnostics)
    if (warnings || !diagnostic.warning) std::cerr << diagnostic.text << "\n";
  if (!result.ok()) return 1;

  std::string::size_type slash = source.rfind('/');
  std::string image =
      tavrin::assembler::formatImage(result.words, "ROM image of " + source.substr(slash == std::string::npos ? 0 : slash + 1));
  if (output == "-") {
    std::cout << image;
    return std::cout.flush() ? 0 : 1;
  }
  if (output == source || sameFile(output, source)) {
    std::cerr << "tavrin-asm: the output '" << output << "' would overwrite the source\n";
    return 1;
  }
  std::string error;
  if (!writeFile(output, image, error)) {
    std::cerr << "tavrin-asm: " << error << "\n";
    return 1;
  }
  return 0;
}
