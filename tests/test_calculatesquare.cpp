// The squareness solver: whole fits, the thread, the hand-over and the
// published result.
#include <QCoreApplication>
#include <QStringList>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "calculatesquare.h"
#include "measurement.h"
#include "squaresearch.h"
#include "uncertainty.h"

namespace
{
// Owns the records of one measurement set.
class TRecords
{
public:
  TMeasurement* Add_Ball_Bar(const TVector3& axis, double actual_length, const TVector3& position = TVector3())
  {
    return Add(new TMeasurementBallBar, axis, actual_length, actual_length, position);
  }

  TMeasurement* Add_Length(const TVector3& axis, double actual_length, double nominal_length,
                           const TVector3& position = TVector3())
  {
    return Add(new TMeasurementLength, axis, actual_length, nominal_length, position);
  }

  const std::vector<TMeasurement*>& List() const { return d_list; }

  ~TRecords()
  {
    for(TMeasurement* record : d_list)
      delete record;
  }

private:
  TMeasurement* Add(TMeasurement* record, const TVector3& axis, double actual_length, double nominal_length,
                    const TVector3& position)
  {
    record->Set_Axis(axis);
    record->Set_Actual_Length(actual_length);
    record->Set_Nominal_Length(nominal_length);
    record->Set_Position(position);
    d_list.push_back(record);
    return record;
  }

  std::vector<TMeasurement*> d_list;
};

// What the solver signalled, recorded in the emitting thread under a lock:
// 'n' and 's' for its two signals, 'f' for the thread's end, and the result
// each Squareness_Updated found published.
class TSignalLog
{
public:
  void Watch(TCalculateSquare* solver)
  {
    const auto add = [this, solver](char event) {
      const TFitResult result = solver->Result();
      std::lock_guard<std::mutex> lock(d_mutex);
      d_events += event;
      if(event == 's')
        d_results.push_back(result);
    };
    const Qt::ConnectionType direct = Qt::DirectConnection;
    QObject::connect(solver, &TCalculateSquare::Nominal_Ballbar_Length_Updated, solver, [add] { add('n'); }, direct);
    QObject::connect(solver, &TCalculateSquare::Squareness_Updated, solver, [add] { add('s'); }, direct);
    QObject::connect(solver, &QThread::finished, solver, [add] { add('f'); }, direct);
  }

  int Count(char event) const
  {
    std::lock_guard<std::mutex> lock(d_mutex);
    return int(std::count(d_events.begin(), d_events.end(), event));
  }

  std::vector<TFitResult> Results() const
  {
    std::lock_guard<std::mutex> lock(d_mutex);
    return d_results;
  }

private:
  mutable std::mutex d_mutex;
  std::string d_events;
  std::vector<TFitResult> d_results;
};

// Gives the tests the synchronous fit and a log of the signals, which the
// thread is stopped before it goes.
class TTestSolver : public TCalculateSquare
{
public:
  TTestSolver() : TCalculateSquare(nullptr) { d_log.Watch(this); }
  ~TTestSolver() override
  {
    Request_Stop();
    wait();
  }

  using TCalculateSquare::Fit_Once;
  const TSignalLog& Log() const { return d_log; }

private:
  TSignalLog d_log;
};

TFitResult Fit(const std::vector<TMeasurement*>& list)
{
  return Fit_Square(Snapshot_Of(list));
}

// The two XY face-diagonal ball bars whose lengths differ by 0.2 mm.
void Add_Face_Diagonal_Pair(TRecords* records, double length_along_plus, double length_along_minus)
{
  records->Add_Ball_Bar(TVector3(1.0, 1.0, 0.0), length_along_plus, TVector3(100.0, -50.0, 20.0));
  records->Add_Ball_Bar(TVector3(1.0, -1.0, 0.0), length_along_minus, TVector3(-300.0, 10.0, 400.0));
}

// Two small sets with different fits: the face-diagonal pair one way round,
// and the other way round with a third ball bar.
void Add_Two_Small_Sets(TRecords* first, TRecords* second)
{
  Add_Face_Diagonal_Pair(first, 999.9, 1000.1);
  Add_Face_Diagonal_Pair(second, 1000.1, 999.9);
  second->Add_Ball_Bar(TVector3(0, 1, 1), 1000.0);
}

// Many copies of the face-diagonal pair, so that a fit takes a while.
void Add_Large_Set(TRecords* records, double length_along_plus, double length_along_minus)
{
  for(int i = 0; i < 20000; ++i)
    Add_Face_Diagonal_Pair(records, length_along_plus, length_along_minus);
}

const int SIGNAL_TIMEOUT_MSEC = 30000;
}

