// Saving and loading .square project files through the main window.
#include <QtTest>

#include <QAction>
#include <QFile>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QLabel>
#include <QRandomGenerator>
#include <QStatusBar>
#include <QTemporaryDir>

#include "measurement.h"
#include "projectfile.h"
#include "window_helpers.h"
#include "windowtest.h"

namespace
{
const char* const header = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

QString Ballbar_Xml(const QString& name, const QString& position, const QString& axis, const QString& actual)
{
  return QString("<Measurement><Name>%1</Name><Position>%2</Position><Axis>%3</Axis>"
                 "<Actual_Length>%4</Actual_Length></Measurement>")
    .arg(name, position, axis, actual);
}

QString Length_Xml(const QString& name, const QString& offset)
{
  return QString("<Measurement><Nominal_Length>500</Nominal_Length><Draw_Offset>%2</Draw_Offset><Name>%1</Name>"
                 "<Position>0,0,0</Position><Axis>1,0,0</Axis><Actual_Length>500.5</Actual_Length></Measurement>")
    .arg(name, offset);
}

QString Project(const QString& ballbars, const QString& lengths = QString())
{
  return QString(header) + "<Orthavel File_Version=\"1\"><BallBar>" + ballbars + "</BallBar><Length>" + lengths +
         "</Length></Orthavel>\n";
}
}

static double Uniform(QRandomGenerator& random, double lowest, double highest)
{
  return lowest + random.bounded(highest - lowest);
}

class TOrthavelProjectTest : public TWindowTest
{
  Q_OBJECT

private slots:
  void empty_project();
  void kinds_are_grouped_on_reload();
  void vectors_data();
  void vectors();
  void draw_offset_data();
  void draw_offset();
  void names_beyond_basic_plane_data();
  void names_beyond_basic_plane();
  void bad_files_data();
  void bad_files();
  void failed_load_keeps_the_set_as_it_was();
  void too_large_project_is_refused_unread();
  void cancelled_read_leaves_the_set_data();
  void cancelled_read_leaves_the_set();
  void random_sets_round_trip();
  void failed_save_keeps_old_file();

private:
};

static QByteArray Read(const QString& path)
{
  QFile file(path);
  file.open(QIODevice::ReadOnly);
  return file.readAll();
}

void TOrthavelProjectTest::empty_project()
{
  const QString path = directory.filePath("empty.square");
  QVERIFY(window->Save_Data(path));
  QCOMPARE(Read(path), QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Orthavel File_Version=\"1\">\n"
                                  "    <BallBar/>\n    <Length/>\n</Orthavel>\n"));
  QVERIFY(window->Load_Data(path));
  QVERIFY(window->Document()->Records().empty());
  QVERIFY(!Member<QAction>(window, "action_save")->isEnabled());
  QVERIFY(!Member<QAction>(window, "action_save_as")->isEnabled());
  QCOMPARE(window->Document()->File_Name(), path);
  QCOMPARE(window->Last_Directory(), directory.path());
}

void TOrthavelProjectTest::kinds_are_grouped_on_reload()
{
  Member<QAction>(window, "action_add_length")->trigger();
  Member<QAction>(window, "action_add_ballbar")->trigger();
  Member<QAction>(window, "action_add_length")->trigger();
  window->Document()->Records()[0]->Set_Draw_Offset(2.25);
  const QString path = directory.filePath("order.square");
  QVERIFY(window->Save_Data(path));
  const QString text = QString::fromUtf8(Read(path));
  QVERIFY(text.contains("<Draw_Offset>2.2</Draw_Offset>") || text.contains("<Draw_Offset>2.3</Draw_Offset>"));
  QVERIFY(text.indexOf("<Nominal_Length>") < text.indexOf("<Draw_Offset>"));
  QVERIFY(text.indexOf("<Draw_Offset>") < text.indexOf("<Name>Length 1"));

  QVERIFY(window->Load_Data(path));
  QStringList names;
  for(const TMeasurement* record : window->Document()->Records())
    names << record->Name();
  QCOMPARE(names, QStringList({"BallBar 1", "Length 1", "Length 2"}));
  QVERIFY(Member<QAction>(window, "action_save")->isEnabled());
  QVERIFY(Member<QAction>(window, "action_save_as")->isEnabled());
}

