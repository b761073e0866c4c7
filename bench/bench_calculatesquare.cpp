// Squareness fit: one complete fit of a snapshot, and one error evaluation per record.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "allocationcount.h"
#include "measurement.h"
#include "squaremodel.h"
#include "squaresearch.h"

namespace
{
// Records of a machine with small squareness errors, measured with ball bars
// along body and face diagonals and with a laser along the axes, plus noise.
class TMeasurementSet
{
public:
  explicit TMeasurementSet(int count)
  {
    std::mt19937 random(1234);
    std::normal_distribution<double> noise(0.0, 0.001);
    std::uniform_real_distribution<double> place(-400.0, 400.0);
    const TVector3 x(std::cos(0.00005), std::sin(0.00005), 0.0);
    const TVector3 y(0.0, std::cos(-0.00003), std::sin(-0.00003));
    const TVector3 z(std::sin(0.00002), 0.0, std::cos(0.00002));
    const TVector3 directions[] = {TVector3(1, 1, 1),  TVector3(-1, 1, 1), TVector3(-1, -1, 1), TVector3(1, -1, 1),
                                   TVector3(1, 1, 0),  TVector3(1, -1, 0), TVector3(0, 1, 1),   TVector3(0, 1, -1),
                                   TVector3(1, 0, 1),  TVector3(1, 0, -1), TVector3(1, 0, 0),   TVector3(0, 1, 0),
                                   TVector3(0, 0, 1)};
    const int direction_count = sizeof(directions) / sizeof(directions[0]);

    for(int i = 0; i < count; ++i)
    {
      TVector3 u = directions[i % direction_count];
      u.Normal();
      const bool ball_bar = i % direction_count < 10;
      const double true_length = ball_bar ? 600.0 : 500.0 + 10.0 * (i % 7);
      const TVector3 corrected(x ^ u, y ^ u, z ^ u);
      TMeasurement* record = ball_bar ? static_cast<TMeasurement*>(new TMeasurementBallBar)
                                      : static_cast<TMeasurement*>(new TMeasurementLength);
      record->Set_Axis(u);
      record->Set_Position(TVector3(place(random), place(random), place(random)));
      record->Set_Actual_Length(true_length / corrected.Length() + noise(random));
      record->Set_Nominal_Length(true_length);
      d_list.push_back(record);
    }
  }

  ~TMeasurementSet()
  {
    for(TMeasurement* record : d_list)
      delete record;
  }

  TMeasurementSnapshot Snapshot() const { return Snapshot_Of(d_list); }

private:
  std::vector<TMeasurement*> d_list;
};

// The snapshot is copied into each fit, as the solver thread copies the one handed over.
void BM_Fit(benchmark::State& state)
{
  const TMeasurementSnapshot snapshot = TMeasurementSet(static_cast<int>(state.range(0))).Snapshot();
  TFitResult result;
  for(auto _ : state)
    result = Fit_Square(snapshot);
  state.counters["xy_mm_per_m"] = result.xy_error;
}

void BM_Calculate_Error(benchmark::State& state)
{
  const TMeasurementSnapshot snapshot = TMeasurementSet(static_cast<int>(state.range(0))).Snapshot();
  TSquareAxes axes;
  axes.x = TVector3(1.0, 0.0001, 0.0).Normal();
  axes.y = TVector3(0.0, 1.0, -0.0001).Normal();

  const long allocations_before = allocation_count;
  for(auto _ : state)
    benchmark::DoNotOptimize(Calculate_Error(snapshot, axes));
  const long allocations = allocation_count - allocations_before;

  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["allocations"] = static_cast<double>(allocations);
  if(allocations != 0)
    state.SkipWithError("the evaluation allocates");
}
}

BENCHMARK(BM_Fit)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Calculate_Error)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
