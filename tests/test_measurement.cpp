#include <QtTest>

#include <memory>

#include "measurement.h"
#include "measurementset.h"

Q_DECLARE_METATYPE(TVector3)

class TMeasurementTest : public QObject
{
  Q_OBJECT

private slots:
  void ballbar_defaults();
  void length_defaults_and_draw_offset();
  void set_axis_data();
  void set_axis();
  void set_axis_from_own_axis();
  void start_end_points_data();
  void start_end_points();
  void rows_taken_and_put_back();
  void blank_names_numbered_where_they_enter();
};

static void Compare_Vector(const TVector3& actual, const TVector3& expected, double tolerance = 1e-15)
{
  QVERIFY2(std::fabs(actual.x - expected.x) <= tolerance && std::fabs(actual.y - expected.y) <= tolerance &&
             std::fabs(actual.z - expected.z) <= tolerance,
           qPrintable(QString("(%1, %2, %3) != (%4, %5, %6)")
                        .arg(actual.x, 0, 'g', 17).arg(actual.y, 0, 'g', 17).arg(actual.z, 0, 'g', 17)
                        .arg(expected.x).arg(expected.y).arg(expected.z)));
}

void TMeasurementTest::ballbar_defaults()
{
  std::unique_ptr<TMeasurement> record(new TMeasurementBallBar);
  QCOMPARE(int(record->Type()), 0);
  QVERIFY(record->Name().isEmpty());
  Compare_Vector(record->Position(), TVector3(0, 0, 0), 0.0);
  Compare_Vector(record->Axis(), TVector3(0.577350269189623, 0.577350269189623, 0.577350269189623), 0.0);
  QCOMPARE(record->Nominal_Length(), 346.4101615137754);
  QCOMPARE(record->Actual_Length(), 346.4101615137754);
  QCOMPARE(record->Draw_Offset(), 0.0);
  record->Set_Draw_Offset(5.0);
  QCOMPARE(record->Draw_Offset(), 0.0);
}

void TMeasurementTest::length_defaults_and_draw_offset()
{
  std::unique_ptr<TMeasurement> record(new TMeasurementLength);
  QCOMPARE(int(record->Type()), 1);
  QCOMPARE(record->Draw_Offset(), 1.0);
  record->Set_Draw_Offset(2.5);
  QCOMPARE(record->Draw_Offset(), 2.5);
  record->Set_Draw_Offset(25.0);
  QCOMPARE(record->Draw_Offset(), 25.0);
  record->Set_Name("Length 1");
  record->Set_Nominal_Length(1000.0);
  record->Set_Actual_Length(999.5);
  record->Set_Position(TVector3(1, 2, 3));
  QCOMPARE(record->Name(), QString("Length 1"));
  QCOMPARE(record->Nominal_Length(), 1000.0);
  QCOMPARE(record->Actual_Length(), 999.5);
  Compare_Vector(record->Position(), TVector3(1, 2, 3), 0.0);
}

void TMeasurementTest::set_axis_data()
{
  QTest::addColumn<TVector3>("input");
  QTest::addColumn<TVector3>("expected");
  QTest::newRow("below threshold") << TVector3(0, 0, 5e-7) << TVector3(1, 0, 0);
  QTest::newRow("zero") << TVector3(0, 0, 0) << TVector3(1, 0, 0);
  QTest::newRow("above threshold") << TVector3(0, 0, 2e-6) << TVector3(0, 0, 1);
  QTest::newRow("3-4-5") << TVector3(0, 3, 4) << TVector3(0, 0.6, 0.8);
  QTest::newRow("negative") << TVector3(0, 0, -2) << TVector3(0, 0, -1);
  QTest::newRow("squares overflow") << TVector3(3e300, 4e300, 0) << TVector3(0.6, 0.8, 0);
  QTest::newRow("infinite") << TVector3(std::numeric_limits<double>::infinity(), 0, 0) << TVector3(1, 0, 0);
  QTest::newRow("not a number") << TVector3(std::nan(""), 1, 0) << TVector3(1, 0, 0);
}

void TMeasurementTest::set_axis()
{
  QFETCH(TVector3, input);
  QFETCH(TVector3, expected);
  TMeasurementBallBar record;
  record.Set_Axis(input);
  Compare_Vector(record.Axis(), expected);
}

void TMeasurementTest::set_axis_from_own_axis()
{
  TMeasurementLength record;
  record.Set_Axis(TVector3(0, 0, 3));
  record.Set_Axis(record.Axis());
  Compare_Vector(record.Axis(), TVector3(0, 0, 1));
}

