// Tests of the step-gauge loader: the position of a face and the nested
// lengths of a raw step-gauge file.
#include <QtTest>
#include <vector>

#include "measurement_factory.h"
#include "measurement_factory_test_helpers.h"

using namespace measurement_factory_test;

Q_DECLARE_METATYPE(std::vector<TMeasurementFactory::TStepgaugeDataItem>)

class TTestMeasurementFactoryStepgauge : public QObject
{
  Q_OBJECT

private slots:
  void stepgauge_position_data();
  void stepgauge_position();
  void stepgauge_files_data();
  void stepgauge_files();
};

void TTestMeasurementFactoryStepgauge::stepgauge_position_data()
{
  typedef std::vector<TMeasurementFactory::TStepgaugeDataItem> TItems;
  QTest::addColumn<TItems>("items");
  QTest::addColumn<int>("face");
  QTest::addColumn<double>("position");

  const TItems items = {{1, 1, 10.0, 0, 0}, {2, 2, 100.0, 0, 0}, {3, 2, 100.2, 5, 5}, {4, 3, -7.5, 0, 0}};
  QTest::newRow("empty") << TItems() << 1 << 0.0;
  QTest::newRow("single reading") << items << 1 << 10.0;
  QTest::newRow("mean of two readings") << items << 2 << 100.1;
  QTest::newRow("negative value") << items << 3 << -7.5;
  QTest::newRow("face without readings") << items << 4 << 0.0;
  QTest::newRow("face 0") << items << 0 << 0.0;
}

void TTestMeasurementFactoryStepgauge::stepgauge_position()
{
  typedef std::vector<TMeasurementFactory::TStepgaugeDataItem> TItems;
  QFETCH(TItems, items);
  QFETCH(int, face);
  QFETCH(double, position);

  QVERIFY(Close(TMeasurementFactory::Get_Stepgauge_Position(items, face), position));
}

