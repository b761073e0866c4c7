#include "uncertainty_reasons.h"

#include <cassert>
#include <cmath>
#include <cstdio>

namespace
{
const double COS_30_DEGREES = 0.8660254037844387;
const char* const PLANE_NAMES[3] = {"XY", "YZ", "ZX"};
const double FACE_DIAGONALS[6][3] = {{1, 1, 0}, {1, -1, 0}, {0, 1, 1}, {0, 1, -1}, {1, 0, 1}, {1, 0, -1}};
const double BODY_DIAGONALS[4][3] = {{1, 1, 1}, {-1, 1, 1}, {-1, -1, 1}, {1, -1, 1}};

TVector3 Unit(const double (&direction)[3])
{
  TVector3 v(direction[0], direction[1], direction[2]);
  v.Normal();
  return v;
}

// False for an axis that has no direction (zero or not finite).
bool Covers(const TVector3& diagonal, const TVector3& axis)
{
  const double length = axis.Length();
  if(!(length > 0.0) || !std::isfinite(length))
    return false;
  return std::fabs(diagonal ^ axis) / length > COS_30_DEGREES;
}

std::string Direction_Text(const double (&direction)[3])
{
  char text[32];
  std::snprintf(text, sizeof(text), "(%d, %d, %d)", int(direction[0]), int(direction[1]), int(direction[2]));
  return text;
}

std::string Missing_Body_Diagonals_Text(const TDirectionCoverage& coverage)
{
  std::string list;
  int missing = 0;
  for(int i = 0; i < 4; ++i)
    if(!coverage.body[i])
    {
      list += (missing == 0 ? "" : ", ") + Direction_Text(BODY_DIAGONALS[i]);
      ++missing;
    }
  if(missing == 0 || missing == 4)
    return std::string();
  return missing == 1 ? "; the body diagonal along " + list + " is missing"
                      : "; the body diagonals along " + list + " are missing";
}
}

TDirectionCoverage Direction_Coverage(const TMeasurementSnapshot& snapshot)
{
  TDirectionCoverage coverage;
  TVector3 faces[6];
  TVector3 bodies[4];
  for(int i = 0; i < 6; ++i)
    faces[i] = Unit(FACE_DIAGONALS[i]);
  for(int i = 0; i < 4; ++i)
    bodies[i] = Unit(BODY_DIAGONALS[i]);

  for(const TMeasurementValues& record : snapshot)
  {
    for(int i = 0; i < 6; ++i)
      coverage.face[i] = coverage.face[i] || Covers(faces[i], record.axis);
    for(int i = 0; i < 4; ++i)
      coverage.body[i] = coverage.body[i] || Covers(bodies[i], record.axis);
  }
  return coverage;
}

std::string Missing_Directions_Text(const TDirectionCoverage& coverage, int plane)
{
  assert(plane >= 0 && plane < 3);
  const std::string name = PLANE_NAMES[plane];
  std::string text =
    name + " needs measurements along both " + name + " face diagonals, or along all four body diagonals";

  const bool first = coverage.face[2 * plane];
  const bool second = coverage.face[2 * plane + 1];
  if(first != second)
    text += "; the face diagonal along " + Direction_Text(FACE_DIAGONALS[2 * plane + (first ? 1 : 0)]) +
            " is missing";
  return text + Missing_Body_Diagonals_Text(coverage);
}

std::string Singular_Text()
{
  return "the measurements do not separate the fitted quantities (the normal equations are singular)";
}

std::string Ill_Conditioned_Text(double condition_number, double limit)
{
  char text[200];
  std::snprintf(text, sizeof(text),
                "the measurements hardly separate the fitted quantities (condition number %.3g, above %.3g)",
                condition_number, limit);
  return text;
}

std::string Not_Finite_Text()
{
  return "the set, the fit or the stated uncertainties hold values that are not finite numbers";
}

std::string No_Redundancy_Text(int degrees_of_freedom)
{
  char text[200];
  std::snprintf(text, sizeof(text),
                "the set has no more records than fitted quantities (n - p = %d), so no scatter can be observed",
                degrees_of_freedom);
  return text;
}

std::string Zero_Uncertainty_Text()
{
  return "some records have a stated uncertainty of zero";
}