class TTestCalculateSquare : public QObject
{
  Q_OBJECT

private slots:
  void handOverCopiesValues();
  void emptyList();
  void signalOrderAndCount();
  void restartWhenIdle();
  void interruptedFitIsNotPublished();
  void stopWhileIdle();
  void stopWhileFitting();
  void destroyWhileRunning();
  void dataSerial();
  void outOfDateDataIsNotFitted();
  void resultIsReadWhole();
  void analysisOfEachFit();
  void stress();
};

// The solver fits the values as they were handed over, whatever becomes of
// the records afterwards, and writes none of them; Fit_Once publishes once
// and the accessors read the published result.
void TTestCalculateSquare::handOverCopiesValues()
{
  TRecords records;
  Add_Face_Diagonal_Pair(&records, 999.9, 1000.1);
  records.Add_Length(TVector3(0, 1, 1), 700.1, 700.0);
  records.Add_Length(TVector3(0, 1, -1), 699.9, 700.0);
  auto removed = std::make_unique<TMeasurementLength>();
  removed->Set_Axis(TVector3(1, 0, 1));
  std::vector<TMeasurement*> list = records.List();
  list.push_back(removed.get());
  const TFitResult expected = Fit(list);
  TTestSolver solver;

  solver.Set_Measurement_Data(list);
  removed.reset();
  records.List()[2]->Set_Actual_Length(2000.0);
  solver.Fit_Once();

  QCOMPARE(solver.Log().Count('n'), 1);
  QCOMPARE(solver.Log().Count('s'), 1);
  const TFitResult result = solver.Result();
  QVERIFY(result.xy_error == expected.xy_error && result.yz_error == expected.yz_error);
  QVERIFY(result.ballbar_length == expected.ballbar_length);
  QCOMPARE(result.ballbar_count, 2);
  QCOMPARE(result.serial, std::uint64_t(1));
  QCOMPARE(records.List()[0]->Nominal_Length(), 999.9);
  QCOMPARE(records.List()[1]->Nominal_Length(), 1000.1);

  bool valid[3] = {};
  QVERIFY(solver.XY_Error(&valid[0]) == result.xy_error && solver.YZ_Error(&valid[1]) == result.yz_error);
  QVERIFY(solver.ZX_Error(&valid[2]) == result.zx_error);
  QVERIFY(valid[0] && valid[1] && !valid[2]);
  double initial[4] = {}, final[4] = {};
  QVERIFY(solver.Initial_Error_Statistics(&initial[0], &initial[1], &initial[2], &initial[3]));
  QVERIFY(solver.Final_Error_Statistics(&final[0], &final[1], &final[2], &final[3]));
  QVERIFY(initial[0] == result.initial_statistics.min_length && initial[3] == result.initial_statistics.max_error);
  QVERIFY(final[1] == result.final_statistics.max_length && final[2] == result.final_statistics.min_error);
}

void TTestCalculateSquare::emptyList()
{
  TTestSolver solver;

  solver.start();
  QTRY_COMPARE_WITH_TIMEOUT(solver.Log().Count('s'), 1, SIGNAL_TIMEOUT_MSEC);
  QCOMPARE(solver.Log().Count('n'), 1);

  bool valid[3] = {true, true, true};
  QCOMPARE(solver.XY_Error(&valid[0]), 0.0);
  QCOMPARE(solver.YZ_Error(&valid[1]), 0.0);
  QCOMPARE(solver.ZX_Error(&valid[2]), 0.0);
  QVERIFY(!valid[0] && !valid[1] && !valid[2]);
  double values[4] = {7.0, 7.0, 7.0, 7.0};
  QVERIFY(!solver.Initial_Error_Statistics(&values[0], &values[1], &values[2], &values[3]));
  QVERIFY(!solver.Final_Error_Statistics(&values[0], &values[1], &values[2], &values[3]));
  for(double value : values)
    QCOMPARE(value, 7.0);
}

