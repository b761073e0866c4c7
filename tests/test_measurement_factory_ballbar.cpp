// Tests of the ball-bar loaders: the plain ball-bar files and the 10360
// files with their nested lengths, comparing every field of every record made.
#include <QtTest>
#include <vector>

#include "measurement_factory.h"
#include "measurement_factory_test_helpers.h"

using namespace measurement_factory_test;

namespace
{
  // A 10360 ball-bar file with sphere A at the origin and sphere B at L(i)
  // along x, three repeats each; extra lines go into the measurement section.
  QByteArray Ballbar_10360(const std::vector<double>& distances, const QByteArray& alignment = QByteArray(),
                           const QByteArray& measurement_lines = QByteArray(), const char* b_label = "B")
  {
    QByteArray content = "B89.4.10360_Raw_Measurement:Version=1:Type=BallBar_10360\n";
    if(!alignment.isEmpty())
      content += "Alignment_Begin:\n" + alignment + "Alignment_End:\n";
    content += "Measurement_Begin:\n";
    content += measurement_lines;
    for(size_t i = 0; i < distances.size(); ++i)
    {
      for(int repeat = 0; repeat < 3; ++repeat)
      {
        content += QString("Sphere:A%1,%1,%2,0,0,0,0,0\n").arg(i).arg(repeat).toUtf8();
        content += QString("Sphere:%1,%2,%3,%4,0,0,0,0\n")
                     .arg(QLatin1String(b_label))
                     .arg(i)
                     .arg(repeat)
                     .arg(distances[i], 0, 'g', 17)
                     .toUtf8();
      }
    }
    content += "Measurement_End:\n";
    return content;
  }

  // The three nested records of a 10360 file along +x from the translation.
  // Nominal lengths equal the actual ones unless given.
  TExpectedRecords Ballbar_10360_Records(const QString& description, const std::vector<double>& distances,
                                         const TVector3& translation = TVector3(), double scale = 1.0,
                                         const std::vector<double>& nominal_lengths = std::vector<double>())
  {
    auto along = [&](double distance) { return translation + TVector3(scale * distance, 0.0, 0.0); };
    const double actual[3] = {scale * distances[4], scale * (distances[3] - distances[0]), scale * (distances[2] - distances[1])};
    auto nominal = [&](int i) { return nominal_lengths.empty() ? actual[i] : nominal_lengths[size_t(i)]; };
    return {Length(description + "-3", along(0.0), along(distances[4]), nominal(0), actual[0], 1.0),
            Length(description + "-2", along(distances[0]), along(distances[3]), nominal(1), actual[1], 2.0),
            Length(description + "-1", along(distances[1]), along(distances[2]), nominal(2), actual[2], 3.0)};
  }
}

class TTestMeasurementFactoryBallbar : public QObject
{
  Q_OBJECT

private slots:
  void ballbar_files_data();
  void ballbar_files();
  void ballbar_10360_files_data();
  void ballbar_10360_files();
};

