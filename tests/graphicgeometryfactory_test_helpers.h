// Shared by the tessellator's tests: comparing and printing points, and the
// shapes a test can ask for by number.
#ifndef GRAPHICGEOMETRYFACTORY_TEST_HELPERS_H
#define GRAPHICGEOMETRYFACTORY_TEST_HELPERS_H

#include <QString>

#include "vector3.h"

namespace graphicgeometryfactory_test
{
inline bool Near(const TVector3& a, const TVector3& b, double tolerance = 1e-9)
{
  return (a - b).Length() <= tolerance;
}

inline QString Text(const TVector3& v)
{
  return QString("(%1, %2, %3)").arg(v.x, 0, 'g', 12).arg(v.y, 0, 'g', 12).arg(v.z, 0, 'g', 12);
}

enum TSolid
{
  PLANE,
  DISC,
  PRISM,
  CYLINDER,
  SPHERE
};
} // namespace graphicgeometryfactory_test

#endif
