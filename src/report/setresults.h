// The results of a measurement set computed at once, in the calling thread,
// exactly as the window's solver computes them: the snapshot of the records
// the fit may use (TMeasurementSet::Fit_Records), Fit_Square and
// Analyse_Square. The report, the CSV export and the command line write
// from this one value, so they agree with the window to the last digit.
#ifndef SETRESULTS_H
#define SETRESULTS_H

#include <QString>
#include <vector>

#include "angleunit.h"
#include "measurement.h"
#include "projectsettings.h"
#include "signconvention.h"
#include "squaremodel.h"
#include "uncertainty.h"

class TMeasurementSet;

// One record of the set as the results show it.
struct TRecordRow
{
  QString name;
  TMeasurement::TMeasurementType type = TMeasurement::MEASUREMENT_BALLBAR;
  TVector3 position;
  TVector3 axis;
  // A ball bar's nominal length is the fit's estimate when it was fitted.
  double nominal_length = 0.0;
  double actual_length = 0.0;
  // False for a record left out of the fit; `problem` then says why and the
  // residual is empty.
  bool fitted = true;
  QString problem;
  TRecordResidual residual;
};

struct TSetResults
{
  std::vector<TRecordRow> rows;
  // What was fitted and analysed.
  TMeasurementSnapshot snapshot;
  TFitResult fit;
  TSquareAnalysis analysis;
  TUncertaintySettings uncertainty;
  // Records of each kind in the fit.
  int ballbar_count = 0;
  int length_count = 0;
};

// How errors are shown: a sign convention (index into Sign_Conventions()) and a unit.
struct TResultsDisplay
{
  int sign_convention = DEFAULT_SIGN_CONVENTION;
  TAngleUnit unit = DEFAULT_ANGLE_UNIT;
};

TSetResults Compute_Set_Results(const TMeasurementSet& set);

// The solver's error of the plane in mm/m (its own sign, 0 when not valid) and whether it is valid.
double Error_Value(const TFitResult& fit, TSquareError error);
bool Error_Valid(const TFitResult& fit, TSquareError error);
// "XY", "YZ", "ZX".
QString Error_Name(TSquareError error);
// "ballbar" or "length".
QString Kind_Name(TMeasurement::TMeasurementType type);

#endif
