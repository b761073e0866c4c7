// Tests of the measurement importer: file detection, Load_File's contract and
// every loader, comparing every field of every record made.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <limits>
#include <memory>

#include "measurement_factory.h"

namespace
{
  const double DEFAULT_NOMINAL_LENGTH = 346.4101615137754;

  struct TExpectedRecord
  {
    TMeasurement::TMeasurementType type = TMeasurement::MEASUREMENT_BALLBAR;
    QString name;
    TVector3 position;
    TVector3 axis;
    double nominal_length = 0.0;
    double actual_length = 0.0;
    double draw_offset = 0.0;
  };

  typedef std::vector<TExpectedRecord> TExpectedRecords;

  // Midpoint and unit direction of a line; (1, 0, 0) for a line of no length.
  void Set_Line(TExpectedRecord* record, const TVector3& start, const TVector3& end)
  {
    record->position = TVector3((start.x + end.x) / 2.0, (start.y + end.y) / 2.0, (start.z + end.z) / 2.0);
    const TVector3 direction = end - start;
    const double length = direction.Length();
    record->axis = (length > 1e-6) ? direction * (1.0 / length) : TVector3(1.0, 0.0, 0.0);
  }

  TExpectedRecord Ball_Bar(const QString& name, const TVector3& start, const TVector3& end, double actual_length)
  {
    TExpectedRecord record;
    record.type = TMeasurement::MEASUREMENT_BALLBAR;
    record.name = name;
    Set_Line(&record, start, end);
    record.nominal_length = DEFAULT_NOMINAL_LENGTH;
    record.actual_length = actual_length;
    record.draw_offset = 0.0;
    return record;
  }

  TExpectedRecord Length(const QString& name, const TVector3& start, const TVector3& end, double nominal_length,
                         double actual_length, double draw_offset)
  {
    TExpectedRecord record;
    record.type = TMeasurement::MEASUREMENT_LENGTH;
    record.name = name;
    Set_Line(&record, start, end);
    record.nominal_length = nominal_length;
    record.actual_length = actual_length;
    record.draw_offset = draw_offset;
    return record;
  }

  bool Close(double actual, double expected)
  {
    if(std::isnan(expected))
      return std::isnan(actual);
    return std::fabs(actual - expected) <= 1e-9 * std::max(1.0, std::fabs(expected));
  }

  QString Text(const TVector3& v)
  {
    return QString("(%1, %2, %3)").arg(v.x, 0, 'g', 17).arg(v.y, 0, 'g', 17).arg(v.z, 0, 'g', 17);
  }

  bool Close(const TVector3& actual, const TVector3& expected)
  {
    return Close(actual.x, expected.x) && Close(actual.y, expected.y) && Close(actual.z, expected.z);
  }

  // Takes ownership of the records and compares them field by field.
  void Check_Records(const std::vector<TMeasurement*>& loaded, const TExpectedRecords& expected)
  {
    const std::vector<std::unique_ptr<TMeasurement>> records(loaded.begin(), loaded.end());
    QCOMPARE(int(records.size()), int(expected.size()));

    for(size_t i = 0; i < records.size(); ++i)
    {
      const TMeasurement& record = *records[i];
      const TExpectedRecord& want = expected[i];
      const QByteArray where = QString("record %1 (%2)").arg(i).arg(want.name).toUtf8();

      QVERIFY2(record.Type() == want.type, where);
      QVERIFY2(record.Name() == want.name, (where + ": name " + record.Name().toUtf8()).constData());
      QVERIFY2(Close(record.Position(), want.position),
               (where + ": position " + Text(record.Position()).toUtf8() + " expected " + Text(want.position).toUtf8()).constData());
      QVERIFY2(Close(record.Axis(), want.axis),
               (where + ": axis " + Text(record.Axis()).toUtf8() + " expected " + Text(want.axis).toUtf8()).constData());
      QVERIFY2(Close(record.Nominal_Length(), want.nominal_length),
               (where + ": nominal " + QByteArray::number(record.Nominal_Length(), 'g', 17)).constData());
      QVERIFY2(Close(record.Actual_Length(), want.actual_length),
               (where + ": actual " + QByteArray::number(record.Actual_Length(), 'g', 17)).constData());
      QVERIFY2(Close(record.Draw_Offset(), want.draw_offset),
               (where + ": draw offset " + QByteArray::number(record.Draw_Offset(), 'g', 17)).constData());
    }
  }

  QString Data_File(const QString& name)
  {
    return QDir(QStringLiteral(ORTHAVEL_TEST_DATA)).filePath(name);
  }

  // Warnings raised while a results document is read.
  QStringList g_warnings;

  void Record_Message(QtMsgType type, const QMessageLogContext&, const QString& message)
  {
    if(type == QtWarningMsg)
      g_warnings.append(message);
  }

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

  QByteArray Results_Document(const QByteArray& body)
  {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Results Version=\"1\">\n" + body + "</Results>\n";
  }

  QByteArray Sphere(const char* name, double x, double y, double z)
  {
    return QString("<%1><X>%2</X><Y>%3</Y><Z>%4</Z></%1>").arg(QLatin1String(name)).arg(x).arg(y).arg(z).toUtf8();
  }

