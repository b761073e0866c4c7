#include <QCoreApplication>
#include <QSignalSpy>
#include <QStringList>
#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "calculatesquare.h"
#include "measurement.h"

Q_DECLARE_METATYPE(TVector3)

namespace
{
// Gives the tests the solver's internal steps.
class TTestSolver : public TCalculateSquare
{
public:
  TTestSolver() : TCalculateSquare(nullptr) {}

  using TCalculateSquare::Adopt_Measurement_Data;
  using TCalculateSquare::Calculate_Error;
  using TCalculateSquare::Enable_Fields;
  using TCalculateSquare::Fit_Once;
  using TCalculateSquare::Update_Final_Statistics;
  using TCalculateSquare::Update_Initial_Statistics;
  using TCalculateSquare::Update_Nominal_BallBar_Length;

  void Load(const std::vector<TMeasurement*>& list)
  {
    Set_Measurement_Data(list);
    Adopt_Measurement_Data();
  }
};

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

struct TResult
{
  double xy = 0.0;
  double yz = 0.0;
  double zx = 0.0;
  bool xy_valid = false;
  bool yz_valid = false;
  bool zx_valid = false;
};

TResult Read_Result(const TCalculateSquare& solver)
{
  TResult result;
  result.xy = solver.XY_Error(&result.xy_valid);
  result.yz = solver.YZ_Error(&result.yz_valid);
  result.zx = solver.ZX_Error(&result.zx_valid);
  return result;
}

TResult Fit(const std::vector<TMeasurement*>& list)
{
  TTestSolver solver;
  solver.Set_Measurement_Data(list);
  solver.Fit_Once();
  return Read_Result(solver);
}

// The two XY face-diagonal ball bars whose lengths differ by 0.2 mm.
void Add_Face_Diagonal_Pair(TRecords* records, double length_along_plus, double length_along_minus)
{
  records->Add_Ball_Bar(TVector3(1.0, 1.0, 0.0), length_along_plus, TVector3(100.0, -50.0, 20.0));
  records->Add_Ball_Bar(TVector3(1.0, -1.0, 0.0), length_along_minus, TVector3(-300.0, 10.0, 400.0));
}

// A machine whose axes are tilted by the given squareness errors (mm/m): its
// axis directions in true space are the rows of the correction matrix.
class TSimulatedMachine
{
public:
  TSimulatedMachine(double xy, double yz, double zx)
    : d_x(std::cos(xy / 1000.0), std::sin(xy / 1000.0), 0.0),
      d_y(0.0, std::cos(yz / 1000.0), std::sin(yz / 1000.0)),
      d_z(std::sin(zx / 1000.0), 0.0, std::cos(zx / 1000.0))
  {
  }

