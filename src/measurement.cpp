#include "measurement.h"

TMeasurement::~TMeasurement() = default;
TMeasurementBallBar::~TMeasurementBallBar() = default;
TMeasurementLength::~TMeasurementLength() = default;

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
  if(d_axis.Length() > 1e-6)
    d_axis.Normal();
  else
    d_axis = TVector3(1.0, 0.0, 0.0);
}
