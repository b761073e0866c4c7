#include "setresults.h"

#include <cassert>
#include <utility>

#include "measurementset.h"
#include "recordcheck.h"
#include "squaresearch.h"

namespace
{
TRecordRow Row_Of(const TMeasurement& record)
{
  TRecordRow row;
  row.name = record.Name();
  row.type = record.Type();
  row.position = record.Position();
  row.axis = record.Axis();
  row.nominal_length = record.Nominal_Length();
  row.actual_length = record.Actual_Length();
  row.fitted = Is_Fit_Usable(record);
  if(!row.fitted)
    row.problem = Problem_Text(Record_Problem(record));
  return row;
}
}

TSetResults Compute_Set_Results(const TMeasurementSet& set)
{
  TSetResults results;
  results.uncertainty = set.Settings().uncertainty;
  results.snapshot = Snapshot_Of(set.Fit_Records());
  results.fit = Fit_Square(results.snapshot);
  results.analysis = Analyse_Square(results.snapshot, results.fit, results.uncertainty);

  size_t fitted = 0;
  const std::vector<TMeasurement*> records = set.Records();
  results.rows.reserve(records.size());
  for(const TMeasurement* record : records)
  {
    TRecordRow row = Row_Of(*record);
    if(row.fitted)
    {
      assert(fitted < results.analysis.residuals.size());
      row.residual = results.analysis.residuals[fitted++];
      if(row.type == TMeasurement::MEASUREMENT_BALLBAR && results.fit.ballbar_count > 0)
        row.nominal_length = results.fit.ballbar_length;
      ++(row.type == TMeasurement::MEASUREMENT_BALLBAR ? results.ballbar_count : results.length_count);
    }
    results.rows.push_back(std::move(row));
  }
  assert(fitted == results.analysis.residuals.size());
  return results;
}

double Error_Value(const TFitResult& fit, TSquareError error)
{
  switch(error)
  {
    case SQUARE_ERROR_XY: return fit.xy_error;
    case SQUARE_ERROR_YZ: return fit.yz_error;
    case SQUARE_ERROR_ZX: return fit.zx_error;
  }
  assert(false);
  return 0.0;
}

bool Error_Valid(const TFitResult& fit, TSquareError error)
{
  switch(error)
  {
    case SQUARE_ERROR_XY: return fit.valid.xy;
    case SQUARE_ERROR_YZ: return fit.valid.yz;
    case SQUARE_ERROR_ZX: return fit.valid.zx;
  }
  assert(false);
  return false;
}

QString Error_Name(TSquareError error)
{
  static const char* const names[SQUARE_ERROR_COUNT] = {"XY", "YZ", "ZX"};
  return QString::fromLatin1(names[error]);
}

QString Kind_Name(TMeasurement::TMeasurementType type)
{
  return type == TMeasurement::MEASUREMENT_BALLBAR ? QStringLiteral("ballbar") : QStringLiteral("length");
}
