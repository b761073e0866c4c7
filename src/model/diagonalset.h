// The diagonals of a box as new measurement records: the four body
// diagonals and the six face diagonals (two in each of the planes XY, YZ and
// ZX through the box's centre), as ball bars of one length or as length
// records whose nominal length is the diagonal's length in the box.
#ifndef DIAGONALSET_H
#define DIAGONALSET_H

#include <memory>
#include <vector>

#include "measurement.h"
#include "vector3.h"

struct TDiagonalSet
{
  TVector3 size{1000.0, 1000.0, 1000.0};  // edge lengths of the box, mm
  TVector3 centre;                        // mm
  bool body = true;
  bool face = false;
  bool ball_bars = true;
  double ballbar_length = 1000.0;  // mm, nominal and actual length of each ball bar
};

// Named after the direction: "Body +X+Y+Z", "Body +X-Y+Z", "Body +X+Y-Z",
// "Body +X-Y-Z", "Face XY +X+Y", "Face XY +X-Y", "Face YZ +Y+Z",
// "Face YZ +Y-Z", "Face ZX +Z+X", "Face ZX +Z-X", in that order. Every
// record lies at the centre; a length record's actual length starts as its
// nominal length.
std::vector<std::unique_ptr<TMeasurement>> Diagonal_Records(const TDiagonalSet& set);

#endif