  // Length the machine reports along a direction for a line of a true length.
  double Reported_Length(const TVector3& machine_direction, double true_length) const
  {
    TVector3 u(machine_direction);
    u.Normal();
    const TVector3 corrected(d_x ^ u, d_y ^ u, d_z ^ u);
    return true_length / corrected.Length();
  }

private:
  TVector3 d_x;
  TVector3 d_y;
  TVector3 d_z;
};

const double BOX_X = 800.0;
const double BOX_Y = 600.0;
const double BOX_Z = 500.0;
const double BALL_BAR_LENGTH = 700.0;

std::vector<TVector3> Face_Diagonals()
{
  return {TVector3(BOX_X, BOX_Y, 0.0), TVector3(BOX_X, -BOX_Y, 0.0), TVector3(0.0, BOX_Y, BOX_Z),
          TVector3(0.0, BOX_Y, -BOX_Z), TVector3(BOX_X, 0.0, BOX_Z), TVector3(BOX_X, 0.0, -BOX_Z)};
}

std::vector<TVector3> Body_Diagonals()
{
  return {TVector3(BOX_X, BOX_Y, BOX_Z), TVector3(-BOX_X, BOX_Y, BOX_Z), TVector3(-BOX_X, -BOX_Y, BOX_Z),
          TVector3(BOX_X, -BOX_Y, BOX_Z)};
}

std::vector<TVector3> Box_Axes()
{
  return {TVector3(BOX_X, 0.0, 0.0), TVector3(0.0, BOX_Y, 0.0), TVector3(0.0, 0.0, BOX_Z)};
}

enum TSimulatedSet
{
  BALL_BAR_FACE_DIAGONALS,
  BALL_BAR_BODY_DIAGONALS,
  LENGTH_AXES_AND_FACE_DIAGONALS,
  LENGTH_AXES_AND_BODY_DIAGONALS_BALL_BAR
};

void Add_Ball_Bars(TRecords* records, const TSimulatedMachine& machine, const std::vector<TVector3>& directions)
{
  for(const TVector3& direction : directions)
    records->Add_Ball_Bar(direction, machine.Reported_Length(direction, BALL_BAR_LENGTH), direction * 0.1);
}

void Add_Lengths(TRecords* records, const TSimulatedMachine& machine, const std::vector<TVector3>& lines)
{
  for(const TVector3& line : lines)
    records->Add_Length(line, machine.Reported_Length(line, line.Length()), line.Length(), line * -0.2);
}

void Build_Simulated_Set(TRecords* records, const TSimulatedMachine& machine, TSimulatedSet set)
{
  switch(set)
  {
    case BALL_BAR_FACE_DIAGONALS:
      Add_Ball_Bars(records, machine, Face_Diagonals());
      break;
    case BALL_BAR_BODY_DIAGONALS:
      Add_Ball_Bars(records, machine, Body_Diagonals());
      break;
    case LENGTH_AXES_AND_FACE_DIAGONALS:
      Add_Lengths(records, machine, Box_Axes());
      Add_Lengths(records, machine, Face_Diagonals());
      break;
    case LENGTH_AXES_AND_BODY_DIAGONALS_BALL_BAR:
      Add_Lengths(records, machine, Box_Axes());
      Add_Ball_Bars(records, machine, Body_Diagonals());
      break;
  }
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
  void calculateError_data();
  void calculateError();
  void positionDoesNotChangeError();
  void nominalBallBarLength();
  void nominalBallBarLengthWithoutBallBars();
  void initialStatistics();
  void finalStatistics();
  void statisticsOfEmptyList();
  void enableFields_data();
  void enableFields();
  void workedExample_data();
  void workedExample();
  void emptyList();
  void simulatedMachine_data();
  void simulatedMachine();
  void absurdInputEnds_data();
  void absurdInputEnds();
  void endlesslyFallingErrorEnds();
  void signalOrderAndCount();
  void restartWhenIdle();
  void interruptedFitIsNotPublished();
  void stopWhileIdle();
  void stopWhileFitting();
  void destroyWhileRunning();
  void dataSerialAndAdoption();
  void stress();
};

void TTestCalculateSquare::calculateError_data()
{
  QTest::addColumn<QList<double>>("actual_lengths");
  QTest::addColumn<double>("expected");

  QTest::newRow("none") << QList<double>() << 0.0;
  QTest::newRow("one 0.5 long") << QList<double>{1000.5} << 0.25;
  QTest::newRow("0.5 long and 1.0 short") << QList<double>{1000.5, 999.0} << 0.625;
  QTest::newRow("exact") << QList<double>{1000.0, 1000.0} << 0.0;
}

void TTestCalculateSquare::calculateError()
{
  QFETCH(QList<double>, actual_lengths);
  QFETCH(double, expected);

  TRecords records;
  for(double length : actual_lengths)
    records.Add_Length(TVector3(0.0, 1.0, 0.0), length, 1000.0, TVector3(10.0, 20.0, 30.0));
  TTestSolver solver;
  solver.Load(records.List());

  const double error = solver.Calculate_Error(TVector3(1, 0, 0), TVector3(0, 1, 0), TVector3(0, 0, 1));
  QVERIFY(std::fabs(error - expected) < 1e-9);
}

void TTestCalculateSquare::positionDoesNotChangeError()
{
  TRecords near;
  near.Add_Length(TVector3(1.0, 2.0, 3.0), 1000.3, 1000.0);
  TRecords far;
  far.Add_Length(TVector3(1.0, 2.0, 3.0), 1000.3, 1000.0, TVector3(1500.0, -2500.0, 800.0));

  const TVector3 x = TVector3(1.0, 0.001, 0.0).Normal();
  const TVector3 y = TVector3(0.0, 1.0, -0.002).Normal();
  const TVector3 z = TVector3(0.0005, 0.0, 1.0).Normal();
  TTestSolver near_solver;
  near_solver.Load(near.List());
  TTestSolver far_solver;
  far_solver.Load(far.List());

  const double near_error = near_solver.Calculate_Error(x, y, z);
  QVERIFY(near_error > 0.01);
  QVERIFY(std::fabs(far_solver.Calculate_Error(x, y, z) - near_error) < 1e-9);
}

void TTestCalculateSquare::nominalBallBarLength()
{
  TRecords records;
  TMeasurement* short_bar = records.Add_Ball_Bar(TVector3(1, 1, 0), 999.0);
  TMeasurement* length = records.Add_Length(TVector3(1, 0, 0), 498.0, 500.0);
  TMeasurement* long_bar = records.Add_Ball_Bar(TVector3(1, -1, 0), 1001.0, TVector3(50, 60, 70));
  TTestSolver solver;
  solver.Load(records.List());

  solver.Update_Nominal_BallBar_Length(TVector3(1, 0, 0), TVector3(0, 1, 0), TVector3(0, 0, 1));

  QVERIFY(std::fabs(short_bar->Nominal_Length() - 1000.0) < 1e-9);
  QVERIFY(std::fabs(long_bar->Nominal_Length() - 1000.0) < 1e-9);
  QCOMPARE(length->Nominal_Length(), 500.0);
}

void TTestCalculateSquare::nominalBallBarLengthWithoutBallBars()
{
  TRecords records;
  TMeasurement* length = records.Add_Length(TVector3(1, 0, 0), 498.0, 500.0);
  TTestSolver solver;
  solver.Load(records.List());

  solver.Update_Nominal_BallBar_Length(TVector3(1, 0, 0), TVector3(0, 1, 0), TVector3(0, 0, 1));

  QCOMPARE(length->Nominal_Length(), 500.0);
  QCOMPARE(length->Actual_Length(), 498.0);
}

void TTestCalculateSquare::initialStatistics()
{
  TRecords records;
  records.Add_Ball_Bar(TVector3(1, 1, 0), 999.0);
  records.Add_Ball_Bar(TVector3(1, -1, 0), 1001.0);
  TTestSolver solver;
  solver.Load(records.List());
  solver.Update_Nominal_BallBar_Length(TVector3(1, 0, 0), TVector3(0, 1, 0), TVector3(0, 0, 1));

  solver.Update_Initial_Statistics();

  double min_length = 0.0, max_length = 0.0, min_error = 0.0, max_error = 0.0;
  QVERIFY(solver.Initial_Error_Statistics(&min_length, &max_length, &min_error, &max_error));
  QCOMPARE(min_length, 999.0);
  QCOMPARE(max_length, 1001.0);
  QCOMPARE(min_error, -1.0);
  QCOMPARE(max_error, 1.0);
}

void TTestCalculateSquare::finalStatistics()
{
  TRecords records;
  records.Add_Length(TVector3(1, 0, 0), 1000.0, 1000.5);
  records.Add_Length(TVector3(1, 1, 0), 500.0, 499.0);
  TTestSolver solver;
  solver.Load(records.List());

  // X tilted so that a line along (1, 1, 0) is corrected by a known factor.
  const double angle = 0.01;
  const TVector3 x(std::cos(angle), std::sin(angle), 0.0);
  solver.Update_Final_Statistics(x, TVector3(0, 1, 0), TVector3(0, 0, 1));

  const double along_x = 1000.0 * std::cos(angle);
  const double diagonal = 500.0 * std::sqrt(1.0 + std::sin(2.0 * angle) / 2.0);
  double min_length = 0.0, max_length = 0.0, min_error = 0.0, max_error = 0.0;
  QVERIFY(solver.Final_Error_Statistics(&min_length, &max_length, &min_error, &max_error));
  QVERIFY(std::fabs(min_length - diagonal) < 1e-9);
  QVERIFY(std::fabs(max_length - along_x) < 1e-9);
  QVERIFY(std::fabs(min_error - (along_x - 1000.5)) < 1e-9);
  QVERIFY(std::fabs(max_error - (diagonal - 499.0)) < 1e-9);
}

void TTestCalculateSquare::statisticsOfEmptyList()
{
  TTestSolver solver;
  solver.Load({});
  solver.Update_Initial_Statistics();
  solver.Update_Final_Statistics(TVector3(1, 0, 0), TVector3(0, 1, 0), TVector3(0, 0, 1));

  double values[4] = {7.0, 7.0, 7.0, 7.0};
  QVERIFY(!solver.Initial_Error_Statistics(&values[0], &values[1], &values[2], &values[3]));
  QVERIFY(!solver.Final_Error_Statistics(&values[0], &values[1], &values[2], &values[3]));
  for(double value : values)
    QCOMPARE(value, 7.0);
}

void TTestCalculateSquare::enableFields_data()
{
  QTest::addColumn<QList<TVector3>>("axes");
  QTest::addColumn<bool>("xy");
  QTest::addColumn<bool>("yz");
  QTest::addColumn<bool>("zx");

  const TVector3 b1(1, 1, 1), b2(-1, 1, 1), b3(-1, -1, 1), b4(1, -1, 1);
  QTest::newRow("empty") << QList<TVector3>() << false << false << false;
  QTest::newRow("body diagonals") << QList<TVector3>{b1, b2, b3, b4} << true << true << true;
  QTest::newRow("body diagonals reversed") << QList<TVector3>{b1 * -1.0, b2 * -1.0, b3 * -1.0, b4 * -1.0} << true
                                           << true << true;
  QTest::newRow("three body diagonals") << QList<TVector3>{b1, b2, b3} << false << false << false;
  QTest::newRow("xy face diagonals") << QList<TVector3>{TVector3(1, 1, 0), TVector3(1, -1, 0)} << true << false
                                     << false;
  QTest::newRow("yz face diagonals") << QList<TVector3>{TVector3(0, 1, 1), TVector3(0, 1, -1)} << false << true
                                     << false;
  QTest::newRow("zx face diagonals") << QList<TVector3>{TVector3(1, 0, 1), TVector3(1, 0, -1)} << false << false
                                     << true;
  QTest::newRow("all face diagonals") << QList<TVector3>{TVector3(1, 1, 0), TVector3(1, -1, 0), TVector3(0, 1, 1),
                                                         TVector3(0, 1, -1), TVector3(1, 0, 1), TVector3(1, 0, -1)}
                                      << true << true << true;
  QTest::newRow("one xy face diagonal") << QList<TVector3>{TVector3(1, 1, 0), TVector3(-1, -1, 0)} << false << false
                                        << false;
  QTest::newRow("opposite sense") << QList<TVector3>{TVector3(1, 1, 0), TVector3(-1, 1, 0)} << true << false << false;
  QTest::newRow("axes only") << QList<TVector3>{TVector3(1, 0, 0), TVector3(0, 1, 0), TVector3(0, 0, 1)} << false
                             << false << false;
  // (1, 1, 0.9) lies within 30 degrees of (1, 1, 1) but not of (1, 1, 0).
  QTest::newRow("(1,1,0.9) covers body diagonal") << QList<TVector3>{TVector3(1, 1, 0.9), b2, b3, b4} << true << true
                                                  << true;
  QTest::newRow("(1,1,0.9) misses face diagonal") << QList<TVector3>{TVector3(1, 1, 0.9), TVector3(1, -1, 0)} << false
                                                  << false << false;
  // (1, 1, 0.5) lies within 30 degrees of both.
  QTest::newRow("(1,1,0.5) covers body diagonal") << QList<TVector3>{TVector3(1, 1, 0.5), b2, b3, b4} << true << true
                                                  << true;
  QTest::newRow("(1,1,0.5) covers face diagonal") << QList<TVector3>{TVector3(1, 1, 0.5), TVector3(1, -1, 0)} << true
                                                  << false << false;
}

void TTestCalculateSquare::enableFields()
{
  QFETCH(QList<TVector3>, axes);
  QFETCH(bool, xy);
  QFETCH(bool, yz);
  QFETCH(bool, zx);

  TRecords records;
  for(const TVector3& axis : axes)
    records.Add_Ball_Bar(axis, 1000.0);
  TTestSolver solver;
  solver.Load(records.List());

  bool enable_xy = !xy, enable_yz = !yz, enable_zx = !zx;
  solver.Enable_Fields(&enable_xy, &enable_yz, &enable_zx);
  QCOMPARE(enable_xy, xy);
  QCOMPARE(enable_yz, yz);
  QCOMPARE(enable_zx, zx);
}

void TTestCalculateSquare::workedExample_data()
{
  QTest::addColumn<bool>("ball_bars");
  QTest::addColumn<double>("length_along_plus");
  QTest::addColumn<double>("length_along_minus");
  QTest::addColumn<double>("expected_xy");

  QTest::newRow("ball bars") << true << 999.9 << 1000.1 << 0.2;
  QTest::newRow("ball bars swapped") << true << 1000.1 << 999.9 << -0.2;
  QTest::newRow("lengths") << false << 999.9 << 1000.1 << 0.2;
  QTest::newRow("lengths swapped") << false << 1000.1 << 999.9 << -0.2;
}

void TTestCalculateSquare::workedExample()
{
  QFETCH(bool, ball_bars);
  QFETCH(double, length_along_plus);
  QFETCH(double, length_along_minus);
  QFETCH(double, expected_xy);

  TRecords records;
  if(ball_bars)
    Add_Face_Diagonal_Pair(&records, length_along_plus, length_along_minus);
  else
  {
    records.Add_Length(TVector3(1, 1, 0), length_along_plus, 1000.0, TVector3(5, 5, 5));
    records.Add_Length(TVector3(1, -1, 0), length_along_minus, 1000.0, TVector3(-5, 300, 0));
  }

  const TResult result = Fit(records.List());

  QVERIFY2(std::fabs(result.xy - expected_xy) < 1e-6, qPrintable(QString::number(result.xy, 'g', 17)));
  QVERIFY(result.xy_valid);
  QCOMPARE(result.yz, 0.0);
  QVERIFY(!result.yz_valid);
  QCOMPARE(result.zx, 0.0);
  QVERIFY(!result.zx_valid);
  for(const TMeasurement* record : records.List())
    QVERIFY(std::fabs(record->Nominal_Length() - 1000.0) < 1e-3);
}

void TTestCalculateSquare::emptyList()
{
  TTestSolver solver;
  QSignalSpy nominal_spy(&solver, &TCalculateSquare::Nominal_Ballbar_Length_Updated);
  QSignalSpy squareness_spy(&solver, &TCalculateSquare::Squareness_Updated);

  solver.start();
  QTRY_COMPARE_WITH_TIMEOUT(squareness_spy.count(), 1, SIGNAL_TIMEOUT_MSEC);
  QCOMPARE(nominal_spy.count(), 1);

  const TResult result = Read_Result(solver);
  QCOMPARE(result.xy, 0.0);
  QCOMPARE(result.yz, 0.0);
  QCOMPARE(result.zx, 0.0);
  QVERIFY(!result.xy_valid && !result.yz_valid && !result.zx_valid);
  double values[4] = {};
  QVERIFY(!solver.Initial_Error_Statistics(&values[0], &values[1], &values[2], &values[3]));
  QVERIFY(!solver.Final_Error_Statistics(&values[0], &values[1], &values[2], &values[3]));
}

void TTestCalculateSquare::simulatedMachine_data()
{
  QTest::addColumn<int>("set");
  QTest::addColumn<double>("xy");
  QTest::addColumn<double>("yz");
  QTest::addColumn<double>("zx");
  QTest::addColumn<bool>("all_valid");

  QTest::newRow("ball bars on face diagonals") << int(BALL_BAR_FACE_DIAGONALS) << 0.05 << -0.03 << 0.02 << true;
  QTest::newRow("ball bars on body diagonals") << int(BALL_BAR_BODY_DIAGONALS) << 0.05 << -0.03 << 0.02 << true;
  QTest::newRow("lengths on axes and face diagonals")
    << int(LENGTH_AXES_AND_FACE_DIAGONALS) << -0.12 << 0.08 << 0.015 << true;
  QTest::newRow("lengths on axes, ball bars on body diagonals")
    << int(LENGTH_AXES_AND_BODY_DIAGONALS_BALL_BAR) << 0.3 << 0.1 << -0.25 << true;
}

void TTestCalculateSquare::simulatedMachine()
{
  QFETCH(int, set);
  QFETCH(double, xy);
  QFETCH(double, yz);
  QFETCH(double, zx);
  QFETCH(bool, all_valid);

  TRecords records;
  Build_Simulated_Set(&records, TSimulatedMachine(xy, yz, zx), static_cast<TSimulatedSet>(set));

  const TResult result = Fit(records.List());

  const QString message = QString("fitted %1 %2 %3").arg(result.xy, 0, 'g', 12).arg(result.yz, 0, 'g', 12).arg(result.zx, 0, 'g', 12);
  QVERIFY2(std::fabs(result.xy - xy) < 1e-5, qPrintable(message));
  QVERIFY2(std::fabs(result.yz - yz) < 1e-5, qPrintable(message));
  QVERIFY2(std::fabs(result.zx - zx) < 1e-5, qPrintable(message));
  QCOMPARE(result.xy_valid && result.yz_valid && result.zx_valid, all_valid);
}

void TTestCalculateSquare::absurdInputEnds_data()
{
  QTest::addColumn<double>("length_along_plus");
  QTest::addColumn<double>("nominal_along_plus");
  QTest::addColumn<double>("length_along_minus");

  const double infinity = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  QTest::newRow("nan") << nan << 1000.0 << 1000.0;
  QTest::newRow("infinite") << infinity << 1000.0 << 1000.0;
  QTest::newRow("infinite nominal") << 1000.0 << infinity << 1000.0;
  QTest::newRow("huge") << 1e300 << 1000.0 << 1000.0;
  QTest::newRow("huge nominal") << 1000.0 << 1e12 << 1000.0;
  QTest::newRow("zero and huge") << 0.0 << 1000.0 << 1e9;
  QTest::newRow("negative") << -1000.0 << 1000.0 << 1000.0;
}

// The fit ends and publishes on any input; the values themselves are not
// meaningful here.
void TTestCalculateSquare::absurdInputEnds()
{
  QFETCH(double, length_along_plus);
  QFETCH(double, nominal_along_plus);
  QFETCH(double, length_along_minus);

  TRecords records;
  records.Add_Length(TVector3(1, 1, 0), length_along_plus, nominal_along_plus);
  records.Add_Length(TVector3(1, -1, 0), length_along_minus, 1000.0);
  records.Add_Ball_Bar(TVector3(0, 1, 1), length_along_plus);
  records.Add_Ball_Bar(TVector3(0, 1, -1), length_along_minus);
  records.Add_Length(TVector3(1, 0, 1), length_along_minus, nominal_along_plus);
  records.Add_Length(TVector3(1, 0, -1), length_along_plus, 1000.0);

  TTestSolver solver;
  QSignalSpy squareness_spy(&solver, &TCalculateSquare::Squareness_Updated);
  solver.Set_Measurement_Data(records.List());
  solver.Fit_Once();
  QCOMPARE(squareness_spy.count(), 1);
  QVERIFY(Read_Result(solver).xy_valid);
}

// A length along X that should be 0 makes the error fall with every step that
// turns X towards Y, for millions of steps; the bounded line searches end the
// fit regardless.
void TTestCalculateSquare::endlesslyFallingErrorEnds()
{
  TRecords records;
  records.Add_Length(TVector3(1, 1, 0), 0.0, 0.0);
  records.Add_Length(TVector3(1, -1, 0), 0.0, 0.0);
  records.Add_Length(TVector3(1, 0, 0), 1000.0, 0.0);

  const TResult result = Fit(records.List());

  QVERIFY(result.xy_valid);
  QVERIFY(std::isfinite(result.xy));
  QVERIFY2(result.xy > 1570.0 && result.xy < 1571.0, qPrintable(QString::number(result.xy, 'g', 12)));
}

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
  QVERIFY(std::fabs(Read_Result(solver).xy - 0.2) < 1e-6);
}