void TMeasurementTest::start_end_points_data()
{
  QTest::addColumn<TVector3>("start");
  QTest::addColumn<TVector3>("end");
  QTest::addColumn<TVector3>("position");
  QTest::addColumn<TVector3>("axis");
  QTest::newRow("along X") << TVector3(0, 0, 0) << TVector3(100, 0, 0) << TVector3(50, 0, 0) << TVector3(1, 0, 0);
  QTest::newRow("same point") << TVector3(7, 8, 9) << TVector3(7, 8, 9) << TVector3(7, 8, 9) << TVector3(1, 0, 0);
  QTest::newRow("reversed Y") << TVector3(0, 10, 0) << TVector3(0, -10, 0) << TVector3(0, 0, 0) << TVector3(0, -1, 0);
}

void TMeasurementTest::start_end_points()
{
  QFETCH(TVector3, start);
  QFETCH(TVector3, end);
  QFETCH(TVector3, position);
  QFETCH(TVector3, axis);
  TMeasurementBallBar record;
  record.Set_Nominal_Length(123.0);
  record.Set_Actual_Length(456.0);
  record.Set_Start_End_Points(start, end);
  Compare_Vector(record.Position(), position);
  Compare_Vector(record.Axis(), axis);
  QCOMPARE(record.Nominal_Length(), 123.0);
  QCOMPARE(record.Actual_Length(), 456.0);
}

// The undo history takes rows out of the document and puts the same records
// back; each block of rows is announced once, the set once.
void TMeasurementTest::rows_taken_and_put_back()
{
  TMeasurementSet document;
  std::vector<std::unique_ptr<TMeasurement>> records;
  for(int i = 0; i < 6; ++i)
  {
    records.push_back(std::make_unique<TMeasurementLength>());
    records.back()->Set_Name(QString("R%1").arg(i));
  }
  document.Reset(std::move(records));
  const std::vector<TMeasurement*> before = document.Records();
  QSignalSpy removed(&document, &TMeasurementSet::Records_Removed);
  QSignalSpy inserted(&document, &TMeasurementSet::Records_Inserted);
  QSignalSpy changed(&document, &TMeasurementSet::Set_Changed);

  std::vector<std::unique_ptr<TMeasurement>> taken = document.Take_Rows({4, 1, 2, 9});
  QCOMPARE(taken.size(), size_t(3));
  QCOMPARE(taken[0].get(), before[1]);
  QCOMPARE(taken[2].get(), before[4]);
  QCOMPARE(document.Count(), 3);
  QCOMPARE(document.At(1)->Name(), QString("R3"));
  QCOMPARE(removed.count(), 2);
  QCOMPARE(removed[0], QVariantList({4, 1}));
  QCOMPARE(removed[1], QVariantList({1, 2}));
  QCOMPARE(changed.count(), 1);
  QVERIFY(document.Is_Modified());

  document.Insert_Rows({1, 2, 4}, std::move(taken));
  QVERIFY(document.Records() == before);
  QCOMPARE(inserted.count(), 2);
  QCOMPARE(inserted[0], QVariantList({1, 2}));
  QCOMPARE(inserted[1], QVariantList({4, 1}));
  QCOMPARE(changed.count(), 2);
}

// A record entering without a name is numbered after every record of its
// kind before it, named or not; white space alone is no name.
void TMeasurementTest::blank_names_numbered_where_they_enter()
{
  TMeasurementSet document;
  std::vector<std::unique_ptr<TMeasurement>> first;
  first.push_back(std::make_unique<TMeasurementBallBar>());
  first.push_back(std::make_unique<TMeasurementLength>());
  first.push_back(std::make_unique<TMeasurementBallBar>());
  first[0]->Set_Name("Own");
  document.Reset(std::move(first));
  QCOMPARE(document.At(2)->Name(), QString("BallBar 2"));

  std::vector<std::unique_ptr<TMeasurement>> entering;
  const char* const names[] = {"", " \t\u00a0", "X", "", "Y"};
  for(const char* name : names)
  {
    entering.push_back(std::make_unique<TMeasurementBallBar>());
    entering.back()->Set_Name(QString::fromUtf8(name));
  }
  entering[1] = std::make_unique<TMeasurementLength>();
  entering[1]->Set_Name(QString::fromUtf8(" \t\u00a0"));
  document.Insert_Rows({1, 2, 5, 6, 7}, std::move(entering));
  QStringList all;
  for(const TMeasurement* record : document.Records())
    all << record->Name();
  QCOMPARE(all, QStringList({"Own", "BallBar 3", "Length 2", "Length 1", "BallBar 2", "X", "BallBar 5", "Y"}));

  // Named records alone leave the names as they are.
  std::vector<std::unique_ptr<TMeasurement>> named;
  named.push_back(std::make_unique<TMeasurementLength>());
  named.back()->Set_Name(" padded ");
  document.Insert_Rows({0}, std::move(named));
  QCOMPARE(document.At(0)->Name(), QString(" padded "));
}

QTEST_APPLESS_MAIN(TMeasurementTest)
#include "test_measurement.moc"
