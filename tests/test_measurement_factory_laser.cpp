// Tests of the laser loaders: length data files and raw machine-and-laser
// files, with the merging and ordering of their readings.
#include <QtTest>
#include <cmath>
#include <limits>
#include <vector>

#include "measurement_factory.h"
#include "measurement_factory_test_helpers.h"

using namespace measurement_factory_test;

namespace
{
  // A raw machine-and-laser file; readings are "key,actual,nominal".
  QByteArray Laser_File(const char* identifier, const QByteArray& header, const QList<QByteArray>& points)
  {
    QByteArray content = QByteArray(identifier) + "\n" + header + "Measurement_Begin:\n";
    int index = 0;
    for(const QByteArray& point : points)
      content += "Point:" + QByteArray::number(index++) + "," + point + ",0,0,0,0\n";
    content += "Measurement_End:\n";
    return content;
  }

  const char KELVO_IDENTIFIER[] = "Kelvo_Raw_Measurement:Version=1:Type=Machine_And_Laser";
  const char B89_LASER_IDENTIFIER[] = "B89.4.10360_Raw_Measurement:Version=1:Type=Machine_And_Laser";
  const QByteArray LASER_HEADER = "Start_Point:0,0,0\nMeasurement_Axis:1,0,0\nMeasurement_Type:Scale\n";
}

Q_DECLARE_METATYPE(std::vector<TVector3>)

class TTestMeasurementFactoryLaser : public QObject
{
  Q_OBJECT

private slots:
  void length_data_files_data();
  void length_data_files();
  void combine_laser_points_data();
  void combine_laser_points();
  void sort_laser_items_puts_undefined_positions_last();
  void raw_laser_files_data();
  void raw_laser_files();
};

void TTestMeasurementFactoryLaser::length_data_files_data()
{
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<TExpectedRecords>("records");

  const QByteArray identifier = "Length_Data:Version=1:Type=Measurement\n";

  QTest::newRow("no data section") << identifier + "0,0,0,100,0,0,100,100.1\n" << TExpectedRecords();
  QTest::newRow("two sections number on and restart offsets")
    << identifier + ":Data_Begin\n0,0,0,100,0,0,100,100.1\n0,0,0,0,100,0,100,99.9\n:Data_End\n"
                    ":Data_Begin\n0,0,0,0,0,100,100,100.2\n1,1,1,4,5,1,5,5.01\n:Data_End\n"
    << TExpectedRecords{Length("Length 1", TVector3(0, 0, 0), TVector3(100, 0, 0), 100.0, 100.1, 1.0),
                        Length("Length 2", TVector3(0, 0, 0), TVector3(0, 100, 0), 100.0, 99.9, 2.0),
                        Length("Length 3", TVector3(0, 0, 0), TVector3(0, 0, 100), 100.0, 100.2, 1.0),
                        Length("Length 4", TVector3(1, 1, 1), TVector3(4, 5, 1), 5.0, 5.01, 2.0)};
  QTest::newRow("9 and 7 fields skipped")
    << identifier + ":Data_Begin\n0,0,0,100,0,0,100,100.1,0\n0,0,0,100,0,0,100\n0,0,0,0,0,7,7,7\n:Data_End\n"
    << TExpectedRecords{Length("Length 1", TVector3(0, 0, 0), TVector3(0, 0, 7), 7.0, 7.0, 1.0)};
  QTest::newRow("lengths taken from the file, not the points")
    << identifier + ":Data_Begin\n0,0,0,3,4,0,12,13\n:Data_End\n"
    << TExpectedRecords{Length("Length 1", TVector3(0, 0, 0), TVector3(3, 4, 0), 12.0, 13.0, 1.0)};
  QTest::newRow("lines after the end ignored")
    << identifier + ":Data_Begin\n0,0,0,3,4,0,5,5\n:Data_End\n0,0,0,3,4,0,5,5\n"
    << TExpectedRecords{Length("Length 1", TVector3(0, 0, 0), TVector3(3, 4, 0), 5.0, 5.0, 1.0)};
  QTest::newRow("keywords in any case with text after them")
    << identifier + ":DATA_BEGIN section 1\n# 0,0,0,3,4,0,5,5\n0,0,0,3,4,0,5,5\n:data_end\n"
    << TExpectedRecords{Length("Length 1", TVector3(0, 0, 0), TVector3(3, 4, 0), 5.0, 5.0, 1.0)};
  QTest::newRow("equal points") << identifier + ":Data_Begin\n2,2,2,2,2,2,0,0\n"
    << TExpectedRecords{Length("Length 1", TVector3(2, 2, 2), TVector3(2, 2, 2), 0.0, 0.0, 1.0)};
}

