// Tests of what an import reports: how many lines were meant as data, which
// of them gave no record and why, the records left without a direction, and
// why a recognised file gave nothing. Line numbers are counted by hand from
// the sample texts.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "measurement_factory.h"

namespace
{
  typedef QList<int> TLines;
  typedef std::vector<std::unique_ptr<TMeasurement>> TRecords;

  const QByteArray BALLBAR_V1 = "BallBar_V1\n";
  const QByteArray BALLBAR_10360 = "B89.4.10360_Raw_Measurement:Version=1:Type=BallBar_10360\n";
  const QByteArray STEPGAUGE = "Stepgauge_Raw_Measurement:Version=1:Type=Squareness\n";
  const QByteArray LENGTH_DATA = "Length_Data:Version=1:Type=Measurement\n";
  const QByteArray KELVO_LASER = "Kelvo_Raw_Measurement:Version=1:Type=Machine_And_Laser\n";
  const QByteArray B89_LASER = "B89.4.10360_Raw_Measurement:Version=1:Type=Machine_And_Laser\n";
  // Lines 2 to 4 of a raw laser file.
  const QByteArray LASER_HEADER = "Start_Point:0,0,0\nMeasurement_Axis:1,0,0\nMeasurement_Type:Scale\n";
  const QString NO_DATA_LINES = "The file holds no data lines after its first line.";

  // The line number each detail starts with ("line 7: ..."), 0 for a detail without one.
  TLines Detail_Lines(const QStringList& details)
  {
    TLines lines;
    for(const QString& detail : details)
      lines.append(detail.startsWith("line ") ? detail.section(QLatin1Char(':'), 0, 0).mid(5).toInt() : 0);
    return lines;
  }

  TLines Line_Range(int first, int last)
  {
    TLines lines;
    for(int line = first; line <= last; ++line)
      lines.append(line);
    return lines;
  }

  // The first count of the 30 readings of a complete 10360 file: per position
  // three repeats of sphere A at the origin and sphere B 100 * (position + 1) along x.
  QByteArray Sphere_Readings(int count)
  {
    QByteArray lines;
    for(int i = 0; i < count; ++i)
    {
      const int position = i / 6;
      const bool sphere_a = (i % 2 == 0);
      lines += QString("Sphere:%1%2,%2,%3,%4,0,0,0,0\n").arg(sphere_a ? "A" : "B").arg(position).arg((i % 6) / 2)
                 .arg(sphere_a ? 0 : 100 * (position + 1)).toUtf8();
    }
    return lines;
  }

  // Step-gauge readings of faces 1, 2, ... at the given positions.
  QByteArray Face_Readings(const QList<int>& positions)
  {
    QByteArray lines;
    for(int i = 0; i < positions.size(); ++i)
      lines += QString("Point:%1,%2,%3,0,0\n").arg(i).arg(i + 1).arg(positions[i]).toUtf8();
    return lines;
  }

  // Raw laser readings at count positions spacing apart, laser and machine alike.
  QByteArray Laser_Points(int count, int spacing)
  {
    QByteArray lines;
    for(int i = 0; i < count; ++i)
      lines += QString("Point:%1,%2,%2,%2,0,0,0,0\n").arg(i).arg(i * spacing).toUtf8();
    return lines;
  }

  QByteArray Results_Document(const QByteArray& body)
  {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Results Version=\"1\">\n" + body + "</Results>\n";
  }

  QByteArray Bar(const char* number, const QByteArray& sphere1, const QByteArray& sphere2)
  {
    return QByteArray("<Bar><BarNo>") + number + "</BarNo><BarMeasurements>\n<Measurement><Sphere1>" + sphere1 +
           "</Sphere1><Sphere2>" + sphere2 + "</Sphere2></Measurement>\n</BarMeasurements></Bar>\n";
  }

  QByteArray Ballbar_Part(const QByteArray& bars)
  {
    return "<Ballbar><Patterns><PatternResult><Ballbars>\n" + bars + "</Ballbars></PatternResult></Patterns></Ballbar>\n";
  }

