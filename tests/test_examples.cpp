// The files in examples/ load through the real window and show the errors of
// the simulated machine they describe: XY +0.05, YZ -0.03, ZX +0.02 mm/m,
// measured with one 700 mm ball bar.
#include <QtTest>

#include <QDir>

#include "measurement.h"
#include "window_helpers.h"
#include "windowtest.h"

namespace
{
const int fit_timeout_msec = 30000;
const double ballbar_length = 700.0;

QString Example(const QString& name)
{
  return QDir(QStringLiteral(ORTHAVEL_EXAMPLES)).filePath(name);
}

int Count_Of(const TOrthavel* window, TMeasurement::TMeasurementType type)
{
  int count = 0;
  for(const TMeasurement* measurement : window->Document()->Records())
    if(measurement->Type() == type)
      ++count;
  return count;
}
}

class TExamplesTest : public TWindowTest
{
  Q_OBJECT

private slots:
  void demo_project_shows_chosen_errors();
  void instrument_files_import_data();
  void instrument_files_import();

private:
  void Wait_For_Results();
  void Compare_Errors(const QString& xy, const QString& yz, const QString& zx);
};

// Only a fit of a non-empty list publishes a final maximum length above zero;
// the start-up fit of the empty list shows "----" or zeros.
void TExamplesTest::Wait_For_Results()
{
  QTRY_VERIFY_WITH_TIMEOUT(Text_Of(window, "final_max_length_label").toDouble() > 0.0, fit_timeout_msec);
}

void TExamplesTest::Compare_Errors(const QString& xy, const QString& yz, const QString& zx)
{
  QCOMPARE(Text_Of(window, "xy_squareness_label"), xy);
  QCOMPARE(Text_Of(window, "yz_squareness_label"), yz);
  QCOMPARE(Text_Of(window, "zx_squareness_label"), zx);
}

void TExamplesTest::demo_project_shows_chosen_errors()
{
  QVERIFY(window->Load_Data(Example("demo.square")));
  QCOMPARE(Count_Of(window, TMeasurement::MEASUREMENT_BALLBAR), 10);
  QCOMPARE(Count_Of(window, TMeasurement::MEASUREMENT_LENGTH), 3);
  Wait_For_Results();
  if(QTest::currentTestFailed())
    return;

  Compare_Errors("0.0500", "-0.0300", "0.0200");
  if(QTest::currentTestFailed())
    return;

  // The data carry no noise: after the fit every record is explained exactly
  // and the ball-bar estimate is the simulated bar.
  QVERIFY(qAbs(Text_Of(window, "final_min_error_label").toDouble()) < 5e-5);
  QVERIFY(qAbs(Text_Of(window, "final_max_error_label").toDouble()) < 5e-5);
  QVERIFY(Text_Of(window, "initial_max_error_label").toDouble() > 0.01);
  for(const TMeasurement* measurement : window->Document()->Records())
    if(measurement->Type() == TMeasurement::MEASUREMENT_BALLBAR)
      QVERIFY2(qAbs(measurement->Nominal_Length() - ballbar_length) < 5e-5, qPrintable(measurement->Name()));
}

void TExamplesTest::instrument_files_import_data()
{
  QTest::addColumn<QString>("file");
  QTest::addColumn<int>("ballbars");
  QTest::addColumn<int>("lengths");
  QTest::addColumn<QString>("xy");
  QTest::addColumn<QString>("yz");
  QTest::addColumn<QString>("zx");

  // Body diagonals, or both face diagonals of every plane, determine all three errors.
  QTest::newRow("ball bar") << "ballbar.dat" << 6 << 0 << "0.0500" << "-0.0300" << "0.0200";
  QTest::newRow("laser") << "laser.dat" << 0 << 9 << "0.0500" << "-0.0300" << "0.0200";
  QTest::newRow("results") << "results.xml" << 4 << 5 << "0.0500" << "-0.0300" << "0.0200";
  // One gauge along one XY face diagonal determines none.
  QTest::newRow("step gauge") << "stepgauge_square.dat" << 0 << 6 << "----" << "----" << "----";
}

void TExamplesTest::instrument_files_import()
{
  QFETCH(QString, file);
  QFETCH(int, ballbars);
  QFETCH(int, lengths);
  QFETCH(QString, xy);
  QFETCH(QString, yz);
  QFETCH(QString, zx);

  QVERIFY(window->Import_Data(Example(file)));
  QCOMPARE(Count_Of(window, TMeasurement::MEASUREMENT_BALLBAR), ballbars);
  QCOMPARE(Count_Of(window, TMeasurement::MEASUREMENT_LENGTH), lengths);
  Wait_For_Results();
  if(QTest::currentTestFailed())
    return;
  Compare_Errors(xy, yz, zx);
  if(QTest::currentTestFailed() || xy == "----")
    return;
  QVERIFY(qAbs(Text_Of(window, "final_min_error_label").toDouble()) < 5e-5);
  QVERIFY(qAbs(Text_Of(window, "final_max_error_label").toDouble()) < 5e-5);
}

QTEST_MAIN(TExamplesTest)
#include "test_examples.moc"
