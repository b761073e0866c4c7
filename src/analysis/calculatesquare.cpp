#include "calculatesquare.h"

#include <QMutexLocker>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

#include "mat4.h"
#include "measurement.h"

namespace
{
const double INITIAL_STEP = 1e-4;
const double FINAL_STEP = 1e-9;
const unsigned long IDLE_POLL_MSEC = 100;
const double COS_30_DEGREES = 0.8660254037844387;

// Upper bound on the steps of one line search. An ordinary fit moves an axis
// by a few hundred steps at most; the bound only ends searches that absurd
// data (huge or infinite lengths) would otherwise drive towards a right angle.
const int MAXIMUM_LINE_SEARCH_STEPS = 1000000;

bool Covers(const TVector3& direction, const TMeasurement& measurement)
{
  return std::fabs(direction ^ measurement.Axis()) > COS_30_DEGREES;
}

TVector3 Unit(double x, double y, double z)
{
  TVector3 v(x, y, z);
  v.Normal();
  return v;
}

// Rows X, Y, Z: applied to a machine point it gives the corrected point.
TMat4 Correction_Matrix(const TVector3& x_axis, const TVector3& y_axis, const TVector3& z_axis)
{
  TMat4 correction;
  correction[0] = x_axis.x;
  correction[1] = x_axis.y;
  correction[2] = x_axis.z;
  correction[4] = y_axis.x;
  correction[5] = y_axis.y;
  correction[6] = y_axis.z;
  correction[8] = z_axis.x;
  correction[9] = z_axis.y;
  correction[10] = z_axis.z;
  return correction;
}

// Length of the record's line between its corrected end points.
double Corrected_Length(const TMat4& correction, const TMeasurement& measurement)
{
  const TVector3 half_line = measurement.Axis() * (0.5 * measurement.Actual_Length());
  const TVector3 position = measurement.Position();
  const TVector3 start = position - half_line;
  const TVector3 end = position + half_line;
  return (correction * end - correction * start).Length();
}
}

TCalculateSquare::TCalculateSquare(const QObject* parent)
  : QThread(const_cast<QObject*>(parent))
{
}

// A QThread destroyed while running ends the program, so a running solver is
// stopped and waited for first.
TCalculateSquare::~TCalculateSquare()
{
  if(isRunning())
  {
    Request_Stop();
    wait();
  }
}

void TCalculateSquare::Set_Measurement_Data(const std::vector<TMeasurement*>& list)
{
  {
    QMutexLocker locker(&d_mutex);
    d_pending_list = list;
    ++d_pending_serial;
  }
  d_restart_requested = true;
}

quint64 TCalculateSquare::Data_Serial() const
{
  QMutexLocker locker(&d_mutex);
  return d_pending_serial;
}

bool TCalculateSquare::Has_Adopted(quint64 serial) const
{
  if(!isRunning())
    return true;
  QMutexLocker locker(&d_mutex);
  return d_adopted_serial >= serial;
}

double TCalculateSquare::XY_Error(bool* valid) const
{
  assert(valid);
  return Read_Error(d_xy_error, valid);
}

double TCalculateSquare::YZ_Error(bool* valid) const
{
  assert(valid);
  return Read_Error(d_yz_error, valid);
}

double TCalculateSquare::ZX_Error(bool* valid) const
{
  assert(valid);
  return Read_Error(d_zx_error, valid);
}

bool TCalculateSquare::Initial_Error_Statistics(double* min_length, double* max_length, double* min_error,
                                                double* max_error) const
{
  return Read_Statistics(d_initial_statistics, min_length, max_length, min_error, max_error);
}

bool TCalculateSquare::Final_Error_Statistics(double* min_length, double* max_length, double* min_error,
                                              double* max_error) const
{
  return Read_Statistics(d_final_statistics, min_length, max_length, min_error, max_error);
}

// A stop requested before the thread reaches run() is kept and honoured at
// the first check; the flag is cleared when run() returns.
void TCalculateSquare::Request_Stop()
{
  d_stop_requested = true;
}

void TCalculateSquare::run()
{
  d_restart_requested = true;
  Reset_Published_State();
  d_step = 0.0;
  bool results_pending = false;

  for(;;)
  {
    if(d_restart_requested)
    {
      Restart_Fit();
      results_pending = true;
    }
    else if(Fit_Converged())
    {
      if(results_pending)
        Publish_Results();
      QThread::msleep(IDLE_POLL_MSEC);
      if(d_stop_requested)
        break;
      results_pending = false;
      continue;
    }

    Run_Pass();
    if(d_stop_requested)
      break;
  }
  d_stop_requested = false;
}

void TCalculateSquare::Fit_Once()
{
  assert(!isRunning());
  d_stop_requested = false;
  Restart_Fit();
  while(!Fit_Converged())
    Run_Pass();
  Publish_Results();
}

