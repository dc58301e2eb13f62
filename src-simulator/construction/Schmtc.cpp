#include "construction/Schmtc.h"

#include <cstring>

#include "construction/TextCopy.h"
namespace {

char* joinTexts(const char* first, const char* separator, const char* second) {
  char* joined = new char[std::strlen(first) + std::strlen(separator) + std::strlen(second) + 1];
  std::strcpy(joined, first);
  std::strcat(joined, separator);
  std::strcat(joined, second);
  return joined;
}

}  // namespace

SD::SD() : graphicLevel(0), graphicPosition(nullptr), decal(nullptr) {}

SD::SD(const char* pos, const char* thisDecal)
    : graphicLevel(1), graphicPosition(copyText(pos ? pos : "")), decal(copyText(thisDecal)) {}

SD::SD(const SD& sd, const char* pos, const char* thisDecal)
    : graphicLevel(sd.graphicLevel + 1),
      graphicPosition(joinTexts(sd.graphicPosition ? sd.graphicPosition : "", ".", pos ? pos : "")),
      decal(nullptr) {
  if (sd.decal != nullptr && thisDecal != nullptr)
    decal = joinTexts(sd.decal, "", thisDecal);
  else
    decal = copyText(sd.decal != nullptr ? sd.decal : thisDecal);
}

SD::SD(const SD& sd)
    : graphicLevel(sd.graphicLevel), graphicPosition(copyText(sd.graphicPosition)), decal(copyText(sd.decal)) {}

SD::~SD() {
  delete[] graphicPosition;
  graphicPosition = nullptr;
  delete[] decal;
  decal = nullptr;
}

SD& SD::operator=(const SD& sd) {
  if (this == &sd) return *this;
  char* position = copyText(sd.graphicPosition);
  char* label = copyText(sd.decal);
  delete[] graphicPosition;
  delete[] decal;
  graphicLevel = sd.graphicLevel;
  graphicPosition = position;
  decal = label;
  return *this;
}

SD SD::operator,(const char* thisDecal) const {
  SD labelled(*this);
  delete[] labelled.decal;
  labelled.decal = copyText(thisDecal);
  return labelled;
}
