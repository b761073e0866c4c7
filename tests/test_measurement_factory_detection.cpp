// Tests of the measurement importer's entry: which loader a file goes to, and
// Load_File's contract (errors, size limit, line ends, the sample files).
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "measurement_factory.h"
#include "measurement_factory_test_helpers.h"

using namespace measurement_factory_test;

namespace
{
  QString Data_File(const QString& name)
  {
    return QDir(QStringLiteral(ORTHAVEL_TEST_DATA)).filePath(name);
  }
}

class TTestMeasurementFactoryDetection : public QObject
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
};

void TTestMeasurementFactoryDetection::initTestCase()
{
  QVERIFY(d_directory.isValid());
}

void TTestMeasurementFactoryDetection::determine_file_type_data()
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

void TTestMeasurementFactoryDetection::determine_file_type()
{
  QFETCH(QByteArray, content);
  QFETCH(int, type);

  QCOMPARE(int(TMeasurementFactory::Determine_File_Type(content)), type);
}

void TTestMeasurementFactoryDetection::load_file_failures_data()
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

void TTestMeasurementFactoryDetection::load_file_failures()
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

void TTestMeasurementFactoryDetection::load_file_refuses_oversized_file()
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

void TTestMeasurementFactoryDetection::load_file_keeps_the_last_error()
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

void TTestMeasurementFactoryDetection::load_file_reads_crlf_files_data()
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

void TTestMeasurementFactoryDetection::load_file_reads_crlf_files()
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

void TTestMeasurementFactoryDetection::load_file_sample_files_data()
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

void TTestMeasurementFactoryDetection::load_file_sample_files()
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

QTEST_GUILESS_MAIN(TTestMeasurementFactoryDetection)
#include "test_measurement_factory_detection.moc"
