#include "calculatesquare.h"

#include <cassert>
#include <utility>

#include "squaresearch.h"
#include "wakechannel.h"

namespace
{
const unsigned long IDLE_POLL_MSEC = 100;
const unsigned long FINISH_POLL_MSEC = 10;
}

TCalculateSquare::TCalculateSquare(const QObject* parent)
  : QThread(const_cast<QObject*>(parent)), d_wake_channel(new TWakeChannel(this))
{
  connect(d_wake_channel, &TWakeChannel::Woken, this, &TCalculateSquare::Announce);
  connect(
    this, &QThread::finished, this,
    [this] {
      d_finished_run = d_runs.load();
      d_finish_unannounced = true;
      d_wake_channel->Wake();
    },
    Qt::DirectConnection);
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

// The copy is made before the lock is taken; the list it replaces is
// released after the lock is given back.
void TCalculateSquare::Set_Measurement_Data(const std::vector<TMeasurement*>& list,
                                            const TUncertaintySettings& settings)
{
  Set_Snapshot(Snapshot_Of(list), settings);
}

// The copy carries the number it is handed over with, so that its fit is
// published with that number whenever the thread takes it.
void TCalculateSquare::Set_Snapshot(TMeasurementSnapshot snapshot, const TUncertaintySettings& settings)
{
  auto hand_over = std::make_shared<THandOver>(THandOver{std::move(snapshot), settings, 0});
  std::shared_ptr<const THandOver> replaced;
  {
    std::lock_guard<std::mutex> lock(d_mutex);
    hand_over->serial = ++d_pending_serial;
    replaced = std::move(d_pending);
    d_pending = std::move(hand_over);
  }
  d_restart_requested = true;
}

// The number moves on past that of the copy held, so the thread finds no
// data to fit until the next hand-over; the fit under way is abandoned.
void TCalculateSquare::Invalidate_Data()
{
  {
    std::lock_guard<std::mutex> lock(d_mutex);
    ++d_pending_serial;
  }
  d_restart_requested = true;
}

quint64 TCalculateSquare::Data_Serial() const
{
  std::lock_guard<std::mutex> lock(d_mutex);
  return d_pending_serial;
}

TSolverResult TCalculateSquare::Result() const
{
  std::lock_guard<std::mutex> lock(d_mutex);
  return d_result;
}

double TCalculateSquare::XY_Error(bool* valid) const
{
  return Read_Error(&TFitResult::xy_error, &TEnabledErrors::xy, valid);
}

double TCalculateSquare::YZ_Error(bool* valid) const
{
  return Read_Error(&TFitResult::yz_error, &TEnabledErrors::yz, valid);
}

double TCalculateSquare::ZX_Error(bool* valid) const
{
  return Read_Error(&TFitResult::zx_error, &TEnabledErrors::zx, valid);
}

bool TCalculateSquare::Initial_Error_Statistics(double* min_length, double* max_length, double* min_error,
                                                double* max_error) const
{
  return Read_Statistics(&TFitResult::initial_statistics, min_length, max_length, min_error, max_error);
}

bool TCalculateSquare::Final_Error_Statistics(double* min_length, double* max_length, double* min_error,
                                              double* max_error) const
{
  return Read_Statistics(&TFitResult::final_statistics, min_length, max_length, min_error, max_error);
}

// A stop requested before the thread reaches run() is kept and honoured at
// the first check; the flag is cleared when run() returns.
void TCalculateSquare::Request_Stop()
{
  d_stop_requested = true;
}

// A fit is published only when it has converged with no restart requested
// since it began; a new hand-over abandons the fit under way, and while the
// data is out of date the thread waits without fitting.
void TCalculateSquare::run()
{
  ++d_runs;
  d_restart_requested = true;
  Reset_Published_State();
  TSquareSearch search([this] { return Fit_Interrupted(); });
  std::shared_ptr<const THandOver> hand_over;
  bool results_pending = false;

  for(;;)
  {
    if(d_restart_requested)
    {
      hand_over = Take_Hand_Over();
      results_pending = hand_over != nullptr;
      if(hand_over)
        search.Restart(hand_over->snapshot);
      continue;
    }
    if(!hand_over || search.Converged())
    {
      if(results_pending)
        Publish(Analysed(search.Result(), *hand_over));
      QThread::msleep(IDLE_POLL_MSEC);
      if(d_stop_requested)
        break;
      results_pending = false;
      continue;
    }

    search.Run_Pass();
    if(d_stop_requested)
      break;
  }
  d_stop_requested = false;
}

void TCalculateSquare::Fit_Once()
{
  assert(!isRunning());
  d_stop_requested = false;
  const std::shared_ptr<const THandOver> hand_over = Take_Hand_Over();
  if(hand_over)
    Publish(Analysed(Fit_Square(hand_over->snapshot), *hand_over));
}

// The restart flag is cleared before the hand-over is read, so a list handed
// over from here on always causes another restart. The shared copy is never
// changed once handed over; before the first hand-over it is an empty set
// with the default settings. Null while the data is out of date.
std::shared_ptr<const TCalculateSquare::THandOver> TCalculateSquare::Take_Hand_Over()
{
  d_restart_requested = false;
  std::lock_guard<std::mutex> lock(d_mutex);
  if(!d_pending)
    return d_pending_serial == 0 ? std::make_shared<const THandOver>() : nullptr;
  return d_pending->serial == d_pending_serial ? d_pending : nullptr;
}

// The analysis takes the snapshot as handed over, with the ball-bar nominal
// lengths as they were before the fit.
TSolverResult TCalculateSquare::Analysed(const TFitResult& fit, const THandOver& hand_over)
{
  TSolverResult result;
  static_cast<TFitResult&>(result) = fit;
  result.serial = hand_over.serial;
  result.analysis =
    std::make_shared<const TSquareAnalysis>(Analyse_Square(hand_over.snapshot, result, hand_over.settings));
  return result;
}

// The result is stored before it is announced, so a slot that reads
// Result() finds at least this fit. The result it replaces is released
// after the lock is given back.
void TCalculateSquare::Publish(TSolverResult result)
{
  {
    std::lock_guard<std::mutex> lock(d_mutex);
    std::swap(d_result, result);
    ++d_unannounced;
  }
  if(QThread::currentThread() == thread())
    Announce();
  else
    d_wake_channel->Wake();
}

// In the owner's thread: one pair of signals for each fit published since the
// last announcement, then, once the thread has finished, Stopped(). The
// thread is then in its last steps; it is waited for, so that it is no longer
// running when Stopped() arrives, unless it has meanwhile been started anew.
void TCalculateSquare::Announce()
{
  int fits = 0;
  {
    std::lock_guard<std::mutex> lock(d_mutex);
    std::swap(fits, d_unannounced);
  }
  for(int i = 0; i < fits; ++i)
  {
    emit Nominal_Ballbar_Length_Updated();
    emit Squareness_Updated();
  }
  if(d_finish_unannounced.exchange(false))
  {
    const int finished_run = d_finished_run;
    while(!wait(FINISH_POLL_MSEC) && d_runs == finished_run)
    {
    }
    emit Stopped();
  }
}

// Until the first fit of a run is published nothing is valid; the error
// values keep what they hold, the statistics, the ball-bar estimate and the
// analysis go.
void TCalculateSquare::Reset_Published_State()
{
  std::shared_ptr<const TSquareAnalysis> analysis;
  std::lock_guard<std::mutex> lock(d_mutex);
  analysis.swap(d_result.analysis);
  d_result.valid = TEnabledErrors();
  d_result.has_statistics = false;
  d_result.initial_statistics = TLengthStatistics();
  d_result.final_statistics = TLengthStatistics();
  d_result.ballbar_count = 0;
}

bool TCalculateSquare::Fit_Interrupted() const
{
  return d_stop_requested.load(std::memory_order_relaxed) || d_restart_requested.load(std::memory_order_relaxed);
}

double TCalculateSquare::Read_Error(double TFitResult::*value, bool TEnabledErrors::*flag, bool* valid) const
{
  assert(valid);
  std::lock_guard<std::mutex> lock(d_mutex);
  *valid = d_result.valid.*flag;
  return d_result.*value;
}

bool TCalculateSquare::Read_Statistics(TLengthStatistics TFitResult::*statistics, double* min_length,
                                       double* max_length, double* min_error, double* max_error) const
{
  assert(min_length);
  assert(max_length);
  assert(min_error);
  assert(max_error);

  std::lock_guard<std::mutex> lock(d_mutex);
  if(!d_result.has_statistics)
    return false;
  const TLengthStatistics& values = d_result.*statistics;
  *min_length = values.min_length;
  *max_length = values.max_length;
  *min_error = values.min_error;
  *max_error = values.max_error;
  return true;
}

#include "moc_calculatesquare.cpp"