void TOrthavelProjectTest::vectors_data()
{
  QTest::addColumn<QString>("position");
  QTest::addColumn<QString>("axis");
  QTest::addColumn<bool>("loads");
  QTest::addColumn<QString>("message");
  QTest::addColumn<double>("y");
  QTest::addColumn<double>("axis_x");
  QTest::addColumn<double>("axis_z");
  QTest::addColumn<QString>("warning");
  QTest::newRow("plain") << "1.5,2,3" << "0,0,2" << true << "" << 2.0 << 0.0 << 1.0 << "";
  QTest::newRow("empty part") << "1,,3" << "0,0,0" << true << "" << 0.0 << 1.0 << 0.0
                              << "A zero direction in the file, taken as (1, 0, 0): A.";
  QTest::newRow("two values") << "1,2" << "1,0,0" << false << "ERR:  Measurement position must have three values"
                              << 0.0 << 0.0 << 0.0 << "";
  QTest::newRow("four values") << "1,2,3,4" << "1,0,0" << false
                               << "ERR:  Measurement position must have three values" << 0.0 << 0.0 << 0.0 << "";
  QTest::newRow("axis of two") << "0,0,0" << "1,0" << false << "ERR:  Measurement axis must have three values" << 0.0
                               << 0.0 << 0.0 << "";
  QTest::newRow("not numbers") << "nan,inf,-inf" << "inf,0,0" << true << "" << std::numeric_limits<double>::infinity()
                               << 1.0 << 0.0 << "Left out of the fit until corrected: A (not a finite number).";
}

void TOrthavelProjectTest::vectors()
{
  QFETCH(QString, position);
  QFETCH(QString, axis);
  QFETCH(bool, loads);
  QFETCH(QString, message);
  QFETCH(double, y);
  QFETCH(double, axis_x);
  QFETCH(double, axis_z);
  QFETCH(QString, warning);
  const QString path = Write_File("vectors.square", Project(Ballbar_Xml("A", position, axis, "100")));
  TBoxRecorder boxes;
  QCOMPARE(window->Load_Data(path), loads);
  QCOMPARE(boxes.texts.size(), warning.isEmpty() ? 0 : 1);
  if(!warning.isEmpty())
    QVERIFY2(boxes.texts.front().contains(warning), qPrintable(boxes.texts.front()));
  if(!loads)
  {
    QCOMPARE(Status(), message);
    QVERIFY(window->Document()->Records().empty());
    QVERIFY(window->Document()->File_Name().isEmpty());
    return;
  }
  QCOMPARE(window->Document()->Records().size(), size_t(1));
  const TMeasurement* record = window->Document()->Records().front();
  QCOMPARE(record->Position().y, y);
  QCOMPARE(record->Axis().x, axis_x);
  QCOMPARE(record->Axis().z, axis_z);
  QCOMPARE(record->Actual_Length(), 100.0);
}

void TOrthavelProjectTest::draw_offset_data()
{
  QTest::addColumn<QString>("text");
  QTest::addColumn<double>("offset");
  QTest::newRow("below range") << "0.2" << 1.0;
  QTest::newRow("above range") << "25" << 10.0;
  QTest::newRow("inside") << "2.5" << 2.5;
  QTest::newRow("not a number") << "wide" << 1.0;
  QTest::newRow("nan") << "nan" << 1.0;
}

void TOrthavelProjectTest::draw_offset()
{
  QFETCH(QString, text);
  QFETCH(double, offset);
  QVERIFY(window->Load_Data(Write_File("offset.square", Project(QString(), Length_Xml("L", text)))));
  QCOMPARE(window->Document()->Records().size(), size_t(1));
  const TMeasurement* record = window->Document()->Records().front();
  QCOMPARE(int(record->Type()), int(TMeasurement::MEASUREMENT_LENGTH));
  QCOMPARE(record->Draw_Offset(), offset);
  QCOMPARE(record->Nominal_Length(), 500.0);
  QCOMPARE(record->Actual_Length(), 500.5);
}

