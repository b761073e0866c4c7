#include "graphicgeometryfactory.h"

#include <cassert>
#include <cmath>
#include <limits>

namespace
{
const double TWO_PI = 6.283185307179586;
const double MINIMUM_SIZE = 1e-6;
const double PARALLEL_LIMIT = 0.001;
const double NO_FRAME_LIMIT = 1e-12;

// Rotation about local z that advances a point by one step (x toward -y).
TMat4 Step_Rotation(const double& step)
{
  TMat4 rotation;
  rotation.Rotate(TVector3(0.0, 0.0, 1.0), step);
  return rotation;
}

TMat4 Frame_From_Rows(const TVector3& row0, const TVector3& row1, const TVector3& row2)
{
  const double values[16] = {row0.x, row0.y, row0.z, 0.0,
                             row1.x, row1.y, row1.z, 0.0,
                             row2.x, row2.y, row2.z, 0.0,
                             0.0, 0.0, 0.0, 1.0};
  TMat4 frame(values);
  frame.Transpose();
  return frame;
}

TVector3 Local_To_World(const TVector3& centre, const TMat4& frame, const TVector3& local)
{
  return frame * local + centre;
}

TVector3 Quarter_Turn(const TVector3& v)
{
  return TVector3(-v.y, v.x, v.z);
}

TVector3 Negated(const TVector3& v)
{
  return TVector3(-v.x, -v.y, -v.z);
}
} // namespace

TGraphicGeometryFactory::TGraphicGeometryFactory()
  : subdivision_depth(1)
{
}

std::vector<TVector3> TGraphicGeometryFactory::Render_Plane(const TVector3& c1, const TVector3& c2, const TVector3& c3, const TVector3& c4) const
{
  std::vector<TVector3> points;
  if(subdivision_depth < 0)
    return points;

  const TVector3 middle = (c1 + c2 + c3 + c4) * 0.25;
  Render_Plane_Triangle(c1, c2, middle, subdivision_depth, &points);
  Render_Plane_Triangle(c2, c3, middle, subdivision_depth, &points);
  Render_Plane_Triangle(c3, c4, middle, subdivision_depth, &points);
  Render_Plane_Triangle(c4, c1, middle, subdivision_depth, &points);
  return points;
}

std::vector<TVector3> TGraphicGeometryFactory::Render_Circular_Plane(const TVector3& centre, const TVector3& normal, const TVector3& reference, const double& radius) const
{
  std::vector<TVector3> points;
  if(subdivision_depth < 0 || !(radius >= MINIMUM_SIZE) || !(normal.Length() >= MINIMUM_SIZE))
    return points;

  TMat4 frame;
  if(!Make_Frame(normal, reference, &frame))
    return points;

  const int sectors = 4 * static_cast<int>(std::lround(std::pow(2.0, subdivision_depth)));
  Append_Disc_Sectors(centre, frame, radius, 0.0, sectors, TWO_PI / sectors, false, &points);
  return points;
}

std::vector<TVector3> TGraphicGeometryFactory::Render_Polygon(const TVector3& centre, const TVector3& axis, const TVector3& reference, const double& radius, const double& height, const int& sides) const
{
  std::vector<TVector3> points;
  if(subdivision_depth < 0 || !(radius >= MINIMUM_SIZE) || sides <= 3 ||
     !(axis.Length() >= MINIMUM_SIZE) || !(reference.Length() >= MINIMUM_SIZE))
    return points;

  TMat4 frame;
  if(!Make_Frame(axis, reference, &frame))
    return points;

  const double step = TWO_PI / sides;
  const double half_height = height / 2.0;
  const TMat4 advance = Step_Rotation(step);

  TVector3 bottom(radius, 0.0, -half_height);
  TVector3 top(radius, 0.0, half_height);
  for(int i = 0; i < sides; ++i)
  {
    const TVector3 next_top = advance * top;
    const TVector3 next_bottom = advance * bottom;
    const std::vector<TVector3> face = Render_Plane(Local_To_World(centre, frame, bottom),
                                                    Local_To_World(centre, frame, top),
                                                    Local_To_World(centre, frame, next_top),
                                                    Local_To_World(centre, frame, next_bottom));
    points.insert(points.end(), face.begin(), face.end());
    bottom = next_bottom;
    top = next_top;
  }

  Append_Disc_Sectors(centre, frame, radius, half_height, sides, step, true, &points);
  Append_Disc_Sectors(centre, frame, radius, -half_height, sides, step, true, &points);
  return points;
}

