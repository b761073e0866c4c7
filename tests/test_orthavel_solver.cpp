// The results panel: the solver's fit shown with the chosen maker's signs.
#include <QtTest>

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <cmath>
#include <numeric>

#include "calculatesquare.h"
#include "measurement.h"
#include "measurementset.h"
#include "solverfeed.h"
#include "simulated_machine.h"
#include "window_helpers.h"
#include "windowtest.h"

namespace
{
// A project of four ball bars along the body diagonals of a box.
QString Body_Diagonal_Project()
{
  QString measurements;
  const TVector3 diagonals[4] = {TVector3(1, 1, 1), TVector3(-1, 1, 1), TVector3(-1, -1, 1), TVector3(1, -1, 1)};
  for(int i = 0; i < 4; ++i)
  {
    TVector3 axis = diagonals[i];
    axis.Normal();
    measurements += QString("<Measurement><Name>Diagonal %1</Name><Position>0,0,0</Position>"
                            "<Axis>%2,%3,%4</Axis><Actual_Length>%5</Actual_Length></Measurement>\n")
                      .arg(i + 1)
                      .arg(axis.x, 0, 'f', 12)
                      .arg(axis.y, 0, 'f', 12)
                      .arg(axis.z, 0, 'f', 12)
                      .arg(Reported_Length(axis, 1000.0), 0, 'f', 6);
  }
  return QString("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Orthavel File_Version=\"1\">\n<BallBar>\n%1</BallBar>\n"
                 "<Length/>\n</Orthavel>\n")
    .arg(measurements);
}
}

class TOrthavelSolverTest : public TWindowTest
{
  Q_OBJECT

private slots:
  void signs_switch_without_new_fit_data();
  void signs_switch_without_new_fit();
  void statistics_shown_with_four_decimals();
  void undetermined_pairs_show_dashes();
  void nominal_length_refresh_follows_selection();
  void quit_waits_for_solver();
  void large_sets_are_handed_over_in_slices();

private:
  void Load_Body_Diagonals();
};

void TOrthavelSolverTest::Load_Body_Diagonals()
{
  QVERIFY(window->Load_Data(Write_File("diagonals.square", Body_Diagonal_Project())));
  QTRY_COMPARE_WITH_TIMEOUT(Text_Of(window, "xy_squareness_label"), QString("0.1000"), 20000);
}

void TOrthavelSolverTest::signs_switch_without_new_fit_data()
{
  QTest::addColumn<QString>("maker");
  QTest::addColumn<QString>("xy");
  QTest::addColumn<QString>("yz");
  QTest::addColumn<QString>("zx");
  QTest::newRow("AAT") << "AAT" << "-0.1000" << "-0.2000" << "-0.3000";
  QTest::newRow("BnS") << "BnS" << "0.1000" << "0.2000" << "-0.3000";
  QTest::newRow("DEA") << "DEA" << "0.1000" << "0.2000" << "0.3000";
  QTest::newRow("Renishaw") << "Renishaw" << "-0.1000" << "-0.2000" << "0.3000";
  QTest::newRow("Sheffield") << "Sheffield" << "0.1000" << "-0.2000" << "-0.3000";
  QTest::newRow("Zeiss") << "Zeiss" << "0.1000" << "-0.2000" << "-0.3000";
}

void TOrthavelSolverTest::signs_switch_without_new_fit()
{
  QFETCH(QString, maker);
  QFETCH(QString, xy);
  QFETCH(QString, yz);
  QFETCH(QString, zx);
  Load_Body_Diagonals();
  QTRY_COMPARE_WITH_TIMEOUT(Text_Of(window, "zx_squareness_label"), QString("-0.3000"), 20000);
  QCOMPARE(Text_Of(window, "yz_squareness_label"), QString("0.2000"));

  const TQueuedSignalCount fits(Solver_Of(window), &TCalculateSquare::Squareness_Updated);
  QComboBox* combo = Member<QComboBox>(window, "sign_combo");
  combo->setCurrentIndex(combo->findText(maker));
  QCOMPARE(Text_Of(window, "xy_squareness_label"), xy);
  QCOMPARE(Text_Of(window, "yz_squareness_label"), yz);
  QCOMPARE(Text_Of(window, "zx_squareness_label"), zx);
  QTest::qWait(300);
  QCOMPARE(fits.count, 0);
}

void TOrthavelSolverTest::statistics_shown_with_four_decimals()
{
  Load_Body_Diagonals();
  const QRegularExpression four_decimals("^-?\\d+\\.\\d{4}$");
  for(const char* name : {"initial_min_length_label", "initial_max_length_label", "initial_min_error_label",
                          "initial_max_error_label", "final_min_length_label", "final_max_length_label",
                          "final_min_error_label", "final_max_error_label"})
    QVERIFY2(four_decimals.match(Text_Of(window, name)).hasMatch(), qPrintable(Text_Of(window, name)));
  // The fit explains the lengths: the final errors vanish at four decimals.
  QCOMPARE(Text_Of(window, "final_max_error_label").toDouble(), 0.0);
  QCOMPARE(Text_Of(window, "final_min_error_label").toDouble(), 0.0);
  QVERIFY(Text_Of(window, "initial_max_error_label").toDouble() > 0.0);
  QVERIFY(Text_Of(window, "initial_min_length_label").toDouble() <=
          Text_Of(window, "initial_max_length_label").toDouble());
}

