#include "projectsettings.h"

#include <cmath>

double TLengthUncertainty::Of_Length(double length) const
{
  const double proportional = proportional_um_per_m * length / 1000.0;
  return std::sqrt(constant_um * constant_um + proportional * proportional) / 1000.0;
}

bool TLengthUncertainty::Is_Valid() const
{
  return std::isfinite(constant_um) && constant_um >= 0.0 && std::isfinite(proportional_um_per_m) &&
         proportional_um_per_m >= 0.0;
}

bool operator==(const TLengthUncertainty& a, const TLengthUncertainty& b)
{
  return a.constant_um == b.constant_um && a.proportional_um_per_m == b.proportional_um_per_m;
}

bool operator!=(const TLengthUncertainty& a, const TLengthUncertainty& b)
{
  return !(a == b);
}

const TLengthUncertainty& TUncertaintySettings::Of_Type(TMeasurement::TMeasurementType type) const
{
  return type == TMeasurement::MEASUREMENT_BALLBAR ? ball_bar : length;
}

bool TUncertaintySettings::Is_Default() const
{
  return *this == TUncertaintySettings();
}

bool operator==(const TUncertaintySettings& a, const TUncertaintySettings& b)
{
  return a.ball_bar == b.ball_bar && a.length == b.length;
}

bool operator!=(const TUncertaintySettings& a, const TUncertaintySettings& b)
{
  return !(a == b);
}

bool TProjectSettings::Is_Default() const
{
  return uncertainty.Is_Default() && information.Is_Empty();
}

bool operator==(const TProjectSettings& a, const TProjectSettings& b)
{
  return a.uncertainty == b.uncertainty && a.information == b.information;
}

bool operator!=(const TProjectSettings& a, const TProjectSettings& b)
{
  return !(a == b);
}
