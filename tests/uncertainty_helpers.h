// Shared by the uncertainty tests: the fit handed to the analysis, simulated
// machines with known squareness, measurement designs and checks.
#ifndef UNCERTAINTY_HELPERS_H
#define UNCERTAINTY_HELPERS_H

#include <QMetaType>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "measurement.h"
#include "squaremodel.h"
#include "squaresearch.h"
#include "uncertainty.h"

namespace uncertainty_test
{
const TMeasurement::TMeasurementType BALL_BAR = TMeasurement::MEASUREMENT_BALLBAR;
const TMeasurement::TMeasurementType LENGTH = TMeasurement::MEASUREMENT_LENGTH;

inline TSquareAxes Axes_Of(double xy, double yz, double zx) // mm/m
{
  TSquareAxes axes;
  axes.x = TVector3(std::cos(xy / 1000.0), std::sin(xy / 1000.0), 0.0);
  axes.y = TVector3(0.0, std::cos(yz / 1000.0), std::sin(yz / 1000.0));
  axes.z = TVector3(std::sin(zx / 1000.0), 0.0, std::cos(zx / 1000.0));
  return axes;
}

// The one place the tests run the fit: the program's own search on the snapshot.
inline TFitResult Fit(const TMeasurementSnapshot& snapshot)
{
  return Fit_Square(snapshot);
}

inline TVector3 Unit(const TVector3& v)
{
  TVector3 u(v);
  return u.Normal();
}

inline TMeasurementValues Record(TMeasurement::TMeasurementType type, const TVector3& direction, double actual,
                          double nominal, const TVector3& position = TVector3())
{
  TMeasurementValues record;
  record.type = type;
  record.axis = Unit(direction);
  record.position = position;
  record.actual_length = actual;
  record.nominal_length = nominal;
  return record;
}

// A machine whose axes are tilted by the given errors (mm/m).
struct TSimulatedMachine
{
  TSquareAxes axes;

  // Length the machine reports along a direction for a line of a true length.
  double Reported_Length(const TVector3& direction, double true_length) const
  {
    const TVector3 u = Unit(direction);
    return true_length / TVector3(axes.x ^ u, axes.y ^ u, axes.z ^ u).Length();
  }
};

// Independent corrected length at the given angles (rad).
inline double Reference_Length(double xy, double yz, double zx, const TMeasurementValues& record)
{
  const TSquareAxes a = Axes_Of(xy * 1000.0, yz * 1000.0, zx * 1000.0);
  const TVector3 line = record.axis * record.actual_length;
  return TVector3(a.x ^ line, a.y ^ line, a.z ^ line).Length();
}

const TVector3 FACE_DIAGONALS[6] = {TVector3(1, 1, 0), TVector3(1, -1, 0), TVector3(0, 1, 1),
                                    TVector3(0, 1, -1), TVector3(1, 0, 1), TVector3(1, 0, -1)};
const TVector3 BODY_DIAGONALS[4] = {TVector3(1, 1, 1), TVector3(-1, 1, 1), TVector3(-1, -1, 1), TVector3(1, -1, 1)};

inline TUncertaintySettings Uniform_Settings(double u_um)
{
  TUncertaintySettings settings;
  settings.ball_bar = TLengthUncertainty{u_um, 0.0};
  settings.length = TLengthUncertainty{u_um, 0.0};
  return settings;
}

inline bool Finite(const std::optional<double>& value)
{
  return !value || std::isfinite(*value);
}

inline bool All_Finite(const TSquareAnalysis& analysis)
{
  for(const TErrorUncertainty& error : analysis.errors)
    if(!Finite(error.expanded) || !Finite(error.stated) || !Finite(error.observed))
      return false;
  for(const TRecordResidual& r : analysis.residuals)
    if(!Finite(r.deviation_before) || !Finite(r.deviation_after) || !Finite(r.standard_uncertainty) ||
       !Finite(r.normalised))
      return false;
  return Finite(analysis.condition_number) && Finite(analysis.observed_scatter) && Finite(analysis.birge_ratio);
}

inline double Standard_Deviation(const std::vector<double>& values)
{
  double mean = 0.0;
  for(double v : values)
    mean += v / values.size();
  double sum = 0.0;
  for(double v : values)
    sum += (v - mean) * (v - mean);
  return std::sqrt(sum / (values.size() - 1));
}

enum TDesign
{
  XY_PAIR,
  YZ_PAIR,
  ZX_PAIR,
  BODY,
  LOPSIDED_XY // three lines along (1, 1, 0), one along (1, -1, 0)
};

inline TMeasurementSnapshot Exact_Design(TDesign design, TMeasurement::TMeasurementType type, double length)
{
  TMeasurementSnapshot snapshot;
  if(design == BODY)
    for(const TVector3& d : BODY_DIAGONALS)
      snapshot.push_back(Record(type, d, length, length, d * 37.0));
  else if(design == LOPSIDED_XY)
    for(int i = 0; i < 4; ++i)
      snapshot.push_back(Record(type, FACE_DIAGONALS[i / 3], length, length, TVector3(5, 6, 7) * i));
  else
    for(int i = 0; i < 2; ++i)
      snapshot.push_back(Record(type, FACE_DIAGONALS[2 * design + i], length, length, TVector3(10, -20, 30) * i));
  return snapshot;
}
}

Q_DECLARE_METATYPE(TVector3)
Q_DECLARE_METATYPE(uncertainty_test::TDesign)
Q_DECLARE_METATYPE(TMeasurement::TMeasurementType)

#endif
