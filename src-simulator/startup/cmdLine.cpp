#include "startup/cmdLine.h"

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "grading/KeyScript.h"
#include "grading/StepTable.h"
#include "grading/TestVectors.h"
#include "output/Waveform.h"
#include "process/StandardStreams.h"
#include "startup/Sim.h"
#include "startup/getopt.h"

namespace {

// The option letters; a letter followed by ':' takes an argument.
const char* const optionLetters = "C:c:S:EF:G:g:K:hk:L:mo:p:QRr:s:T:tu:V:v:W:Xz:";

// Words an option takes after its argument.
int furtherValues(int option) {
  switch (option) {
    case 'C': case 'c': case 'S': return 2;
    case 'z': return 3;
    case 'p': case 'u': return 1;
    default: return 0;
  }
}

const char* const helpLines[] = {
    "Command line options:",
    " Colors (ForeGround,BackGround,SubWindow) (0-255 for each component)",
    "  -C <redFG> <greenFG> <blueFG>",
    "  -c <redBG> <greenBG> <blueBG>",
    "  -S <redSW> <greenSW> <blueSW>",
    " Early Exit",
    "  -E",
    " Function Key Operate",
    "  -F <string of operations> ops from {23456789HUDE}>",
    "     {H:Home; U:PgUp; D:PgDn; E:End}",
    "   for example:  -F 23589DD",
    " Geometry (standard X Window geometry format)",
    "  -g wxh+x+y",
    "   for example:  -g 1000x900+100+50",
    " Cursor Key Operate",
    "  -K <digit string> , digits from {0123}>",
    "     {0:left; 1:up; 2:right; 3:down}",
    "   for example:  -K 0003",
    " ProfRunTimeFlags",
    "  -p <flagNr> <flag> ",
    "   (flag[0..15]: octal, hex or int accepted)",
    " StopTime",
    "  -T <time>",
    " Time Display",
    "  -t",
    " UserRunTimeFlags",
    "  -u <flagNr> <flag> ",
    "   (flag[0..15]: octal, hex or int accepted)",
    " WindowLabelString",
    "  -W <windowLabel>",
    " Don't use X-Display",
    "  -X",
    " ZoomIn (to upper left and lower right coordinates)",
    "  -z <xul> <yul> <xlr> <ylr>",
    " Help",
    "  -h",
};

int clampToInt(long long value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

// Leading white space, an optional sign, digits; anything else ends the number.
int decimalValue(const char* text) { return clampToInt(std::strtoll(text, nullptr, 10)); }

// Like decimalValue, but 0x/0X means hexadecimal and a leading 0 octal, and read as a 32-bit
// pattern: 0x80000000 .. 0xFFFFFFFF give the ints with bit 31 set (0xFFFFFFFF is -1). A value
// outside -2^31 .. 2^32-1 is refused: the run does not start.
int prefixedValue(const char* program, char option, const char* text) {
  const long long value = std::strtoll(text, nullptr, 0);  // saturates beyond 64 bits
  if (value < INT32_MIN || value > static_cast<long long>(UINT32_MAX)) {
    std::fprintf(standardErrorFile(), "%s: -%c value '%s' does not fit in 32 bits\n", program, option, text);
    endProcess(1);
  }
  return static_cast<int>(static_cast<int32_t>(static_cast<uint32_t>(value)));
}

// Unsigned decimal; a value too large for 64 bits saturates, a sign or no digits gives 0.
uint64_t timeValue(const char* text) {
  while (std::isspace(static_cast<unsigned char>(*text))) ++text;
  if (*text == '+') ++text;
  uint64_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    unsigned digit = static_cast<unsigned>(*text - '0');
    if (value > (UINT64_MAX - digit) / 10) return UINT64_MAX;
    value = value * 10 + digit;
  }
  return value;
}

void copyCut(char* destination, const char* text, int capacity) {
  std::strncpy(destination, text, capacity);
  destination[capacity] = '\0';
}

// The option's argument followed by count-1 further words, taken past getopt's position.
// A command line that ends early would leave the option half set, so the run is refused.
void takeValues(int gargc, char** gargv, char option, int count, const char* values[]) {
  if (tavrin::optind + (count - 1) > gargc) {
    std::fprintf(standardErrorFile(), "%s: option -%c needs %d values\n", gargv[0], option, count);
    endProcess(1);
  }
  values[0] = tavrin::optarg;
  for (int i = 1; i < count; ++i) values[i] = gargv[tavrin::optind++];
}

void readColour(int gargc, char** gargv, char option, int& red, int& green, int& blue) {
  const char* values[3];
  takeValues(gargc, gargv, option, 3, values);
  red = decimalValue(values[0]);
  green = decimalValue(values[1]);
  blue = decimalValue(values[2]);
}

void readRunTimeFlag(int gargc, char** gargv, char option, int flags[], int& numberOfFlags) {
  const char* values[2];
  takeValues(gargc, gargv, option, 2, values);
  int flagNumber = decimalValue(values[0]);
  if (flagNumber < 0 || flagNumber >= numberOfRunTimeFlagEntries) {
    std::fprintf(standardErrorFile(), "%s: -%c flag number %d is outside 0..%d; ignored\n", gargv[0], option,
                 flagNumber, numberOfRunTimeFlagEntries - 1);
    return;
  }
  flags[flagNumber] = prefixedValue(gargv[0], option, values[1]);
  ++numberOfFlags;
}

// Reports a malformed script and returns false, its message already released when the caller
// ends the process (a fuzz harness returns from that end and must not lose memory).
bool readKeyScript(const char* program, const char* text) {
  std::string error;
  if (keyScriptParse(text, error)) return true;
  std::fprintf(standardErrorFile(), "%s: -k: %s\n", program, error.c_str());
  return false;
}

void printHelp() {
  for (const char* line : helpLines) {
    std::fputs(line, standardErrorFile());
    std::fputc('\n', standardErrorFile());
  }
}

// The options as commandLine will read them, without messages or effects: option's last
// argument (or "" for one without), or null when it is not given.
const char* optionGiven(int gargc, char** gargv, char wanted) {
  tavrin::resetGetopt();
  tavrin::opterr = 0;
  const char* found = nullptr;
  int option;
  while ((option = tavrin::getopt(gargc, gargv, optionLetters)) != -1) {
    if (option == wanted) found = tavrin::optarg != nullptr ? tavrin::optarg : "";
    const int skip = furtherValues(option);
    if (tavrin::optind + skip > gargc) break;
    tavrin::optind += skip;
  }
  tavrin::resetGetopt();
  return found;
}

}  // namespace