void TTestMeasurementFactoryBallbar::ballbar_files_data()
{
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<int>("type");
  QTest::addColumn<TExpectedRecords>("records");

  const int v1 = TMeasurementFactory::IMPORT_BALLBAR_V1;
  const int v2 = TMeasurementFactory::IMPORT_BALLBAR_V2;
  const int b89 = TMeasurementFactory::IMPORT_B89_BALLBAR;

  QTest::newRow("v1 offset added to both spheres") << QByteArray("BallBar_V1\nA,9,1,2,3,4,6,3,10,0,-1\n") << v1
    << TExpectedRecords{Ball_Bar("A", TVector3(11, 2, 2), TVector3(14, 6, 2), 5.0)};
  QTest::newRow("v1 with 12 fields") << QByteArray("BallBar_V1\nA,9,1,2,3,4,6,3,10,0,-1,0\n") << v1 << TExpectedRecords();
  QTest::newRow("v1 with 10 fields") << QByteArray("BallBar_V1\nA,9,1,2,3,4,6,3,10,0\n") << v1 << TExpectedRecords();
  QTest::newRow("v1 field 1 not read") << QByteArray("BallBar_V1\nA,not a number,0,0,0,0,0,1,0,0,0\n") << v1
    << TExpectedRecords{Ball_Bar("A", TVector3(0, 0, 0), TVector3(0, 0, 1), 1.0)};
  QTest::newRow("v2 offset from fields 10 to 12") << QByteArray("BallBar_V2\nB,0,1,2,3,4,6,3,100,100,10,0,-1\n") << v2
    << TExpectedRecords{Ball_Bar("B", TVector3(11, 2, 2), TVector3(14, 6, 2), 5.0)};
  QTest::newRow("v2 with 11 fields") << QByteArray("BallBar_V2\nB,0,1,2,3,4,6,3,10,0,-1\n") << v2 << TExpectedRecords();
  QTest::newRow("v2 empty offset fields") << QByteArray("BallBar_V2\nB,0,1,2,3,4,6,3,,,,,\n") << v2
    << TExpectedRecords{Ball_Bar("B", TVector3(1, 2, 3), TVector3(4, 6, 3), 5.0)};
  QTest::newRow("v2 equal spheres") << QByteArray("BallBar_V2\nSame,0,7,8,9,7,8,9,0,0,0,0,0\n") << v2
    << TExpectedRecords{Ball_Bar("Same", TVector3(7, 8, 9), TVector3(7, 8, 9), 0.0)};
  QTest::newRow("b89 has no offset") << QByteArray("B89.4.1_Data:Version=1:Type=BallBar\nC,0,1,2,3,4,6,3,9,9,9,9,9\n") << b89
    << TExpectedRecords{Ball_Bar("C", TVector3(1, 2, 3), TVector3(4, 6, 3), 5.0)};
  QTest::newRow("b89 with 11 fields") << QByteArray("B89.4.1_Data:Version=1:Type=BallBar\nC,0,1,2,3,4,6,3,9,9,9\n") << b89
    << TExpectedRecords();
  QTest::newRow("comments and blank lines skipped")
    << QByteArray("BallBar_V1\n# A,9,1,2,3,4,6,3,10,0,-1\n   \n\t\n  #,0,0,0,0,0,0,0,0,0,0\nD,0,0,0,0,3,0,0,0,0,0\n") << v1
    << TExpectedRecords{Ball_Bar("D", TVector3(0, 0, 0), TVector3(3, 0, 0), 3.0)};
  QTest::newRow("name kept with inner blanks") << QByteArray("BallBar_V1\n  Bar   one ,0,0,0,0,3,0,0,0,0,0\n") << v1
    << TExpectedRecords{Ball_Bar("Bar one ", TVector3(0, 0, 0), TVector3(3, 0, 0), 3.0)};
  QTest::newRow("blanks around numbers") << QByteArray("BallBar_V1\nE, 0, 1 , 2,3, 4,6 ,3,0,0,0\n") << v1
    << TExpectedRecords{Ball_Bar("E", TVector3(1, 2, 3), TVector3(4, 6, 3), 5.0)};
  QTest::newRow("bad numbers become zero") << QByteArray("BallBar_V1\nF,0,x,0,0,3,0,0,y,0,0\n") << v1
    << TExpectedRecords{Ball_Bar("F", TVector3(0, 0, 0), TVector3(3, 0, 0), 3.0)};
  QTest::newRow("file order kept") << QByteArray("BallBar_V1\nZ,0,0,0,0,1,0,0,0,0,0\nY,0,0,0,0,0,2,0,0,0,0\n") << v1
    << TExpectedRecords{Ball_Bar("Z", TVector3(0, 0, 0), TVector3(1, 0, 0), 1.0),
                        Ball_Bar("Y", TVector3(0, 0, 0), TVector3(0, 2, 0), 2.0)};
}

void TTestMeasurementFactoryBallbar::ballbar_files()
{
  QFETCH(QByteArray, content);
  QFETCH(int, type);
  QFETCH(TExpectedRecords, records);

  Check_Records(TMeasurementFactory::Load_Ballbar_File(content, TMeasurementFactory::TImportFileType(type)), records);
}

