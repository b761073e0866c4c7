// Squareness solver: a thread that fits three small axis tilts (XY, YZ, ZX
// squareness errors in mm/m) to the measurement records handed over by the
// main window, and publishes the errors with length and error statistics.
//
// Hand-over: Set_Measurement_Data copies the values of the records in the
// calling thread and numbers the copy, together with the stated length
// uncertainties; the thread fits that copy only and never touches a record,
// so the caller may change or delete the records as soon as the call
// returns. Each completed fit is analysed on the same copy (uncertainty.h)
// and published with its analysis as one TSolverResult carrying the number
// of the hand-over it was made for; the estimated ball-bar length is not
// written anywhere but left in the result for the caller to apply.
//
// Signals: the thread stores each result and wakes the owner's thread, where
// the result is announced; every signal of this class is emitted in the
// thread that owns the object (the window's), never in the solver thread.
#ifndef CALCULATESQUARE_H
#define CALCULATESQUARE_H

#include <QThread>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "projectsettings.h"
#include "squaremodel.h"
#include "uncertainty.h"

class TWakeChannel;

// A published fit and the analysis of it, made on the same snapshot with the
// settings handed over with it. The fit's numbers are exactly those of the
// fit alone.
struct TSolverResult : TFitResult
{
  // Shared, never changed once published; null until the first fit of a run
  // is published.
  std::shared_ptr<const TSquareAnalysis> analysis;
};

class TCalculateSquare : public QThread
{
  Q_OBJECT

public:
  explicit TCalculateSquare(const QObject* parent);
  ~TCalculateSquare() override;

  // Copies the values of the records (not kept) and starts a new fit, whose
  // analysis takes the stated length uncertainties of the settings.
  void Set_Measurement_Data(const std::vector<TMeasurement*>& list,
                            const TUncertaintySettings& settings = TUncertaintySettings());
  // The same with the values already copied.
  void Set_Snapshot(TMeasurementSnapshot snapshot, const TUncertaintySettings& settings);
  // Tells the solver that the data it has is out of date while the new data
  // is still being copied (Data_Serial() moves on): the fit under way is
  // abandoned, and none is made or published until the next hand-over.
  void Invalidate_Data();
  // Number of the last hand-over (0 before the first). Only
  // Set_Measurement_Data, Set_Snapshot and Invalidate_Data change it, so in
  // the thread that hands over, Result().serial == Data_Serial() means the
  // published fit is that of the list last handed over.
  quint64 Data_Serial() const;

  // The last published fit with its analysis, whole.
  TSolverResult Result() const;

  // Published errors in mm/m; *valid tells whether the records determine them.
  double XY_Error(bool* valid) const;
  double YZ_Error(bool* valid) const;
  double ZX_Error(bool* valid) const;
  // Length and error statistics before and after the fit, mm; false for an empty list.
  bool Initial_Error_Statistics(double* min_length, double* max_length, double* min_error, double* max_error) const;
  bool Final_Error_Statistics(double* min_length, double* max_length, double* min_error, double* max_error) const;

  // run() returns after the current pass or idle sleep.
  void Request_Stop();

signals:
  // Emitted, in this order, once for each completed fit after it has been
  // published.
  void Nominal_Ballbar_Length_Updated();
  void Squareness_Updated();
  // The thread has finished (and is no longer running).
  void Stopped();

protected:
  void run() override;

  // One complete fit of the last hand-over in the calling thread, published
  // and signalled. Only while the thread is not running; a stop request left
  // from before is dropped.
  void Fit_Once();

private:
  void Announce();
  // What one hand-over holds.
  struct THandOver
  {
    TMeasurementSnapshot snapshot;
    TUncertaintySettings settings;
    // The number it was handed over with (Data_Serial() then).
    std::uint64_t serial = 0;
  };

  // Clears the restart request, then takes the last hand-over; null while
  // the data is out of date.
  std::shared_ptr<const THandOver> Take_Hand_Over();
  // The fit and its analysis, as published with the hand-over's number.
  static TSolverResult Analysed(const TFitResult& fit, const THandOver& hand_over);
  void Publish(TSolverResult result);
  void Reset_Published_State();
  bool Fit_Interrupted() const;
  double Read_Error(double TFitResult::*value, bool TEnabledErrors::*flag, bool* valid) const;
  bool Read_Statistics(TLengthStatistics TFitResult::*statistics, double* min_length, double* max_length,
                       double* min_error, double* max_error) const;

  std::atomic<bool> d_stop_requested{false};
  std::atomic<bool> d_restart_requested{false};

  // Guarded by d_mutex.
  mutable std::mutex d_mutex;
  std::shared_ptr<const THandOver> d_pending;
  std::uint64_t d_pending_serial = 0;
  TSolverResult d_result;
  int d_unannounced = 0;

  // Runs begun, and the run that finished last but is not yet announced.
  std::atomic<int> d_runs{0};
  std::atomic<int> d_finished_run{0};
  std::atomic<bool> d_finish_unannounced{false};
  TWakeChannel* d_wake_channel;
};

#endif