  // One step gauge at the origin; every value on a line of its own.
  QByteArray Stepgauge_Part(const QByteArray& direction, const QList<QByteArray>& values)
  {
    QByteArray part = "<Iso_2E><Bars><ArrayOfStepGageFleet><StepGageFleet><Origin><X>0</X><Y>0</Y><Z>0</Z></Origin>"
                      "<Vector>" + direction + "</Vector><Values>\n";
    for(const QByteArray& value : values)
      part += value + "\n";
    return part + "</Values></StepGageFleet></ArrayOfStepGageFleet></Bars></Iso_2E>\n";
  }

  QByteArray Gauge_Value(const QByteArray& calibrated, const QByteArray& actual)
  {
    return "<StepGageValue><Calibrated>" + calibrated + "</Calibrated><Actual><double>" + actual +
           "</double></Actual></StepGageValue>";
  }

  const QByteArray ALONG_X = "<I>1</I><J>0</J><K>0</K>";
  const QByteArray ORIGIN = "<X>0</X><Y>0</Y><Z>0</Z>";

  void Discard_Message(QtMsgType, const QMessageLogContext&, const QString&) {}

  // A row whose skipped lines are those of the details, unless skipped_count says more.
  void Add_Row(const char* name, const QByteArray& content, int records, int data_lines, const TLines& detail_lines,
               const QString& first_detail = QString(), const QString& reason = QString(),
               const QStringList& zero_directions = QStringList(), int skipped_count = -1)
  {
    QTest::newRow(name) << content << records << data_lines << (skipped_count < 0 ? detail_lines.size() : skipped_count)
                        << detail_lines << first_detail << reason << zero_directions;
  }
}

class TTestImportReport : public QObject
{
  Q_OBJECT

private:
  QTemporaryDir d_directory;
  int d_file_count = 0;

  QString Write_File(const QByteArray& content);
  static void Add_Columns();
  // Imports the row's content (or file) and checks the report against the row.
  void Check_Row(const QString& path);
  void Check_Content_Row()
  {
    QFETCH(QByteArray, content);
    Check_Row(Write_File(content));
  }

private slots:
  void initTestCase();

  void ballbar_line_files_data();
  void ballbar_line_files() { Check_Content_Row(); }
  void ballbar_10360_files_data();
  void ballbar_10360_files() { Check_Content_Row(); }
  void stepgauge_files_data();
  void stepgauge_files() { Check_Content_Row(); }
  void length_data_files_data();
  void length_data_files() { Check_Content_Row(); }
  void raw_laser_files_data();
  void raw_laser_files() { Check_Content_Row(); }
  void results_files_data();
  void results_files() { Check_Content_Row(); }
  void sample_files_data();
  void sample_files();
  void zero_directions_data();
  void zero_directions() { Check_Content_Row(); }

  void report_starts_afresh_with_every_import();
  void loaders_fill_a_report_given_to_them();
};

void TTestImportReport::initTestCase()
{
  QVERIFY(d_directory.isValid());
}

