// Three-component double vector for points and directions in machine space.
// Between two vectors ^ is the dot product and * the cross product.
#ifndef VECTOR3_H
#define VECTOR3_H

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

class TVector3
{
public:
  double x;
  double y;
  double z;

  TVector3() : x(0.0), y(0.0), z(0.0) {}
  TVector3(const double& x_, const double& y_, const double& z_) : x(x_), y(y_), z(z_) {}

  double operator()(int index) const
  {
    switch(index)
    {
      case 0: return x;
      case 1: return y;
      case 2: return z;
      default: assert(false); return x;
    }
  }

  double& operator()(int index)
  {
    switch(index)
    {
      case 0: return x;
      case 1: return y;
      case 2: return z;
      default: assert(false); return x;
    }
  }

  double Length() const { return std::sqrt(x * x + y * y + z * z); }

  TVector3& Normal()
  {
    const double Length = this->Length();
    assert(Length > std::numeric_limits<double>::epsilon());
    x /= Length;
    y /= Length;
    z /= Length;
    return *this;
  }

  // Cross product in place: all old components are read before any is written.
  TVector3& operator*=(const TVector3& v)
  {
    const double cx = y * v.z - z * v.y;
    const double cy = z * v.x - x * v.z;
    const double cz = x * v.y - y * v.x;
    x = cx;
    y = cy;
    z = cz;
    return *this;
  }

  TVector3& operator/=(const double& d)
  {
    assert(d > std::numeric_limits<double>::epsilon());
    x /= d;
    y /= d;
    z /= d;
    return *this;
  }

  TVector3& operator+=(const TVector3& v) { x += v.x; y += v.y; z += v.z; return *this; }
  TVector3& operator-=(const TVector3& v) { x -= v.x; y -= v.y; z -= v.z; return *this; }
  TVector3& operator+=(const double& d) { x += d; y += d; z += d; return *this; }
  TVector3& operator-=(const double& d) { x -= d; y -= d; z -= d; return *this; }
  TVector3& operator*=(const double& d) { x *= d; y *= d; z *= d; return *this; }
};

inline double operator^(const TVector3& a, const TVector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline TVector3 operator*(const TVector3& a, const TVector3& b) { TVector3 r(a); r *= b; return r; }
inline TVector3 operator+(const TVector3& a, const TVector3& b) { return TVector3(a.x + b.x, a.y + b.y, a.z + b.z); }
inline TVector3 operator-(const TVector3& a, const TVector3& b) { return TVector3(a.x - b.x, a.y - b.y, a.z - b.z); }
inline TVector3 operator+(const TVector3& v, const double& d) { return TVector3(v.x + d, v.y + d, v.z + d); }
inline TVector3 operator-(const TVector3& v, const double& d) { return TVector3(v.x - d, v.y - d, v.z - d); }
inline TVector3 operator*(const TVector3& v, const double& d) { return TVector3(v.x * d, v.y * d, v.z * d); }
inline TVector3 operator*(const double& d, const TVector3& v) { return TVector3(v.x * d, v.y * d, v.z * d); }
inline TVector3 operator/(const TVector3& v, const double& d) { TVector3 r(v); r /= d; return r; }

// Widens the axis-aligned box [minimum, maximum] so that it holds point.
inline void Widen_Box(TVector3* minimum, TVector3* maximum, const TVector3& point)
{
  minimum->x = std::min(minimum->x, point.x);
  minimum->y = std::min(minimum->y, point.y);
  minimum->z = std::min(minimum->z, point.z);
  maximum->x = std::max(maximum->x, point.x);
  maximum->y = std::max(maximum->y, point.y);
  maximum->z = std::max(maximum->z, point.z);
}

#endif