// The restart flag is cleared before the list is adopted, so a list handed
// over from here on always causes another restart.
void TCalculateSquare::Restart_Fit()
{
  d_restart_requested = false;
  Adopt_Measurement_Data();
  Enable_Fields(&d_enable_xy, &d_enable_yz, &d_enable_zx);

  d_x_axis = TVector3(1.0, 0.0, 0.0);
  d_y_axis = TVector3(0.0, 1.0, 0.0);
  d_z_axis = TVector3(0.0, 0.0, 1.0);

  Update_Nominal_BallBar_Length(d_x_axis, d_y_axis, d_z_axis);
  Update_Initial_Statistics();
  d_best_error = Calculate_Error(d_x_axis, d_y_axis, d_z_axis);

  d_step = INITIAL_STEP;
  d_direction_xy = 1.0;
  d_direction_yz = 1.0;
  d_direction_zx = 1.0;
}

void TCalculateSquare::Run_Pass()
{
  Update_Nominal_BallBar_Length(d_x_axis, d_y_axis, d_z_axis);
  if(d_enable_xy)
    Line_Search(&d_x_axis, &TVector3::y, &d_direction_xy);
  if(d_enable_yz)
    Line_Search(&d_y_axis, &TVector3::z, &d_direction_yz);
  if(d_enable_zx)
    Line_Search(&d_z_axis, &TVector3::x, &d_direction_zx);
  d_step *= 0.5;
}

bool TCalculateSquare::Fit_Converged() const
{
  return d_step < FINAL_STEP;
}

// Moves one component of an axis while the error keeps falling, then steps
// back once and reverses the direction for the next pass. The search gives up
// early when the fit is to be abandoned anyway.
void TCalculateSquare::Line_Search(TVector3* axis, double TVector3::*component, double* direction)
{
  for(int steps = 1;; ++steps)
  {
    axis->*component += *direction * d_step;
    Normalise_Axis(axis);
    const double error = Calculate_Error(d_x_axis, d_y_axis, d_z_axis);
    if(!(error < d_best_error) || steps >= MAXIMUM_LINE_SEARCH_STEPS || Fit_Interrupted())
      break;
    d_best_error = error;
  }

  axis->*component -= *direction * d_step;
  Normalise_Axis(axis);
  d_best_error = Calculate_Error(d_x_axis, d_y_axis, d_z_axis);
  *direction = -*direction;
}

bool TCalculateSquare::Fit_Interrupted() const
{
  return d_stop_requested.load(std::memory_order_relaxed) || d_restart_requested.load(std::memory_order_relaxed);
}

void TCalculateSquare::Publish_Results()
{
  const double xy = std::atan(d_x_axis.y / d_x_axis.x) * 1000.0;
  const double yz = std::atan(d_y_axis.z / d_y_axis.y) * 1000.0;
  const double zx = std::atan(d_z_axis.x / d_z_axis.z) * 1000.0;

  Set_XY_Error(xy, d_enable_xy);
  Set_YZ_Error(yz, d_enable_yz);
  Set_ZX_Error(zx, d_enable_zx);
  Update_Final_Statistics(d_x_axis, d_y_axis, d_z_axis);

  emit Nominal_Ballbar_Length_Updated();
  emit Squareness_Updated();
}

void TCalculateSquare::Adopt_Measurement_Data()
{
  QMutexLocker locker(&d_mutex);
  d_measurement_list = d_pending_list;
  d_adopted_serial = d_pending_serial;
  d_working_size = d_measurement_list.size();
}

void TCalculateSquare::Enable_Fields(bool* enable_xy, bool* enable_yz, bool* enable_zx) const
{
  assert(enable_xy);
  assert(enable_yz);
  assert(enable_zx);

  *enable_xy = false;
  *enable_yz = false;
  *enable_zx = false;

  const TVector3 body_diagonals[4] = {Unit(1.0, 1.0, 1.0), Unit(-1.0, 1.0, 1.0), Unit(-1.0, -1.0, 1.0),
                                      Unit(1.0, -1.0, 1.0)};
  bool body_marked[4] = {false, false, false, false};
  for(const TMeasurement* measurement : d_measurement_list)
  {
    for(int i = 0; i < 4; ++i)
      body_marked[i] = body_marked[i] || Covers(body_diagonals[i], *measurement);
    if(std::all_of(body_marked, body_marked + 4, [](bool marked) { return marked; }))
    {
      *enable_xy = *enable_yz = *enable_zx = true;
      return;
    }
  }

  // Pairs of face diagonals: XY, YZ, ZX.
  const TVector3 face_diagonals[6] = {Unit(1.0, 1.0, 0.0), Unit(1.0, -1.0, 0.0), Unit(0.0, 1.0, 1.0),
                                      Unit(0.0, 1.0, -1.0), Unit(1.0, 0.0, 1.0), Unit(1.0, 0.0, -1.0)};
  bool face_marked[6] = {false, false, false, false, false, false};
  for(const TMeasurement* measurement : d_measurement_list)
  {
    for(int i = 0; i < 6; ++i)
      face_marked[i] = face_marked[i] || Covers(face_diagonals[i], *measurement);
    *enable_xy = face_marked[0] && face_marked[1];
    *enable_yz = face_marked[2] && face_marked[3];
    *enable_zx = face_marked[4] && face_marked[5];
    if(*enable_xy && *enable_yz && *enable_zx)
      return;
  }
}