void TTestCalculateSquare::restartWhenIdle()
{
  TRecords first;
  Add_Face_Diagonal_Pair(&first, 999.9, 1000.1);
  TRecords second;
  Add_Face_Diagonal_Pair(&second, 1000.1, 999.9);
  TTestSolver solver;
  QSignalSpy nominal_spy(&solver, &TCalculateSquare::Nominal_Ballbar_Length_Updated);
  QSignalSpy squareness_spy(&solver, &TCalculateSquare::Squareness_Updated);

  solver.Set_Measurement_Data(first.List());
  solver.start();
  QTRY_COMPARE_WITH_TIMEOUT(squareness_spy.count(), 1, SIGNAL_TIMEOUT_MSEC);
  QTest::qWait(250);
  QCOMPARE(squareness_spy.count(), 1);

  solver.Set_Measurement_Data(second.List());
  QTRY_COMPARE_WITH_TIMEOUT(squareness_spy.count(), 2, SIGNAL_TIMEOUT_MSEC);
  QTest::qWait(350);
  QCOMPARE(squareness_spy.count(), 2);
  QCOMPARE(nominal_spy.count(), 2);
  QVERIFY(std::fabs(Read_Result(solver).xy + 0.2) < 1e-6);
}

// Whatever the timing, every publication is the result of a complete fit of
// one of the two lists, and the last one is that of the later list.
void TTestCalculateSquare::interruptedFitIsNotPublished()
{
  TRecords first;
  Add_Large_Set(&first, 999.9, 1000.1);
  TRecords second;
  Add_Large_Set(&second, 1000.05, 999.95);
  const double first_xy = Fit(first.List()).xy;
  const double second_xy = Fit(second.List()).xy;
  QVERIFY(std::fabs(first_xy - second_xy) > 0.1);

  TTestSolver solver;
  QVector<double> published;
  connect(&solver, &TCalculateSquare::Squareness_Updated, &solver,
          [&solver, &published] { published << Read_Result(solver).xy; }, Qt::DirectConnection);
  QSignalSpy squareness_spy(&solver, &TCalculateSquare::Squareness_Updated);

  solver.Set_Measurement_Data(first.List());
  solver.start();
  solver.Set_Measurement_Data(second.List());
  QTRY_VERIFY_WITH_TIMEOUT(!published.isEmpty() && published.last() == second_xy, SIGNAL_TIMEOUT_MSEC);
  QTest::qWait(250);
  solver.Request_Stop();
  QVERIFY(solver.wait(SIGNAL_TIMEOUT_MSEC));

  QVERIFY(published.size() <= 2);
  QCOMPARE(published.last(), second_xy);
  for(double xy : published)
    QVERIFY(xy == first_xy || xy == second_xy);
}

