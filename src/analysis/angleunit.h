// Units in which a squareness error or its uncertainty is shown. The program
// computes in mm/m (the angle in radians times 1000); the window and the
// command line convert for display only.
#ifndef ANGLEUNIT_H
#define ANGLEUNIT_H

#include <optional>
#include <string>

enum TAngleUnit
{
  ANGLE_UNIT_MM_PER_M = 0,
  ANGLE_UNIT_UM_PER_M = 1,
  ANGLE_UNIT_MICRORADIAN = 2,
  ANGLE_UNIT_ARC_SECOND = 3
};

const TAngleUnit DEFAULT_ANGLE_UNIT = ANGLE_UNIT_MM_PER_M;
const int ANGLE_UNIT_COUNT = 4;

// How many of the unit make 1 mm/m: 1, 1000, 1000, 206.264806...
double Angle_Unit_Per_Mm_Per_M(TAngleUnit unit);
// A value in mm/m expressed in the unit.
double Convert_From_Mm_Per_M(double value, TAngleUnit unit);
// Label shown next to a number (UTF-8): "mm/m", "µm/m", "µrad", "arcsec".
const char* Angle_Unit_Label(TAngleUnit unit);
// Name on the command line (ASCII): "mm/m", "um/m", "urad", "arcsec".
const char* Angle_Unit_Name(TAngleUnit unit);
// The unit of a command-line name; nothing for an unknown name.
std::optional<TAngleUnit> Angle_Unit_From_Name(const std::string& name);

#endif
