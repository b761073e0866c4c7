// The error model as plain functions of a snapshot.
#include <QtTest>

#include <cmath>
#include <vector>

#include "measurement.h"
#include "squaremodel.h"
#include "squaresearch.h"

Q_DECLARE_METATYPE(TVector3)

namespace
{
TMeasurementValues Line(TMeasurement::TMeasurementType type, const TVector3& axis, double actual_length,
                        double nominal_length, const TVector3& position = TVector3())
{
  TMeasurementValues values;
  values.type = type;
  values.axis = axis;
  values.axis.Normal();
  values.actual_length = actual_length;
  values.nominal_length = nominal_length;
  values.position = position;
  return values;
}

TMeasurementValues Ball_Bar(const TVector3& axis, double actual_length, const TVector3& position = TVector3())
{
  return Line(TMeasurement::MEASUREMENT_BALLBAR, axis, actual_length, actual_length, position);
}

TMeasurementValues Length(const TVector3& axis, double actual_length, double nominal_length,
                          const TVector3& position = TVector3())
{
  return Line(TMeasurement::MEASUREMENT_LENGTH, axis, actual_length, nominal_length, position);
}

TVector3 Unit(const TVector3& direction)
{
  TVector3 unit(direction);
  return unit.Normal();
}

bool Same(const TVector3& a, const TVector3& b)
{
  return a.x == b.x && a.y == b.y && a.z == b.z;
}
}

class TTestSquareModel : public QObject
{
  Q_OBJECT

private slots:
  void snapshotCopiesValues();
  void calculateError_data();
  void calculateError();
  void positionDoesNotChangeError();
  void nominalBallBarLength();
  void nominalBallBarLengthWithoutBallBars();
  void initialStatistics();
  void finalStatistics();
  void statisticsOfEmptySnapshot();
  void enableFields_data();
  void enableFields();
};

void TTestSquareModel::snapshotCopiesValues()
{
  TMeasurementBallBar ball_bar;
  ball_bar.Set_Axis(TVector3(1.0, 2.0, 2.0));
  ball_bar.Set_Position(TVector3(10.0, -20.0, 30.0));
  ball_bar.Set_Actual_Length(300.25);
  TMeasurementLength length;
  length.Set_Start_End_Points(TVector3(0.0, 0.0, 100.0), TVector3(0.0, 0.0, 0.5));
  length.Set_Actual_Length(99.5);

  const TMeasurementSnapshot snapshot = Snapshot_Of({&ball_bar, &length});

  QCOMPARE(int(snapshot.size()), 2);
  QCOMPARE(snapshot[0].type, TMeasurement::MEASUREMENT_BALLBAR);
  QCOMPARE(snapshot[1].type, TMeasurement::MEASUREMENT_LENGTH);
  const TMeasurement* records[2] = {&ball_bar, &length};
  for(std::size_t i = 0; i < 2; ++i)
  {
    const TMeasurementValues& values = snapshot[i];
    QVERIFY(Same(values.axis, records[i]->Axis()));
    QVERIFY(Same(values.position, records[i]->Position()));
    QVERIFY(values.nominal_length == records[i]->Nominal_Length());
    QVERIFY(values.actual_length == records[i]->Actual_Length());
    QVERIFY(Same(values.Start_Point(), records[i]->Start_Point()));
    QVERIFY(Same(values.End_Point(), records[i]->End_Point()));
  }
  QVERIFY(Snapshot_Of({}).empty());
}

void TTestSquareModel::calculateError_data()
{
  QTest::addColumn<QList<double>>("actual_lengths");
  QTest::addColumn<double>("expected");

  QTest::newRow("none") << QList<double>() << 0.0;
  QTest::newRow("one 0.5 long") << QList<double>{1000.5} << 0.25;
  QTest::newRow("0.5 long and 1.0 short") << QList<double>{1000.5, 999.0} << 0.625;
  QTest::newRow("exact") << QList<double>{1000.0, 1000.0} << 0.0;
}

void TTestSquareModel::calculateError()
{
  QFETCH(QList<double>, actual_lengths);
  QFETCH(double, expected);

  TMeasurementSnapshot snapshot;
  for(double length : actual_lengths)
    snapshot.push_back(Length(TVector3(0.0, 1.0, 0.0), length, 1000.0, TVector3(10.0, 20.0, 30.0)));

  QVERIFY(std::fabs(Calculate_Error(snapshot, TSquareAxes()) - expected) < 1e-9);
}