void TTestCalculateSquare::stopWhileIdle()
{
  TTestSolver solver;
  QSignalSpy squareness_spy(&solver, &TCalculateSquare::Squareness_Updated);
  QSignalSpy finished_spy(&solver, &QThread::finished);
  solver.start();
  QTRY_COMPARE_WITH_TIMEOUT(squareness_spy.count(), 1, SIGNAL_TIMEOUT_MSEC);

  solver.Request_Stop();
  QVERIFY(solver.wait(SIGNAL_TIMEOUT_MSEC));
  QTRY_COMPARE_WITH_TIMEOUT(finished_spy.count(), 1, SIGNAL_TIMEOUT_MSEC);
  QCOMPARE(squareness_spy.count(), 1);

  // The thread can run again and fits anew.
  solver.start();
  QTRY_COMPARE_WITH_TIMEOUT(squareness_spy.count(), 2, SIGNAL_TIMEOUT_MSEC);
}

// A stop requested during the first fit (even before the thread gets to run)
// ends it after the current pass, without a publication.
void TTestCalculateSquare::stopWhileFitting()
{
  TRecords records;
  Add_Large_Set(&records, 999.9, 1000.1);
  TTestSolver solver;
  QSignalSpy nominal_spy(&solver, &TCalculateSquare::Nominal_Ballbar_Length_Updated);
  QSignalSpy squareness_spy(&solver, &TCalculateSquare::Squareness_Updated);
  QSignalSpy finished_spy(&solver, &QThread::finished);

  solver.Set_Measurement_Data(records.List());
  solver.start();
  solver.Request_Stop();
  QVERIFY(solver.wait(SIGNAL_TIMEOUT_MSEC));
  QTRY_COMPARE_WITH_TIMEOUT(finished_spy.count(), 1, SIGNAL_TIMEOUT_MSEC);
  QCOMPARE(nominal_spy.count(), 0);
  QCOMPARE(squareness_spy.count(), 0);
}