void TOrthavelSolverTest::undetermined_pairs_show_dashes()
{
  Load_Body_Diagonals();
  // Removing everything leaves an empty set: no statistics, no errors.
  Member<QListWidget>(window, "measurement_list")->selectAll();
  Answer_Message_Box(QMessageBox::Yes);
  QMetaObject::invokeMethod(Member<QObject>(window, "measurement_editor"), "Remove_Measurement");
  QTRY_COMPARE_WITH_TIMEOUT(Text_Of(window, "xy_squareness_label"), QString("----"), 20000);
  for(const char* name : {"yz_squareness_label", "zx_squareness_label", "initial_min_length_label",
                          "final_max_error_label"})
    QCOMPARE(Text_Of(window, name), QString("----"));
}

void TOrthavelSolverTest::nominal_length_refresh_follows_selection()
{
  Member<QAction>(window, "action_add_length")->trigger();
  Member<QAction>(window, "action_add_ballbar")->trigger();
  TMeasurement* ballbar = window->Document()->Records()[1];

  // A length measurement selected: the refresh leaves field and default alone.
  QListWidget* list = Member<QListWidget>(window, "measurement_list");
  list->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
  ballbar->Set_Nominal_Length(1234.5);
  QMetaObject::invokeMethod(Member<QObject>(window, "measurement_editor"), "Update_Nominal_Ballbar_Length");
  QCOMPARE(Text_Of(window, "nominal_length_edit"), QString("1000.0000"));
  QCOMPARE(window->Document()->Default_Ballbar_Length(), 1000.0);

  list->clearSelection();
  QMetaObject::invokeMethod(Member<QObject>(window, "measurement_editor"), "Update_Nominal_Ballbar_Length");
  QCOMPARE(window->Document()->Default_Ballbar_Length(), 1000.0);

  list->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
  ballbar->Set_Nominal_Length(1234.5);
  QMetaObject::invokeMethod(Member<QObject>(window, "measurement_editor"), "Update_Nominal_Ballbar_Length");
  QCOMPARE(Text_Of(window, "nominal_length_edit"), QString("1234.5000"));
  QCOMPARE(window->Document()->Default_Ballbar_Length(), 1234.5);
  QVERIFY(!Member<QWidget>(window, "apply_button")->isEnabled());
}

void TOrthavelSolverTest::quit_waits_for_solver()
{
  TCalculateSquare* solver = Solver_Of(window);
  QVERIFY(solver->isRunning());
  const TQueuedSignalCount finished(solver, &TCalculateSquare::Stopped);
  Member<QAction>(window, "action_quit")->trigger();
  // The first close is refused while the thread runs.
  QVERIFY(window->isVisible());
  QTRY_COMPARE_WITH_TIMEOUT(finished.count, 1, 5000);
  QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 5000);
  QVERIFY(!solver->isRunning());
}

// The records of a large set reach the solver a slice at a time: at once the
// solver's data is out of date, and once copied it fits every usable record
// and the one it cannot use is named. A set changed and handed over
// meanwhile replaces the copy under way.
void TOrthavelSolverTest::large_sets_are_handed_over_in_slices()
{
  TMeasurementSet document;
  std::vector<std::unique_ptr<TMeasurement>> records;
  const TVector3 diagonals[4] = {TVector3(1, 1, 1), TVector3(-1, 1, 1), TVector3(-1, -1, 1), TVector3(1, -1, 1)};
  const size_t count = TSolverFeed::SLICE + 2;
  for(size_t i = 0; i < count; ++i)
  {
    TVector3 axis = diagonals[i % 4];
    axis.Normal();
    auto bar = std::make_unique<TMeasurementBallBar>();
    bar->Set_Name(QString("Bar %1").arg(i));
    bar->Set_Axis(axis);
    bar->Set_Actual_Length(Reported_Length(axis, 1000.0));
    records.push_back(std::move(bar));
  }
  const size_t unusable = count / 3;
  records[unusable]->Set_Actual_Length(-1.0);
  document.Append(std::move(records));
  TCalculateSquare solver(nullptr);
  TSolverFeed feed(&solver, &document, nullptr);
  QSignalSpy left_out(&feed, &TSolverFeed::Left_Out_Named);
  const quint64 before = solver.Data_Serial();
  feed.Hand_Over();
  QVERIFY(feed.Feeding());
  QCOMPARE(left_out.count(), 0);
  const quint64 invalidated = solver.Data_Serial();
  QVERIFY(invalidated > before);
  QTRY_VERIFY(!feed.Feeding());
  QVERIFY(solver.Data_Serial() > invalidated);
  QCOMPARE(left_out.count(), 1);
  QCOMPARE(left_out.front().front().toStringList(), QStringList{QString("Bar %1").arg(unusable)});
  QCOMPARE(feed.Fed_Records().size(), count - 1);
  QCOMPARE(feed.Fed_Records()[unusable], document.At(int(unusable) + 1));

  solver.start();
  QTRY_VERIFY_WITH_TIMEOUT(solver.Result().serial == solver.Data_Serial(), 120000);
  QCOMPARE(solver.Result().ballbar_count, int(count - 1));

  feed.Hand_Over();
  std::vector<int> rows(count - 4);
  std::iota(rows.begin(), rows.end(), 4);
  const std::vector<std::unique_ptr<TMeasurement>> taken = document.Take_Rows(rows);
  feed.Hand_Over();
  QVERIFY(!feed.Feeding());
  QCOMPARE(left_out.count(), 2);
  QVERIFY(left_out.back().front().toStringList().isEmpty());
  QTest::qWait(20);
  QTRY_VERIFY_WITH_TIMEOUT(solver.Result().serial == solver.Data_Serial(), 120000);
  QCOMPARE(solver.Result().ballbar_count, 4);
  QCOMPARE(left_out.count(), 2);
  solver.Request_Stop();
  solver.wait();
}

QTEST_MAIN(TOrthavelSolverTest)
#include "test_orthavel_solver.moc"
