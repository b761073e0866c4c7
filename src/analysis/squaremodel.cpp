#include "squaremodel.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace
{
const double COS_30_DEGREES = 0.8660254037844387;

bool Covers(const TVector3& direction, const TMeasurementValues& values)
{
  return std::fabs(direction ^ values.axis) > COS_30_DEGREES;
}

TVector3 Unit(double x, double y, double z)
{
  TVector3 v(x, y, z);
  v.Normal();
  return v;
}

// Extremes of the lengths and of their deviations from nominal over the
// snapshot; the first record initialises all four.
template<class TLengthOf>
TLengthStatistics Gather_Statistics(const TMeasurementSnapshot& snapshot, TLengthOf length_of)
{
  TLengthStatistics statistics;
  bool first = true;
  for(const TMeasurementValues& values : snapshot)
  {
    const double length = length_of(values);
    const double error = length - values.nominal_length;
    if(first)
    {
      statistics = TLengthStatistics{length, length, error, error};
      first = false;
      continue;
    }
    statistics.min_length = std::min(statistics.min_length, length);
    statistics.max_length = std::max(statistics.max_length, length);
    statistics.min_error = std::min(statistics.min_error, error);
    statistics.max_error = std::max(statistics.max_error, error);
  }
  return statistics;
}
}

TMeasurementSnapshot Snapshot_Of(const std::vector<TMeasurement*>& records)
{
  TMeasurementSnapshot snapshot;
  snapshot.reserve(records.size());
  Append_Snapshot(records, 0, records.size(), &snapshot);
  return snapshot;
}

void Append_Snapshot(const std::vector<TMeasurement*>& records, size_t first, size_t end,
                     TMeasurementSnapshot* snapshot)
{
  assert(snapshot && first <= end && end <= records.size());
  for(size_t row = first; row < end; ++row)
  {
    const TMeasurement* record = records[row];
    assert(record);
    TMeasurementValues values;
    values.type = record->Type();
    values.position = record->Position();
    values.axis = record->Axis();
    values.nominal_length = record->Nominal_Length();
    values.actual_length = record->Actual_Length();
    snapshot->push_back(values);
  }
}

TMat4 Correction_Matrix(const TSquareAxes& axes)
{
  TMat4 correction;
  correction[0] = axes.x.x;
  correction[1] = axes.x.y;
  correction[2] = axes.x.z;
  correction[4] = axes.y.x;
  correction[5] = axes.y.y;
  correction[6] = axes.y.z;
  correction[8] = axes.z.x;
  correction[9] = axes.z.y;
  correction[10] = axes.z.z;
  return correction;
}

// The end points are those of TMeasurementValues::Start_Point and End_Point;
// the half line is computed once for both.
TVector3 Corrected_Line(const TMat4& correction, const TMeasurementValues& values)
{
  const TVector3 half_line = values.axis * (0.5 * values.actual_length);
  const TVector3 start = values.position - half_line;
  const TVector3 end = values.position + half_line;
  return correction * end - correction * start;
}

double Corrected_Length(const TMat4& correction, const TMeasurementValues& values)
{
  return Corrected_Line(correction, values).Length();
}

double Calculate_Error(const TMeasurementSnapshot& snapshot, const TSquareAxes& axes)
{
  const TMat4 correction = Correction_Matrix(axes);
  double sum = 0.0;
  for(const TMeasurementValues& values : snapshot)
  {
    const double deviation = Corrected_Length(correction, values) - values.nominal_length;
    sum += deviation * deviation;
  }
  if(!snapshot.empty())
    sum /= static_cast<double>(snapshot.size());
  return sum;
}

// With no ball bars neither the snapshot nor *length is touched.
int Update_Nominal_BallBar_Length(TMeasurementSnapshot* snapshot, const TSquareAxes& axes, double* length)
{
  assert(snapshot);
  const TMat4 correction = Correction_Matrix(axes);
  double sum = 0.0;
  int count = 0;
  for(const TMeasurementValues& values : *snapshot)
    if(values.type == TMeasurement::MEASUREMENT_BALLBAR)
    {
      sum += Corrected_Length(correction, values);
      ++count;
    }

  if(count == 0)
    return 0;
  const double mean = sum / count;
  for(TMeasurementValues& values : *snapshot)
    if(values.type == TMeasurement::MEASUREMENT_BALLBAR)
      values.nominal_length = mean;
  if(length)
    *length = mean;
  return count;
}

TLengthStatistics Initial_Statistics(const TMeasurementSnapshot& snapshot)
{
  return Gather_Statistics(snapshot, [](const TMeasurementValues& values) { return values.actual_length; });
}

TLengthStatistics Final_Statistics(const TMeasurementSnapshot& snapshot, const TSquareAxes& axes)
{
  const TMat4 correction = Correction_Matrix(axes);
  return Gather_Statistics(
    snapshot, [&correction](const TMeasurementValues& values) { return Corrected_Length(correction, values); });
}

TEnabledErrors Enable_Fields(const TMeasurementSnapshot& snapshot)
{
  TEnabledErrors enabled;

  const TVector3 body_diagonals[4] = {Unit(1.0, 1.0, 1.0), Unit(-1.0, 1.0, 1.0), Unit(-1.0, -1.0, 1.0),
                                      Unit(1.0, -1.0, 1.0)};
  bool body_marked[4] = {false, false, false, false};
  for(const TMeasurementValues& values : snapshot)
  {
    for(int i = 0; i < 4; ++i)
      body_marked[i] = body_marked[i] || Covers(body_diagonals[i], values);
    if(std::all_of(body_marked, body_marked + 4, [](bool marked) { return marked; }))
      return TEnabledErrors{true, true, true};
  }

  // Pairs of face diagonals: XY, YZ, ZX.
  const TVector3 face_diagonals[6] = {Unit(1.0, 1.0, 0.0), Unit(1.0, -1.0, 0.0), Unit(0.0, 1.0, 1.0),
                                      Unit(0.0, 1.0, -1.0), Unit(1.0, 0.0, 1.0), Unit(1.0, 0.0, -1.0)};
  bool face_marked[6] = {false, false, false, false, false, false};
  for(const TMeasurementValues& values : snapshot)
  {
    for(int i = 0; i < 6; ++i)
      face_marked[i] = face_marked[i] || Covers(face_diagonals[i], values);
    enabled.xy = face_marked[0] && face_marked[1];
    enabled.yz = face_marked[2] && face_marked[3];
    enabled.zx = face_marked[4] && face_marked[5];
    if(enabled.xy && enabled.yz && enabled.zx)
      break;
  }
  return enabled;
}