  QByteArray Ballbar_Part(const QByteArray& bars)
  {
    return "<Ballbar><Patterns><PatternResult><Ballbars>" + bars + "</Ballbars></PatternResult></Patterns></Ballbar>\n";
  }

  // One step-gauge set at the origin.
  QByteArray Fleet_Array(const QByteArray& direction, const QByteArray& values)
  {
    return "<ArrayOfStepGageFleet><StepGageFleet><Origin><X>0</X><Y>0</Y><Z>0</Z></Origin><Vector>" + direction +
           "</Vector><Values>" + values + "</Values></StepGageFleet></ArrayOfStepGageFleet>";
  }

  QByteArray Iso_Part(const QByteArray& arrays)
  {
    return "<Iso_2E><Bars>" + arrays + "</Bars></Iso_2E>\n";
  }

  QByteArray Stepgauge_Part(const QByteArray& direction, const QByteArray& values)
  {
    return Iso_Part(Fleet_Array(direction, values));
  }

  QByteArray Gauge_Value(const QByteArray& calibrated, const QByteArray& actual)
  {
    return "<StepGageValue><Calibrated>" + calibrated + "</Calibrated>" + actual + "</StepGageValue>";
  }
}

Q_DECLARE_METATYPE(TExpectedRecords)
Q_DECLARE_METATYPE(std::vector<TVector3>)
Q_DECLARE_METATYPE(std::vector<TMeasurementFactory::TStepgaugeDataItem>)

class TTestMeasurementFactory : public QObject
{
  Q_OBJECT

private:
  QTemporaryDir d_directory;

  QString Write_File(const QString& name, const QByteArray& content)
  {
    const QString path = d_directory.filePath(name);
    QFile file(path);
    if(!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
      return QString();
    file.write(content);
    return path;
  }

private slots:
  void initTestCase();

  void determine_file_type_data();
  void determine_file_type();

  void load_file_failures_data();
  void load_file_failures();
  void load_file_refuses_oversized_file();
  void load_file_keeps_the_last_error();
  void load_file_reads_crlf_files_data();
  void load_file_reads_crlf_files();
  void load_file_sample_files_data();
  void load_file_sample_files();

  void ballbar_files_data();
  void ballbar_files();

  void ballbar_10360_files_data();
  void ballbar_10360_files();

  void length_data_files_data();
  void length_data_files();

  void combine_laser_points_data();
  void combine_laser_points();
  void sort_laser_items_puts_undefined_positions_last();
  void raw_laser_files_data();
  void raw_laser_files();

  void stepgauge_position_data();
  void stepgauge_position();
  void stepgauge_files_data();
  void stepgauge_files();

  void results_files_data();
  void results_files();
};

void TTestMeasurementFactory::initTestCase()
{
  QVERIFY(d_directory.isValid());
}

// ---------------------------------------------------------------- detection

void TTestMeasurementFactory::determine_file_type_data()
{
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<int>("type");

  const QByteArray declaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";

  QTest::newRow("ballbar v1") << QByteArray("BallBar_V1\nBar,0,0,0,0,1,0,0,0,0,0\n") << 1;
  QTest::newRow("ballbar v2") << QByteArray("BallBar_V2\n#\n") << 2;
  QTest::newRow("b89 ballbar") << QByteArray("B89.4.1_Data:Version=1:Type=BallBar\nx") << 3;
  QTest::newRow("b89 ballbar 10360") << QByteArray("B89.4.10360_Raw_Measurement:Version=1:Type=BallBar_10360\nx") << 4;
  QTest::newRow("length data") << QByteArray("Length_Data:Version=1:Type=Measurement\nx") << 5;
  QTest::newRow("stepgauge") << QByteArray("Stepgauge_Raw_Measurement:Version=1:Type=Squareness\nx") << 6;
  QTest::newRow("kelvo laser") << QByteArray("Kelvo_Raw_Measurement:Version=1:Type=Machine_And_Laser\nx") << 7;
  QTest::newRow("b89 laser") << QByteArray("B89.4.10360_Raw_Measurement:Version=1:Type=Machine_And_Laser\nx") << 8;
  QTest::newRow("results") << declaration + "\n<Results xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n</Results>" << 9;

  QTest::newRow("lower-case identifier") << QByteArray("ballbar_v1\nx") << 1;
  QTest::newRow("upper-case identifier") << QByteArray("LENGTH_DATA:VERSION=1:TYPE=MEASUREMENT\nx") << 5;
  QTest::newRow("text after identifier") << QByteArray("BallBar_V1 written by hand, 2024\nx") << 1;
  QTest::newRow("leading blank lines and blanks") << QByteArray("\n\n  \t BallBar_V2\nx") << 2;
  QTest::newRow("one line without lf") << QByteArray("BallBar_V1") << 0;
  QTest::newRow("one line, trailing whitespace") << QByteArray("BallBar_V1  \n \n\t") << 0;
  QTest::newRow("identifier on second line") << QByteArray("Ball bar data\nBallBar_V1\n") << 0;
  QTest::newRow("identifier cut short") << QByteArray("BallBar_V\nx") << 0;
  QTest::newRow("unknown 10360 type") << QByteArray("B89.4.10360_Raw_Measurement:Version=1:Type=Other\nx") << 0;
  QTest::newRow("text ends at nul byte") << QByteArray("BallBar_V1\0\nx", 13) << 0;
  QTest::newRow("nul byte after first line") << QByteArray("BallBar_V1\nx\0y", 14) << 1;
  QTest::newRow("empty") << QByteArray() << 0;

  QTest::newRow("results, lower-case tag") << declaration + "\n<results a=\"1\">" << 9;
  QTest::newRow("results, tag without attributes") << declaration + "\n<Results>\n</Results>" << 0;
  QTest::newRow("results, tag alone") << declaration + "\n<Results" << 0;
  QTest::newRow("results, declaration with trailing blank") << declaration + " \n<Results a=\"1\">" << 0;
  QTest::newRow("results, upper-case declaration")
    << QByteArray("<?XML version=\"1.0\" encoding=\"utf-8\"?>\n<Results a=\"1\">") << 0;
  QTest::newRow("results, encoding in upper case")
    << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Results a=\"1\">") << 0;
  QTest::newRow("results, extra attribute")
    << QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\n<Results a=\"1\">") << 0;
  QTest::newRow("results, cr-lf read raw") << declaration + "\r\n<Results a=\"1\">\r\n</Results>" << 0;
  QTest::newRow("results, blank second line") << declaration + "\n\n<Results a=\"1\">" << 0;
  QTest::newRow("results, other root") << declaration + "\n<Result a=\"1\">" << 0;
  QTest::newRow("results, leading blanks") << "  \n" + declaration + "\n<Results a=\"1\">" << 9;
  QTest::newRow("results, one line") << declaration + "<Results a=\"1\"/>" << 0;
}

