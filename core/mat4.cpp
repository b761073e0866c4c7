#include "mat4.h"

#include <cmath>
#include <utility>

void TMat4::Set(const double* values)
{
  for(int i = 0; i < 16; ++i)
    e[i] = values[i];
}

void TMat4::Identity()
{
  for(int i = 0; i < 16; ++i)
    e[i] = 0.0;
  e[0] = e[5] = e[10] = e[15] = 1.0;
}

void TMat4::Transpose()
{
  for(int i = 0; i < 4; ++i)
    for(int j = i + 1; j < 4; ++j)
      std::swap(e[4 * i + j], e[4 * j + i]);
}

void TMat4::Normal()
{
  for(int row = 0; row < 3; ++row)
  {
    TVector3 v(e[4 * row], e[4 * row + 1], e[4 * row + 2]);
    v.Normal();
    e[4 * row] = v.x;
    e[4 * row + 1] = v.y;
    e[4 * row + 2] = v.z;
  }
}

TMat4 TMat4::operator*=(const TMat4& b)
{
  double r[16];
  for(int i = 0; i < 4; ++i)
    for(int j = 0; j < 4; ++j)
    {
      double sum = 0.0;
      for(int k = 0; k < 4; ++k)
        sum += b.e[4 * i + k] * e[4 * k + j];
      r[4 * i + j] = sum;
    }
  Set(r);
  return *this;
}

void TMat4::Rotate(const TVector3& axis, const double& angle)
{
  const double x = axis.x;
  const double y = axis.y;
  const double z = axis.z;
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  const double t = 1.0 - c;

  TMat4 r;
  r.e[0] = x * x * t + c;
  r.e[1] = x * y * t + z * s;
  r.e[2] = x * z * t - y * s;
  r.e[4] = x * y * t - z * s;
  r.e[5] = y * y * t + c;
  r.e[6] = y * z * t + x * s;
  r.e[8] = x * z * t + y * s;
  r.e[9] = y * z * t - x * s;
  r.e[10] = z * z * t + c;
  *this *= r;
}

void TMat4::Rotate(const double& a, const double& b, const double& c)
{
  const double ca = std::cos(a), sa = std::sin(a);
  const double cb = std::cos(b), sb = std::sin(b);
  const double cc = std::cos(c), sc = std::sin(c);

  TMat4 r;
  r.e[0] = cb * cc - ca * sb * sc;
  r.e[1] = sb * cc + ca * cb * sc;
  r.e[2] = sa * sc;
  r.e[4] = -cb * sc - ca * sb * cc;
  r.e[5] = ca * cb * cc - sb * sc;
  r.e[6] = sa * cc;
  r.e[8] = sa * sb;
  r.e[9] = -sa * cb;
  r.e[10] = ca;
  *this *= r;
}
