#include "recordcheck.h"

#include <algorithm>
#include <cmath>

#include "measurement.h"
#include "measurementset.h"

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

bool Is_Usable_Ballbar(const TMeasurement& record)
{
  return record.Type() == TMeasurement::MEASUREMENT_BALLBAR && Is_Fit_Usable(record);
}

// The usable ball bars' count and the sum, the least and the greatest of their actual lengths.
struct TLengthSpread
{
  size_t count = 0;
  double sum = 0.0;
  double shortest = 0.0;
  double longest = 0.0;
};

TLengthSpread Ballbar_Length_Spread(const TMeasurementSet& set)
{
  TLengthSpread spread;
  for(int row = 0; row < set.Count(); ++row)
  {
    const TMeasurement& record = *set.At(row);
    if(!Is_Usable_Ballbar(record))
      continue;
    const double length = record.Actual_Length();
    spread.shortest = spread.count == 0 ? length : std::min(spread.shortest, length);
    spread.longest = spread.count == 0 ? length : std::max(spread.longest, length);
    spread.sum += length;
    ++spread.count;
  }
  return spread;
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

std::vector<const TMeasurement*> Ballbar_Length_Outliers(const TMeasurementSet& set)
{
  const TLengthSpread spread = Ballbar_Length_Spread(set);
  if(spread.count < 2)
    return {};
  const double tolerance = BALLBAR_LENGTH_TOLERANCE * spread.sum / static_cast<double>(spread.count);
  if(!(spread.longest - spread.shortest > tolerance))
    return {};

  std::vector<const TMeasurement*> ballbars;
  std::vector<double> lengths;
  ballbars.reserve(spread.count);
  lengths.reserve(spread.count);
  for(int row = 0; row < set.Count(); ++row)
  {
    const TMeasurement* record = set.At(row);
    if(Is_Usable_Ballbar(*record))
    {
      ballbars.push_back(record);
      lengths.push_back(record->Actual_Length());
    }
  }
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