// As the window sees them: queued into this thread, in this order.
void TTestCalculateSquare::signalOrderAndCount()
{
  TRecords records;
  Add_Face_Diagonal_Pair(&records, 999.9, 1000.1);
  TTestSolver solver;
  QStringList order;
  connect(&solver, &TCalculateSquare::Nominal_Ballbar_Length_Updated, this, [&order] { order << "nominal"; });
  connect(&solver, &TCalculateSquare::Squareness_Updated, this, [&order] { order << "squareness"; });

  solver.Set_Measurement_Data(records.List());
  solver.start();
  QTRY_COMPARE_WITH_TIMEOUT(order.size(), 2, SIGNAL_TIMEOUT_MSEC);
  QTest::qWait(350);
  QCOMPARE(order, QStringList({"nominal", "squareness"}));
  QVERIFY(std::fabs(solver.Result().xy_error - 0.2) < 1e-6);
}

void TTestCalculateSquare::restartWhenIdle()
{
  TRecords first;
  Add_Face_Diagonal_Pair(&first, 999.9, 1000.1);
  TRecords second;
  Add_Face_Diagonal_Pair(&second, 1000.1, 999.9);
  TTestSolver solver;

  solver.Set_Measurement_Data(first.List());
  solver.start();
  QTRY_COMPARE_WITH_TIMEOUT(solver.Log().Count('s'), 1, SIGNAL_TIMEOUT_MSEC);
  QTest::qWait(250);
  QCOMPARE(solver.Log().Count('s'), 1);

  solver.Set_Measurement_Data(second.List());
  QTRY_COMPARE_WITH_TIMEOUT(solver.Log().Count('s'), 2, SIGNAL_TIMEOUT_MSEC);
  QTest::qWait(350);
  QCOMPARE(solver.Log().Count('s'), 2);
  QCOMPARE(solver.Log().Count('n'), 2);
  QVERIFY(std::fabs(solver.Result().xy_error + 0.2) < 1e-6);
}

// Whatever the timing, every publication is the result of a complete fit of
// one of the two lists, carrying that list's number, and the last one is
// that of the later list.
void TTestCalculateSquare::interruptedFitIsNotPublished()
{
  TRecords first;
  Add_Large_Set(&first, 999.9, 1000.1);
  TRecords second;
  Add_Large_Set(&second, 1000.05, 999.95);
  const double first_xy = Fit(first.List()).xy_error;
  const double second_xy = Fit(second.List()).xy_error;
  QVERIFY(std::fabs(first_xy - second_xy) > 0.1);

  TTestSolver solver;
  solver.Set_Measurement_Data(first.List());
  solver.start();
  solver.Set_Measurement_Data(second.List());
  QTRY_VERIFY_WITH_TIMEOUT(!solver.Log().Results().empty() && solver.Log().Results().back().serial == 2, SIGNAL_TIMEOUT_MSEC);
  QTest::qWait(250);
  solver.Request_Stop();
  QVERIFY(solver.wait(SIGNAL_TIMEOUT_MSEC));

  const std::vector<TFitResult> published = solver.Log().Results();
  QVERIFY(published.size() <= 2);
  QVERIFY(published.back().xy_error == second_xy);
  for(const TFitResult& result : published)
    QVERIFY((result.serial == 1 && result.xy_error == first_xy) || (result.serial == 2 && result.xy_error == second_xy));
}

void TTestCalculateSquare::stopWhileIdle()
{
  TTestSolver solver;
  solver.start();
  QTRY_COMPARE_WITH_TIMEOUT(solver.Log().Count('s'), 1, SIGNAL_TIMEOUT_MSEC);

  solver.Request_Stop();
  QVERIFY(solver.wait(SIGNAL_TIMEOUT_MSEC));
  QTRY_COMPARE_WITH_TIMEOUT(solver.Log().Count('f'), 1, SIGNAL_TIMEOUT_MSEC);
  QCOMPARE(solver.Log().Count('s'), 1);

  // The thread can run again and fits anew.
  solver.start();
  QTRY_COMPARE_WITH_TIMEOUT(solver.Log().Count('s'), 2, SIGNAL_TIMEOUT_MSEC);
}

