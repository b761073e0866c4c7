// Shared by the view camera's tests: a camera of a given size, and checks of
// its matrices against values worked out by hand.
#ifndef VIEWCAMERA_TEST_HELPERS_H
#define VIEWCAMERA_TEST_HELPERS_H

#include <QtTest>
#include <cmath>

#include "vector3.h"
#include "viewcamera.h"

Q_DECLARE_METATYPE(TVector3)

namespace viewcamera_test
{
inline bool Near(double actual, double expected)
{
  return std::fabs(actual - expected) <= 1e-12 * std::max(1.0, std::fabs(expected));
}

inline QString Text(double actual, double expected)
{
  return QString("%1 instead of %2").arg(actual, 0, 'g', 17).arg(expected, 0, 'g', 17);
}

// A camera with a viewport of the given size and the identity projection.
inline TViewCamera Camera_Of_Size(int width, int height)
{
  TViewCamera camera;
  camera.Resize_Viewport(width, height);
  return camera;
}

inline void Compare_Matrix(const TMat4& actual, const TMat4& expected)
{
  for(int i = 0; i < 16; ++i)
    QVERIFY2(Near(actual[i], expected[i]), qPrintable(QString("[%1] ").arg(i) + Text(actual[i], expected[i])));
}

// The screen scale and shift of a projection.
inline void Compare_Scale_And_Shift(const TMat4& p, const double& x_scale, const double& y_scale, const double& x_shift, const double& y_shift)
{
  QVERIFY2(Near(p[0], x_scale), qPrintable(Text(p[0], x_scale)));
  QVERIFY2(Near(p[5], y_scale), qPrintable(Text(p[5], y_scale)));
  QVERIFY2(Near(p[12], x_shift), qPrintable(Text(p[12], x_shift)));
  QVERIFY2(Near(p[13], y_shift), qPrintable(Text(p[13], y_shift)));
}
} // namespace viewcamera_test

#endif
