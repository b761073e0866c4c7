#include "recordcheck.h"

#include <algorithm>
#include <cmath>

#include "measurement.h"

namespace
{
// Ball bars of one set agree within this share of their mean length.
const double BALLBAR_LENGTH_TOLERANCE = 0.01;

bool Is_Finite(const TVector3& v)
{
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool Beyond_Machine(const TVector3& v)
{
  return std::fabs(v.x) > MACHINE_LIMIT || std::fabs(v.y) > MACHINE_LIMIT || std::fabs(v.z) > MACHINE_LIMIT;
}

// A ball bar's nominal length is the fit's estimate, not the user's number.
bool Has_Own_Nominal(const TMeasurement& record)
{
  return record.Type() == TMeasurement::MEASUREMENT_LENGTH;
}
}

TRecordProblem Record_Problem(const TMeasurement& record)
{
  const bool own_nominal = Has_Own_Nominal(record);
  if(!Is_Finite(record.Position()) || !Is_Finite(record.Axis()) || !std::isfinite(record.Actual_Length()) ||
     (own_nominal && !std::isfinite(record.Nominal_Length())))
    return TRecordProblem::NOT_FINITE;
  if(!(record.Actual_Length() > 0.0) || (own_nominal && !(record.Nominal_Length() > 0.0)))
    return TRecordProblem::LENGTH_NOT_POSITIVE;
  if(Beyond_Machine(record.Position()) || record.Actual_Length() > MACHINE_LIMIT ||
     (own_nominal && record.Nominal_Length() > MACHINE_LIMIT))
    return TRecordProblem::OUTSIDE_MACHINE;
  return TRecordProblem::NONE;
}

bool Is_Fit_Usable(const TMeasurement& record)
{
  const TRecordProblem problem = Record_Problem(record);
  return problem != TRecordProblem::NOT_FINITE && problem != TRecordProblem::LENGTH_NOT_POSITIVE;
}

QString Problem_Text(TRecordProblem problem)
{
  switch(problem)
  {
    case TRecordProblem::NOT_FINITE:
      return QStringLiteral("not a finite number");
    case TRecordProblem::LENGTH_NOT_POSITIVE:
      return QStringLiteral("length not positive");
    case TRecordProblem::OUTSIDE_MACHINE:
      return QStringLiteral("beyond %1 mm").arg(MACHINE_LIMIT, 0, 'f', 0);
    case TRecordProblem::NONE:
      break;
  }
  return QString();
}

std::vector<const TMeasurement*> Ballbar_Length_Outliers(const std::vector<TMeasurement*>& records)
{
  std::vector<const TMeasurement*> ballbars;
  for(const TMeasurement* record : records)
    if(record->Type() == TMeasurement::MEASUREMENT_BALLBAR && Is_Fit_Usable(*record))
      ballbars.push_back(record);
  if(ballbars.size() < 2)
    return {};

  std::vector<double> lengths;
  double sum = 0.0;
  for(const TMeasurement* record : ballbars)
  {
    lengths.push_back(record->Actual_Length());
    sum += record->Actual_Length();
  }
  const double tolerance = BALLBAR_LENGTH_TOLERANCE * sum / static_cast<double>(lengths.size());
  const auto [shortest, longest] = std::minmax_element(lengths.begin(), lengths.end());
  if(!(*longest - *shortest > tolerance))
    return {};

  std::nth_element(lengths.begin(), lengths.begin() + static_cast<long>(lengths.size() / 2), lengths.end());
  const double median = lengths[lengths.size() / 2];
  std::vector<const TMeasurement*> outliers;
  for(const TMeasurement* record : ballbars)
    if(std::fabs(record->Actual_Length() - median) > tolerance)
      outliers.push_back(record);
  if(!outliers.empty())
    return outliers;

  // Spread out evenly, no single bar stands apart: name the two extremes.
  const auto by_length = [](const TMeasurement* a, const TMeasurement* b) {
    return a->Actual_Length() < b->Actual_Length();
  };
  const auto [first, last] = std::minmax_element(ballbars.begin(), ballbars.end(), by_length);
  return {*first, *last};
}
