#include "viewcamera.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace
{
const double ZERO_EPSILON = 1e-6;
const double FIT_MARGIN = 0.001;
const double WHEEL_ZOOM_IN = 1.1111;
const double WHEEL_ZOOM_OUT = 0.9;

bool Is_Finite(const TVector3& v)
{
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}
} // namespace

TViewCamera::TViewCamera()
  : d_viewport{0, 0, 0, 0},
    d_first_vertex(true),
    d_axis_length(20.0)
{
}

QPoint TViewCamera::Translate_To_Window(const TVector3& p) const
{
  const TViewProjector projector = Projector();
  return projector.To_Pixel(projector.Project(p));
}

QPoint TViewCamera::Window_Position(const QPoint& widget_position) const
{
  return QPoint(widget_position.x() + d_viewport[0], d_viewport[3] + d_viewport[1] - widget_position.y());
}

bool TViewCamera::Look_At(const TVector3& direction, const TVector3& up)
{
  assert(direction.Length() > ZERO_EPSILON);
  assert(up.Length() > ZERO_EPSILON);

  TVector3 xs = up * direction;
  if(xs.Length() <= ZERO_EPSILON)
    return false;
  TVector3 ys = direction * xs;
  TVector3 normal(direction);
  normal.Normal();
  ys.Normal();
  xs.Normal();

  const TVector3 rows[3] = {xs, ys, normal};
  for(int row = 0; row < 3; ++row)
  {
    d_rotation[4 * row] = rows[row].x;
    d_rotation[4 * row + 1] = rows[row].y;
    d_rotation[4 * row + 2] = rows[row].z;
  }
  return true;
}

// ---------------------------------------------------------------------------
// Fit

void TViewCamera::Begin_Fit_To_Viewport()
{
  d_first_vertex = true;
  d_view_min = TVector3(-FIT_MARGIN, -FIT_MARGIN, -FIT_MARGIN);
  d_view_max = TVector3(FIT_MARGIN, FIT_MARGIN, FIT_MARGIN);
}

// Points with a component that is not finite are left out of the bounds.
void TViewCamera::Process_Vertex(const TVector3& p)
{
  if(!Is_Finite(p))
    return;
  const TVector3 q = d_rotation * p;

  if(d_first_vertex)
  {
    d_view_max = q + FIT_MARGIN;
    d_view_min = q - FIT_MARGIN;
    d_model_min = p - FIT_MARGIN;
    d_model_max = p + FIT_MARGIN;
    d_first_vertex = false;
    return;
  }

  Widen_Box(&d_view_min, &d_view_max, q);
  Widen_Box(&d_model_min, &d_model_max, p);
}

void TViewCamera::End_Fit_To_Viewport()
{
  const TVector3 model_size = d_model_max - d_model_min;
  d_axis_length = std::max(20.0, 0.1 * model_size.Length());
  d_axis_origin = d_model_min - model_size * 0.01;

  const TVector3 extent = (d_view_max - d_view_min) * 1.05;
  const double largest = std::max(extent.x, extent.y);

  double tx = -(d_view_max.x + d_view_min.x) / largest;
  double ty = -(d_view_max.y + d_view_min.y) / largest;
  const double tz = ((d_view_max.z + d_view_min.z) * 0.5) / (4.0 * extent.z);

  double kx = 1.0, ky = 1.0;
  Aspect_Factors(&kx, &ky);
  tx *= kx;
  ty *= ky;

  d_projection.Identity();
  d_projection[0] = kx * 2.0 / largest;
  d_projection[5] = ky * 2.0 / largest;
  d_projection[10] = -0.25 / extent.z;
  d_projection[15] = 1.0;
  d_projection[12] = tx;
  d_projection[13] = ty;
  d_projection[14] = tz;
}

// Factors that give both screen axes the same pixels per model unit; the
// longer viewport side is shrunk to the shorter one.
void TViewCamera::Aspect_Factors(double* kx, double* ky) const
{
  *kx = 1.0;
  *ky = 1.0;
  if(d_viewport[2] == 0 || d_viewport[3] == 0)
    return;

  const double half_width = d_viewport[2] * 0.5;
  const double half_height = d_viewport[3] * 0.5;
  if(std::fabs(half_width) > std::fabs(half_height))
    *kx = half_height / half_width;
  else
    *ky = half_width / half_height;
}

// ---------------------------------------------------------------------------
// Viewport

bool TViewCamera::Resize_Viewport(int width, int height)
{
  const int new_viewport[4] = {0, 0, width, height};
  if(d_viewport[2] > 0 && d_viewport[3] > 0)
  {
    Update_Viewport(new_viewport);
    return false;
  }
  std::copy(new_viewport, new_viewport + 4, d_viewport);
  return true;
}

void TViewCamera::Update_Viewport(const int* new_viewport)
{
  assert(new_viewport);

  if(new_viewport[2] > 0 && new_viewport[3] > 0)
  {
    const double sx = d_projection[0] * (static_cast<double>(d_viewport[2]) / new_viewport[2]);
    const double sy = d_projection[5] * (static_cast<double>(d_viewport[3]) / new_viewport[3]);
    d_projection[0] = sx;
    d_projection[1] = 0.0;
    d_projection[2] = 0.0;
    d_projection[4] = 0.0;
    d_projection[5] = sy;
    d_projection[6] = 0.0;
  }
  std::copy(new_viewport, new_viewport + 4, d_viewport);
}

