#include "viewprojector.h"

#include <algorithm>
#include <cmath>

// Only the first two rotation rows matter: depth plays no part in an orthographic view.
TViewProjector::TViewProjector(const TMat4& rotation, const TMat4& projection, const int* viewport)
{
  for(int row = 0; row < 2; ++row)
    for(int column = 0; column < 3; ++column)
      d_r[3 * row + column] = rotation[4 * row + column];
  d_sx = projection[0];
  d_sy = projection[5];
  d_half_width = viewport[2] * 0.5;
  d_half_height = viewport[3] * 0.5;
  d_base_x = viewport[0] + d_half_width + d_half_width * projection[12];
  d_base_y = viewport[1] + d_half_height + d_half_height * projection[13];
  d_left = viewport[0];
  d_bottom = viewport[3] + viewport[1];
}

// Liang-Barsky clipping of the segment a-b to the square window range.
bool TViewProjector::Clip_To_Window_Range(double* ax, double* ay, double* bx, double* by)
{
  if(!std::isfinite(*ax) || !std::isfinite(*ay) || !std::isfinite(*bx) || !std::isfinite(*by))
    return false;

  const double dx = *bx - *ax;
  const double dy = *by - *ay;
  double t0 = 0.0;
  double t1 = 1.0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {*ax + WINDOW_LIMIT, WINDOW_LIMIT - *ax, *ay + WINDOW_LIMIT, WINDOW_LIMIT - *ay};
  for(int i = 0; i < 4; ++i)
  {
    if(p[i] == 0.0)
    {
      if(q[i] < 0.0)
        return false;
      continue;
    }
    const double t = q[i] / p[i];
    if(p[i] < 0.0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
  }
  if(!(t0 <= t1))
    return false;

  const double start_x = *ax + t0 * dx;
  const double start_y = *ay + t0 * dy;
  *bx = *ax + t1 * dx;
  *by = *ay + t1 * dy;
  *ax = start_x;
  *ay = start_y;
  return true;
}