// A stop requested during the first fit (even before the thread gets to run)
// ends it after the current pass, without a publication.
void TTestCalculateSquare::stopWhileFitting()
{
  TRecords records;
  Add_Large_Set(&records, 999.9, 1000.1);
  TTestSolver solver;

  solver.Set_Measurement_Data(records.List());
  solver.start();
  solver.Request_Stop();
  QVERIFY(solver.wait(SIGNAL_TIMEOUT_MSEC));
  QTRY_COMPARE_WITH_TIMEOUT(solver.Log().Count('f'), 1, SIGNAL_TIMEOUT_MSEC);
  QCOMPARE(solver.Log().Count('n'), 0);
  QCOMPARE(solver.Log().Count('s'), 0);
}

void TTestCalculateSquare::destroyWhileRunning()
{
  TRecords records;
  Add_Large_Set(&records, 999.9, 1000.1);
  auto solver = std::make_unique<TCalculateSquare>(nullptr);
  solver->Set_Measurement_Data(records.List());
  solver->start();
  QVERIFY(solver->isRunning());
  solver.reset();
}

// Each hand-over is numbered, and each publication carries the number of the
// hand-over it fitted.
void TTestCalculateSquare::dataSerial()
{
  TRecords records;
  Add_Face_Diagonal_Pair(&records, 999.9, 1000.1);
  TTestSolver solver;
  QCOMPARE(solver.Data_Serial(), quint64(0));
  QCOMPARE(solver.Result().serial, std::uint64_t(0));
  solver.Set_Measurement_Data(records.List());
  QCOMPARE(solver.Data_Serial(), quint64(1));

  solver.start();
  QTRY_COMPARE_WITH_TIMEOUT(solver.Log().Count('s'), 1, SIGNAL_TIMEOUT_MSEC);
  QCOMPARE(solver.Result().serial, std::uint64_t(1));
  QCOMPARE(solver.Result().ballbar_count, 2);

  solver.Set_Measurement_Data({});
  QCOMPARE(solver.Data_Serial(), quint64(2));
  QTRY_COMPARE_WITH_TIMEOUT(solver.Log().Count('s'), 2, SIGNAL_TIMEOUT_MSEC);
  QCOMPARE(solver.Result().serial, std::uint64_t(2));
  QCOMPARE(solver.Result().ballbar_count, 0);
  double values[4] = {};
  QVERIFY(!solver.Final_Error_Statistics(&values[0], &values[1], &values[2], &values[3]));

  solver.Request_Stop();
  QVERIFY(solver.wait(SIGNAL_TIMEOUT_MSEC));
  QCOMPARE(solver.Log().Results().back().serial, std::uint64_t(2));
}

// While the data is out of date, not even the copy handed over before is
// fitted: a fit of it would be published under the new number and taken for
// the set being copied. The next hand-over is fitted under its own number.
void TTestCalculateSquare::outOfDateDataIsNotFitted()
{
  TRecords before, after;
  Add_Two_Small_Sets(&before, &after);
  TTestSolver solver;
  solver.Set_Measurement_Data(before.List());
  solver.Invalidate_Data();
  QCOMPARE(solver.Data_Serial(), quint64(2));
  solver.Fit_Once();
  QCOMPARE(solver.Log().Count('s'), 0);
  QCOMPARE(solver.Result().serial, std::uint64_t(0));

  solver.Set_Snapshot(Snapshot_Of(after.List()), TUncertaintySettings());
  solver.Fit_Once();
  QCOMPARE(solver.Log().Count('s'), 1);
  QCOMPARE(solver.Result().serial, std::uint64_t(3));
  QCOMPARE(solver.Result().ballbar_count, 3);
  QVERIFY(solver.Result().xy_error == Fit(after.List()).xy_error);
}