void TTestSquareModel::positionDoesNotChangeError()
{
  const TMeasurementSnapshot near = {Length(TVector3(1.0, 2.0, 3.0), 1000.3, 1000.0)};
  const TMeasurementSnapshot far = {Length(TVector3(1.0, 2.0, 3.0), 1000.3, 1000.0, TVector3(1500.0, -2500.0, 800.0))};
  const TSquareAxes axes{Unit(TVector3(1.0, 0.001, 0.0)), Unit(TVector3(0.0, 1.0, -0.002)),
                         Unit(TVector3(0.0005, 0.0, 1.0))};

  const double near_error = Calculate_Error(near, axes);
  QVERIFY(near_error > 0.01);
  QVERIFY(std::fabs(Calculate_Error(far, axes) - near_error) < 1e-9);
}

void TTestSquareModel::nominalBallBarLength()
{
  TMeasurementSnapshot snapshot = {Ball_Bar(TVector3(1, 1, 0), 999.0), Length(TVector3(1, 0, 0), 498.0, 500.0),
                                   Ball_Bar(TVector3(1, -1, 0), 1001.0, TVector3(50, 60, 70))};
  double length = 0.0;

  QCOMPARE(Update_Nominal_BallBar_Length(&snapshot, TSquareAxes(), &length), 2);

  QVERIFY(std::fabs(length - 1000.0) < 1e-9);
  QVERIFY(snapshot[0].nominal_length == length);
  QVERIFY(snapshot[2].nominal_length == length);
  QCOMPARE(snapshot[1].nominal_length, 500.0);
  // The length is optional.
  snapshot[0].nominal_length = 0.0;
  QCOMPARE(Update_Nominal_BallBar_Length(&snapshot, TSquareAxes()), 2);
  QVERIFY(snapshot[0].nominal_length == length);
}

void TTestSquareModel::nominalBallBarLengthWithoutBallBars()
{
  TMeasurementSnapshot snapshot = {Length(TVector3(1, 0, 0), 498.0, 500.0)};
  double length = 7.0;

  QCOMPARE(Update_Nominal_BallBar_Length(&snapshot, TSquareAxes(), &length), 0);

  QCOMPARE(length, 7.0);
  QCOMPARE(snapshot[0].nominal_length, 500.0);
  QCOMPARE(snapshot[0].actual_length, 498.0);
}

void TTestSquareModel::initialStatistics()
{
  TMeasurementSnapshot snapshot = {Ball_Bar(TVector3(1, 1, 0), 999.0), Ball_Bar(TVector3(1, -1, 0), 1001.0)};
  Update_Nominal_BallBar_Length(&snapshot, TSquareAxes());

  const TLengthStatistics statistics = Initial_Statistics(snapshot);

  QCOMPARE(statistics.min_length, 999.0);
  QCOMPARE(statistics.max_length, 1001.0);
  QCOMPARE(statistics.min_error, -1.0);
  QCOMPARE(statistics.max_error, 1.0);
}

void TTestSquareModel::finalStatistics()
{
  const TMeasurementSnapshot snapshot = {Length(TVector3(1, 0, 0), 1000.0, 1000.5),
                                         Length(TVector3(1, 1, 0), 500.0, 499.0)};
  // X tilted so that a line along (1, 1, 0) is corrected by a known factor.
  const double angle = 0.01;
  TSquareAxes axes;
  axes.x = TVector3(std::cos(angle), std::sin(angle), 0.0);

  const TLengthStatistics statistics = Final_Statistics(snapshot, axes);

  const double along_x = 1000.0 * std::cos(angle);
  const double diagonal = 500.0 * std::sqrt(1.0 + std::sin(2.0 * angle) / 2.0);
  QVERIFY(std::fabs(statistics.min_length - diagonal) < 1e-9);
  QVERIFY(std::fabs(statistics.max_length - along_x) < 1e-9);
  QVERIFY(std::fabs(statistics.min_error - (along_x - 1000.5)) < 1e-9);
  QVERIFY(std::fabs(statistics.max_error - (diagonal - 499.0)) < 1e-9);
}