std::vector<TVector3> TGraphicGeometryFactory::Render_Cylinder(const TVector3& centre, const TVector3& axis, const double& radius, const double& length) const
{
  std::vector<TVector3> points;
  if(subdivision_depth < 0 || !(radius >= MINIMUM_SIZE) || !(axis.Length() >= MINIMUM_SIZE))
    return points;

  TVector3 n(axis);
  n.Normal();
  TVector3 u = n * TVector3(1.0, 0.0, 0.0);
  if(u.Length() < 0.5)
    u = n * TVector3(0.0, 1.0, 0.0);
  u.Normal();
  const TVector3 v = u * n;
  const TMat4 frame = Frame_From_Rows(v, u, n);
  const double half_length = length / 2.0;

  const TVector3 top_reference(frame[0], frame[1], frame[2]);
  const TVector3 bottom_reference(frame[0] + frame[4], frame[1] + frame[5], frame[2] + frame[6]);

  Render_Circle_Triangle(TVector3(1.0, 0.0, half_length),
                         TVector3(0.707107, 0.707107, -half_length),
                         TVector3(0.0, 1.0, half_length),
                         centre, radius, subdivision_depth, frame, &points);

  const std::vector<TVector3> top = Render_Circular_Plane(centre + n * half_length, axis, top_reference, radius);
  points.insert(points.end(), top.begin(), top.end());

  Render_Circle_Triangle(TVector3(0.707107, 0.707107, -half_length),
                         TVector3(-0.707107, 0.707107, -half_length),
                         TVector3(0.0, 1.0, half_length),
                         centre, radius, subdivision_depth, frame, &points);

  const std::vector<TVector3> bottom = Render_Circular_Plane(centre - n * half_length, axis * -1.0, bottom_reference, radius);
  points.insert(points.end(), bottom.begin(), bottom.end());
  return points;
}

std::vector<TVector3> TGraphicGeometryFactory::Render_Sphere(const TVector3& centre, const double& radius) const
{
  std::vector<TVector3> points;
  if(subdivision_depth < 0 || !(radius >= MINIMUM_SIZE))
    return points;

  Render_Sphere_Triangle(TVector3(0.0, 0.0, 1.0), TVector3(1.0, 0.0, 0.0), TVector3(0.0, 1.0, 0.0),
                         centre, radius, subdivision_depth, &points);
  return points;
}

void TGraphicGeometryFactory::Render_Plane_Triangle(const TVector3& a, const TVector3& b, const TVector3& c, int depth, std::vector<TVector3>* out) const
{
  assert(out);

  if(depth <= 0)
  {
    out->push_back(a);
    out->push_back(b);
    out->push_back(c);
    return;
  }

  const TVector3 ab = (a + b) * 0.5;
  const TVector3 bc = (b + c) * 0.5;
  const TVector3 ca = (c + a) * 0.5;
  Render_Plane_Triangle(a, ab, ca, depth - 1, out);
  Render_Plane_Triangle(ab, b, bc, depth - 1, out);
  Render_Plane_Triangle(ab, bc, ca, depth - 1, out);
  Render_Plane_Triangle(bc, c, ca, depth - 1, out);
}

void TGraphicGeometryFactory::Render_Circle_Triangle(const TVector3& a, const TVector3& b, const TVector3& c, const TVector3& centre, const double& radius, int depth, const TMat4& frame, std::vector<TVector3>* out) const
{
  assert(out);

  if(depth <= 0)
  {
    TVector3 ra(a.x, a.y, 0.0);
    TVector3 rb(b.x, b.y, 0.0);
    TVector3 rc(c.x, c.y, 0.0);
    ra.Normal();
    rb.Normal();
    rc.Normal();
    for(int quarter = 0; quarter < 4; ++quarter)
    {
      out->push_back(Local_To_World(centre, frame, TVector3(radius * ra.x, radius * ra.y, a.z)));
      out->push_back(Local_To_World(centre, frame, TVector3(radius * rb.x, radius * rb.y, b.z)));
      out->push_back(Local_To_World(centre, frame, TVector3(radius * rc.x, radius * rc.y, c.z)));
      ra = Quarter_Turn(ra);
      rb = Quarter_Turn(rb);
      rc = Quarter_Turn(rc);
    }
    return;
  }

  const TVector3 m1 = Normalize_XY((a + b) * 0.5);
  const TVector3 m2 = Normalize_XY((b + c) * 0.5);
  const TVector3 m3 = Normalize_XY((c + a) * 0.5);
  Render_Circle_Triangle(a, m1, m3, centre, radius, depth - 1, frame, out);
  Render_Circle_Triangle(m1, b, m2, centre, radius, depth - 1, frame, out);
  Render_Circle_Triangle(m1, m2, m3, centre, radius, depth - 1, frame, out);
  Render_Circle_Triangle(m2, c, m3, centre, radius, depth - 1, frame, out);
}

// One sphere leaf (unit corners) and its three quarter turns about Z, in
// that order; the corners are left at the last turn.
static void Add_Quarter_Turns(TVector3* a, TVector3* b, TVector3* c, const TVector3& centre, const double& radius,
                              std::vector<TVector3>* out)
{
  for(int quarter = 0; quarter < 4; ++quarter)
  {
    if(quarter > 0)
    {
      *a = Quarter_Turn(*a);
      *b = Quarter_Turn(*b);
      *c = Quarter_Turn(*c);
    }
    out->push_back(centre + *a * radius);
    out->push_back(centre + *b * radius);
    out->push_back(centre + *c * radius);
  }
}

