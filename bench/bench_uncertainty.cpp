// Uncertainty analysis of a fit: propagation, scatter and residuals of every
// record, for sets of growing size.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "allocationcount.h"
#include "squaremodel.h"
#include "uncertainty.h"

namespace
{
TSquareAxes Tilted_Axes()
{
  TSquareAxes axes;
  axes.x = TVector3(std::cos(0.00005), std::sin(0.00005), 0.0);
  axes.y = TVector3(0.0, std::cos(-0.00003), std::sin(-0.00003));
  axes.z = TVector3(std::sin(0.00002), 0.0, std::cos(0.00002));
  return axes;
}

// Ball bars along body and face diagonals and lengths along the axes, measured
// on a machine with small squareness errors, with noise.
TMeasurementSnapshot Measurement_Set(int count, const TSquareAxes& axes)
{
  std::mt19937 random(1234);
  std::normal_distribution<double> noise(0.0, 0.001);
  std::uniform_real_distribution<double> place(-400.0, 400.0);
  const TVector3 directions[] = {TVector3(1, 1, 1), TVector3(-1, 1, 1), TVector3(-1, -1, 1), TVector3(1, -1, 1),
                                 TVector3(1, 1, 0), TVector3(1, -1, 0), TVector3(0, 1, 1),   TVector3(0, 1, -1),
                                 TVector3(1, 0, 1), TVector3(1, 0, -1), TVector3(1, 0, 0),   TVector3(0, 1, 0),
                                 TVector3(0, 0, 1)};
  const int direction_count = sizeof(directions) / sizeof(directions[0]);

  TMeasurementSnapshot snapshot(static_cast<std::size_t>(count));
  for(int i = 0; i < count; ++i)
  {
    TVector3 u = directions[i % direction_count];
    u.Normal();
    const bool ball_bar = i % direction_count < 10;
    const double true_length = ball_bar ? 600.0 : 500.0 + 10.0 * (i % 7);
    const TVector3 corrected(axes.x ^ u, axes.y ^ u, axes.z ^ u);
    TMeasurementValues& record = snapshot[static_cast<std::size_t>(i)];
    record.type = ball_bar ? TMeasurement::MEASUREMENT_BALLBAR : TMeasurement::MEASUREMENT_LENGTH;
    record.axis = u;
    record.position = TVector3(place(random), place(random), place(random));
    record.actual_length = true_length / corrected.Length() + noise(random);
    record.nominal_length = true_length;
  }
  return snapshot;
}

void BM_Analyse_Square(benchmark::State& state)
{
  const TSquareAxes axes = Tilted_Axes();
  const TMeasurementSnapshot snapshot = Measurement_Set(static_cast<int>(state.range(0)), axes);
  TFitResult fit;
  fit.axes = axes;
  fit.valid = TEnabledErrors{true, true, true};
  fit.ballbar_length = 600.0;
  fit.ballbar_count = 1;
  const TUncertaintySettings settings;

  const long allocations_before = allocation_count;
  double expanded = 0.0;
  for(auto _ : state)
  {
    const TSquareAnalysis analysis = Analyse_Square(snapshot, fit, settings);
    expanded = analysis.errors[SQUARE_ERROR_XY].expanded.value_or(-1.0);
    benchmark::DoNotOptimize(expanded);
  }
  const double allocations = double(allocation_count - allocations_before) / double(state.iterations());

  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["allocations"] = allocations;
  state.counters["U_xy_mm_per_m"] = expanded;
  if(allocations > 1.0)
    state.SkipWithError("the analysis allocates more than the residual vector");
}
}

BENCHMARK(BM_Analyse_Square)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