void TTestCalculateSquare::destroyWhileRunning()
{
  TRecords records;
  Add_Large_Set(&records, 999.9, 1000.1);
  auto solver = std::make_unique<TTestSolver>();
  solver->Set_Measurement_Data(records.List());
  solver->start();
  QVERIFY(solver->isRunning());
  solver.reset();
}

void TTestCalculateSquare::dataSerialAndAdoption()
{
  TRecords records;
  Add_Face_Diagonal_Pair(&records, 999.9, 1000.1);
  TTestSolver solver;
  QCOMPARE(solver.Data_Serial(), quint64(0));
  solver.Set_Measurement_Data(records.List());
  QCOMPARE(solver.Data_Serial(), quint64(1));
  QVERIFY(solver.Has_Adopted(1));

  QSignalSpy squareness_spy(&solver, &TCalculateSquare::Squareness_Updated);
  solver.start();
  QTRY_COMPARE_WITH_TIMEOUT(squareness_spy.count(), 1, SIGNAL_TIMEOUT_MSEC);
  QVERIFY(solver.Has_Adopted(1));
  QVERIFY(!solver.Has_Adopted(2));

  solver.Set_Measurement_Data({});
  QCOMPARE(solver.Data_Serial(), quint64(2));
  QTRY_VERIFY_WITH_TIMEOUT(solver.Has_Adopted(2), SIGNAL_TIMEOUT_MSEC);
  QTRY_COMPARE_WITH_TIMEOUT(squareness_spy.count(), 2, SIGNAL_TIMEOUT_MSEC);
  double values[4] = {};
  QVERIFY(!solver.Final_Error_Statistics(&values[0], &values[1], &values[2], &values[3]));

  solver.Request_Stop();
  QVERIFY(solver.wait(SIGNAL_TIMEOUT_MSEC));
  QVERIFY(solver.Has_Adopted(3));
}