// Read while another thread hands over and publishes, the result is always
// one fit whole: the fits of two lists alternate, each with its own number.
void TTestCalculateSquare::resultIsReadWhole()
{
  TRecords first, second;
  Add_Two_Small_Sets(&first, &second);
  const TFitResult fits[2] = {Fit(first.List()), Fit(second.List())};
  TTestSolver solver;
  std::atomic<bool> reading{false}, done{false};
  std::thread publisher([&solver, &first, &second, &reading, &done] {
    while(!reading)
      std::this_thread::yield();
    for(int i = 0; i < 1000; ++i)
    {
      solver.Set_Measurement_Data(i % 2 == 0 ? first.List() : second.List());
      solver.Fit_Once();
    }
    done = true;
  });

  int reads = 0, torn = 0;
  reading = true;
  for(bool last = false; !last; ++reads)
  {
    last = done;
    const TFitResult result = solver.Result();
    const TFitResult& expected = fits[(result.serial + 1) % 2];
    if(result.serial != 0 && (result.xy_error != expected.xy_error || result.ballbar_count != expected.ballbar_count ||
                              result.final_statistics.max_length != expected.final_statistics.max_length))
      ++torn;
  }
  publisher.join();
  QCOMPARE(torn, 0);
  QCOMPARE(solver.Result().serial, std::uint64_t(1000));
  QVERIFY(reads > 1);
}

// Each publication carries the analysis of its own fit, made on the values
// as handed over with the settings handed over with them; the fit's numbers
// are those of the fit alone.
void TTestCalculateSquare::analysisOfEachFit()
{
  TRecords records;
  Add_Face_Diagonal_Pair(&records, 999.9, 1000.1);
  Add_Face_Diagonal_Pair(&records, 999.95, 1000.08);
  records.Add_Length(TVector3(0, 1, 1), 700.1, 700.0);
  TUncertaintySettings settings;
  settings.ball_bar = TLengthUncertainty{2.0, 3.0};
  const TMeasurementSnapshot snapshot = Snapshot_Of(records.List());
  const TFitResult fit = Fit_Square(snapshot);
  const TSquareAnalysis expected = Analyse_Square(snapshot, fit, settings);
  QVERIFY(expected.errors[SQUARE_ERROR_XY].expanded);
  TTestSolver solver;
  QVERIFY(!solver.Result().analysis);

  solver.Set_Measurement_Data(records.List(), settings);
  solver.start();
  QTRY_COMPARE_WITH_TIMEOUT(solver.Log().Count('s'), 1, SIGNAL_TIMEOUT_MSEC);
  const TSolverResult result = solver.Result();
  QVERIFY(result.xy_error == fit.xy_error && result.yz_error == fit.yz_error && result.zx_error == fit.zx_error);
  QVERIFY(result.final_statistics.max_error == fit.final_statistics.max_error);
  QVERIFY(result.ballbar_length == fit.ballbar_length);
  QVERIFY(result.analysis);
  const TSquareAnalysis& analysis = *result.analysis;
  QVERIFY(analysis.errors[SQUARE_ERROR_XY].expanded == expected.errors[SQUARE_ERROR_XY].expanded);
  QVERIFY(analysis.errors[SQUARE_ERROR_XY].stated == expected.errors[SQUARE_ERROR_XY].stated);
  QVERIFY(!analysis.errors[SQUARE_ERROR_YZ].expanded);
  QCOMPARE(analysis.degrees_of_freedom, expected.degrees_of_freedom);
  QVERIFY(analysis.birge_ratio == expected.birge_ratio);
  QCOMPARE(analysis.residuals.size(), records.List().size());
  for(size_t i = 0; i < analysis.residuals.size(); ++i)
    QVERIFY(analysis.residuals[i].deviation_after == expected.residuals[i].deviation_after);

  // Other settings alone give another analysis of the same fit.
  solver.Set_Measurement_Data(records.List());
  QTRY_COMPARE_WITH_TIMEOUT(solver.Log().Count('s'), 2, SIGNAL_TIMEOUT_MSEC);
  const TSolverResult again = solver.Result();
  QVERIFY(again.xy_error == fit.xy_error);
  QVERIFY(again.analysis->errors[SQUARE_ERROR_XY].stated ==
          Analyse_Square(snapshot, fit, TUncertaintySettings()).errors[SQUARE_ERROR_XY].stated);
  QVERIFY(again.analysis->errors[SQUARE_ERROR_XY].stated != analysis.errors[SQUARE_ERROR_XY].stated);
}