QString TTestImportReport::Write_File(const QByteArray& content)
{
  const QString path = d_directory.filePath(QString("import_%1.txt").arg(++d_file_count));
  QFile file(path);
  if(!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
    return QString();
  return path;
}

void TTestImportReport::Add_Columns()
{
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<int>("records");
  QTest::addColumn<int>("data_lines");
  QTest::addColumn<int>("skipped_lines");
  QTest::addColumn<TLines>("detail_lines");
  QTest::addColumn<QString>("first_detail");     // part of the first detail; empty: not checked
  QTest::addColumn<QString>("reason");           // part of the reason; empty: there is none
  QTest::addColumn<QStringList>("zero_directions");
}

void TTestImportReport::Check_Row(const QString& path)
{
  QFETCH(int, records);
  QFETCH(int, data_lines);
  QFETCH(int, skipped_lines);
  QFETCH(TLines, detail_lines);
  QFETCH(QString, first_detail);
  QFETCH(QString, reason);
  QFETCH(QStringList, zero_directions);

  // Results files that stop early also warn; that is tested with the loaders.
  const QtMessageHandler previous = qInstallMessageHandler(Discard_Message);
  TMeasurementFactory factory;
  bool valid = false;
  const std::vector<TMeasurement*> loaded = factory.Load_File(path, &valid);
  qInstallMessageHandler(previous);
  const TRecords owned(loaded.begin(), loaded.end());

  const TImportReport& report = factory.Last_Report();
  const QByteArray details = report.skip_details.join(" | ").toUtf8();
  QVERIFY2(valid, qPrintable(factory.Last_Error()));
  QCOMPARE(int(owned.size()), records);
  QCOMPARE(report.data_lines, data_lines);
  QCOMPARE(report.skipped_lines, skipped_lines);
  QVERIFY2(Detail_Lines(report.skip_details) == detail_lines, details.constData());
  if(!first_detail.isEmpty())
    QVERIFY2(report.skip_details.value(0).contains(first_detail), details.constData());
  QVERIFY2(reason.isEmpty() ? report.nothing_found_reason.isEmpty() : report.nothing_found_reason.contains(reason),
           qPrintable(report.nothing_found_reason));
  QCOMPARE(report.zero_direction_records, zero_directions);

  // Where a row lists records, none of its records lies along +x: the model
  // gave the fallback axis to the listed named records and to no other.
  for(const std::unique_ptr<TMeasurement>& record : owned)
  {
    const TVector3 axis = record->Axis();
    const bool fallback = (axis.x == 1.0 && axis.y == 0.0 && axis.z == 0.0);
    if(!zero_directions.isEmpty() && !record->Name().isEmpty())
      QVERIFY2(fallback == zero_directions.contains(record->Name()), qPrintable(record->Name()));
  }
}

void TTestImportReport::ballbar_line_files_data()
{
  Add_Columns();
  const QByteArray bar = "A,0,0,0,0,0,300,0,0,0,0\n";  // 11 fields, along y

  Add_Row("v1 clean", BALLBAR_V1 + "# name, unused, sphere 1, sphere 2\n" + bar + "\nB,0,0,0,0,0,0,300,0,0,0\n", 2, 2, TLines());
  Add_Row("v1 bad lines", BALLBAR_V1 + bar + "B,0,0,0\n# comment\nC,0,0,0,0,0,300,0,0,0,0,0\n" + bar, 2, 4, TLines{3, 5},
          "line 3: 4 fields, 11 expected");
  Add_Row("v1 truncated in a line", BALLBAR_V1 + bar + "B,0,0,0,0,3", 1, 2, TLines{3}, "line 3: 6 fields, 11 expected");
  Add_Row("v1 truncated after the first bar", BALLBAR_V1 + "Bar 1,0,0", 0, 1, TLines{2}, QString(),
          "Its one data line is no use: a usable line has the 11 fields a ball-bar line needs.");
  Add_Row("v1 random text", BALLBAR_V1 + "lorem ipsum\ndolor, sit, amet\n%$&*!\n", 0, 3, TLines{2, 3, 4},
          "line 2: 1 field, 11 expected", "None of its 3 data lines has the 11 fields a ball-bar line needs.");
  Add_Row("v1 junk after a bar", BALLBAR_V1 + bar + "x,y\n\x01\x02\x03\nz\n", 1, 4, TLines{3, 4, 5});
  Add_Row("v1 no data lines", BALLBAR_V1 + "# no bars measured\n\n   \n", 0, 0, TLines(), QString(), NO_DATA_LINES);
  Add_Row("v2 needs 13 fields", "BallBar_V2\n" + bar, 0, 1, TLines{2}, "line 2: 11 fields, 13 expected",
          "Its one data line is no use: a usable line has the 13 fields a ball-bar line needs.");
  Add_Row("b89 clean and bad", "B89.4.1_Data:Version=1:Type=BallBar\nC,0,1,2,3,4,6,3,9,9,9,9,9\nC,0,1\n", 1, 2, TLines{3},
          "line 3: 3 fields, 13 expected");
  Add_Row("numbers count blank and comment lines", "\n\n  BallBar_V1\n\n# comment\nbad\n" + bar, 1, 2, TLines{6});
  Add_Row("cr-lf line ends", "BallBar_V1\r\nbad\r\n" + bar, 1, 2, TLines{2});
  Add_Row("identifier line is never a bar", "BallBar_V1,0,0,0,0,0,300,0,0,0,0\n" + bar, 1, 1, TLines());
  // 25 bad lines and 5 bars: all are counted, the first ten described.
  Add_Row("details of the first ten skipped lines", BALLBAR_V1 + QByteArray("bad\n").repeated(25) + bar.repeated(5), 5, 30,
          Line_Range(2, 11), "line 2: 1 field, 11 expected", QString(), QStringList(), 25);
}

void TTestImportReport::ballbar_10360_files_data()
{
  Add_Columns();
  const QByteArray complete = "Measurement_Begin:\nDescription:Bar\n" + Sphere_Readings(30) + "Measurement_End:\n";

  Add_Row("clean", BALLBAR_10360 + complete, 3, 30, TLines());
  Add_Row("bad lines",
          BALLBAR_10360 + "Alignment_Begin:\nSphere:A0,0,0,0,0,0,0,0\nX_Axis:1,0,0\nAlignment_End:\nMeasurement_Begin:\n"
                          "Sphere:A0,0,0,1,2,3,4\nSphere:A5,5,0,0,0,0,0,0\nSphere:A0,0,3,0,0,0,0,0\nSphere:,0,0,0,0,0,0,0\n"
                          "hello there\n" + Sphere_Readings(30) + "Measurement_End:\nSphere:A0,0,0,0,0,0,0,0\n",
          3, 37, TLines{3, 7, 8, 9, 10, 11, 43}, "line 3: a reading inside the alignment section");
  // Cut in reading 28: sphere A has two readings at position 4.
  Add_Row("truncated", BALLBAR_10360 + "Measurement_Begin:\n" + Sphere_Readings(27) + "Sphere:B4,4,1,5", 0, 28,
          Line_Range(3, 12), QString(), "The sphere readings are incomplete: sphere A has 2 readings at position 4, 3 expected.",
          QStringList(), 28);
  Add_Row("random text", BALLBAR_10360 + "lorem\nipsum dolor\n", 0, 2, TLines{2, 3}, "line 2: not a 'Sphere:' reading",
          "None of its 2 data lines is a sphere reading inside a measurement section.");
  Add_Row("random text after the readings", BALLBAR_10360 + complete + "lorem\nipsum dolor\n", 3, 32, TLines{35, 36});
  Add_Row("no data lines",
          BALLBAR_10360 + "Alignment_Begin:\nX_Axis:1,0,0\nAlignment_End:\nMeasurement_Begin:\nDescription:Bar\nMeasurement_End:\n",
          0, 0, TLines(), QString(), NO_DATA_LINES);
}

void TTestImportReport::stepgauge_files_data()
{
  Add_Columns();

  Add_Row("clean", STEPGAUGE + "Measurement_Begin:\n" + Face_Readings({0, 100, 200, 300}) + "Measurement_End:\n", 2, 4, TLines());
  // Faces 1 to 3: the middle face (line 8) of an ordinary odd gauge is used data.
  Add_Row("bad lines",
          STEPGAUGE + "Point:0,1,5,0,0\nMeasurement_Begin:\nPoint:0,1,0,0,0\nPoint:0,2,100,0,0,0\nPoint:0,0,5,0,0\n"
                      "Point:0,1001,5,0,0\nPoint:0,2,100,0,0\nPoint:0,3,200,0,0\nMeasurement_End:\njunk words\n",
          1, 8, TLines{2, 5, 6, 7, 11}, "line 2: a reading outside a measurement section");
  Add_Row("truncated", STEPGAUGE + "Measurement_Begin:\nPoint:0,1,0,0,0\nPoint:0,2,10", 0, 2, TLines{3, 4}, "line 3: face 1",
          "Its readings are all of face 1; a length needs a pair of faces.");
  Add_Row("random text", STEPGAUGE + "Measurement_Begin:\nhello\n", 0, 1, TLines{3}, "line 3: not a 'Point:' reading",
          "Its one data line is no use: a usable line is a face reading inside a measurement section.");
  Add_Row("no data lines", STEPGAUGE + "Alignment_Begin:\nX_Axis:0,1,0\nAlignment_End:\n", 0, 0, TLines(), QString(), NO_DATA_LINES);
}

void TTestImportReport::length_data_files_data()
{
  Add_Columns();

  Add_Row("clean", LENGTH_DATA + ":Data_Begin\n0,0,0,100,0,0,100,100.1\n0,0,0,0,100,0,100,99.9\n:Data_End\n", 2, 2, TLines());
  Add_Row("bad lines",
          LENGTH_DATA + "0,0,0,1,0,0,1,1\n:Data_Begin\n0,0,0,100,0,0,100,100.1,0\n0,0,0,0,0,7,7,7\n0,0,0,100,0,0,100\n:Data_End\n",
          1, 4, TLines{2, 4, 6}, "line 2: outside a :Data_Begin/:Data_End section");
  Add_Row("truncated", LENGTH_DATA + ":Data_Begin\n0,0,0,0,100,0,100,100.1\n0,0,0,0,1", 1, 2, TLines{4},
          "line 4: 5 fields, 8 expected");
  Add_Row("random text", LENGTH_DATA + "some text\n:Data_Begin\nmore text\n", 0, 2, TLines{2, 4}, QString(),
          "None of its 2 data lines is a line of 8 fields inside a :Data_Begin/:Data_End section.");
  Add_Row("no data lines", LENGTH_DATA + ":Data_Begin\n:Data_End\n", 0, 0, TLines(), QString(), NO_DATA_LINES);
}

void TTestImportReport::raw_laser_files_data()
{
  Add_Columns();
  const QByteArray begin = LASER_HEADER + "Measurement_Begin:\n";

  Add_Row("kelvo clean", KELVO_LASER + begin + Laser_Points(4, 100), 2, 4, TLines());
  // Positions 0 (with 0.5 merged into it), 100 and 200: the middle one (line 9) is not paired.
  Add_Row("kelvo bad lines",
          KELVO_LASER + LASER_HEADER + "Point:0,5,5,5,0,0,0,0\nMeasurement_Begin:\nPoint:0,0,0,0,0,0,0,0\n"
                        "Point:1,100,100,100,0,0,0\nPoint:1,100,100.1,100,0,0,0,0\nPoint:2,200,200.2,200,0,0,0,0\n"
                        "Point:3,0.5,0.5,0.5,0,0,0,0\nwords\nMeasurement_End:\n",
          1, 7, TLines{5, 8, 9, 12}, "line 5: a reading outside a measurement section");
  Add_Row("kelvo 20 positions give 9 lengths", KELVO_LASER + begin + Laser_Points(20, 10), 9, 20, TLines{15, 16},
          "line 15: position 90 is not paired");
  Add_Row("kelvo truncated", KELVO_LASER + begin + "Point:0,0,0,0,0,0,0,0\nPoint:1,100,1", 0, 2, TLines{6, 7},
          "line 6: position 0 is not paired",
          "Its readings all lie at one position (readings less than 1.0 apart are merged); a length needs two.");
  Add_Row("kelvo header incomplete", KELVO_LASER + "Start_Point:0,0\nMeasurement_Axis:1,0,0\nMeasurement_Type:Scale\n"
                                                    "Measurement_Begin:\n" + Laser_Points(2, 100), 0, 2, TLines{6, 7},
          "line 6: the header has no start point",
          "The readings cannot be placed: the header has no start point (Start_Point:x,y,z).");
  Add_Row("kelvo random text", KELVO_LASER + "lorem ipsum\n", 0, 1, TLines{2}, "line 2: not a 'Point:' reading",
          "Its one data line is no use: a usable line is a reading inside a measurement section.");
  Add_Row("kelvo no data lines", KELVO_LASER + begin + "Description:X\nMeasurement_End:\n", 0, 0, TLines(), QString(), NO_DATA_LINES);
  // Slot 1 is read again at line 9; slot 30 does not exist.
  Add_Row("b89 slots",
          B89_LASER + begin + "Point:0,0,0,0,0,0,0,0\nPoint:1,50,50,50,0,0,0,0\nPoint:30,9,9,9,0,0,0,0\n"
                              "Point:1,100,100.1,100,0,0,0,0\n",
          1, 4, TLines{7, 8}, "line 7: slot 1 is read again at line 9");
  Add_Row("b89 no scale", B89_LASER + QByteArray(begin).replace("Scale", "Other") + Laser_Points(2, 100), 0, 2, TLines{6, 7},
          QString(), "the measurement type is not Scale");
}

void TTestImportReport::results_files_data()
{
  Add_Columns();
  const QByteArray ok_bar = Bar("4", ORIGIN, "<X>0</X><Y>200</Y><Z>0</Z>");
  const QByteArray ok_value = Gauge_Value("100", "100.001");

  // Body lines from 3 on: a bar takes three lines, its measurement the middle one.
  Add_Row("clean", Results_Document(Ballbar_Part(ok_bar + ok_bar) + Stepgauge_Part(ALONG_X, {ok_value, ok_value})), 4, 4, TLines());
  Add_Row("nested too deep", Results_Document(QByteArray(600, 'x').replace("x", "<a>") + QByteArray(600, 'x').replace("x", "</a>")),
          0, 0, TLines(), QString(), "nested deeper than 512 levels");
  Add_Row("not well-formed", Results_Document("<Ballbar>\n"), 0, 0, TLines(), QString(),
          "The results file could not be read: Reference data XML parse error at line 4");
  Add_Row("missing sphere 2",
          Results_Document(Ballbar_Part("<Bar><BarNo>1</BarNo><BarMeasurements>\n<Measurement><Sphere1>" + ORIGIN +
                                        "</Sphere1></Measurement>\n</BarMeasurements></Bar>\n")),
          0, 1, TLines{5}, "line 5: Node 'Sphere2' is missing from node 'Measurement' and not optional.",
          "The reading stopped at line 5: Node 'Sphere2' is missing from node 'Measurement' and not optional.");
  Add_Row("missing bar number",
          Results_Document(Ballbar_Part("<Bar><BarMeasurements/></Bar>\n") + Stepgauge_Part(ALONG_X, {ok_value})), 0, 1,
          TLines{7}, "line 7: no record, the reading stopped at line 4",
          "The reading stopped at line 4: Node 'BarNo' is missing from node 'Bar' and not optional.");
  const QByteArray no_calibrated = "<StepGageValue><Actual><double>5</double></Actual></StepGageValue>";
  const QByteArray no_actual = "<StepGageValue><Calibrated>5</Calibrated></StepGageValue>";
  Add_Row("missing calibrated length after a value", Results_Document(Stepgauge_Part(ALONG_X, {ok_value, no_calibrated, ok_value})),
          1, 3, TLines{5, 6}, "line 5: Node 'Calibrated' is missing from node 'StepGageValue' and not optional.");
  Add_Row("no mean actual length above 1.0",
          Results_Document(Stepgauge_Part(ALONG_X, {Gauge_Value("1", "1.0"), no_actual})),
          0, 2, TLines{4, 5}, "line 4: no mean actual length above 1.0",
          "None of its 2 measurement elements gave a record: 2 step-gauge values have no mean actual length above 1.0.");
  Add_Row("second step-gauge part not read",
          Results_Document(Stepgauge_Part(ALONG_X, {ok_value}) + Stepgauge_Part(ALONG_X, {ok_value})), 1, 2, TLines{7},
          "line 7: in a part of the file that is not read");
  Add_Row("neither part", Results_Document("<Other/>\n"), 0, 0, TLines(), QString(),
          "The results file holds no bar measurements and no step-gauge values.");
}

void TTestImportReport::sample_files_data()
{
  Add_Columns();  // the content is the name of the file

  auto row = [](const char* file, int records, int data_lines, int skipped_lines, const TLines& detail_lines,
                const QString& reason = QString(), const QStringList& zero_directions = QStringList()) {
    Add_Row(file, file, records, data_lines, detail_lines, QString(), reason, zero_directions, skipped_lines);
  };
  const TLines sphere_details = {6, 8, 12, 13, 14, 15, 16, 17, 18, 19};

  row("ballbar_v1.txt", 3, 5, 2, {7, 8});
  row("ballbar_v2.txt", 2, 3, 1, {6}, QString(), {"Zero"});
  row("b89_ballbar.txt", 2, 3, 1, {5});
  row("empty_ballbar_v1.txt", 0, 0, 0, {}, NO_DATA_LINES);
  row("b89_ballbar_10360.txt", 3, 38, 8, {6, 8, 42, 43, 44, 45, 46, 48});
  row("b89_ballbar_10360_incomplete.txt", 0, 37, 37, sphere_details, "sphere B has 2 readings at position 4, 3 expected");
  row("b89_ballbar_10360_extra_repeat.txt", 0, 39, 39, sphere_details, "sphere A has 4 readings at position 2, 3 expected");
  row("length_data.txt", 4, 7, 3, {2, 7, 10});
  row("stepgauge_squareness.txt", 3, 12, 4, {3, 7, 19, 21});
  row("kelvo_laser.txt", 2, 8, 3, {5, 14, 16});
  row("kelvo_laser_no_scale.txt", 0, 2, 2, {6, 7}, "the measurement type is not Scale");
  // Two slot indexes out of range and fifteen slots read twice.
  row("b89_machine_and_laser.txt", 8, 47, 17, {6, 7, 9, 12, 15, 18, 21, 24, 27, 30});
  // Two values without an actual length above 1.0 and a second fleet that is not read.
  row("results.xml", 5, 10, 3, {56, 59, 73});
  row("results_partial.xml", 1, 4, 3, {19, 23, 39});
  row("results_malformed.xml", 0, 0, 0, {}, "The results file could not be read");
  row("results_two_roots.xml", 0, 0, 0, {}, "The results file could not be read");
  row("results_empty.xml", 0, 0, 0, {}, "The results file holds no bar measurements and no step-gauge values.");
}

void TTestImportReport::sample_files()
{
  QFETCH(QByteArray, content);
  const QString path = QDir(QStringLiteral(ORTHAVEL_TEST_DATA)).filePath(QString::fromUtf8(content));
  QVERIFY(QFile::exists(path));
  Check_Row(path);
}

void TTestImportReport::zero_directions_data()
{
  Add_Columns();
  auto row = [](const char* name, const QByteArray& content, int records, int data_lines, const QStringList& names) {
    Add_Row(name, content, records, data_lines, TLines(), QString(), QString(), names);
  };

  // Directions along y: 1e-7 is not above 1e-6, 1e-5 is; "nan" reads as not a number.
  row("ball bars", BALLBAR_V1 + "Same,0,1,2,3,1,2,3,0,0,0\n,0,5,5,5,5,5,5,1,1,1\nApart,0,0,0,0,0,1,0,0,0,0\n"
                                "Tiny,0,0,0,0,0,0.0000001,0,0,0,0\nSmall,0,0,0,0,0,0.00001,0,0,0,0\n"
                                "Undefined,0,0,nan,0,0,1,0,0,0,0\n",
      6, 6, {"Same", "line 3", "Tiny", "Undefined"});
  row("length data", LENGTH_DATA + ":Data_Begin\n2,2,2,2,2,2,0,0\n0,0,0,0,5,0,5,5\n", 2, 2, {"Length 1"});
  const QByteArray alignment = "Alignment_Begin:\nX_Axis:%1\nAlignment_End:\nMeasurement_Begin:\n";
  row("10360 without axis", BALLBAR_10360 + QString(alignment).arg("0,0,0").toUtf8() + Sphere_Readings(30), 3, 30,
      {"BB-3", "BB-2", "BB-1"});
  row("step gauge, equal faces", STEPGAUGE + QString(alignment).arg("0,1,0").toUtf8() + Face_Readings({0, 10, 20, 0}), 2, 4,
      {"SQ.1-4"});
  row("laser without axis", KELVO_LASER + QByteArray(LASER_HEADER).replace("Axis:1,", "Axis:0,") + "Measurement_Begin:\n" +
                              Laser_Points(2, 100), 1, 2, {"SQ.1-2"});
  row("results", Results_Document(Ballbar_Part(Bar("4", ORIGIN, ORIGIN) + Bar("5", ORIGIN, "<X>0</X><Y>0</Y><Z>9</Z>")) +
                                  Stepgauge_Part("<I>0</I><J>0</J><K>0</K>", {Gauge_Value("100", "100.001")})),
      3, 3, {"Pos: 4", "Diagonal Length:100.0"});
}

// Each Load_File reports on its own file only; a file that is not
// recognised, or not read, reports nothing.
void TTestImportReport::report_starts_afresh_with_every_import()
{
  TMeasurementFactory factory;
  bool valid = false;
  const std::vector<TMeasurement*> loaded = factory.Load_File(Write_File(BALLBAR_V1 + "Same,0,1,1,1,1,1,1,0,0,0\nbad\n"), &valid);
  const TRecords owned(loaded.begin(), loaded.end());
  QCOMPARE(factory.Last_Report().skipped_lines, 1);
  QCOMPARE(factory.Last_Report().zero_direction_records, QStringList{"Same"});

  for(const QString& path : {Write_File("Not an instrument file\n1,2,3\n"), d_directory.filePath("missing.txt")})
  {
    QVERIFY(factory.Load_File(path, &valid).empty());
    const TImportReport& report = factory.Last_Report();
    QVERIFY(!valid);
    QCOMPARE(report.data_lines + report.skipped_lines, 0);
    QVERIFY(report.skip_details.isEmpty() && report.zero_direction_records.isEmpty() && report.nothing_found_reason.isEmpty());
  }
}

// A loader given a report fills it afresh; without one it gives the same records.
void TTestImportReport::loaders_fill_a_report_given_to_them()
{
  TImportReport report;
  report.data_lines = report.skipped_lines = 99;
  report.skip_details = report.zero_direction_records = QStringList{"old"};
  report.nothing_found_reason = "old";

  const QByteArray content = STEPGAUGE + "Measurement_Begin:\n" + Face_Readings({0, 50, 100}) + "Point:0,2\n";
  const auto type = TMeasurementFactory::IMPORT_STEPGAUGE_SQUARENESS;
  const std::vector<TMeasurement*> loaded = TMeasurementFactory::Load_Stepgauge_Squareness_File(content, type, &report);
  const std::vector<TMeasurement*> again = TMeasurementFactory::Load_Stepgauge_Squareness_File(content, type);
  const TRecords owned(loaded.begin(), loaded.end());
  const TRecords owned_again(again.begin(), again.end());
  QCOMPARE(report.data_lines, 4);
  QCOMPARE(report.skipped_lines, 1);
  QCOMPARE(report.skip_details, (QStringList{"line 6: 2 fields, 5 expected"}));
  QVERIFY(report.zero_direction_records.isEmpty() && report.nothing_found_reason.isEmpty());
  QCOMPARE(int(owned.size()), 1);
  QCOMPARE(int(owned_again.size()), 1);
  QCOMPARE(owned_again[0]->Name(), owned[0]->Name());
}

QTEST_GUILESS_MAIN(TTestImportReport)
#include "test_import_report.moc"