void TTestSquareModel::statisticsOfEmptySnapshot()
{
  for(const TLengthStatistics& statistics : {Initial_Statistics({}), Final_Statistics({}, TSquareAxes())})
  {
    QCOMPARE(statistics.min_length, 0.0);
    QCOMPARE(statistics.max_length, 0.0);
    QCOMPARE(statistics.min_error, 0.0);
    QCOMPARE(statistics.max_error, 0.0);
  }
  const TFitResult result = Fit_Square({});
  QVERIFY(!result.has_statistics);
  QVERIFY(!result.valid.xy && !result.valid.yz && !result.valid.zx);
  QCOMPARE(result.xy_error, 0.0);
  QCOMPARE(result.yz_error, 0.0);
  QCOMPARE(result.zx_error, 0.0);
  QCOMPARE(result.ballbar_count, 0);
}

void TTestSquareModel::enableFields_data()
{
  QTest::addColumn<QList<TVector3>>("axes");
  QTest::addColumn<bool>("xy");
  QTest::addColumn<bool>("yz");
  QTest::addColumn<bool>("zx");

  const TVector3 b1(1, 1, 1), b2(-1, 1, 1), b3(-1, -1, 1), b4(1, -1, 1);
  const TVector3 xy1(1, 1, 0), xy2(1, -1, 0), yz1(0, 1, 1), yz2(0, 1, -1), zx1(1, 0, 1), zx2(1, 0, -1);
  QTest::newRow("empty") << QList<TVector3>() << false << false << false;
  QTest::newRow("body diagonals") << QList<TVector3>{b1, b2, b3, b4} << true << true << true;
  QTest::newRow("body diagonals reversed") << QList<TVector3>{b1 * -1.0, b2 * -1.0, b3 * -1.0, b4 * -1.0} << true
                                           << true << true;
  QTest::newRow("three body diagonals") << QList<TVector3>{b1, b2, b3} << false << false << false;
  QTest::newRow("xy face diagonals") << QList<TVector3>{xy1, xy2} << true << false << false;
  QTest::newRow("yz face diagonals") << QList<TVector3>{yz1, yz2} << false << true << false;
  QTest::newRow("zx face diagonals") << QList<TVector3>{zx1, zx2} << false << false << true;
  QTest::newRow("all face diagonals") << QList<TVector3>{xy1, xy2, yz1, yz2, zx1, zx2} << true << true << true;
  QTest::newRow("one xy face diagonal") << QList<TVector3>{xy1, xy1 * -1.0} << false << false << false;
  QTest::newRow("opposite sense") << QList<TVector3>{xy1, TVector3(-1, 1, 0)} << true << false << false;
  QTest::newRow("axes only") << QList<TVector3>{TVector3(1, 0, 0), TVector3(0, 1, 0), TVector3(0, 0, 1)} << false
                             << false << false;
  // (1, 1, 0.9) lies within 30 degrees of (1, 1, 1) but not of (1, 1, 0).
  QTest::newRow("(1,1,0.9) covers body diagonal") << QList<TVector3>{TVector3(1, 1, 0.9), b2, b3, b4} << true << true
                                                  << true;
  QTest::newRow("(1,1,0.9) misses face diagonal") << QList<TVector3>{TVector3(1, 1, 0.9), xy2} << false << false
                                                  << false;
  // (1, 1, 0.5) lies within 30 degrees of both.
  QTest::newRow("(1,1,0.5) covers body diagonal") << QList<TVector3>{TVector3(1, 1, 0.5), b2, b3, b4} << true << true
                                                  << true;
  QTest::newRow("(1,1,0.5) covers face diagonal") << QList<TVector3>{TVector3(1, 1, 0.5), xy2} << true << false
                                                  << false;
}

void TTestSquareModel::enableFields()
{
  QFETCH(QList<TVector3>, axes);
  QFETCH(bool, xy);
  QFETCH(bool, yz);
  QFETCH(bool, zx);

  TMeasurementSnapshot snapshot;
  for(const TVector3& axis : axes)
    snapshot.push_back(Ball_Bar(axis, 1000.0));

  const TEnabledErrors enabled = Enable_Fields(snapshot);
  QCOMPARE(enabled.xy, xy);
  QCOMPARE(enabled.yz, yz);
  QCOMPARE(enabled.zx, zx);
}

QTEST_GUILESS_MAIN(TTestSquareModel)

#include "test_squaremodel.moc"