// The GUI thread keeps adding, editing, replacing and deleting records while
// fits run; removed records are deleted only once the solver has adopted a
// list without them. Run under AddressSanitizer this shows that the solver
// never touches a deleted record.
void TTestCalculateSquare::stress()
{
  struct TRemoved
  {
    quint64 serial;
    TMeasurement* record;
  };

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

  TTestSolver solver;
  std::vector<TMeasurement*> list;
  std::vector<TRemoved> removed;
  int deleted_during_run = 0;
  auto delete_adopted = [&solver, &removed, &deleted_during_run] {
    auto keep = removed.begin();
    for(TRemoved& entry : removed)
      if(solver.Has_Adopted(entry.serial))
      {
        delete entry.record;
        ++deleted_during_run;
      }
      else
        *keep++ = entry;
    removed.erase(keep, removed.end());
  };

  double nominal_sum = 0.0;
  connect(&solver, &TCalculateSquare::Nominal_Ballbar_Length_Updated, this, [&list, &nominal_sum] {
    for(const TMeasurement* record : list)
      nominal_sum += record->Nominal_Length();
  });
  QSignalSpy squareness_spy(&solver, &TCalculateSquare::Squareness_Updated);
  for(int i = 0; i < 1000; ++i)
    list.push_back(random_record());
  solver.Set_Measurement_Data(list);
  solver.start();

  const int operations = 6000;
  for(int operation = 0; operation < operations; ++operation)
  {
    std::vector<TMeasurement*> taken_out;
    const std::size_t index = list.empty() ? 0 : random() % list.size();
    switch(list.empty() ? 0 : random() % 4)
    {
      case 0:
        list.push_back(random_record());
        break;
      case 1:
        list[index]->Set_Actual_Length(1000.0 + unit(random));
        list[index]->Set_Axis(TVector3(unit(random), unit(random), 1.0));
        break;
      case 2:
        taken_out.push_back(list[index]);
        list[index] = random_record();
        break;
      default:
        taken_out.push_back(list[index]);
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
        break;
    }
    solver.Set_Measurement_Data(list);
    for(TMeasurement* record : taken_out)
      removed.push_back({solver.Data_Serial(), record});
    delete_adopted();

    if(operation % 25 == 0)
    {
      QCoreApplication::processEvents();
      QThread::usleep(random() % 1000);
    }
    if(operation % 500 == 0)
      QTest::qWait(150); // now and then let a fit complete while the window reads the records
  }
  QVERIFY(deleted_during_run > 0);
  qInfo("%d records deleted while fitting, %d fits published", deleted_during_run, int(squareness_spy.count()));

  // Fit the final list once more and check the result against a fit in this thread.
  solver.Request_Stop();
  QVERIFY(solver.wait(SIGNAL_TIMEOUT_MSEC));
  const int published = squareness_spy.count();
  QVERIFY(published > 0);
  solver.start();
  QTRY_COMPARE_WITH_TIMEOUT(squareness_spy.count(), published + 1, SIGNAL_TIMEOUT_MSEC);
  const TResult threaded = Read_Result(solver);
  solver.Request_Stop();
  QVERIFY(solver.wait(SIGNAL_TIMEOUT_MSEC));
  delete_adopted();
  QVERIFY(removed.empty());

  const TResult direct = Fit(list);
  QCOMPARE(threaded.xy, direct.xy);
  QCOMPARE(threaded.yz, direct.yz);
  QCOMPARE(threaded.zx, direct.zx);
  QVERIFY(std::isfinite(nominal_sum));

  for(TMeasurement* record : list)
    delete record;
}

QTEST_GUILESS_MAIN(TTestCalculateSquare)

#include "test_calculatesquare.moc"