void TOrthavelProjectTest::names_beyond_basic_plane_data()
{
  QTest::addColumn<QString>("name_xml");
  QTest::addColumn<QString>("expected");

  const QString smiley = QString::fromUcs4(U"\U0001F600");
  QTest::newRow("written out") << "Bar " + smiley << "Bar " + smiley;
  QTest::newRow("character reference") << "&#x1F600;" << smiley;
  QTest::newRow("character data") << "<![CDATA[" + smiley + "]]>" << smiley;
  QTest::newRow("last code point") << "&#x10FFFF;" << QString::fromUcs4(U"\U0010FFFF");
}

// Names holding characters beyond U+FFFF load whole, save and load again.
void TOrthavelProjectTest::names_beyond_basic_plane()
{
  QFETCH(QString, name_xml);
  QFETCH(QString, expected);
  const QString path = Write_File("names.square", Project(Ballbar_Xml(name_xml, "0,0,0", "1,0,0", "100")));
  QVERIFY2(window->Load_Data(path), qPrintable(Status()));
  QCOMPARE(window->Document()->Records().size(), size_t(1));
  QCOMPARE(window->Document()->Records().front()->Name(), expected);

  const QString saved = directory.filePath("names_saved.square");
  QVERIFY2(window->Save_Data(saved), qPrintable(Status()));
  QVERIFY2(window->Load_Data(saved), qPrintable(Status()));
  QCOMPARE(window->Document()->Records().front()->Name(), expected);
}

void TOrthavelProjectTest::bad_files_data()
{
  QTest::addColumn<QString>("content");
  QTest::addColumn<QString>("message");
  QTest::newRow("other root") << QString(header) + "<Square File_Version=\"1\"/>"
                              << "ERR:  Identification 'Orthavel' does not match 'Square'";
  QTest::newRow("version 2") << QString(header) + "<Orthavel File_Version=\"2\"><BallBar>" +
                                  Ballbar_Xml("A", "0,0,0", "1,0,0", "1") + "</BallBar></Orthavel>"
                             << "ERR:  File version not recognized";
  QTest::newRow("no version") << QString(header) + "<Orthavel/>" << "ERR:  The 'File_Version' attribute is missing.";
  QTest::newRow("missing axis")
    << Project("<Measurement><Name>A</Name><Position>0,0,0</Position><Actual_Length>1</Actual_Length></Measurement>")
    << "ERR:  Node 'Axis' is missing from node 'Measurement' and not optional.";
  QTest::newRow("truncated") << QString(header) + "<Orthavel File_Version=\"1\"><BallBar><Measurement><Na" << "parse";
  QTest::newRow("binary") << QString::fromLatin1("\x01\x02\xff\xfe garbage") << "parse";
}

// A file that cannot be read as a project leaves the set, its file name and
// its modified state exactly as they were.
void TOrthavelProjectTest::bad_files()
{
  QFETCH(QString, content);
  QFETCH(QString, message);
  Member<QAction>(window, "action_add_ballbar")->trigger();
  QVERIFY(!window->Load_Data(Write_File("bad.square", content)));
  if(message == "parse")
    QVERIFY2(Status().startsWith("ERR:  Reference file XML parse error at line "), qPrintable(Status()));
  else
    QCOMPARE(Status(), message);
  QCOMPARE(window->Document()->Records().size(), size_t(1));
  QCOMPARE(window->Document()->Records().front()->Name(), QString("BallBar 1"));
  QVERIFY(window->Document()->Is_Modified());
  QVERIFY(window->Document()->File_Name().isEmpty());
  QVERIFY(Member<QAction>(window, "action_save")->isEnabled());
}

