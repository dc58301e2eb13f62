// Icon tables: polyline count, point counts, then x,y points in a 1000 x 1000 box.
#pragma once

extern const int andIcon[];
extern const int orIcon[];
extern const int nandIcon[];
extern const int norIcon[];
extern const int notIcon[];
extern const int xorIcon[];
extern const int xnorIcon[];
extern const int iAndIcon[];
extern const int iNandIcon[];
extern const int CiOrIcon[];
extern const int CiNorIcon[];
extern const int tsbIcon[];
extern const int rectIcon[];
extern const int circleIcon[];
extern const int spaceIcon[];