// ---------------------------------------------------------------------------
// Rotation

void TViewCamera::Set_Rotation_Center()
{
  TMat4 transposed(d_rotation);
  transposed.Transpose();
  d_rotation_center = transposed * TVector3(d_projection[12] / d_projection[0],
                                            d_projection[13] / d_projection[5],
                                            d_projection[14] / d_projection[10]);
}

// The angle grows with the logarithm of the drag length.
void TViewCamera::Rotate_Free(int dx, int dy)
{
  const double angle = 0.02 * (std::log(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy)) + 1.0);
  Rotate_View(TVector3(dy, -dx, 0.0), angle);
}

void TViewCamera::Rotate_In_Plane(const QPoint& previous, const QPoint& current)
{
  const int cx = (d_viewport[0] + d_viewport[2]) / 2;
  const int cy = (d_viewport[1] + d_viewport[3]) / 2;
  TVector3 u(previous.x() - cx, previous.y() - cy, 0.0);
  TVector3 v(current.x() - cx, current.y() - cy, 0.0);
  if(u.Length() <= 5.0 || v.Length() <= 5.0)
    return;

  u.Normal();
  v.Normal();
  const double d = u ^ v;
  if(!(d > 0.0 && d < 1.0))
    return;

  const TVector3 axis = v * u;
  if(axis.Length() <= 1e-8)
    return;
  Rotate_View(axis, std::acos(d));
}

// Turns the scene about a screen axis and keeps the pivot at the view centre.
void TViewCamera::Rotate_View(TVector3 axis, const double& angle)
{
  axis.Normal();
  TMat4 step;
  step.Rotate(axis, angle);
  d_rotation *= step;

  const TVector3 pivot = d_rotation * d_rotation_center;
  d_projection[12] = d_projection[0] * pivot.x;
  d_projection[13] = d_projection[5] * pivot.y;
  d_projection[14] = d_projection[10] * pivot.z;
}

// ---------------------------------------------------------------------------
// Pan and zoom

void TViewCamera::Pan_View(int dx, int dy)
{
  const int cx = (d_viewport[0] + d_viewport[2]) / 2;
  const int cy = (d_viewport[1] + d_viewport[3]) / 2;
  if(cx == 0 || cy == 0)
    return;
  d_projection[12] += static_cast<double>(dx) / cx;
  d_projection[13] += static_cast<double>(dy) / cy;
}

void TViewCamera::Click_In_Out(int y)
{
  const int half = d_viewport[3] / 2;
  if(half == 0 || y == half)
    return;
  Scale_View(((half - y) * 0.5 + half) / half);
}

void TViewCamera::Wheel_In_Out(int delta)
{
  if(delta > 0)
    Scale_View(WHEEL_ZOOM_IN);
  else if(delta < 0)
    Scale_View(WHEEL_ZOOM_OUT);
}

// Scaling S and T together zooms about the viewport centre.
void TViewCamera::Scale_View(const double& factor)
{
  for(int index : {0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14})
    d_projection[index] *= factor;
}

void TViewCamera::Zoom_To_Rect(const QRect& rect)
{
  double ax = 0.0, ay = 0.0, bx = 0.0, by = 0.0;
  Convert_Viewport_To_Model(d_viewport[0] + rect.left(), d_viewport[3] + d_viewport[1] - rect.top(), &ax, &ay);
  Convert_Viewport_To_Model(d_viewport[0] + rect.right(), d_viewport[3] + d_viewport[1] - rect.bottom(), &bx, &by);

  const double x0 = std::min(ax, bx);
  const double x1 = std::max(ax, bx);
  const double y0 = std::min(ay, by);
  const double y1 = std::max(ay, by);
  if(!(x1 - x0 >= ZERO_EPSILON) || !(y1 - y0 >= ZERO_EPSILON))
    return;

  const double extent = std::max(x1 - x0, y1 - y0);
  double kx = 1.0, ky = 1.0;
  Aspect_Factors(&kx, &ky);
  const double factor = 2.0 / extent;

  d_projection[0] = kx * factor;
  d_projection[1] = d_projection[2] = 0.0;
  d_projection[4] = d_projection[6] = 0.0;
  d_projection[5] = ky * factor;
  d_projection[12] = -(x0 + x1) / extent * kx;
  d_projection[13] = -(y0 + y1) / extent * ky;
}

// Screen-aligned model coordinates of a window position.
void TViewCamera::Convert_Viewport_To_Model(int x, int y, double* mx, double* my) const
{
  assert(mx);
  assert(my);

  const int half_width = d_viewport[2] / 2;
  const int half_height = d_viewport[3] / 2;
  if(half_width == 0 || half_height == 0)
  {
    *mx = 0.0;
    *my = 0.0;
    return;
  }

  const int ox = TViewProjector::Truncate(half_width * (1.0 + d_projection[12]));
  const int oy = TViewProjector::Truncate(half_height * (1.0 + d_projection[13]));
  *mx = (1.0 / d_projection[0]) * (static_cast<double>(x) - ox) / half_width;
  *my = (1.0 / d_projection[5]) * (static_cast<double>(y) - oy) / half_height;
}