void TTestMeasurementFactory::determine_file_type()
{
  QFETCH(QByteArray, content);
  QFETCH(int, type);

  QCOMPARE(int(TMeasurementFactory::Determine_File_Type(content)), type);
}

// ---------------------------------------------------------------- Load_File

void TTestMeasurementFactory::load_file_failures_data()
{
  QTest::addColumn<QString>("file");
  QTest::addColumn<bool>("create");
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<bool>("valid");
  QTest::addColumn<QString>("error");

  QTest::newRow("missing file") << "missing.txt" << false << QByteArray() << false
                                << "ERR:  Cannot open file '%1' for reading.";
  QTest::newRow("directory") << "." << false << QByteArray() << false << "ERR:  Cannot open file '%1' for reading.";
  QTest::newRow("empty device") << "/dev/null" << false << QByteArray() << false
                                << "ERR:  Input file '%1' does not contain enough data.";
  QTest::newRow("empty file") << "empty.txt" << true << QByteArray() << false
                              << "ERR:  Input file '%1' does not contain enough data.";
  QTest::newRow("9 bytes") << "nine.txt" << true << QByteArray("BallBar_V") << false
                           << "ERR:  Input file '%1' does not contain enough data.";
  QTest::newRow("10 bytes pass the size test") << "ten.txt" << true << QByteArray("BallBar_V1") << false
                                               << "ERR:  Input file '%1' data type not recognized.";
  QTest::newRow("10 blanks pass the size test") << "blanks.txt" << true << QByteArray(10, ' ') << false
                                                << "ERR:  Input file '%1' data type not recognized.";
  QTest::newRow("unknown first line") << "unknown.txt" << true << QByteArray("Measured lengths\n1,2,3\n") << false
                                      << "ERR:  Input file '%1' data type not recognized.";
  QTest::newRow("recognised without data") << "nodata.txt" << true << QByteArray("BallBar_V2\n# nothing measured\n")
                                           << true << QString();
}

void TTestMeasurementFactory::load_file_failures()
{
  QFETCH(QString, file);
  QFETCH(bool, create);
  QFETCH(QByteArray, content);
  QFETCH(bool, valid);
  QFETCH(QString, error);

  const QString path = create ? Write_File(file, content)
                              : (QDir::isAbsolutePath(file) ? file : d_directory.filePath(file));
  QVERIFY(!path.isEmpty());

  TMeasurementFactory factory;
  bool is_valid = !valid;
  Check_Records(factory.Load_File(path, &is_valid), TExpectedRecords());
  QCOMPARE(is_valid, valid);
  QCOMPARE(factory.Last_Error(), error.isEmpty() ? QString() : error.arg(path));
}

void TTestMeasurementFactory::load_file_refuses_oversized_file()
{
  // A sparse file just over the limit, starting with a valid identifier.
  const QString path = Write_File("huge.txt", "BallBar_V1\nBar,0,0,0,0,1,0,0,0,0,0\n");
  QFile file(path);
  QVERIFY(file.resize(TMeasurementFactory::MAXIMUM_FILE_SIZE + 1));

  TMeasurementFactory factory;
  bool valid = true;
  Check_Records(factory.Load_File(path, &valid), TExpectedRecords());
  QVERIFY(!valid);
  QCOMPARE(factory.Last_Error(), QString("ERR:  Input file '%1' is too large to import.").arg(path));
  QVERIFY(file.remove());
}

