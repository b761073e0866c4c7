#include "uncertainty_model.h"

#include <cmath>

namespace
{
// The corrected line: each component is one axis applied to both ends, in the
// order of operations of the correction matrix applied to a point.
TVector3 Corrected_Line(const TSquareAxes& axes, const TVector3& start, const TVector3& end)
{
  return TVector3((axes.x ^ end) - (axes.x ^ start), (axes.y ^ end) - (axes.y ^ start),
                  (axes.z ^ end) - (axes.z ^ start));
}
}

double Corrected_Record_Length(const TSquareAxes& axes, const TMeasurementValues& record)
{
  return Corrected_Line(axes, record.Start_Point(), record.End_Point()).Length();
}

// With c the corrected line and d the measured one, c = (X·d, Y·d, Z·d) and
// d|c|/dxy = (c.x / |c|) (dX/dxy · d), where turning X by dxy gives
// dX/dxy = (-X.y, X.x, 0); likewise dY/dyz = (0, -Y.z, Y.y) and
// dZ/dzx = (Z.z, 0, -Z.x).
TLengthDerivatives Length_Derivatives(const TSquareAxes& axes, const TMeasurementValues& record)
{
  const TVector3 start = record.Start_Point();
  const TVector3 end = record.End_Point();
  const TVector3 corrected = Corrected_Line(axes, start, end);
  const TVector3 line = end - start;

  TLengthDerivatives derivatives;
  derivatives.corrected_length = corrected.Length();
  if(!(derivatives.corrected_length > 0.0))
    return derivatives;

  const double inverse_length = 1.0 / derivatives.corrected_length;
  const TSquareAxes& a = axes;
  derivatives.xy = corrected.x * inverse_length * (-a.x.y * line.x + a.x.x * line.y);
  derivatives.yz = corrected.y * inverse_length * (-a.y.z * line.y + a.y.y * line.z);
  derivatives.zx = corrected.z * inverse_length * (a.z.z * line.x - a.z.x * line.z);
  return derivatives;
}
