// 4x4 double matrix; element (row i, column j) is at index 4i + j.
// Matrix times vector treats the vector as a point and uses the first three rows.
// Composition A *= B replaces A by B·A: the old A applies first, then B.
#ifndef MAT4_H
#define MAT4_H

#include "vector3.h"

class TMat4
{
public:
  TMat4() { Identity(); }
  explicit TMat4(const double* values) { Set(values); }
  TMat4(const TMat4& other) = default;
  TMat4& operator=(const TMat4& other) = default;

  double& operator[](int index) { return e[index]; }
  const double& operator[](int index) const { return e[index]; }

  void Set(const double* values);
  void Identity();
  void Transpose();
  void Normal();

  TMat4 operator*=(const TMat4& b);

  // Rotation about a unit axis; R turns vectors about the axis by -angle.
  void Rotate(const TVector3& axis, const double& angle);
  // Rotation about Z by b, then about X by a, then about Z by c.
  void Rotate(const double& a, const double& b, const double& c);

private:
  double e[16];
};

inline TMat4 operator*(const TMat4& a, const TMat4& b)
{
  TMat4 r(a);
  r *= b;
  return r;
}

inline TVector3 operator*(const TMat4& m, const TVector3& v)
{
  return TVector3(m[0] * v.x + m[1] * v.y + m[2] * v.z + m[3],
                  m[4] * v.x + m[5] * v.y + m[6] * v.z + m[7],
                  m[8] * v.x + m[9] * v.y + m[10] * v.z + m[11]);
}

#endif
