#include "uncertainty_model.h"

// With c the corrected line and d the measured one, c = (X·d, Y·d, Z·d) and
// d|c|/dxy = (c.x / |c|) (dX/dxy · d), where turning X by dxy gives
// dX/dxy = (-X.y, X.x, 0); likewise dY/dyz = (0, -Y.z, Y.y) and
// dZ/dzx = (Z.z, 0, -Z.x).
TLengthDerivatives Length_Derivatives(const TSquareAxes& axes, const TMat4& correction,
                                      const TMeasurementValues& record)
{
  const TVector3 corrected = Corrected_Line(correction, record);
  const TVector3 line = record.axis * record.actual_length;

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

TLengthDerivatives Length_Derivatives(const TSquareAxes& axes, const TMeasurementValues& record)
{
  return Length_Derivatives(axes, Correction_Matrix(axes), record);
}