// The GUI thread keeps adding, editing, replacing and deleting records while
// fits run, deleting and editing records right after each hand-over, and
// writes a published ball-bar length into the records when it belongs to the
// list last handed over. Run under ThreadSanitizer and AddressSanitizer this
// shows that the solver touches no record and that hand-over and result are
// shared under lock.
void TTestCalculateSquare::stress()
{
  std::mt19937 random(20240607);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  auto random_record = [&random, &unit]() -> TMeasurement* {
    TMeasurement* record = (random() % 2 == 0) ? static_cast<TMeasurement*>(new TMeasurementBallBar)
                                               : static_cast<TMeasurement*>(new TMeasurementLength);
    record->Set_Axis(TVector3(unit(random), unit(random), unit(random)));
    record->Set_Position(TVector3(unit(random), unit(random), unit(random)) * 500.0);
    record->Set_Actual_Length(1000.0 + unit(random));
    record->Set_Nominal_Length(1000.0);
    return record;
  };
  auto edit = [&random, &unit](TMeasurement* record) {
    record->Set_Actual_Length(1000.0 + unit(random));
    record->Set_Axis(TVector3(unit(random), unit(random), 1.0));
  };

  std::vector<TMeasurement*> list;
  TTestSolver solver;
  std::uint64_t applied_serial = 0;
  connect(&solver, &TCalculateSquare::Nominal_Ballbar_Length_Updated, this, [&solver, &list, &applied_serial] {
    const TFitResult result = solver.Result();
    if(result.serial != solver.Data_Serial())
      return;
    for(TMeasurement* record : list)
      if(record->Type() == TMeasurement::MEASUREMENT_BALLBAR && result.ballbar_count > 0)
        record->Set_Nominal_Length(result.ballbar_length);
    applied_serial = result.serial;
  });
  for(int i = 0; i < 1000; ++i)
    list.push_back(random_record());
  solver.Set_Measurement_Data(list);
  solver.start();

  for(int operation = 0; operation < 6000; ++operation)
  {
    std::unique_ptr<TMeasurement> taken_out;
    const std::size_t index = list.empty() ? 0 : random() % list.size();
    switch(list.empty() ? 0 : random() % 4)
    {
      case 0: list.push_back(random_record()); break;
      case 1: edit(list[index]); break;
      case 2: taken_out.reset(list[index]); list[index] = random_record(); break;
      default: taken_out.reset(list[index]); list.erase(list.begin() + std::ptrdiff_t(index)); break;
    }
    solver.Set_Measurement_Data(list);
    taken_out.reset();
    if(!list.empty())
      edit(list[random() % list.size()]);

    if(operation % 25 == 0)
    {
      QCoreApplication::processEvents();
      QThread::usleep(random() % 1000);
    }
    if(operation % 500 == 0)
      QTest::qWait(150); // now and then let a fit complete and its ball-bar length be written
  }
  const int published = solver.Log().Count('s');
  QVERIFY(published > 0);
  qInfo("%d fits published while the records changed", published);

  // The last list, handed over once more, is fitted as a fit in this thread
  // fits it, and its ball-bar length reaches the records.
  const TMeasurementSnapshot last = Snapshot_Of(list);
  solver.Set_Measurement_Data(list);
  QTRY_COMPARE_WITH_TIMEOUT(applied_serial, std::uint64_t(solver.Data_Serial()), SIGNAL_TIMEOUT_MSEC);
  solver.Request_Stop();
  QVERIFY(solver.wait(SIGNAL_TIMEOUT_MSEC));
  QCoreApplication::processEvents(); // no call of the slot above outlives the list
  const TFitResult threaded = solver.Result();
  const TFitResult direct = Fit_Square(last);
  QVERIFY(threaded.xy_error == direct.xy_error && threaded.yz_error == direct.yz_error);
  QVERIFY(threaded.zx_error == direct.zx_error && threaded.ballbar_length == direct.ballbar_length);
  QVERIFY(threaded.ballbar_count > 0);
  for(const TMeasurement* record : list)
    if(record->Type() == TMeasurement::MEASUREMENT_BALLBAR)
      QVERIFY(record->Nominal_Length() == threaded.ballbar_length);

  for(TMeasurement* record : list)
    delete record;
}

QTEST_GUILESS_MAIN(TTestCalculateSquare)

#include "test_calculatesquare.moc"
