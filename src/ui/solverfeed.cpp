#include "solverfeed.h"

#include <cassert>
#include <utility>

#include "calculatesquare.h"
#include "measurementset.h"
#include "recordcheck.h"
#include "uihelpers.h"

TSolverFeed::TSolverFeed(TCalculateSquare* solver, const TMeasurementSet* document, QObject* parent)
  : QObject(parent), d_solver(solver), d_document(document)
{
  assert(solver && document);
  Run_Next_Turn(&d_timer, this, &TSolverFeed::Copy_Next_Slice);
}

void TSolverFeed::Hand_Over()
{
  d_timer.stop();
  d_snapshot = TMeasurementSnapshot();
  d_left_out.clear();
  d_fed.clear();
  d_settings = d_document->Settings().uncertainty;
  const size_t count = static_cast<size_t>(d_document->Count());
  if(count <= SLICE)
  {
    d_feeding = false;
    d_fed = d_document->Fit_Records(&d_left_out);
    d_solver->Set_Measurement_Data(d_fed, d_settings);
    emit Left_Out_Named(d_left_out);
    return;
  }
  d_solver->Invalidate_Data();
  d_feeding = true;
  d_next_row = 0;
  d_fed.reserve(count);
  d_snapshot.reserve(count);
  d_timer.start();
}

void TSolverFeed::Copy_Next_Slice()
{
  const size_t count = static_cast<size_t>(d_document->Count());
  d_next_row = Work_For_A_Slice(d_next_row, count, COPY_CHUNK,
                                [this](size_t first, size_t end) { Take_Rows(first, end); });
  if(d_next_row < count)
  {
    d_timer.start();
    return;
  }
  d_feeding = false;
  d_solver->Set_Snapshot(std::move(d_snapshot), d_settings);
  d_snapshot = TMeasurementSnapshot();
  emit Left_Out_Named(d_left_out);
}

// The usable records of the rows join the fit's records and their values the
// copy; the others are named.
void TSolverFeed::Take_Rows(size_t first, size_t end)
{
  const size_t fed = d_fed.size();
  for(size_t row = first; row < end; ++row)
  {
    TMeasurement* record = d_document->At(static_cast<int>(row));
    if(Is_Fit_Usable(*record))
      d_fed.push_back(record);
    else
      d_left_out << record->Name();
  }
  Append_Snapshot(d_fed, fed, d_fed.size(), &d_snapshot);
}
