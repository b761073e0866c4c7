// Squareness solver: a thread that fits three small axis tilts (XY, YZ, ZX
// squareness errors in mm/m) to the measurement records handed over by the
// main window, and publishes the errors with length and error statistics.
//
// Hand-over: Set_Measurement_Data stores the list as pending under the mutex
// with a serial number. At each restart the solver adopts the pending list as
// its private working list and uses only that until the next restart, so a
// record removed by the window may be deleted once Has_Adopted() reports that
// the solver works on a list without it.
#ifndef CALCULATESQUARE_H
#define CALCULATESQUARE_H

#include <QMutex>
#include <QThread>

#include <atomic>
#include <cstddef>
#include <vector>

#include "squaremodel.h"
#include "vector3.h"

class TMeasurement;

class TCalculateSquare : public QThread
{
  Q_OBJECT

public:
  explicit TCalculateSquare(const QObject* parent);
  ~TCalculateSquare() override;

  // GUI thread. Hands over the records (not owned) and starts a new fit.
  void Set_Measurement_Data(const std::vector<TMeasurement*>& list);
  // Serial number of the last list handed over (0 before the first).
  quint64 Data_Serial() const;
  // True when the solver works on that list or a later one, or is not running:
  // records missing from that list may then be deleted.
  bool Has_Adopted(quint64 serial) const;

  // Published errors in mm/m; *valid tells whether the records determine them.
  double XY_Error(bool* valid) const;
  double YZ_Error(bool* valid) const;
  double ZX_Error(bool* valid) const;
  // Length and error statistics before and after the fit, mm; false for an empty list.
  bool Initial_Error_Statistics(double* min_length, double* max_length, double* min_error, double* max_error) const;
  bool Final_Error_Statistics(double* min_length, double* max_length, double* min_error, double* max_error) const;

  // Interim: the published result (serial only).
  TFitResult Result() const
  {
    TFitResult result;
    result.serial = Data_Serial();
    return result;
  }

  // run() returns after the current pass or idle sleep.
  void Request_Stop();

signals:
  void Nominal_Ballbar_Length_Updated();
  void Squareness_Updated();

protected:
  void run() override;

  // One complete fit on the pending list, in the calling thread: restart,
  // all passes, publication. Only while the thread is not running; a stop
  // request left from before is dropped.
  void Fit_Once();

  // The steps of the search; run() and Fit_Once() are built from these.
  void Restart_Fit();
  void Run_Pass();
  bool Fit_Converged() const;
  void Publish_Results();

  // Takes the pending list as the working list.
  void Adopt_Measurement_Data();

  // Error model and statistics over the working list.
  void Enable_Fields(bool* enable_xy, bool* enable_yz, bool* enable_zx) const;
  double Calculate_Error(const TVector3& x_axis, const TVector3& y_axis, const TVector3& z_axis) const;
  void Update_Nominal_BallBar_Length(const TVector3& x_axis, const TVector3& y_axis, const TVector3& z_axis);
  void Update_Initial_Statistics();
  void Update_Final_Statistics(const TVector3& x_axis, const TVector3& y_axis, const TVector3& z_axis);

  void Set_XY_Error(const double& value, bool valid);
  void Set_YZ_Error(const double& value, bool valid);
  void Set_ZX_Error(const double& value, bool valid);

private:
  struct TStatistics
  {
    double min_length = 0.0;
    double max_length = 0.0;
    double min_error = 0.0;
    double max_error = 0.0;
  };

  struct TPublishedError
  {
    double value = 0.0;
    bool valid = false;
  };

  void Line_Search(TVector3* axis, double TVector3::*component, double* direction);
  bool Fit_Interrupted() const;
  void Reset_Published_State();
  void Store_Error(TPublishedError* error, const double& value, bool valid);
  double Read_Error(const TPublishedError& error, bool* valid) const;
  bool Read_Statistics(const TStatistics& statistics, double* min_length, double* max_length, double* min_error,
                       double* max_error) const;
  void Store_Statistics(TStatistics* statistics, const TStatistics& values);
  template<class TLengthOf> TStatistics Gather_Statistics(TLengthOf length_of) const;

  static void Normalise_Axis(TVector3* axis);

  std::atomic<bool> d_stop_requested{false};
  std::atomic<bool> d_restart_requested{false};

  // Guarded by d_mutex.
  TPublishedError d_xy_error;
  TPublishedError d_yz_error;
  TPublishedError d_zx_error;
  TStatistics d_initial_statistics;
  TStatistics d_final_statistics;
  std::vector<TMeasurement*> d_pending_list;
  quint64 d_pending_serial = 0;
  quint64 d_adopted_serial = 0;
  std::size_t d_working_size = 0;
  mutable QMutex d_mutex;

  // Solver thread only (or the caller of Fit_Once).
  std::vector<TMeasurement*> d_measurement_list;
  TVector3 d_x_axis{1.0, 0.0, 0.0};
  TVector3 d_y_axis{0.0, 1.0, 0.0};
  TVector3 d_z_axis{0.0, 0.0, 1.0};
  bool d_enable_xy = false;
  bool d_enable_yz = false;
  bool d_enable_zx = false;
  double d_best_error = 0.0;
  double d_step = 0.0;
  double d_direction_xy = 1.0;
  double d_direction_yz = 1.0;
  double d_direction_zx = 1.0;
};

#endif
