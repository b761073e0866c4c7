// The step-halving search that fits the three axis tilts to a snapshot: each
// pass re-estimates the ball-bar length and then moves, in turn, the Y
// component of X, the Z component of Y and the X component of Z (those the
// measurement directions determine) while the mean squared error falls,
// halving the step after every pass until it is below 1e-9.
#ifndef SQUARESEARCH_H
#define SQUARESEARCH_H

#include <functional>

#include "squaremodel.h"

class TSquareSearch
{
public:
  // Asked after every improving step of a line search; true ends the line
  // search at once (the pass still completes). The thread uses it to abandon
  // a fit that is to be stopped or restarted anyway.
  using TInterrupted = std::function<bool()>;

  explicit TSquareSearch(TInterrupted interrupted = TInterrupted());

  // Starts a new fit of the snapshot from a square machine.
  void Restart(TMeasurementSnapshot snapshot);
  // One pass over the enabled errors, then the step is halved.
  void Run_Pass();
  // True once the step is below its final size (and before the first Restart).
  bool Converged() const;

  // The fit as it stands; serial is left 0 for the caller to set.
  TFitResult Result() const;
  // The snapshot with the ball-bar nominal lengths of the last estimate.
  const TMeasurementSnapshot& Snapshot() const { return d_snapshot; }

private:
  void Line_Search(TVector3* axis, double TVector3::*component, double* direction);
  void Update_Ballbar_Length();

  TInterrupted d_interrupted;
  TMeasurementSnapshot d_snapshot;
  TEnabledErrors d_enabled;
  TSquareAxes d_axes;
  TLengthStatistics d_initial_statistics;
  double d_ballbar_length = 0.0;
  int d_ballbar_count = 0;
  double d_best_error = 0.0;
  double d_step = 0.0;
  double d_direction_xy = 1.0;
  double d_direction_yz = 1.0;
  double d_direction_zx = 1.0;
};

// One complete fit of the snapshot in the calling thread: restart, passes
// until converged, result (serial 0).
TFitResult Fit_Square(TMeasurementSnapshot snapshot);

#endif
