#include "angleunit.h"

#include <cassert>

namespace
{
// 1 mm/m is 1e-3 rad; one radian is 180 * 3600 / pi arc seconds.
const double ARC_SECONDS_PER_MM_PER_M = 180.0 * 3600.0 / 3.14159265358979323846 / 1000.0;

struct TUnitText
{
  TAngleUnit unit;
  const char* label;
  const char* name;
};

const TUnitText UNIT_TEXTS[ANGLE_UNIT_COUNT] = {{ANGLE_UNIT_MM_PER_M, "mm/m", "mm/m"},
                                                {ANGLE_UNIT_UM_PER_M, "\xC2\xB5m/m", "um/m"},
                                                {ANGLE_UNIT_MICRORADIAN, "\xC2\xB5rad", "urad"},
                                                {ANGLE_UNIT_ARC_SECOND, "arcsec", "arcsec"}};

const TUnitText& Text_Of(TAngleUnit unit)
{
  for(const TUnitText& text : UNIT_TEXTS)
    if(text.unit == unit)
      return text;
  assert(false);
  return UNIT_TEXTS[0];
}
}

double Angle_Unit_Per_Mm_Per_M(TAngleUnit unit)
{
  switch(unit)
  {
    case ANGLE_UNIT_MM_PER_M: return 1.0;
    case ANGLE_UNIT_UM_PER_M: return 1000.0;
    case ANGLE_UNIT_MICRORADIAN: return 1000.0;
    case ANGLE_UNIT_ARC_SECOND: return ARC_SECONDS_PER_MM_PER_M;
  }
  assert(false);
  return 1.0;
}

double Convert_From_Mm_Per_M(double value, TAngleUnit unit)
{
  return value * Angle_Unit_Per_Mm_Per_M(unit);
}

const char* Angle_Unit_Label(TAngleUnit unit)
{
  return Text_Of(unit).label;
}

const char* Angle_Unit_Name(TAngleUnit unit)
{
  return Text_Of(unit).name;
}

std::optional<TAngleUnit> Angle_Unit_From_Name(const std::string& name)
{
  for(const TUnitText& text : UNIT_TEXTS)
    if(name == text.name)
      return text.unit;
  return std::nullopt;
}
