#include "squaresearch.h"

#include <cmath>
#include <limits>
#include <utility>

namespace
{
const double INITIAL_STEP = 1e-4;
const double FINAL_STEP = 1e-9;

// Upper bound on the steps of one line search. An ordinary fit moves an axis
// by a few hundred steps at most; the bound only ends searches that absurd
// data (huge or infinite lengths) would otherwise drive towards a right angle.
const int MAXIMUM_LINE_SEARCH_STEPS = 1000000;

// The changed component moves by at most one step from a unit vector, so the
// length stays near 1; the check only guards against a vector that cannot be
// normalised (zero or not finite), which is then left as it is instead of
// stopping the program.
void Normalise_Axis(TVector3* axis)
{
  if(axis->Length() > std::numeric_limits<double>::epsilon())
    axis->Normal();
}
}

TSquareSearch::TSquareSearch(TInterrupted interrupted) : d_interrupted(std::move(interrupted))
{
}

void TSquareSearch::Restart(TMeasurementSnapshot snapshot)
{
  d_snapshot = std::move(snapshot);
  d_enabled = Enable_Fields(d_snapshot);
  d_axes = TSquareAxes();

  d_ballbar_length = 0.0;
  Update_Ballbar_Length();
  d_initial_statistics = Initial_Statistics(d_snapshot);
  d_best_error = Calculate_Error(d_snapshot, d_axes);

  d_step = INITIAL_STEP;
  d_direction_xy = 1.0;
  d_direction_yz = 1.0;
  d_direction_zx = 1.0;
}

void TSquareSearch::Run_Pass()
{
  Update_Ballbar_Length();
  if(d_enabled.xy)
    Line_Search(&d_axes.x, &TVector3::y, &d_direction_xy);
  if(d_enabled.yz)
    Line_Search(&d_axes.y, &TVector3::z, &d_direction_yz);
  if(d_enabled.zx)
    Line_Search(&d_axes.z, &TVector3::x, &d_direction_zx);
  d_step *= 0.5;
}

bool TSquareSearch::Converged() const
{
  return d_step < FINAL_STEP;
}

TFitResult TSquareSearch::Result() const
{
  TFitResult result;
  result.xy_error = std::atan(d_axes.x.y / d_axes.x.x) * 1000.0;
  result.yz_error = std::atan(d_axes.y.z / d_axes.y.y) * 1000.0;
  result.zx_error = std::atan(d_axes.z.x / d_axes.z.z) * 1000.0;
  result.valid = d_enabled;

  result.has_statistics = !d_snapshot.empty();
  result.initial_statistics = d_initial_statistics;
  result.final_statistics = Final_Statistics(d_snapshot, d_axes);

  result.axes = d_axes;
  result.ballbar_length = d_ballbar_length;
  result.ballbar_count = d_ballbar_count;
  return result;
}

void TSquareSearch::Update_Ballbar_Length()
{
  d_ballbar_count = Update_Nominal_BallBar_Length(&d_snapshot, d_axes, &d_ballbar_length);
}

// Moves one component of an axis while the error keeps falling, then steps
// back once and reverses the direction for the next pass. The search gives up
// early when the fit is to be abandoned anyway.
void TSquareSearch::Line_Search(TVector3* axis, double TVector3::*component, double* direction)
{
  for(int steps = 1;; ++steps)
  {
    axis->*component += *direction * d_step;
    Normalise_Axis(axis);
    const double error = Calculate_Error(d_snapshot, d_axes);
    if(!(error < d_best_error) || steps >= MAXIMUM_LINE_SEARCH_STEPS || (d_interrupted && d_interrupted()))
      break;
    d_best_error = error;
  }

  axis->*component -= *direction * d_step;
  Normalise_Axis(axis);
  d_best_error = Calculate_Error(d_snapshot, d_axes);
  *direction = -*direction;
}

TFitResult Fit_Square(TMeasurementSnapshot snapshot)
{
  TSquareSearch search;
  search.Restart(std::move(snapshot));
  while(!search.Converged())
    search.Run_Pass();
  return search.Result();
}