void TTestMeasurementFactoryLaser::length_data_files()
{
  QFETCH(QByteArray, content);
  QFETCH(TExpectedRecords, records);

  Check_Records(TMeasurementFactory::Load_Laser_File(content, TMeasurementFactory::IMPORT_LENGTH_DATA), records);
}

void TTestMeasurementFactoryLaser::combine_laser_points_data()
{
  QTest::addColumn<std::vector<TVector3>>("points");
  QTest::addColumn<std::vector<TVector3>>("combined");

  QTest::newRow("empty") << std::vector<TVector3>() << std::vector<TVector3>();
  QTest::newRow("one") << std::vector<TVector3>{TVector3(5, 6, 7)} << std::vector<TVector3>{TVector3(5, 6, 7)};
  QTest::newRow("steps below 1.0 chain into one group")
    << std::vector<TVector3>{TVector3(0.0, 1, 2), TVector3(0.4, 3, 4), TVector3(0.8, 5, 6), TVector3(1.2, 7, 8)}
    << std::vector<TVector3>{TVector3(0.6, 4, 5)};
  QTest::newRow("a step of 1.0 opens a group")
    << std::vector<TVector3>{TVector3(0.0, 1, 1), TVector3(1.0, 3, 3)}
    << std::vector<TVector3>{TVector3(0.0, 1, 1), TVector3(1.0, 3, 3)};
  QTest::newRow("groups in input order")
    << std::vector<TVector3>{TVector3(0, 0, 0), TVector3(0.5, 1, 1), TVector3(100, 100, 100), TVector3(200, 200, 200),
                             TVector3(200.9, 201, 202)}
    << std::vector<TVector3>{TVector3(0.25, 0.5, 0.5), TVector3(100, 100, 100), TVector3(200.45, 200.5, 201)};
}

void TTestMeasurementFactoryLaser::combine_laser_points()
{
  QFETCH(std::vector<TVector3>, points);
  QFETCH(std::vector<TVector3>, combined);

  const std::vector<TVector3> result = TMeasurementFactory::Combine_Farrowline_Laser_Points(points);
  QCOMPARE(int(result.size()), int(combined.size()));
  for(size_t i = 0; i < result.size(); ++i)
    QVERIFY2(Close(result[i], combined[i]), qPrintable(Text(result[i])));
}

void TTestMeasurementFactoryLaser::sort_laser_items_puts_undefined_positions_last()
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::vector<TVector3> points;
  for(int i = 0; i < 40; ++i)
    points.push_back(TVector3((i % 3 == 0) ? nan : double((i * 7) % 40), i, 0));

  std::sort(points.begin(), points.end(), TMeasurementFactory::Sort_Farrowline_Laser_Item);

  size_t first_nan = 0;
  while(first_nan < points.size() && !std::isnan(points[first_nan].x))
    ++first_nan;
  QCOMPARE(int(first_nan), 26);
  for(size_t i = 1; i < first_nan; ++i)
    QVERIFY(points[i - 1].x <= points[i].x);
  for(size_t i = first_nan; i < points.size(); ++i)
    QVERIFY(std::isnan(points[i].x));

  QVERIFY(TMeasurementFactory::Sort_Farrowline_Laser_Item(TVector3(1, 9, 9), TVector3(2, 0, 0)));
  QVERIFY(!TMeasurementFactory::Sort_Farrowline_Laser_Item(TVector3(2, 0, 0), TVector3(1, 9, 9)));
  QVERIFY(!TMeasurementFactory::Sort_Farrowline_Laser_Item(TVector3(1, 0, 0), TVector3(1, 9, 9)));
}

