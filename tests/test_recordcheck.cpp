// The ball bars' lengths of a set: which bars are named when they disagree.
#include <QtTest>

#include <cmath>
#include <limits>
#include <memory>

#include "measurement.h"
#include "measurementset.h"
#include "recordcheck.h"

class TRecordCheckTest : public QObject
{
  Q_OBJECT

private slots:
  void ballbar_length_outliers_data();
  void ballbar_length_outliers();
};

// Each row: the actual lengths of the set's ball bars (a length record is
// written as "L" followed by its length), and the indexes of the bars that
// must be named, worked out by hand from the rule: the usable bars' spread
// beyond 1 % of their mean names those more than that from the median, or
// else the shortest and the longest.
void TRecordCheckTest::ballbar_length_outliers_data()
{
  QTest::addColumn<QStringList>("lengths");
  QTest::addColumn<QList<int>>("named");
  QTest::newRow("one bar") << QStringList{"300"} << QList<int>{};
  QTest::newRow("agree within a percent") << QStringList{"300", "302.9", "301"} << QList<int>{};
  // Mean 302.5, tolerance 3.025, median 300.001: only the 310 stands apart.
  QTest::newRow("one stands apart") << QStringList{"300", "300.001", "310", "300.002"} << QList<int>{2};
  // Mean 303, tolerance 3.03, median 303: none is more than 3.03 from it.
  QTest::newRow("spread evenly") << QStringList{"306", "300", "303"} << QList<int>{1, 0};
  // The unusable bars and the length record take no part: 300 and 300.5 agree.
  QTest::newRow("unusable and length records") << QStringList{"300", "nan", "-5", "L900", "300.5", "0"} << QList<int>{};
  QTest::newRow("unusable bar beside a true outlier")
    << QStringList{"inf", "300", "300.1", "330", "L10"} << QList<int>{3};
}

void TRecordCheckTest::ballbar_length_outliers()
{
  QFETCH(QStringList, lengths);
  QFETCH(QList<int>, named);
  std::vector<std::unique_ptr<TMeasurement>> records;
  for(const QString& length : lengths)
  {
    std::unique_ptr<TMeasurement> record;
    if(length.startsWith('L'))
      record = std::make_unique<TMeasurementLength>();
    else
      record = std::make_unique<TMeasurementBallBar>();
    const QString number = length.startsWith('L') ? length.mid(1) : length;
    record->Set_Actual_Length(number == "nan" ? std::nan("") : number == "inf" ? std::numeric_limits<double>::infinity()
                                                                                : number.toDouble());
    record->Set_Name(QString("R%1").arg(records.size()));
    records.push_back(std::move(record));
  }
  TMeasurementSet set;
  set.Reset(std::move(records));

  QList<int> found;
  for(const TMeasurement* record : Ballbar_Length_Outliers(set))
    found << set.Row_Of(record);
  QCOMPARE(found, named);
}

QTEST_APPLESS_MAIN(TRecordCheckTest)
#include "test_recordcheck.moc"
