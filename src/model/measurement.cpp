#include "measurement.h"

#include <algorithm>
#include <cassert>
#include <cmath>

TMeasurement::~TMeasurement() = default;
TMeasurementBallBar::~TMeasurementBallBar() = default;
TMeasurementLength::~TMeasurementLength() = default;

std::unique_ptr<TMeasurement> TMeasurementBallBar::Clone() const
{
  return std::make_unique<TMeasurementBallBar>(*this);
}

std::unique_ptr<TMeasurement> TMeasurementLength::Clone() const
{
  return std::make_unique<TMeasurementLength>(*this);
}

void TMeasurement::Set_Values(const TMeasurement& other)
{
  assert(other.d_type == d_type);
  d_name = other.d_name;
  d_position = other.d_position;
  d_axis = other.d_axis;
  d_nominal_length = other.d_nominal_length;
  d_actual_length = other.d_actual_length;
  Set_Draw_Offset(other.Draw_Offset());
}

void TMeasurement::Set_Axis(const TVector3& axis)
{
  if(&axis != &d_axis)
    d_axis = axis;
  Normalise_Axis();
}

void TMeasurement::Set_Start_End_Points(const TVector3& start, const TVector3& end)
{
  d_axis = end - start;
  d_position = (start + end) / 2.0;
  Normalise_Axis();
}

void TMeasurement::Normalise_Axis()
{
  const double length = d_axis.Length();
  if(std::isinf(length))
    Rescale_Huge_Axis();
  if(d_axis.Length() > 1e-6)
    d_axis.Normal();
  else
    d_axis = TVector3(1.0, 0.0, 0.0);
}

// Components whose squares overflow are brought into range first, so that
// a direction such as (1e300, 1e300, 0) keeps its meaning. Infinite or
// undefined components leave no direction: the axis falls back to X.
void TMeasurement::Rescale_Huge_Axis()
{
  const double largest = std::max({std::fabs(d_axis.x), std::fabs(d_axis.y), std::fabs(d_axis.z)});
  if(std::isfinite(largest))
    d_axis /= largest;
  else
    d_axis = TVector3();
}
