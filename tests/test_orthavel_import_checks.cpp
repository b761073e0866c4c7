// Imports through the real window say what they did: what was added and
// skipped, why nothing was added, and which records no machine could have
// produced (those are kept, marked and left out of the fit).
#include <QtTest>

#include <QLabel>

#include "measurement.h"
#include "window_helpers.h"
#include "windowtest.h"

class TOrthavelImportChecksTest : public TWindowTest
{
  Q_OBJECT

private slots:
  void imports_say_what_they_did_data();
  void imports_say_what_they_did();
  void absurd_numbers_are_left_out_and_named();
};

void TOrthavelImportChecksTest::imports_say_what_they_did_data()
{
  QTest::addColumn<QString>("content");
  QTest::addColumn<bool>("imports");
  QTest::addColumn<QString>("status");
  QTest::addColumn<QString>("box");
  const QString bar = "A,0,0,0,0,500,500,500,0,0,0\n";
  QTest::newRow("clean") << "BallBar_V1\n" + bar << true << "Imported 1 ball bar from bars.dat" << QString();
  QTest::newRow("junk after a valid line")
    << "BallBar_V1\n" + bar + "x,y\nrandom words here\n" << true << "Imported 1 ball bar from bars.dat; 2 lines skipped"
    << "2 of 3 data lines gave no measurement: line 3: 2 fields, 11 expected; line 4: 1 field, 11 expected.";
  QTest::newRow("truncated") << "BallBar_V1\nA,0,0,0,0,500" << false << "No measurement lengths found"
                             << "bars.dat gave no measurement.  Its one data line is no use";
  QTest::newRow("zero direction") << "BallBar_V1\nZ,0,1,2,3,1,2,3,0,0,0\n" + bar << true
                                  << "Imported 2 ball bars from bars.dat"
                                  << "A zero direction in the file, taken as (1, 0, 0): Z.";
  // A record is named in the box by the name it takes in the set.
  QTest::newRow("unnamed bar beyond any machine")
    << "BallBar_V1\n,0,2e7,0,0,2e7,300,0,0,0,0\n" << true << "Imported 1 ball bar from bars.dat"
    << "Beyond any machine, but kept in the fit: BallBar 1 (beyond 1000000 mm).";
  QString far_bars = "BallBar_V1\n";
  for(int i = 1; i <= 14; ++i)
    far_bars += QString("B%1,0,2e7,0,0,2e7,300,0,0,0,0\n").arg(i);
  QTest::newRow("many beyond any machine")
    << far_bars << true << "Imported 14 ball bars from bars.dat"
    << "B11 (beyond 1000000 mm), B12 (beyond 1000000 mm), and 2 more.";
}

void TOrthavelImportChecksTest::imports_say_what_they_did()
{
  QFETCH(QString, content);
  QFETCH(bool, imports);
  QFETCH(QString, status);
  QFETCH(QString, box);
  const TBoxRecorder boxes;
  QCOMPARE(window->Import_Data(Write_File("bars.dat", content)), imports);
  QCOMPARE(Status(), status);
  QCOMPARE(boxes.texts.size(), box.isEmpty() ? 0 : 1);
  if(!box.isEmpty())
    QVERIFY2(boxes.texts.front().contains(box), qPrintable(boxes.texts.front()));
}

// A length of "nan" and one of 0 enter the set but not the fit; the results
// come from the two good length records along the XY face diagonals.
void TOrthavelImportChecksTest::absurd_numbers_are_left_out_and_named()
{
  // Start x, y, z, end x, y, z, nominal and actual length.
  const QString content = "Length_Data:Version=1:Type=Measurement\n:Data_Begin\n"
                          "0,0,0,500,500,0,707.106781,707.2\n0,500,0,500,0,0,707.106781,707.0\n"
                          "0,0,0,0,0,500,500,nan\n0,0,0,0,500,0,500,0\n:Data_End\n";
  const QString path = Write_File("lengths.dat", content);
  const TBoxRecorder boxes;
  QVERIFY(window->Import_Data(path));
  const std::vector<TMeasurement*> records = window->Document()->Records();
  QCOMPARE(records.size(), size_t(4));
  QCOMPARE(boxes.texts.size(), 1);
  QVERIFY2(boxes.texts.front().contains("Left out of the fit until corrected:"), qPrintable(boxes.texts.front()));
  for(int row : {2, 3})
  {
    QListWidgetItem* item = Member<QListWidget>(window, "measurement_list")->item(row);
    QVERIFY2(item->toolTip().startsWith("Left out of the fit: "), qPrintable(item->text() + ": " + item->toolTip()));
    QVERIFY(boxes.texts.front().contains(item->text()));
  }
  QVERIFY(Member<QLabel>(window, "left_out_label")->isVisible());
  // The two usable records determine XY; no absurd number reaches the fit.
  QTRY_VERIFY_WITH_TIMEOUT(Text_Of(window, "xy_squareness_label") != "----", 20000);
  QVERIFY2(!Text_Of(window, "final_max_error_label").contains("nan"), qPrintable(Text_Of(window, "final_max_error_label")));
}

QTEST_MAIN(TOrthavelImportChecksTest)
#include "test_orthavel_import_checks.moc"