void TTestMeasurementFactory::load_file_keeps_the_last_error()
{
  TMeasurementFactory factory;
  QVERIFY(factory.Last_Error().isEmpty());

  const QString missing = d_directory.filePath("not_there.txt");
  bool valid = true;
  Check_Records(factory.Load_File(missing, &valid), TExpectedRecords());
  QVERIFY(!valid);
  const QString first_error = factory.Last_Error();
  QCOMPARE(first_error, QString("ERR:  Cannot open file '%1' for reading.").arg(missing));

  Check_Records(factory.Load_File(Data_File("ballbar_v2.txt"), &valid), {
    Ball_Bar("Diagonal", TVector3(101, 102, 103), TVector3(401, 502, 103), 500.0),
    Ball_Bar("Zero", TVector3(5, 5, 5), TVector3(5, 5, 5), 0.0)});
  QVERIFY(valid);
  QCOMPARE(factory.Last_Error(), first_error);
}

void TTestMeasurementFactory::load_file_reads_crlf_files_data()
{
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<TExpectedRecords>("records");

  QTest::newRow("ballbar v1") << QByteArray("BallBar_V1\r\n# comment\r\nBar,0,0,0,0,0,3,4,1,1,1\r\n")
                              << TExpectedRecords{Ball_Bar("Bar", TVector3(1, 1, 1), TVector3(1, 4, 5), 5.0)};
  QTest::newRow("results") << QByteArray(
                                "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Results Version=\"1\">\r\n"
                                "<Ballbar><Patterns><PatternResult><Ballbars><Bar><BarNo>7</BarNo><BarMeasurements>\r\n"
                                "<Measurement><Sphere1><X>0</X><Y>0</Y><Z>0</Z></Sphere1>"
                                "<Sphere2><X>0</X><Y>0</Y><Z>150</Z></Sphere2></Measurement>\r\n"
                                "</BarMeasurements></Bar></Ballbars></PatternResult></Patterns></Ballbar>\r\n</Results>\r\n")
                           << TExpectedRecords{Ball_Bar("Pos: 7", TVector3(0, 0, 0), TVector3(0, 0, 150), 150.0)};
}

void TTestMeasurementFactory::load_file_reads_crlf_files()
{
  QFETCH(QByteArray, content);
  QFETCH(TExpectedRecords, records);

  const QString path = Write_File("crlf.txt", content);
  TMeasurementFactory factory;
  bool valid = false;
  Check_Records(factory.Load_File(path, &valid), records);
  QVERIFY(valid);
  QVERIFY(factory.Last_Error().isEmpty());
}

