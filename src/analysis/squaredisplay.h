// How the window, the report and the command line show a squareness error and
// its uncertainty: in a maker's sign convention and a chosen unit, with as
// many decimals as the unit needs to keep the 0.1 µm/m that mm/m shows with
// four decimals. An error the fit did not determine shows as "----".
#ifndef SQUAREDISPLAY_H
#define SQUAREDISPLAY_H

#include <QString>
#include <optional>

#include "angleunit.h"
#include "uncertainty.h"

// Text of a value that does not exist.
extern const QString NOT_AVAILABLE_TEXT;

// Decimals of an error shown in the unit: 4 for mm/m, 1 for µm/m and µrad,
// 2 for arc seconds.
int Angle_Unit_Decimals(TAngleUnit unit);

// The solver's error (mm/m, its own sign) in the convention's sign (index
// into Sign_Conventions()) and the unit.
double Displayed_Error(double value, TSquareError error, int convention, TAngleUnit unit);

// The displayed error as text, or NOT_AVAILABLE_TEXT when not valid.
QString Error_Text(double value, bool valid, TSquareError error, int convention, TAngleUnit unit);

// An uncertainty (mm/m, no sign) in the unit as text, or NOT_AVAILABLE_TEXT.
QString Uncertainty_Text(const std::optional<double>& value, TAngleUnit unit);

// A ratio such as the Birge ratio, with three decimals, or NOT_AVAILABLE_TEXT.
QString Ratio_Text(const std::optional<double>& value);

#endif
