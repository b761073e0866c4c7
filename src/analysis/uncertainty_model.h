// The error model linearised at the fitted axes: the derivatives of a
// record's corrected length with respect to the three squareness angles.
//
// Angles are in radians: XY turns X from the x axis towards y, YZ turns Y from
// the y axis towards z, ZX turns Z from the z axis towards x, so that
// X = |X| (cos xy, sin xy, 0) and the reported error is xy * 1000 mm/m.
#ifndef UNCERTAINTY_MODEL_H
#define UNCERTAINTY_MODEL_H

#include "mat4.h"
#include "squaremodel.h"

// Corrected length (mm) and its derivatives (mm/rad) at the given axes.
struct TLengthDerivatives
{
  double corrected_length = 0.0;
  double xy = 0.0;
  double yz = 0.0;
  double zx = 0.0;
};

// Exact derivatives (not the small-angle form) of the corrected length, which
// is computed as the fit computes it (Corrected_Length); all zero for a line
// of zero corrected length. correction is Correction_Matrix(axes), which a
// loop over many records computes once.
TLengthDerivatives Length_Derivatives(const TSquareAxes& axes, const TMat4& correction,
                                      const TMeasurementValues& record);
TLengthDerivatives Length_Derivatives(const TSquareAxes& axes, const TMeasurementValues& record);

#endif
