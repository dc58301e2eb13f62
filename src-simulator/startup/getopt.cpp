#include "startup/getopt.h"

#include <cstdio>

#include "process/StandardStreams.h"
#include "process/ThreadLocal.h"

namespace tavrin {

TAVRIN_THREAD_LOCAL int optind = 1;
TAVRIN_THREAD_LOCAL char* optarg = nullptr;
TAVRIN_THREAD_LOCAL int optopt = 0;
TAVRIN_THREAD_LOCAL int opterr = 1;

namespace {

const char emptyText[] = "";
// Position inside the current word of grouped option letters; empty between words.
TAVRIN_THREAD_LOCAL const char* place = emptyText;

}  // namespace

const char* index(const char* sp, char c) {
  for (; *sp != '\0'; ++sp)
    if (*sp == c) return sp;
  return nullptr;
}

void resetGetopt() {
  optind = 1;
  optarg = nullptr;
  optopt = 0;
  opterr = 1;
  place = emptyText;
}

int getopt(int nargc, char** nargv, const char* ostr) {
  if (*place == '\0') {
    if (optind >= nargc || nargv[optind][0] != '-' || nargv[optind][1] == '\0') {
      place = emptyText;
      return -1;
    }
    if (nargv[optind][1] == '-' && nargv[optind][2] == '\0') {
      ++optind;
      place = emptyText;
      return -1;
    }
    place = nargv[optind] + 1;
  }
  optopt = static_cast<unsigned char>(*place++);
  const char* letter = optopt == ':' ? nullptr : index(ostr, static_cast<char>(optopt));
  if (letter == nullptr) {
    if (*place == '\0') ++optind;
    if (opterr) std::fprintf(standardErrorFile(), "%s: illegal option -- %c\n", nargv[0], optopt);
    return '?';
  }
  if (letter[1] != ':') {
    optarg = nullptr;
    if (*place == '\0') ++optind;
    return optopt;
  }
  if (*place != '\0') {
    optarg = const_cast<char*>(place);
  } else if (++optind >= nargc) {
    place = emptyText;
    if (opterr) std::fprintf(standardErrorFile(), "%s: option requires an argument -- %c\n", nargv[0], optopt);
    return '?';
  } else {
    optarg = nargv[optind];
  }
  place = emptyText;
  ++optind;
  return optopt;
}

}  // namespace tavrin