void TTestMeasurementFactory::load_file_sample_files_data()
{
  QTest::addColumn<QString>("file");
  QTest::addColumn<bool>("valid");
  QTest::addColumn<QString>("error");
  QTest::addColumn<TExpectedRecords>("records");
  QTest::addColumn<int>("warnings");

  const QString unrecognised = "ERR:  Input file '%1' data type not recognized.";

  QTest::newRow("too_short") << "too_short.txt" << false << "ERR:  Input file '%1' does not contain enough data."
                             << TExpectedRecords() << 0;
  QTest::newRow("unrecognized") << "unrecognized.txt" << false << unrecognised << TExpectedRecords() << 0;
  QTest::newRow("empty_ballbar_v1") << "empty_ballbar_v1.txt" << true << QString() << TExpectedRecords() << 0;

  QTest::newRow("ballbar_v1") << "ballbar_v1.txt" << true << QString() << TExpectedRecords{
    Ball_Bar("Bar 1", TVector3(10, 20, 30), TVector3(310, 20, 30), 300.0),
    Ball_Bar("Bar 2", TVector3(10, 20, 30), TVector3(10, 320, 30), 300.0),
    Ball_Bar("Bar 3", TVector3(0, 0, 0), TVector3(0, 0, 300), 300.0)} << 0;

  QTest::newRow("ballbar_v2") << "ballbar_v2.txt" << true << QString() << TExpectedRecords{
    Ball_Bar("Diagonal", TVector3(101, 102, 103), TVector3(401, 502, 103), 500.0),
    Ball_Bar("Zero", TVector3(5, 5, 5), TVector3(5, 5, 5), 0.0)} << 0;

  QTest::newRow("b89_ballbar") << "b89_ballbar.txt" << true << QString() << TExpectedRecords{
    Ball_Bar("Vertical", TVector3(0, 0, 0), TVector3(0, 0, 250), 250.0),
    Ball_Bar("Flat", TVector3(-100, 0, 50), TVector3(100, 0, 50), 200.0)} << 0;

  QTest::newRow("b89_ballbar_10360") << "b89_ballbar_10360.txt" << true << QString() << TExpectedRecords{
    Length("Bar-3", TVector3(100, 200, 300), TVector3(700, 200, 300), 600.0, 600.0, 1.0),
    Length("Bar-2", TVector3(150, 200, 300), TVector3(650, 200, 300), 500.0, 500.0, 2.0),
    Length("Bar-1", TVector3(250, 200, 300), TVector3(550, 200, 300), 300.0, 300.0, 3.0)} << 0;
  QTest::newRow("b89_ballbar_10360_incomplete") << "b89_ballbar_10360_incomplete.txt" << true << QString()
                                                << TExpectedRecords() << 0;
  QTest::newRow("b89_ballbar_10360_extra_repeat") << "b89_ballbar_10360_extra_repeat.txt" << true << QString()
                                                  << TExpectedRecords() << 0;

  QTest::newRow("length_data") << "length_data.txt" << true << QString() << TExpectedRecords{
    Length("Length 1", TVector3(0, 0, 0), TVector3(500, 0, 0), 500.0, 500.012, 1.0),
    Length("Length 2", TVector3(0, 0, 0), TVector3(0, 500, 0), 500.0, 499.995, 2.0),
    Length("Length 3", TVector3(0, 0, 0), TVector3(0, 0, 400), 400.0, 400.003, 1.0),
    Length("Length 4", TVector3(100, 100, 0), TVector3(400, 500, 0), 500.0, 500.02, 2.0)} << 0;

  QTest::newRow("stepgauge_squareness") << "stepgauge_squareness.txt" << true << QString() << TExpectedRecords{
    Length("GaugeY.1-7", TVector3(10, 20, 30), TVector3(10, 620, 30), 600.0, 600.0, 1.0),
    Length("GaugeY.2-6", TVector3(10, 120.1, 30), TVector3(10, 520, 30), 400.0, 399.9, 2.0),
    Length("GaugeY.3-5", TVector3(10, 220, 30), TVector3(10, 420, 30), 200.0, 200.0, 3.0)} << 0;

  QTest::newRow("kelvo_laser") << "kelvo_laser.txt" << true << QString() << TExpectedRecords{
    Length("KX.1-4", TVector3(0, 0, 0), TVector3(300, 0, 0), 300.0, 300.01, 1.0),
    Length("KX.2-3", TVector3(100, 0, 0), TVector3(200, 0, 0), 100.0, 100.002, 2.0)} << 0;
  QTest::newRow("kelvo_laser_no_scale") << "kelvo_laser_no_scale.txt" << true << QString() << TExpectedRecords() << 0;

  TExpectedRecords b89_laser;
  for(int i = 0; i < 8; ++i)
  {
    b89_laser.push_back(Length(QString("SQ.%1-%2").arg(i + 1).arg(16 - i), TVector3(5, 5, 50.0 * i),
                               TVector3(5, 5, 50.0 * (15 - i)), 50.0 * (15 - 2 * i), 50.001 * (15 - 2 * i), 1.0 + i));
  }
  QTest::newRow("b89_machine_and_laser") << "b89_machine_and_laser.txt" << true << QString() << b89_laser << 0;

  // Direction (0.96, 0.28, 0) is already a unit vector.
  const TVector3 origin(10, 20, 30);
  const TVector3 direction(0.96, 0.28, 0.0);
  const TVector3 diagonal(0.7071, 0.7071, 0.0);
  QTest::newRow("results") << "results.xml" << true << QString() << TExpectedRecords{
    Ball_Bar("Pos: 1", TVector3(0, 0, 0), TVector3(300, 0, 0), 300.0),
    Ball_Bar("Pos: 2", TVector3(0, 0, 0), TVector3(0, 300, 400), 500.0),
    Length("X Axis Length:300.0", origin, origin + direction * 300.002, 299.96, 300.002, 5.0),
    Length("X Axis Length:100.0", origin, origin + direction * 100.002, 100.0, 100.002, 4.0),
    Length("Diagonal Length:200.0", TVector3(), diagonal * 200.001, 200.0, 200.001, 5.0)} << 0;
  QTest::newRow("results_partial") << "results_partial.xml" << true << QString() << TExpectedRecords{
    Ball_Bar("Pos: 1", TVector3(0, 0, 0), TVector3(0, 0, 250), 250.0)} << 1;
  QTest::newRow("results_malformed") << "results_malformed.xml" << true << QString() << TExpectedRecords() << 1;
  QTest::newRow("results_two_roots") << "results_two_roots.xml" << true << QString() << TExpectedRecords() << 1;
  QTest::newRow("results_empty") << "results_empty.xml" << true << QString() << TExpectedRecords() << 0;
}

void TTestMeasurementFactory::load_file_sample_files()
{
  QFETCH(QString, file);
  QFETCH(bool, valid);
  QFETCH(QString, error);
  QFETCH(TExpectedRecords, records);
  QFETCH(int, warnings);

  const QString path = Data_File(file);
  QVERIFY(QFile::exists(path));

  g_warnings.clear();
  const QtMessageHandler previous = qInstallMessageHandler(Record_Message);
  TMeasurementFactory factory;
  bool is_valid = !valid;
  const std::vector<TMeasurement*> loaded = factory.Load_File(path, &is_valid);
  qInstallMessageHandler(previous);

  Check_Records(loaded, records);
  QCOMPARE(is_valid, valid);
  QCOMPARE(factory.Last_Error(), error.isEmpty() ? QString() : error.arg(path));
  QCOMPARE(g_warnings.size(), warnings);
  for(const QString& warning : qAsConst(g_warnings))
    QVERIFY2(warning.startsWith("ERR:  "), qPrintable(warning));
}

