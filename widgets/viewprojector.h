// The mapping of model points to widget pixels for one state of the view's
// camera: rotation, orthographic scale and shift, then the viewport. Every
// point of a paint goes through the same arithmetic, so a vertex shared by
// several triangles lands on the same pixel as each of their corners.
#ifndef VIEWPROJECTOR_H
#define VIEWPROJECTOR_H

#include <QLine>
#include <QPoint>

#include "mat4.h"
#include "vector3.h"

// Window position of a model point before truncation to pixels; y grows upward.
struct TWindowPoint
{
  double x;
  double y;
};

class TViewProjector
{
public:
  // Window coordinates are kept within this many pixels so that every
  // conversion to int is defined and the painter never sees absurd values.
  static constexpr double WINDOW_LIMIT = 4194304.0;

  // viewport: left, bottom, width and height in window pixels.
  TViewProjector(const TMat4& rotation, const TMat4& projection, const int* viewport);

  TWindowPoint Project(const TVector3& p) const
  {
    const double qx = d_r[0] * p.x + d_r[1] * p.y + d_r[2] * p.z;
    const double qy = d_r[3] * p.x + d_r[4] * p.y + d_r[5] * p.z;
    return TWindowPoint{d_base_x + d_half_width * (d_sx * qx), d_base_y + d_half_height * (d_sy * qy)};
  }

  // The widget pixel (y down) of a window position.
  QPoint To_Pixel(const TWindowPoint& w) const
  {
    return QPoint(Truncate(w.x) - d_left, d_bottom - Truncate(w.y));
  }

  // The segment a-b in widget pixels, clipped to the window range when an end
  // lies beyond it; false when nothing of it is left or an end is not finite.
  bool To_Line(TWindowPoint a, TWindowPoint b, QLine* line) const
  {
    if(!In_Window_Range(a.x, a.y) || !In_Window_Range(b.x, b.y))
    {
      if(!Clip_To_Window_Range(&a.x, &a.y, &b.x, &b.y))
        return false;
    }
    *line = QLine(To_Pixel(a), To_Pixel(b));
    return true;
  }

  static bool In_Window_Range(double x, double y)
  {
    return x >= -WINDOW_LIMIT && x <= WINDOW_LIMIT && y >= -WINDOW_LIMIT && y <= WINDOW_LIMIT;
  }

  // Truncation toward zero, clamped to the window range; not-a-number goes to the low edge.
  static int Truncate(double value)
  {
    if(!(value >= -WINDOW_LIMIT))
      return -static_cast<int>(WINDOW_LIMIT);
    if(value > WINDOW_LIMIT)
      return static_cast<int>(WINDOW_LIMIT);
    return static_cast<int>(value);
  }

private:
  static bool Clip_To_Window_Range(double* ax, double* ay, double* bx, double* by);

  double d_r[6];
  double d_sx;
  double d_sy;
  double d_base_x;
  double d_base_y;
  double d_half_width;
  double d_half_height;
  int d_left;
  int d_bottom;
};

#endif