void TGraphicGeometryFactory::Render_Sphere_Triangle(const TVector3& a, const TVector3& b, const TVector3& c, const TVector3& centre, const double& radius, int depth, std::vector<TVector3>* out) const
{
  assert(out);

  if(depth <= 0)
  {
    TVector3 ua(a);
    TVector3 ub(b);
    TVector3 uc(c);
    ua.Normal();
    ub.Normal();
    uc.Normal();

    // Upper octants: the leaf and its three quarter turns.
    Add_Quarter_Turns(&ua, &ub, &uc, centre, radius, out);
    // Lower octants: the last turn reflected through the centre, emitted b, a, c to keep the winding.
    ua = Negated(ua);
    ub = Negated(ub);
    uc = Negated(uc);
    Add_Quarter_Turns(&ub, &ua, &uc, centre, radius, out);
    return;
  }

  const TVector3 m1 = (a + b) * 0.5;
  const TVector3 m2 = (b + c) * 0.5;
  const TVector3 m3 = (c + a) * 0.5;
  Render_Sphere_Triangle(a, m1, m3, centre, radius, depth - 1, out);
  Render_Sphere_Triangle(m1, b, m2, centre, radius, depth - 1, out);
  Render_Sphere_Triangle(m1, m2, m3, centre, radius, depth - 1, out);
  Render_Sphere_Triangle(m2, c, m3, centre, radius, depth - 1, out);
}

TVector3 TGraphicGeometryFactory::Normalize_XY(const TVector3& v) const
{
  const double length = std::sqrt(v.x * v.x + v.y * v.y);
  assert(length > std::numeric_limits<double>::epsilon());
  return TVector3(v.x / length, v.y / length, v.z);
}

// Columns e1, e2, n: n along the normal, e1 the reference projected into the
// plane, e2 = n x e1. A reference parallel to the normal is replaced by its
// rotated components. False when no frame can be built.
bool TGraphicGeometryFactory::Make_Frame(const TVector3& normal, const TVector3& reference, TMat4* frame) const
{
  assert(frame);

  TVector3 n(normal);
  n.Normal();
  TVector3 a = n * reference;
  if(a.Length() < PARALLEL_LIMIT)
    a = n * TVector3(reference.y, reference.z, reference.x);
  if(!(a.Length() > NO_FRAME_LIMIT))
    return false;

  const TVector3 e2 = a.Normal();
  const TVector3 e1 = e2 * n;
  *frame = Frame_From_Rows(e1, e2, n);
  return true;
}

// Fan of sectors, each split into concentric bands, in the local plane at height z.
// Discs emit (O, P0, Q0), (Qk, Pk+1, Qk+1), (Pk+1, Qk, Pk); prism caps emit
// (O, Q0, P0), (Qk, Qk+1, Pk+1), (Pk+1, Pk, Qk).
void TGraphicGeometryFactory::Append_Disc_Sectors(const TVector3& centre, const TMat4& frame, const double& radius, const double& z, int sectors, const double& step, bool cap_order, std::vector<TVector3>* out) const
{
  assert(out);

  const int rings = static_cast<int>(std::pow(2.0, subdivision_depth));
  const TMat4 advance = Step_Rotation(step);

  std::vector<TVector3> inner(rings);
  std::vector<TVector3> outer(rings);
  for(int k = 0; k < rings; ++k)
  {
    inner[k] = TVector3(static_cast<double>(k + 1) / rings, 0.0, 0.0);
    outer[k] = advance * inner[k];
  }

  auto world = [&](const TVector3& local) {
    return Local_To_World(centre, frame, TVector3(radius * local.x, radius * local.y, z));
  };
  const TVector3 middle = Local_To_World(centre, frame, TVector3(0.0, 0.0, z));

  out->reserve(out->size() + static_cast<size_t>(sectors) * (2 * rings - 1) * 3);
  for(int sector = 0; sector < sectors; ++sector)
  {
    const std::vector<TVector3>& q = inner;
    const std::vector<TVector3>& p = outer;
    out->push_back(middle);
    out->push_back(world(cap_order ? q[0] : p[0]));
    out->push_back(world(cap_order ? p[0] : q[0]));
    for(int k = 0; k + 1 < rings; ++k)
    {
      if(cap_order)
      {
        out->push_back(world(q[k]));
        out->push_back(world(q[k + 1]));
        out->push_back(world(p[k + 1]));
      }
      else
      {
        out->push_back(world(q[k]));
        out->push_back(world(p[k + 1]));
        out->push_back(world(q[k + 1]));
      }
      out->push_back(world(p[k + 1]));
      out->push_back(world(cap_order ? p[k] : q[k]));
      out->push_back(world(cap_order ? q[k] : p[k]));
    }
    for(int k = 0; k < rings; ++k)
    {
      inner[k] = outer[k];
      outer[k] = advance * outer[k];
    }
  }
}