// ---------------------------------------------------------------- ball-bar files

void TTestMeasurementFactory::ballbar_files_data()
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

void TTestMeasurementFactory::ballbar_files()
{
  QFETCH(QByteArray, content);
  QFETCH(int, type);
  QFETCH(TExpectedRecords, records);

  Check_Records(TMeasurementFactory::Load_Ballbar_File(content, TMeasurementFactory::TImportFileType(type)), records);
}

void TTestMeasurementFactory::ballbar_10360_files_data()
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

void TTestMeasurementFactory::ballbar_10360_files()
{
  QFETCH(QByteArray, content);
  QFETCH(TExpectedRecords, records);

  QCOMPARE(int(TMeasurementFactory::Determine_File_Type(content)), int(TMeasurementFactory::IMPORT_B89_BALLBAR_10360));
  Check_Records(TMeasurementFactory::Load_Ballbar_10360_File(content, TMeasurementFactory::IMPORT_B89_BALLBAR_10360), records);
}

// ---------------------------------------------------------------- laser files

void TTestMeasurementFactory::length_data_files_data()
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

void TTestMeasurementFactory::length_data_files()
{
  QFETCH(QByteArray, content);
  QFETCH(TExpectedRecords, records);

  Check_Records(TMeasurementFactory::Load_Laser_File(content, TMeasurementFactory::IMPORT_LENGTH_DATA), records);
}

void TTestMeasurementFactory::combine_laser_points_data()
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

void TTestMeasurementFactory::combine_laser_points()
{
  QFETCH(std::vector<TVector3>, points);
  QFETCH(std::vector<TVector3>, combined);

  const std::vector<TVector3> result = TMeasurementFactory::Combine_Farrowline_Laser_Points(points);
  QCOMPARE(int(result.size()), int(combined.size()));
  for(size_t i = 0; i < result.size(); ++i)
    QVERIFY2(Close(result[i], combined[i]), qPrintable(Text(result[i])));
}

void TTestMeasurementFactory::sort_laser_items_puts_undefined_positions_last()
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

void TTestMeasurementFactory::raw_laser_files_data()
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

void TTestMeasurementFactory::raw_laser_files()
{
  QFETCH(QByteArray, content);
  QFETCH(int, type);
  QFETCH(TExpectedRecords, records);

  Check_Records(TMeasurementFactory::Load_Farrowline_Laser_File(content, TMeasurementFactory::TImportFileType(type)), records);
}

// ---------------------------------------------------------------- step-gauge files

void TTestMeasurementFactory::stepgauge_position_data()
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

void TTestMeasurementFactory::stepgauge_position()
{
  typedef std::vector<TMeasurementFactory::TStepgaugeDataItem> TItems;
  QFETCH(TItems, items);
  QFETCH(int, face);
  QFETCH(double, position);

  QVERIFY(Close(TMeasurementFactory::Get_Stepgauge_Position(items, face), position));
}

void TTestMeasurementFactory::stepgauge_files_data()
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

void TTestMeasurementFactory::stepgauge_files()
{
  QFETCH(QByteArray, content);
  QFETCH(TExpectedRecords, records);

  Check_Records(TMeasurementFactory::Load_Stepgauge_Squareness_File(content, TMeasurementFactory::IMPORT_STEPGAUGE_SQUARENESS),
                records);
}

// ---------------------------------------------------------------- results files