double TCalculateSquare::Calculate_Error(const TVector3& x_axis, const TVector3& y_axis, const TVector3& z_axis) const
{
  const TMat4 correction = Correction_Matrix(x_axis, y_axis, z_axis);
  double sum = 0.0;
  for(const TMeasurement* measurement : d_measurement_list)
  {
    const double deviation = Corrected_Length(correction, *measurement) - measurement->Nominal_Length();
    sum += deviation * deviation;
  }
  if(!d_measurement_list.empty())
    sum /= static_cast<double>(d_measurement_list.size());
  return sum;
}

void TCalculateSquare::Update_Nominal_BallBar_Length(const TVector3& x_axis, const TVector3& y_axis,
                                                     const TVector3& z_axis)
{
  const TMat4 correction = Correction_Matrix(x_axis, y_axis, z_axis);
  double sum = 0.0;
  int count = 0;
  for(const TMeasurement* measurement : d_measurement_list)
    if(measurement->Type() == TMeasurement::MEASUREMENT_BALLBAR)
    {
      sum += Corrected_Length(correction, *measurement);
      ++count;
    }

  if(count == 0)
    return;
  const double length = sum / count;
  for(TMeasurement* measurement : d_measurement_list)
    if(measurement->Type() == TMeasurement::MEASUREMENT_BALLBAR)
      measurement->Set_Nominal_Length(length);
}

// Extremes of the lengths and of their deviations from nominal over the list;
// the first record initialises all four.
template<class TLengthOf>
TCalculateSquare::TStatistics TCalculateSquare::Gather_Statistics(TLengthOf length_of) const
{
  TStatistics statistics;
  bool first = true;
  for(const TMeasurement* measurement : d_measurement_list)
  {
    const double length = length_of(*measurement);
    const double error = length - measurement->Nominal_Length();
    if(first)
    {
      statistics = TStatistics{length, length, error, error};
      first = false;
      continue;
    }
    statistics.min_length = std::min(statistics.min_length, length);
    statistics.max_length = std::max(statistics.max_length, length);
    statistics.min_error = std::min(statistics.min_error, error);
    statistics.max_error = std::max(statistics.max_error, error);
  }
  return statistics;
}

void TCalculateSquare::Update_Initial_Statistics()
{
  const TStatistics statistics =
    Gather_Statistics([](const TMeasurement& measurement) { return measurement.Actual_Length(); });
  Store_Statistics(&d_initial_statistics, statistics);
}

void TCalculateSquare::Update_Final_Statistics(const TVector3& x_axis, const TVector3& y_axis, const TVector3& z_axis)
{
  const TMat4 correction = Correction_Matrix(x_axis, y_axis, z_axis);
  const TStatistics statistics = Gather_Statistics(
    [&correction](const TMeasurement& measurement) { return Corrected_Length(correction, measurement); });
  Store_Statistics(&d_final_statistics, statistics);
}

void TCalculateSquare::Set_XY_Error(const double& value, bool valid)
{
  Store_Error(&d_xy_error, value, valid);
}

void TCalculateSquare::Set_YZ_Error(const double& value, bool valid)
{
  Store_Error(&d_yz_error, value, valid);
}

void TCalculateSquare::Set_ZX_Error(const double& value, bool valid)
{
  Store_Error(&d_zx_error, value, valid);
}

// The error values keep what they hold; only their flags are cleared.
void TCalculateSquare::Reset_Published_State()
{
  QMutexLocker locker(&d_mutex);
  d_xy_error.valid = false;
  d_yz_error.valid = false;
  d_zx_error.valid = false;
  d_initial_statistics = TStatistics();
  d_final_statistics = TStatistics();
}

void TCalculateSquare::Store_Error(TPublishedError* error, const double& value, bool valid)
{
  QMutexLocker locker(&d_mutex);
  error->value = value;
  error->valid = valid;
}

double TCalculateSquare::Read_Error(const TPublishedError& error, bool* valid) const
{
  QMutexLocker locker(&d_mutex);
  *valid = error.valid;
  return error.value;
}

bool TCalculateSquare::Read_Statistics(const TStatistics& statistics, double* min_length, double* max_length,
                                       double* min_error, double* max_error) const
{
  assert(min_length);
  assert(max_length);
  assert(min_error);
  assert(max_error);

  QMutexLocker locker(&d_mutex);
  if(d_working_size == 0)
    return false;
  *min_length = statistics.min_length;
  *max_length = statistics.max_length;
  *min_error = statistics.min_error;
  *max_error = statistics.max_error;
  return true;
}

void TCalculateSquare::Store_Statistics(TStatistics* statistics, const TStatistics& values)
{
  QMutexLocker locker(&d_mutex);
  *statistics = values;
}

// The changed component moves by at most one step from a unit vector, so the
// length stays near 1; the check only guards against a vector that cannot be
// normalised (zero or not finite), which is then left as it is instead of
// stopping the program.
void TCalculateSquare::Normalise_Axis(TVector3* axis)
{
  if(axis->Length() > std::numeric_limits<double>::epsilon())
    axis->Normal();
}

#include "moc_calculatesquare.cpp"
