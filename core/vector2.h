// Two-component double vector; ^ is the dot product.
#ifndef VECTOR2_H
#define VECTOR2_H

#include <cassert>
#include <cmath>
#include <limits>

class TVector2
{
public:
  double x;
  double y;

  TVector2() : x(0.0), y(0.0) {}
  TVector2(const double& x_, const double& y_) : x(x_), y(y_) {}

  double operator()(int index) const
  {
    switch(index)
    {
      case 0: return x;
      case 1: return y;
      default: assert(false); return x;
    }
  }

  double& operator()(int index)
  {
    switch(index)
    {
      case 0: return x;
      case 1: return y;
      default: assert(false); return x;
    }
  }

  double Length() const { return std::sqrt(x * x + y * y); }

  TVector2& Normal()
  {
    const double Length = this->Length();
    assert(Length > std::numeric_limits<double>::epsilon());
    x /= Length;
    y /= Length;
    return *this;
  }

  TVector2& operator/=(const double& d)
  {
    assert(d > std::numeric_limits<double>::epsilon());
    x /= d;
    y /= d;
    return *this;
  }

  TVector2& operator+=(const TVector2& v) { x += v.x; y += v.y; return *this; }
  TVector2& operator-=(const TVector2& v) { x -= v.x; y -= v.y; return *this; }
  TVector2& operator+=(const double& d) { x += d; y += d; return *this; }
  TVector2& operator-=(const double& d) { x -= d; y -= d; return *this; }
  TVector2& operator*=(const double& d) { x *= d; y *= d; return *this; }

  // Edges a-c and a-b count as outside, edge b-c as inside; a degenerate
  // triangle contains no point.
  static bool Is_Point_In_Triangle(const TVector2& p, const TVector2& a, const TVector2& b, const TVector2& c)
  {
    double s = a.y * c.x - a.x * c.y + (c.y - a.y) * p.x + (a.x - c.x) * p.y;
    double t = a.x * b.y - a.y * b.x + (a.y - b.y) * p.x + (b.x - a.x) * p.y;

    if((s < 0) != (t < 0))
      return false;

    double area = -b.y * c.x + a.y * (c.x - b.x) + a.x * (b.y - c.y) + b.x * c.y;
    if(area < 0)
    {
      s = -s;
      t = -t;
      area = -area;
    }
    return s > 0 && t > 0 && (s + t) <= area;
  }
};

inline double operator^(const TVector2& a, const TVector2& b) { return a.x * b.x + a.y * b.y; }
inline TVector2 operator+(const TVector2& a, const TVector2& b) { return TVector2(a.x + b.x, a.y + b.y); }
inline TVector2 operator-(const TVector2& a, const TVector2& b) { return TVector2(a.x - b.x, a.y - b.y); }
inline TVector2 operator+(const TVector2& v, const double& d) { return TVector2(v.x + d, v.y + d); }
inline TVector2 operator-(const TVector2& v, const double& d) { return TVector2(v.x - d, v.y - d); }
inline TVector2 operator*(const TVector2& v, const double& d) { return TVector2(v.x * d, v.y * d); }
inline TVector2 operator*(const double& d, const TVector2& v) { return TVector2(v.x * d, v.y * d); }
inline TVector2 operator/(const TVector2& v, const double& d) { TVector2 r(v); r /= d; return r; }

#endif