void TTestMeasurementFactoryBallbar::ballbar_10360_files_data()
{
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<TExpectedRecords>("records");

  const std::vector<double> distances = {100, 200, 300, 400, 500};

  QTest::newRow("defaults") << Ballbar_10360(distances) << Ballbar_10360_Records("BB", distances);
  QTest::newRow("translation and description")
    << Ballbar_10360(distances, "Translation:10,20,30\n", "Description:Bar\n")
    << Ballbar_10360_Records("Bar", distances, TVector3(10, 20, 30));
  QTest::newRow("description keeps its leading blank")
    << Ballbar_10360(distances, QByteArray(), "Description:   Left  bar\n")
    << Ballbar_10360_Records(" Left bar", distances);
  QTest::newRow("description with two colons ignored")
    << Ballbar_10360(distances, QByteArray(), "Description:a:b\n") << Ballbar_10360_Records("BB", distances);
  QTest::newRow("x axis doubles the lengths")
    << Ballbar_10360(distances, "X_Axis:2,0,0\n") << Ballbar_10360_Records("BB", distances, TVector3(), 2.0);
  QTest::newRow("x axis with two fields ignored")
    << Ballbar_10360(distances, "X_Axis:2,0\n") << Ballbar_10360_Records("BB", distances);
  QTest::newRow("x axis outside alignment ignored")
    << Ballbar_10360(distances, QByteArray(), "X_Axis:2,0,0\nTranslation:1,1,1\n") << Ballbar_10360_Records("BB", distances);
  QTest::newRow("nominal 299.49 rounds down")
    << Ballbar_10360({100, 200, 300, 400, 299.49}) << Ballbar_10360_Records("BB", {100, 200, 300, 400, 299.49}, TVector3(), 1.0, {299, 300, 100});
  QTest::newRow("nominal 299.5 rounds up")
    << Ballbar_10360({100, 200, 300, 400, 299.5}) << Ballbar_10360_Records("BB", {100, 200, 300, 400, 299.5}, TVector3(), 1.0, {300, 300, 100});
  QTest::newRow("fourth repeat ignored")
    << Ballbar_10360(distances, QByteArray(), "Sphere:A0,0,3,99,0,0,0,0\n") << Ballbar_10360_Records("BB", distances);
  QTest::newRow("second repeat 0 spoils the file")
    << Ballbar_10360(distances, QByteArray(), "Sphere:A0,0,0,99,0,0,0,0\n") << TExpectedRecords();
  QTest::newRow("missing repeat spoils the file") << Ballbar_10360({100, 200, 300, 400}) << TExpectedRecords();
  QTest::newRow("position index out of range ignored")
    << Ballbar_10360(distances, QByteArray(), "Sphere:A,5,0,99,0,0,0,0\nSphere:B,-1,0,99,0,0,0,0\n")
    << Ballbar_10360_Records("BB", distances);
  QTest::newRow("empty label ignored")
    << Ballbar_10360(distances, QByteArray(), "Sphere:,0,0,99,0,0,0,0\n") << Ballbar_10360_Records("BB", distances);
  QTest::newRow("sphere line with 7 or 9 fields ignored")
    << Ballbar_10360(distances, QByteArray(), "Sphere:A,0,0,99,0,0,0\nSphere:A,0,0,99,0,0,0,0,0\n")
    << Ballbar_10360_Records("BB", distances);
  QTest::newRow("sphere line in alignment ignored")
    << Ballbar_10360(distances, "Sphere:A0,0,0,99,0,0,0,0\n") << Ballbar_10360_Records("BB", distances);
  QTest::newRow("sphere line outside sections ignored")
    << Ballbar_10360(distances).replace("Measurement_Begin:", "Sphere:A0,0,0,99,0,0,0,0\nMeasurement_Begin:") +
         "Sphere:A0,0,0,99,0,0,0,0\n"
    << Ballbar_10360_Records("BB", distances);
  QTest::newRow("blank before label makes sphere B")
    << Ballbar_10360(distances, QByteArray(), QByteArray(), " A") << Ballbar_10360_Records("BB", distances);
  QTest::newRow("lower-case a makes sphere B")
    << Ballbar_10360(distances, QByteArray(), QByteArray(), "a") << Ballbar_10360_Records("BB", distances);
  QTest::newRow("upper-case A for both spoils the file")
    << Ballbar_10360(distances, QByteArray(), QByteArray(), "A") << TExpectedRecords();
  QTest::newRow("keywords in any case")
    << Ballbar_10360(distances, "x_axis:2,0,0\n").replace("Measurement_Begin:", "MEASUREMENT_BEGIN:").replace("Sphere:", "sPhErE:")
    << Ballbar_10360_Records("BB", distances, TVector3(), 2.0);

  // Sphere B off the x axis: the lengths are distances between the sphere means.
  QByteArray tilted = "B89.4.10360_Raw_Measurement:Version=1:Type=BallBar_10360\nMeasurement_Begin:\n";
  for(int i = 0; i < 5; ++i)
  {
    const double jitter[3] = {0.01, -0.03, 0.02};
    for(int repeat = 0; repeat < 3; ++repeat)
    {
      tilted += QString("Sphere:A,%1,%2,1,%3,2,0,0\n").arg(i).arg(repeat).arg(1.0 + jitter[repeat]).toUtf8();
      tilted += QString("Sphere:B,%1,%2,1,%3,%4,0,0\n").arg(i).arg(repeat).arg(1.0 + 30.0 * (i + 1)).arg(2.0 + 40.0 * (i + 1)).toUtf8();
    }
  }
  tilted += "Measurement_End:\n";
  QTest::newRow("distance between sphere means") << tilted << Ballbar_10360_Records("BB", {50, 100, 150, 200, 250});
}

void TTestMeasurementFactoryBallbar::ballbar_10360_files()
{
  QFETCH(QByteArray, content);
  QFETCH(TExpectedRecords, records);

  QCOMPARE(int(TMeasurementFactory::Determine_File_Type(content)), int(TMeasurementFactory::IMPORT_B89_BALLBAR_10360));
  Check_Records(TMeasurementFactory::Load_Ballbar_10360_File(content, TMeasurementFactory::IMPORT_B89_BALLBAR_10360), records);
}

QTEST_GUILESS_MAIN(TTestMeasurementFactoryBallbar)
#include "test_measurement_factory_ballbar.moc"