// A load that fails part way keeps nothing of the file: the project opened
// before stays on show, bound and unmodified, and the fit describes it.
void TOrthavelProjectTest::failed_load_keeps_the_set_as_it_was()
{
  const QString first = Write_File("first.square", Project(Ballbar_Xml("A", "0,0,0", "1,1,0", "999.9") +
                                                           Ballbar_Xml("B", "0,0,0", "1,-1,0", "1000.1")));
  QVERIFY(window->Load_Data(first));
  const QString content = Project(Ballbar_Xml("C", "0,0,0", "1,1,0", "500") +
                                  "<Measurement><Name></Name><Position>0,0,0</Position><Axis>1,0,0</Axis>"
                                  "<Actual_Length>5</Actual_Length></Measurement>");
  QVERIFY(!window->Load_Data(Write_File("partial.square", content)));
  QCOMPARE(Status(), QString("ERR:  Node Text for 'Name' is not optional."));
  QCOMPARE(window->Document()->Records().size(), size_t(2));
  QCOMPARE(window->Document()->Records()[1]->Name(), QString("B"));
  QCOMPARE(Member<QListWidget>(window, "measurement_list")->count(), 2);
  QCOMPARE(window->Document()->File_Name(), first);
  QVERIFY(!window->Document()->Is_Modified());
  QTRY_COMPARE_WITH_TIMEOUT(Text_Of(window, "xy_squareness_label"), QString("0.2000"), 20000);
  QCOMPARE(Text_Of(window, "initial_min_length_label"), QString("999.9000"));
}

// A sparse file just over the limit that starts as a valid project: refused
// by its size, before any of it is read, and the set stays as it was.
void TOrthavelProjectTest::too_large_project_is_refused_unread()
{
  Member<QAction>(window, "action_add_ballbar")->trigger();
  const QString path = Write_File("huge.square", Project(Ballbar_Xml("A", "0,0,0", "1,1,0", "999.9")));
  QFile file(path);
  QVERIFY(file.resize(TProjectFile::MAXIMUM_FILE_SIZE + 1));
  QVERIFY(!window->Load_Data(path));
  QCOMPARE(Status(), QString("ERR:  Project file '%1' is too large to open.").arg(path));
  QCOMPARE(window->Document()->Records().size(), size_t(1));
  QCOMPARE(window->Document()->Records().front()->Name(), QString("BallBar 1"));
  QVERIFY(window->Document()->File_Name().isEmpty());
  QVERIFY(file.remove());
}

void TOrthavelProjectTest::cancelled_read_leaves_the_set_data()
{
  QTest::addColumn<bool>("open");
  QTest::newRow("import") << false;
  QTest::newRow("open") << true;
}

// A pipe is read in the background and gives nothing until a writer comes:
// Cancel is pressed while the reader waits, then the writer closes at once.
// The set, its file name and its modified state stay as they were.
void TOrthavelProjectTest::cancelled_read_leaves_the_set()
{
  QFETCH(bool, open);
  const QString first = Write_File("first.square", Project(Ballbar_Xml("A", "0,0,0", "1,1,0", "999.9") +
                                                           Ballbar_Xml("B", "0,0,0", "1,-1,0", "1000.1")));
  QVERIFY(window->Load_Data(first));
  Member<QAction>(window, "action_add_ballbar")->trigger();
  const QString pipe = directory.filePath(open ? "pipe.square" : "pipe.dat");
  QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);

  bool seen = false;
  QString label;
  When_Shown<QProgressDialog>(
    [&](QProgressDialog* dialog) {
      label = dialog->labelText();
      dialog->findChild<QPushButton*>()->click();
      const int writer = ::open(QFile::encodeName(pipe).constData(), O_WRONLY);  // waits for the reader
      ::close(writer);
    },
    &seen);
  QVERIFY(!(open ? window->Load_Data(pipe) : window->Import_Data(pipe)));
  QVERIFY(seen);
  QCOMPARE(label, QString(open ? "Opening pipe.square" : "Importing pipe.dat"));
  QCOMPARE(Status(), QString(open ? "Open cancelled" : "Import cancelled"));
  QCOMPARE(window->Document()->Count(), 3);
  QCOMPARE(window->Document()->At(1)->Name(), QString("B"));
  QCOMPARE(Member<QListWidget>(window, "measurement_list")->count(), 3);
  QCOMPARE(window->Document()->File_Name(), first);
  QVERIFY(window->Document()->Is_Modified());
  QVERIFY(!QApplication::activeModalWidget());
}