void TTestMeasurementFactoryLaser::raw_laser_files_data()
{
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<int>("type");
  QTest::addColumn<TExpectedRecords>("records");

  const int kelvo = TMeasurementFactory::IMPORT_KELVO_LASER;
  const int b89 = TMeasurementFactory::IMPORT_B89_MACHINE_AND_LASER;

  QList<QByteArray> twenty;
  TExpectedRecords nine;
  for(int i = 0; i < 20; ++i)
    twenty.append(QByteArray::number(10 * i) + "," + QByteArray::number(10.01 * i, 'g', 17) + "," + QByteArray::number(10 * i));
  for(int i = 0; i < 9; ++i)
  {
    nine.push_back(Length(QString("SQ.%1-%2").arg(i + 1).arg(20 - i), TVector3(10.0 * i, 0, 0),
                          TVector3(10.0 * (19 - i), 0, 0), 10.0 * (19 - 2 * i), 10.01 * (19 - 2 * i), 1.0 + i));
  }
  QTest::newRow("20 positions give 9 records") << Laser_File(KELVO_IDENTIFIER, LASER_HEADER, twenty) << kelvo << nine;

  QTest::newRow("3 positions give one record")
    << Laser_File(KELVO_IDENTIFIER, LASER_HEADER, {"0,0,0", "100,100.5,100", "200,200.2,200"}) << kelvo
    << TExpectedRecords{Length("SQ.1-3", TVector3(0, 0, 0), TVector3(200, 0, 0), 200.0, 200.2, 1.0)};
  QTest::newRow("one position gives nothing")
    << Laser_File(KELVO_IDENTIFIER, LASER_HEADER, {"0,0,0", "0.5,1,1"}) << kelvo << TExpectedRecords();
  QTest::newRow("no readings") << Laser_File(KELVO_IDENTIFIER, LASER_HEADER, {}) << kelvo << TExpectedRecords();

  QTest::newRow("readings sorted and merged")
    << Laser_File(KELVO_IDENTIFIER, LASER_HEADER, {"300,300.3,300", "0.6,0.2,0.2", "0,0,0", "100,100.1,100"}) << kelvo
    << TExpectedRecords{Length("SQ.1-3", TVector3(0.1, 0, 0), TVector3(300, 0, 0), 299.9, 300.2, 1.0)};

  const QList<QByteArray> two = {"0,0,0", "100,100.1,99.8"};
  const TExpectedRecords one_record = {Length("SQ.1-2", TVector3(0, 0, 0), TVector3(99.8, 0, 0), 99.8, 100.1, 1.0)};
  QTest::newRow("not a scale measurement")
    << Laser_File(KELVO_IDENTIFIER, "Start_Point:0,0,0\nMeasurement_Axis:1,0,0\nMeasurement_Type:Squareness\n", two)
    << kelvo << TExpectedRecords();
  QTest::newRow("no measurement type")
    << Laser_File(KELVO_IDENTIFIER, "Start_Point:0,0,0\nMeasurement_Axis:1,0,0\n", two) << kelvo << TExpectedRecords();
  QTest::newRow("no start point")
    << Laser_File(KELVO_IDENTIFIER, "Measurement_Axis:1,0,0\nMeasurement_Type:Scale\n", two) << kelvo << TExpectedRecords();
  QTest::newRow("start point with 2 fields")
    << Laser_File(KELVO_IDENTIFIER, "Start_Point:0,0\nMeasurement_Axis:1,0,0\nMeasurement_Type:Scale\n", two)
    << kelvo << TExpectedRecords();
  QTest::newRow("no measurement axis")
    << Laser_File(KELVO_IDENTIFIER, "Start_Point:0,0,0\nMeasurement_Type:Scale\n", two) << kelvo << TExpectedRecords();
  QTest::newRow("scale type in lower case, stays set")
    << Laser_File(KELVO_IDENTIFIER, "Start_Point:0,0,0\nMeasurement_Type: scale\nMeasurement_Type:Other\nMeasurement_Axis:1,0,0\n", two)
    << kelvo << one_record;
  QTest::newRow("header lines after the readings")
    << Laser_File(KELVO_IDENTIFIER, QByteArray(), two) + LASER_HEADER << kelvo << one_record;
  QTest::newRow("readings outside the measurement ignored")
    << "Point:0,500,500,500,0,0,0,0\n" + Laser_File(KELVO_IDENTIFIER, LASER_HEADER, two) + "Point:9,700,700,700,0,0,0,0\n"
    << kelvo << one_record;
  QTest::newRow("point with 7 fields ignored")
    << Laser_File(KELVO_IDENTIFIER, LASER_HEADER, two) + "Measurement_Begin:\nPoint:2,500,500,500,0,0,0\nMeasurement_End:\n"
    << kelvo << one_record;
  QTest::newRow("start point, unnormalised axis and description")
    << Laser_File(KELVO_IDENTIFIER, "Start_Point:1,2,3\nMeasurement_Axis:0,2,0\nMeasurement_Type:Scale\n", two)
         .replace("Measurement_Begin:\n", "Measurement_Begin:\nDescription:   Y axis  \n")
    << kelvo
    << TExpectedRecords{Length("Y axis.1-2", TVector3(1, 2, 3), TVector3(1, 201.6, 3), 199.6, 200.2, 1.0)};
  QTest::newRow("description outside measurement ignored")
    << "Description:Outside\n" + Laser_File(KELVO_IDENTIFIER, LASER_HEADER, two) << kelvo << one_record;
  QTest::newRow("reversed axis gives positive lengths")
    << Laser_File(KELVO_IDENTIFIER, "Start_Point:0,0,0\nMeasurement_Axis:-1,0,0\nMeasurement_Type:Scale\n", two) << kelvo
    << TExpectedRecords{Length("SQ.1-2", TVector3(0, 0, 0), TVector3(-99.8, 0, 0), 99.8, 100.1, 1.0)};

  // B89 files: slot 2k+1 minus slot 2k, after a zero reading.
  QTest::newRow("b89 pairs of slots")
    << Laser_File(B89_LASER_IDENTIFIER, LASER_HEADER, {"7,7,7", "107,107.1,107", "10,10,10", "210,210.3,210"}) << b89
    << TExpectedRecords{Length("SQ.1-3", TVector3(0, 0, 0), TVector3(200, 0, 0), 200.0, 200.3, 1.0)};
  QTest::newRow("b89 later reading replaces slot")
    << Laser_File(B89_LASER_IDENTIFIER, LASER_HEADER, {"0,0,0", "50,50,50"}) +
         "Measurement_Begin:\nPoint:1,100,100.1,100,0,0,0,0\nMeasurement_End:\n"
    << b89 << TExpectedRecords{Length("SQ.1-2", TVector3(0, 0, 0), TVector3(100, 0, 0), 100.0, 100.1, 1.0)};
  QTest::newRow("b89 slot indexes out of range ignored")
    << Laser_File(B89_LASER_IDENTIFIER, LASER_HEADER, {"0,0,0", "100,100.1,100"}) +
         "Measurement_Begin:\nPoint:30,900,900,900,0,0,0,0\nPoint:-1,-900,-900,-900,0,0,0,0\n"
         "Point:31,900,900,900,0,0,0,0\nMeasurement_End:\n"
    << b89 << TExpectedRecords{Length("SQ.1-2", TVector3(0, 0, 0), TVector3(100, 0, 0), 100.0, 100.1, 1.0)};
  QTest::newRow("b89 without readings") << Laser_File(B89_LASER_IDENTIFIER, LASER_HEADER, {}) << b89 << TExpectedRecords();
  QTest::newRow("kelvo ignores the index")
    << Laser_File(KELVO_IDENTIFIER, LASER_HEADER, {}) +
         "Measurement_Begin:\nPoint:5,0,0,0,0,0,0,0\nPoint:5,100,100.1,100,0,0,0,0\nMeasurement_End:\n"
    << kelvo << TExpectedRecords{Length("SQ.1-2", TVector3(0, 0, 0), TVector3(100, 0, 0), 100.0, 100.1, 1.0)};
  QTest::newRow("undefined positions do not upset the ordering")
    << Laser_File(KELVO_IDENTIFIER, LASER_HEADER, {"nan,1,1", "0,0,0", "100,100.1,100", "-inf,6,6"}) << kelvo
    << TExpectedRecords{Length("SQ.1-4", TVector3(6, 0, 0), TVector3(1, 0, 0), 5.0, 5.0, 1.0),
                        Length("SQ.2-3", TVector3(0, 0, 0), TVector3(100, 0, 0), 100.0, 100.1, 2.0)};
}

void TTestMeasurementFactoryLaser::raw_laser_files()
{
  QFETCH(QByteArray, content);
  QFETCH(int, type);
  QFETCH(TExpectedRecords, records);

  Check_Records(TMeasurementFactory::Load_Farrowline_Laser_File(content, TMeasurementFactory::TImportFileType(type)), records);
}

QTEST_GUILESS_MAIN(TTestMeasurementFactoryLaser)
#include "test_measurement_factory_laser.moc"
