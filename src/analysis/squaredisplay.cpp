#include "squaredisplay.h"

#include <cassert>

#include "fixedtext.h"
#include "signconvention.h"

const QString NOT_AVAILABLE_TEXT = QStringLiteral("----");

int Angle_Unit_Decimals(TAngleUnit unit)
{
  switch(unit)
  {
    case ANGLE_UNIT_MM_PER_M: return 4;
    case ANGLE_UNIT_UM_PER_M: return 1;
    case ANGLE_UNIT_MICRORADIAN: return 1;
    case ANGLE_UNIT_ARC_SECOND: return 2;
  }
  assert(false);
  return 4;
}

double Displayed_Error(double value, TSquareError error, int convention, TAngleUnit unit)
{
  const auto& conventions = Sign_Conventions();
  assert(convention >= 0 && convention < int(conventions.size()));
  const int sign = conventions[size_t(convention)].signs[size_t(error)];
  return Convert_From_Mm_Per_M(sign > 0 ? value : -value, unit);
}

QString Error_Text(double value, bool valid, TSquareError error, int convention, TAngleUnit unit)
{
  if(!valid)
    return NOT_AVAILABLE_TEXT;
  return Fixed_Text(Displayed_Error(value, error, convention, unit), Angle_Unit_Decimals(unit));
}

QString Uncertainty_Text(const std::optional<double>& value, TAngleUnit unit)
{
  if(!value)
    return NOT_AVAILABLE_TEXT;
  return Fixed_Text(Convert_From_Mm_Per_M(*value, unit), Angle_Unit_Decimals(unit));
}

QString Ratio_Text(const std::optional<double>& value)
{
  return value ? Fixed_Text(*value, 3) : NOT_AVAILABLE_TEXT;
}