void TOrthavelProjectTest::random_sets_round_trip()
{
  // The random ball bars disagree in length: the warning is answered.
  const TBoxRecorder boxes;
  QRandomGenerator random(20261208);
  for(int round = 0; round < 5; ++round)
  {
    QString ballbars, lengths;
    for(int i = 0; i < 6; ++i)
    {
      const QString position = QString("%1,%2,%3")
                                 .arg(Uniform(random, -2000.0, 2000.0), 0, 'f', 6)
                                 .arg(Uniform(random, -2000.0, 2000.0), 0, 'f', 6)
                                 .arg(Uniform(random, -2000.0, 2000.0), 0, 'f', 6);
      TVector3 axis(Uniform(random, -1.0, 1.0), Uniform(random, -1.0, 1.0), Uniform(random, 0.1, 1.0));
      axis.Normal();
      const QString axis_text = QString("%1,%2,%3").arg(axis.x, 0, 'f', 12).arg(axis.y, 0, 'f', 12).arg(axis.z, 0, 'f', 12);
      const QString actual = QString::number(Uniform(random, 10.0, 3000.0), 'f', 6);
      if(i % 2)
        ballbars += Ballbar_Xml(QString("B%1").arg(i), position, axis_text, actual);
      else
        lengths += QString("<Measurement><Nominal_Length>%1</Nominal_Length><Draw_Offset>%2</Draw_Offset>"
                           "<Name>L%3</Name><Position>%4</Position><Axis>%5</Axis><Actual_Length>%6</Actual_Length>"
                           "</Measurement>")
                     .arg(QString::number(Uniform(random, 10.0, 3000.0), 'f', 6))
                     .arg(QString::number(Uniform(random, 1.0, 10.0), 'f', 1))
                     .arg(i)
                     .arg(position, axis_text, actual);
    }
    QVERIFY(window->Load_Data(Write_File("first.square", Project(ballbars, lengths))));
    std::vector<TMeasurement*> first = window->Document()->Records();
    QString names_first;
    std::vector<double> values_first;
    for(const TMeasurement* r : first)
    {
      names_first += r->Name();
      values_first.insert(values_first.end(), {r->Position().x, r->Position().y, r->Position().z, r->Axis().x,
                                               r->Axis().y, r->Axis().z, r->Actual_Length(), r->Draw_Offset(),
                                               r->Type() == TMeasurement::MEASUREMENT_LENGTH ? r->Nominal_Length() : 0.0});
    }
    const QString second = directory.filePath("second.square");
    QVERIFY(window->Save_Data(second));
    QVERIFY(window->Load_Data(second));
    QString names_second;
    size_t k = 0;
    for(const TMeasurement* r : window->Document()->Records())
    {
      names_second += r->Name();
      const double values[9] = {r->Position().x, r->Position().y, r->Position().z, r->Axis().x, r->Axis().y,
                                r->Axis().z, r->Actual_Length(), r->Draw_Offset(),
                                r->Type() == TMeasurement::MEASUREMENT_LENGTH ? r->Nominal_Length() : 0.0};
      const double tolerance[9] = {5e-7, 5e-7, 5e-7, 1e-11, 1e-11, 1e-11, 5e-7, 0.0, 5e-7};
      for(int v = 0; v < 9; ++v, ++k)
        QVERIFY2(std::fabs(values[v] - values_first[k]) <= tolerance[v],
                 qPrintable(QString("value %1 of %2").arg(v).arg(r->Name())));
    }
    QCOMPARE(names_second, names_first);
  }
}

void TOrthavelProjectTest::failed_save_keeps_old_file()
{
  Member<QAction>(window, "action_add_ballbar")->trigger();
  const QString path = Write_File("kept.square", "previous content\n");
  // A folder in place of the file's parent cannot be written, even by root.
  QVERIFY(!window->Save_Data(path + "/inside.square"));
  QVERIFY2(Status().startsWith("ERR:  Cannot "), qPrintable(Status()));
  // A project over a directory fails and leaves it alone; the old file stays byte for byte.
  QVERIFY(!window->Save_Data(directory.path()));
  QCOMPARE(Read(path), QByteArray("previous content\n"));
  QVERIFY(window->Save_Data(path));
  QVERIFY(Read(path).startsWith("<?xml"));
}

QTEST_MAIN(TOrthavelProjectTest)
#include "test_orthavel_project.moc"
