// A machine with known squareness errors for the window tests: the lengths it
// reports for bars along given directions, computed with the program's matrix
// type but not with its error model.
#ifndef SIMULATED_MACHINE_H
#define SIMULATED_MACHINE_H

#include <cmath>

#include "mat4.h"
#include "vector3.h"

// Squareness of the simulated machine, in mm/m (radians times 1000).
const double true_xy = 0.1, true_yz = 0.2, true_zx = -0.3;

// The length such a machine reports for a bar of `length` along `direction`.
inline double Reported_Length(const TVector3& direction, double length)
{
  const double a = true_xy / 1000.0, b = true_yz / 1000.0, c = true_zx / 1000.0;
  TMat4 m;
  const TVector3 rows[3] = {TVector3(std::cos(a), std::sin(a), 0), TVector3(0, std::cos(b), std::sin(b)),
                            TVector3(std::sin(c), 0, std::cos(c))};
  for(int row = 0; row < 3; ++row)
  {
    m[4 * row] = rows[row].x;
    m[4 * row + 1] = rows[row].y;
    m[4 * row + 2] = rows[row].z;
  }
  TVector3 unit = direction;
  unit.Normal();
  return length / (m * unit).Length();
}

#endif