bool quietRequested(int gargc, char** gargv) { return optionGiven(gargc, gargv, 'Q') != nullptr; }

int commandLineValueWords(char option) {
  const char* letter = option == ':' || option == '\0' ? nullptr : tavrin::index(optionLetters, option);
  if (letter == nullptr) return -1;
  return letter[1] == ':' ? 1 + furtherValues(option) : 0;
}

namespace {

// -L: digits only.
int64_t settleBoundValue(const char* program, const char* text) {
  int64_t value = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9' || value > (INT64_MAX - 9) / 10) {
      std::fprintf(standardErrorFile(), "%s: -L: '%s' is not a number of time steps\n", program, text);
      endProcess(1);
    }
    value = value * 10 + (*c - '0');
  }
  if (*text == '\0') {
    std::fprintf(standardErrorFile(), "%s: -L: '' is not a number of time steps\n", program);
    endProcess(1);
  }
  return value;
}

}  // namespace

void commandLine(int gargc, char** gargv) {
  if (gargc > 0 && gargv[0] != nullptr) commandName = gargv[0];
  // The report is known before any vector file is read: one that cannot be used is reported there.
  if (const char* report = optionGiven(gargc, gargv, 'o')) testVectorsReport(report);
  bool vectorFiles = false;
  int option;
  while ((option = tavrin::getopt(gargc, gargv, optionLetters)) != -1) {
    switch (option) {
      case 'C': readColour(gargc, gargv, 'C', red_fg, green_fg, blue_fg); break;
      case 'c': readColour(gargc, gargv, 'c', red_bg, green_bg, blue_bg); break;
      case 'S': readColour(gargc, gargv, 'S', red_sw, green_sw, blue_sw); break;
      case 'E': earlyExitFlag = 1; break;
      case 'F': copyCut(FunctionKeyString, tavrin::optarg, keyStringCapacity); break;
      case 'g': copyCut(XW_geometry, tavrin::optarg, geometryCapacity); break;
      case 'K': copyCut(CursorKeyString, tavrin::optarg, keyStringCapacity); break;
      case 'h':
        printHelp();
        endProcess(0);
      case 'k':
        if (!readKeyScript(gargv[0], tavrin::optarg)) endProcess(1);
        break;
      case 'm': connectMuxOnlyFlag = 1; break;
      case 'r': romImageFile = tavrin::optarg; break;
      case 'V': waveformSetFile(tavrin::optarg); break;
      case 'v':
        if (!testVectorsRead(tavrin::optarg)) endProcess(2);
        vectorFiles = true;
        break;
      case 'o': testVectorsReport(tavrin::optarg); break;
      case 's': stepTableSetFile(tavrin::optarg); break;
      case 'G': stepTableSetColumns(tavrin::optarg); break;
      case 'Q': quietFlag = 1; break;
      case 'R': lastScheduledWins = 1; break;
      case 'L': settleBound = settleBoundValue(gargv[0], tavrin::optarg); break;
      case 'p': readRunTimeFlag(gargc, gargv, 'p', profRunTimeFlag, numberOfProfRunTimeFlags); break;
      case 'T': stopTime = timeValue(tavrin::optarg); break;
      case 't': displayTimeFlag = !displayTimeFlag; break;
      case 'u': readRunTimeFlag(gargc, gargv, 'u', userRunTimeFlag, numberOfUserRunTimeFlags); break;
      case 'W': copyCut(WindowLabelString, tavrin::optarg, keyStringCapacity); break;
      case 'X': useXDisplay = 0; break;
      case 'z': {
        const char* values[4];
        takeValues(gargc, gargv, 'z', 4, values);
        zFlagSet = 1;
        zSetXa = decimalValue(values[0]);
        zSetYa = decimalValue(values[1]);
        zSetXb = decimalValue(values[2]);
        zSetYb = decimalValue(values[3]);
        break;
      }
      default: break;  // getopt has already reported it
    }
  }
  // The settle guard: on for test vectors unless -L says otherwise, for -k only with -L.
  if (settleBound >= 0)
    keyScriptSetSettleBound(static_cast<uint64_t>(settleBound));
  else if (vectorFiles)
    keyScriptSetSettleBound(defaultSettleBound);
}