void TTestMeasurementFactory::results_files_data()
{
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<TExpectedRecords>("records");
  QTest::addColumn<QString>("warning");  // start of the one expected warning

  const QByteArray along_x = "<I>1</I><J>0</J><K>0</K>";
  const QByteArray one_bar = "<Bar><BarNo>4</BarNo><BarMeasurements><Measurement>" + Sphere("Sphere1", 0, 0, 0) +
                             Sphere("Sphere2", 0, 0, 200) + "</Measurement></BarMeasurements></Bar>";
  const TExpectedRecord bar_record = Ball_Bar("Pos: 4", TVector3(0, 0, 0), TVector3(0, 0, 200), 200.0);
  const QByteArray one_value = Gauge_Value("100", "<Actual><double>100.001</double></Actual>");
  const TExpectedRecord value_record =
    Length("X Axis Length:100.0", TVector3(0, 0, 0), TVector3(100.001, 0, 0), 100.0, 100.001, 5.0);

  QTest::newRow("neither part") << Results_Document("<Other/>") << TExpectedRecords() << QString();
  QTest::newRow("only ball bars") << Results_Document(Ballbar_Part(one_bar)) << TExpectedRecords{bar_record} << QString();
  QTest::newRow("only step gauges") << Results_Document(Stepgauge_Part(along_x, one_value))
                                    << TExpectedRecords{value_record} << QString();
  QTest::newRow("ball bars first") << Results_Document(Stepgauge_Part(along_x, one_value) + Ballbar_Part(one_bar))
                                   << TExpectedRecords{bar_record, value_record} << QString();
  QTest::newRow("empty containers") << Results_Document("<Ballbar><Patterns><PatternResult/></Patterns></Ballbar>"
                                                        "<Iso_2E><Bars><ArrayOfStepGageFleet/></Bars></Iso_2E>")
                                    << TExpectedRecords() << QString();

  QTest::newRow("three measurements averaged")
    << Results_Document(Ballbar_Part("<Bar><BarNo>B 1</BarNo><BarMeasurements>"
                                     "<Measurement>" + Sphere("Sphere1", 1, 0, 0) + Sphere("Sphere2", 4, 4, 0) + "</Measurement>"
                                     "<Measurement>" + Sphere("Sphere1", 2, 0, 3) + Sphere("Sphere2", 5, 4, 0) + "</Measurement>"
                                     "<Measurement>" + Sphere("Sphere1", 3, 0, 0) + Sphere("Sphere2", 6, 4, 0) + "</Measurement>"
                                     "</BarMeasurements></Bar>"))
    << TExpectedRecords{Ball_Bar("Pos: B 1", TVector3(2, 0, 1), TVector3(5, 4, 0), std::sqrt(26.0))} << QString();
  QTest::newRow("bar without measurements")
    << Results_Document(Ballbar_Part("<Bar><BarNo>9</BarNo><BarMeasurements/></Bar>" + one_bar))
    << TExpectedRecords{bar_record} << QString();

  const QByteArray mean_zero = Gauge_Value("1", "<Actual><double>-1</double><double>1</double></Actual>");
  const QByteArray mean_one = Gauge_Value("1", "<Actual><double>1.0</double></Actual>");
  const QByteArray mean_above_one = Gauge_Value("1", "<Actual><double>1.0001</double></Actual>");
  QTest::newRow("mean must be above 1.0")
    << Results_Document(Stepgauge_Part(along_x, mean_zero + mean_one + mean_above_one))
    << TExpectedRecords{Length("X Axis Length:1.0", TVector3(), TVector3(1.0001, 0, 0), 1.0, 1.0001, 5.0)} << QString();
  QTest::newRow("no or empty actual leaves the counter")
    << Results_Document(Stepgauge_Part(along_x, Gauge_Value("50", QByteArray()) + Gauge_Value("60", "<Actual/>") + one_value +
                                                  Gauge_Value("70", "<Actual></Actual>") + one_value))
    << TExpectedRecords{value_record,
                        Length("X Axis Length:100.0", TVector3(0, 0, 0), TVector3(100.001, 0, 0), 100.0, 100.001, 4.0)}
    << QString();

  QByteArray six_values;
  TExpectedRecords six_records;
  for(int i = 0; i < 6; ++i)
  {
    six_values += one_value;
    six_records.push_back(Length("X Axis Length:100.0", TVector3(), TVector3(100.001, 0, 0), 100.0, 100.001, 5.0 - i));
  }
  QTest::newRow("draw offsets count down past 1.0")
    << Results_Document(Stepgauge_Part(along_x, six_values)) << six_records << QString();

  QTest::newRow("direction names")
    << Results_Document(Iso_Part(
         Fleet_Array("<I>0.96</I><J>0.28</J><K>0</K>", one_value) +
         Fleet_Array("<I>0.28</I><J>-0.96</J><K>0</K>", one_value) +
         Fleet_Array("<I>0</I><J>0.28</J><K>-0.96</K>", one_value) +
         Fleet_Array("<I>0.7071</I><J>0.7071</J><K>0</K>", Gauge_Value("299.96", "<Actual><double>2</double></Actual>")) +
         Fleet_Array("<I>0.95</I><J>0.95</J><K>0.95</K>", Gauge_Value("0.04", "<Actual><double>2</double></Actual>"))))
    << TExpectedRecords{Length("X Axis Length:100.0", TVector3(), TVector3(96.00096, 28.00028, 0), 100.0, 100.001, 5.0),
                        Length("Y Axis Length:100.0", TVector3(), TVector3(28.00028, -96.00096, 0), 100.0, 100.001, 5.0),
                        Length("Z Axis Length:100.0", TVector3(), TVector3(0, 28.00028, -96.00096), 100.0, 100.001, 5.0),
                        Length("Diagonal Length:300.0", TVector3(), TVector3(1.4142, 1.4142, 0), 299.96, 2.0, 5.0),
                        Length("Diagonal Length:0.0", TVector3(), TVector3(1.9, 1.9, 1.9), 0.04, 2.0, 5.0)}
    << QString();

  QTest::newRow("second step-gauge part ignored")
    << Results_Document(Stepgauge_Part(along_x, one_value) + Stepgauge_Part(along_x, six_values))
    << TExpectedRecords{value_record} << QString();
  QTest::newRow("second fleet ignored")
    << Results_Document("<Iso_2E><Bars><ArrayOfStepGageFleet>"
                        "<StepGageFleet><Origin><X>1</X><Y>2</Y><Z>3</Z></Origin><Vector>" + along_x +
                        "</Vector><Values>" + one_value + "</Values></StepGageFleet>"
                        "<StepGageFleet><Origin><X>0</X><Y>0</Y><Z>0</Z></Origin><Vector>" + along_x +
                        "</Vector><Values>" + one_value + "</Values></StepGageFleet>"
                        "</ArrayOfStepGageFleet></Bars></Iso_2E>")
    << TExpectedRecords{Length("X Axis Length:100.0", TVector3(1, 2, 3), TVector3(101.001, 2, 3), 100.0, 100.001, 5.0)}
    << QString();

  QTest::newRow("missing sphere 2 stops the reading")
    << Results_Document(Ballbar_Part(one_bar + "<Bar><BarNo>5</BarNo><BarMeasurements><Measurement>" +
                                     Sphere("Sphere1", 0, 0, 0) + Sphere("Sphere2", 1, 0, 0) +
                                     "</Measurement><Measurement>" + Sphere("Sphere1", 0, 0, 0) +
                                     "</Measurement></BarMeasurements></Bar>" + one_bar) +
                        Stepgauge_Part(along_x, one_value))
    << TExpectedRecords{bar_record} << "ERR:  Node 'Sphere2' is missing from node 'Measurement' and not optional.";
  QTest::newRow("missing bar number stops the reading")
    << Results_Document(Ballbar_Part("<Bar><BarMeasurements/></Bar>") + Stepgauge_Part(along_x, one_value))
    << TExpectedRecords() << "ERR:  Node 'BarNo' is missing from node 'Bar' and not optional.";
  QTest::newRow("empty bar number stops the reading")
    << Results_Document(Ballbar_Part("<Bar><BarNo></BarNo><BarMeasurements/></Bar>"))
    << TExpectedRecords() << "ERR:  Node Text for 'BarNo' is not optional.";
  QTest::newRow("empty coordinate stops the reading")
    << Results_Document(Ballbar_Part("<Bar><BarNo>1</BarNo><BarMeasurements><Measurement><Sphere1><X>0</X><Y/><Z>0</Z>"
                                     "</Sphere1>" + Sphere("Sphere2", 0, 0, 1) + "</Measurement></BarMeasurements></Bar>"))
    << TExpectedRecords() << "ERR:  Node Text for 'Y' is not optional.";
  QTest::newRow("missing values stops the reading")
    << Results_Document(Stepgauge_Part(along_x, one_value).replace("<Values>", "<Other>").replace("</Values>", "</Other>"))
    << TExpectedRecords() << "ERR:  Node 'Values' is missing from node 'StepGageFleet' and not optional.";
  QTest::newRow("missing calibrated length keeps earlier values")
    << Results_Document(Stepgauge_Part(along_x, one_value + "<StepGageValue><Actual><double>5</double></Actual></StepGageValue>" + one_value))
    << TExpectedRecords{value_record} << "ERR:  Node 'Calibrated' is missing from node 'StepGageValue' and not optional.";
  QTest::newRow("empty double stops the reading")
    << Results_Document(Stepgauge_Part(along_x, Gauge_Value("100", "<Actual><double>100</double><double/></Actual>")))
    << TExpectedRecords() << "ERR:  Node Text for 'double' is not optional.";
  QTest::newRow("not well-formed")
    << QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Results a=\"1\">\n<Ballbar>\n</Results>\n")
    << TExpectedRecords() << "ERR:  Reference data XML parse error at line ";
  QTest::newRow("text is not a number")
    << Results_Document(Ballbar_Part("<Bar><BarNo>1</BarNo><BarMeasurements><Measurement>" + Sphere("Sphere1", 0, 0, 0) +
                                     "<Sphere2><X>abc</X><Y>0</Y><Z>7</Z></Sphere2></Measurement></BarMeasurements></Bar>"))
    << TExpectedRecords{Ball_Bar("Pos: 1", TVector3(0, 0, 0), TVector3(0, 0, 7), 7.0)} << QString();
}

void TTestMeasurementFactory::results_files()
{
  QFETCH(QByteArray, content);
  QFETCH(TExpectedRecords, records);
  QFETCH(QString, warning);

  QCOMPARE(int(TMeasurementFactory::Determine_File_Type(content)), int(TMeasurementFactory::IMPORT_RESULTS_XML));

  g_warnings.clear();
  const QtMessageHandler previous = qInstallMessageHandler(Record_Message);
  const std::vector<TMeasurement*> loaded =
    TMeasurementFactory::Load_Cordwell_Results_File(content, TMeasurementFactory::IMPORT_RESULTS_XML);
  qInstallMessageHandler(previous);

  Check_Records(loaded, records);
  QCOMPARE(g_warnings.size(), warning.isEmpty() ? 0 : 1);
  if(!warning.isEmpty())
    QVERIFY2(g_warnings.front().startsWith(warning), qPrintable(g_warnings.front()));
}

QTEST_GUILESS_MAIN(TTestMeasurementFactory)
#include "test_measurement_factory.moc"
