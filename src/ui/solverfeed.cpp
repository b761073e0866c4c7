#include "solverfeed.h"

#include <algorithm>
#include <cassert>
#include <utility>

#include "calculatesquare.h"
#include "uihelpers.h"

TSolverFeed::TSolverFeed(TCalculateSquare* solver, QObject* parent) : QObject(parent), d_solver(solver)
{
  assert(solver);
  Run_Next_Turn(&d_timer, this, &TSolverFeed::Copy_Next_Slice);
}

void TSolverFeed::Hand_Over(std::vector<TMeasurement*> records, const TUncertaintySettings& settings)
{
  d_timer.stop();
  d_snapshot = TMeasurementSnapshot();
  if(records.size() <= SLICE)
  {
    d_records.clear();
    d_solver->Set_Measurement_Data(records, settings);
    return;
  }
  d_solver->Invalidate_Data();
  d_records = std::move(records);
  d_settings = settings;
  d_snapshot.reserve(d_records.size());
  d_timer.start();
}

void TSolverFeed::Copy_Next_Slice()
{
  const size_t end = std::min(d_snapshot.size() + SLICE, d_records.size());
  Append_Snapshot(d_records, d_snapshot.size(), end, &d_snapshot);
  if(end < d_records.size())
  {
    d_timer.start();
    return;
  }
  d_records.clear();
  d_solver->Set_Snapshot(std::move(d_snapshot), d_settings);
  d_snapshot = TMeasurementSnapshot();
}
