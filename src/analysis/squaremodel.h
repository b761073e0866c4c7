// The squareness error model as plain functions of values: a snapshot of the
// measurement records, three fitted axis vectors, the corrected lengths, the
// mean squared error the search minimises, the ball-bar length estimate, the
// length and error statistics and the rule that decides which errors the
// measurement directions determine. Nothing here knows a record object or a
// thread; the solver thread, the tests, the benchmarks, the uncertainty
// analysis, the report and the command line all call the same functions.
#ifndef SQUAREMODEL_H
#define SQUAREMODEL_H

#include <cstdint>
#include <vector>

#include "mat4.h"
#include "measurement.h"
#include "vector3.h"

// What the fit needs of one record, copied from it in the GUI thread.
struct TMeasurementValues
{
  TMeasurement::TMeasurementType type = TMeasurement::MEASUREMENT_BALLBAR;
  TVector3 position;
  TVector3 axis{1.0, 0.0, 0.0};
  double nominal_length = 0.0;
  double actual_length = 0.0;

  // The ends of the measured line, computed as the record computes them.
  TVector3 Start_Point() const { return position - axis * (0.5 * actual_length); }
  TVector3 End_Point() const { return position + axis * (0.5 * actual_length); }
};

using TMeasurementSnapshot = std::vector<TMeasurementValues>;

// Copies the values of the records, in list order.
TMeasurementSnapshot Snapshot_Of(const std::vector<TMeasurement*>& records);
// Adds the values of records[first] to records[end - 1] to the snapshot.
void Append_Snapshot(const std::vector<TMeasurement*>& records, size_t first, size_t end,
                     TMeasurementSnapshot* snapshot);

// The machine's axis directions as the fit sees them; X stays in the XY plane,
// Y in the YZ plane and Z in the ZX plane. Unit axes mean a square machine.
struct TSquareAxes
{
  TVector3 x{1.0, 0.0, 0.0};
  TVector3 y{0.0, 1.0, 0.0};
  TVector3 z{0.0, 0.0, 1.0};
};

// Extremes of the lengths and of their deviations from nominal, mm.
struct TLengthStatistics
{
  double min_length = 0.0;
  double max_length = 0.0;
  double min_error = 0.0;
  double max_error = 0.0;
};

// Which of the three errors the measurement directions determine.
struct TEnabledErrors
{
  bool xy = false;
  bool yz = false;
  bool zx = false;
};

// The outcome of one complete fit, published as one value.
struct TFitResult
{
  // Squareness errors in mm/m in the solver's own sign; 0 when not valid.
  double xy_error = 0.0;
  double yz_error = 0.0;
  double zx_error = 0.0;
  TEnabledErrors valid;

  // False for an empty set: then both statistics are zero and meaningless.
  bool has_statistics = false;
  TLengthStatistics initial_statistics;
  TLengthStatistics final_statistics;

  // The fitted axes; the final statistics and the deviations after the fit
  // are taken at these.
  TSquareAxes axes;
  // The estimated ball-bar length written into every ball-bar record (the one
  // set at the start of the last pass, which the final statistics use), and
  // how many ball bars it is the mean of. No estimate when the count is 0.
  double ballbar_length = 0.0;
  int ballbar_count = 0;

  // The number of the hand-over this fit was made for (TCalculateSquare).
  std::uint64_t serial = 0;
};

// Rows X, Y, Z: applied to a machine point it gives the corrected point.
TMat4 Correction_Matrix(const TSquareAxes& axes);
// The record's line between its corrected end points, and its length.
TVector3 Corrected_Line(const TMat4& correction, const TMeasurementValues& values);
double Corrected_Length(const TMat4& correction, const TMeasurementValues& values);
// Mean of the squared deviations (corrected minus nominal length) over all
// records; 0 for an empty snapshot.
double Calculate_Error(const TMeasurementSnapshot& snapshot, const TSquareAxes& axes);
// Mean corrected length of the ball bars, written as the nominal length of
// every ball bar of the snapshot; returns how many there are (nothing is
// written when there are none). *length, if given, receives the mean.
int Update_Nominal_BallBar_Length(TMeasurementSnapshot* snapshot, const TSquareAxes& axes, double* length = nullptr);
// Statistics of the actual lengths as they stand, and of the corrected lengths at the axes.
TLengthStatistics Initial_Statistics(const TMeasurementSnapshot& snapshot);
TLengthStatistics Final_Statistics(const TMeasurementSnapshot& snapshot, const TSquareAxes& axes);
// The four body diagonals determine all three errors; otherwise each plane's
// error needs both of its face diagonals (within 30 degrees, either sense).
TEnabledErrors Enable_Fields(const TMeasurementSnapshot& snapshot);

#endif