void TTestMeasurementFactoryStepgauge::stepgauge_files_data()
{
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<TExpectedRecords>("records");

  const QByteArray identifier = "Stepgauge_Raw_Measurement:Version=1:Type=Squareness\n";
  auto points = [](const QList<double>& values) {
    QByteArray lines = "Measurement_Begin:\n";
    for(int i = 0; i < values.size(); ++i)
      lines += "Point:" + QByteArray::number(i) + "," + QByteArray::number(i + 1) + "," +
               QByteArray::number(values[i], 'g', 17) + ",0,0\n";
    return lines + "Measurement_End:\n";
  };

  QTest::newRow("ten faces") << identifier + points({0, 10, 20, 30, 40, 50, 60, 70, 80, 90})
    << TExpectedRecords{Length("SQ.1-10", TVector3(0, 0, 0), TVector3(90, 0, 0), 90.0, 90.0, 1.0),
                        Length("SQ.2-9", TVector3(10, 0, 0), TVector3(80, 0, 0), 70.0, 70.0, 2.0),
                        Length("SQ.3-8", TVector3(20, 0, 0), TVector3(70, 0, 0), 50.0, 50.0, 3.0),
                        Length("SQ.4-7", TVector3(30, 0, 0), TVector3(60, 0, 0), 30.0, 30.0, 4.0),
                        Length("SQ.5-6", TVector3(40, 0, 0), TVector3(50, 0, 0), 10.0, 10.0, 5.0)};
  QTest::newRow("odd face count leaves the middle out") << identifier + points({0, 100, 200, 999, 400, 500, 600})
    << TExpectedRecords{Length("SQ.1-7", TVector3(0, 0, 0), TVector3(600, 0, 0), 600.0, 600.0, 1.0),
                        Length("SQ.2-6", TVector3(100, 0, 0), TVector3(500, 0, 0), 400.0, 400.0, 2.0),
                        Length("SQ.3-5", TVector3(200, 0, 0), TVector3(400, 0, 0), 200.0, 200.0, 3.0)};
  QTest::newRow("reversed faces give negative lengths") << identifier + points({299.7, 0.0})
    << TExpectedRecords{Length("SQ.1-2", TVector3(299.7, 0, 0), TVector3(0, 0, 0), -299.0, -299.7, 1.0)};
  QTest::newRow("nominal 299.5") << identifier + points({0.0, 299.5})
    << TExpectedRecords{Length("SQ.1-2", TVector3(0, 0, 0), TVector3(299.5, 0, 0), 300.0, 299.5, 1.0)};
  QTest::newRow("nominal 299.49") << identifier + points({0.0, 299.49})
    << TExpectedRecords{Length("SQ.1-2", TVector3(0, 0, 0), TVector3(299.49, 0, 0), 299.0, 299.49, 1.0)};
  QTest::newRow("repeated face averaged")
    << identifier + "Measurement_Begin:\nPoint:0,1,0,0,0\nPoint:0,2,100.0,0,0\nPoint:0,2,100.2,0,0\nMeasurement_End:\n"
    << TExpectedRecords{Length("SQ.1-2", TVector3(0, 0, 0), TVector3(100.1, 0, 0), 100.0, 100.1, 1.0)};
  QTest::newRow("axis and translation lay the records")
    << identifier + "Alignment_Begin:\nX_Axis:0,1,0\nTranslation:5,6,7\nAlignment_End:\n" + points({10, 20, 30, 40})
    << TExpectedRecords{Length("SQ.1-4", TVector3(5, 16, 7), TVector3(5, 46, 7), 30.0, 30.0, 1.0),
                        Length("SQ.2-3", TVector3(5, 26, 7), TVector3(5, 36, 7), 10.0, 10.0, 2.0)};
  QTest::newRow("unnormalised axis scales only the points")
    << identifier + "Alignment_Begin:\nX_Axis:0,0,2\nAlignment_End:\n" + points({10, 20})
    << TExpectedRecords{Length("SQ.1-2", TVector3(0, 0, 20), TVector3(0, 0, 40), 10.0, 10.0, 1.0)};
  QTest::newRow("description keeps its leading blank")
    << identifier + "Measurement_Begin:\nDescription: Gauge  X\nMeasurement_End:\n" + points({10, 20})
    << TExpectedRecords{Length(" Gauge X.1-2", TVector3(10, 0, 0), TVector3(20, 0, 0), 10.0, 10.0, 1.0)};
  QTest::newRow("points before the measurement or in alignment ignored")
    << identifier + "Point:0,3,500,0,0\nAlignment_Begin:\nPoint:0,3,500,0,0\nAlignment_End:\n" + points({10, 20}) +
         "Point:0,3,500,0,0\n"
    << TExpectedRecords{Length("SQ.1-2", TVector3(10, 0, 0), TVector3(20, 0, 0), 10.0, 10.0, 1.0)};
  QTest::newRow("point with 6 fields ignored")
    << identifier + points({10, 20}) + "Measurement_Begin:\nPoint:0,3,500,0,0,0\nMeasurement_End:\n"
    << TExpectedRecords{Length("SQ.1-2", TVector3(10, 0, 0), TVector3(20, 0, 0), 10.0, 10.0, 1.0)};
  QTest::newRow("missing face reads 0.0")
    << identifier + "Measurement_Begin:\nPoint:0,1,10,0,0\nPoint:0,3,30,0,0\nPoint:0,4,40,0,0\nMeasurement_End:\n"
    << TExpectedRecords{Length("SQ.1-4", TVector3(10, 0, 0), TVector3(40, 0, 0), 30.0, 30.0, 1.0),
                        Length("SQ.2-3", TVector3(0, 0, 0), TVector3(30, 0, 0), 30.0, 30.0, 2.0)};
  QTest::newRow("one face gives nothing") << identifier + points({10}) << TExpectedRecords();
  QTest::newRow("no readings") << identifier << TExpectedRecords();
  QTest::newRow("face beyond any gauge ignored")
    << identifier + points({10, 20}) + "Measurement_Begin:\nPoint:0,2147483647,500,0,0\nPoint:0,1001,500,0,0\nMeasurement_End:\n"
    << TExpectedRecords{Length("SQ.1-2", TVector3(10, 0, 0), TVector3(20, 0, 0), 10.0, 10.0, 1.0)};
}

void TTestMeasurementFactoryStepgauge::stepgauge_files()
{
  QFETCH(QByteArray, content);
  QFETCH(TExpectedRecords, records);

  Check_Records(TMeasurementFactory::Load_Stepgauge_Squareness_File(content, TMeasurementFactory::IMPORT_STEPGAUGE_SQUARENESS),
                records);
}

QTEST_GUILESS_MAIN(TTestMeasurementFactoryStepgauge)
#include "test_measurement_factory_stepgauge.moc"
