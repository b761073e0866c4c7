// Tessellation of simple solids (quadrilateral, disc, prism, cylinder, sphere)
// into flat triangle lists for the 3D view: every three consecutive points are
// one triangle.
#ifndef GRAPHICGEOMETRYFACTORY_H
#define GRAPHICGEOMETRYFACTORY_H

#include <vector>

#include "mat4.h"
#include "vector3.h"

class TGraphicGeometryFactory
{
public:
  TGraphicGeometryFactory();

  // Levels of recursive subdivision; a negative depth produces nothing.
  int subdivision_depth;

  std::vector<TVector3> Render_Plane(const TVector3& c1, const TVector3& c2, const TVector3& c3, const TVector3& c4) const;
  std::vector<TVector3> Render_Circular_Plane(const TVector3& centre, const TVector3& normal, const TVector3& reference, const double& radius) const;
  std::vector<TVector3> Render_Polygon(const TVector3& centre, const TVector3& axis, const TVector3& reference, const double& radius, const double& height, const int& sides) const;
  std::vector<TVector3> Render_Cylinder(const TVector3& centre, const TVector3& axis, const double& radius, const double& length) const;
  std::vector<TVector3> Render_Sphere(const TVector3& centre, const double& radius) const;

  void Render_Plane_Triangle(const TVector3& a, const TVector3& b, const TVector3& c, int depth, std::vector<TVector3>* out) const;
  void Render_Circle_Triangle(const TVector3& a, const TVector3& b, const TVector3& c, const TVector3& centre, const double& radius, int depth, const TMat4& frame, std::vector<TVector3>* out) const;
  void Render_Sphere_Triangle(const TVector3& a, const TVector3& b, const TVector3& c, const TVector3& centre, const double& radius, int depth, std::vector<TVector3>* out) const;

  // x and y scaled onto the unit circle, z unchanged.
  TVector3 Normalize_XY(const TVector3& v) const;

private:
  bool Make_Frame(const TVector3& normal, const TVector3& reference, TMat4* frame) const;
  void Append_Disc_Sectors(const TVector3& centre, const TMat4& frame, const double& radius, const double& z, int sectors, const double& step, bool cap_order, std::vector<TVector3>* out) const;
};

#endif
