// The command-line program, run as a user runs it: its exit statuses, its
// messages, and JSON that gives, for every example, what the window shows.
#include <QtTest>

#include <QComboBox>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "fixedtext.h"
#include "projectfile.h"
#include "window_helpers.h"

namespace
{
const int run_timeout_msec = 30000;
const int fit_timeout_msec = 30000;

struct TRun
{
  int status = -1;
  QByteArray output;
  QByteArray errors;
};

// Runs the program; without_display also takes the platform and the display away.
TRun Run(const QStringList& arguments, bool without_display = false)
{
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  if(without_display)
  {
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
  }
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(ORTHAVEL_CLI_PROGRAM), arguments);
  TRun run;
  if(!process.waitForFinished(run_timeout_msec) || process.exitStatus() != QProcess::NormalExit)
    return run;
  run.status = process.exitCode();
  run.output = process.readAllStandardOutput();
  run.errors = process.readAllStandardError();
  return run;
}

QString Example(const QString& name)
{
  return QDir(QStringLiteral(ORTHAVEL_EXAMPLES)).filePath(name);
}

QString Number_Text(const QJsonValue& value, int decimals)
{
  return value.isNull() ? QStringLiteral("----") : Fixed_Text(value.toDouble(), decimals);
}
}

// Only the comparisons with the window build one, each its own.
class TCliTest : public QObject
{
  Q_OBJECT

private slots:
  void exitStatus_data();
  void exitStatus();
  void helpAndVersion();
  void jsonEqualsWindow_data();
  void jsonEqualsWindow();
  void emptyProjectHasNoValues();
  void namesAreEscaped();
  void reportFiles_data();
  void reportFiles();

private:
  QString Empty_Project();
  QTemporaryDir directory;
};

QString TCliTest::Empty_Project()
{
  const QString path = directory.filePath(QStringLiteral("empty.square"));
  QString error;
  if(!TProjectFile::Save(path, {}, &error))
    qFatal("%s", qPrintable(error));
  return path;
}

void TCliTest::exitStatus_data()
{
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<int>("status");
  QTest::addColumn<QString>("error_start");
  QTest::addColumn<bool>("without_display");

  const QString demo = Example("demo.square");
  const QString missing = QDir::temp().filePath(QStringLiteral("orthavel-cli-no-such-file.square"));
  const QString missing_data = QDir::temp().filePath(QStringLiteral("orthavel-cli-no-such-file.dat"));
  const QString unrecognised = Data_File("unrecognized.txt");
  QTest::newRow("good file") << QStringList{demo} << 0 << QString() << false;
  QTest::newRow("no display") << QStringList{demo} << 0 << QString() << true;
  QTest::newRow("sign in lower case") << QStringList{"--sign", "zeiss", demo} << 0 << QString() << false;
  QTest::newRow("every option") << QStringList{"--format", "csv", "--sign", "LK", "--unit", "arcsec", demo} << 0
                                << QString() << false;
  QTest::newRow("two files") << QStringList{Example("ballbar.dat"), Example("laser.dat")} << 0 << QString() << false;
  QTest::newRow("missing project") << QStringList{missing} << 1 << missing + ": ERR:" << false;
  QTest::newRow("missing data file") << QStringList{missing_data} << 1 << missing_data + ": ERR:" << false;
  QTest::newRow("unrecognised") << QStringList{unrecognised} << 1 << unrecognised + ": ERR:" << false;
  QTest::newRow("unrecognised after a good file") << QStringList{demo, unrecognised} << 1 << unrecognised + ": ERR:"
                                                  << false;
  QTest::newRow("bad option") << QStringList{"--frobnicate", demo} << 2 << "orthavel-cli: " << false;
  QTest::newRow("bad sign") << QStringList{"--sign", "Acme", demo} << 2 << "orthavel-cli: " << false;
  QTest::newRow("bad unit") << QStringList{"--unit", "furlong", demo} << 2 << "orthavel-cli: " << false;
  QTest::newRow("bad format") << QStringList{"--format", "xml", demo} << 2 << "orthavel-cli: " << false;
  QTest::newRow("bad report name") << QStringList{"--report", "report.doc", demo} << 2 << "orthavel-cli: " << false;
  QTest::newRow("option without value") << QStringList{demo, "--unit"} << 2 << "orthavel-cli: " << false;
  QTest::newRow("no FILE") << QStringList{} << 2 << "orthavel-cli: " << false;
  QTest::newRow("options but no FILE") << QStringList{"--format", "json"} << 2 << "orthavel-cli: " << false;
}

void TCliTest::exitStatus()
{
  QFETCH(QStringList, arguments);
  QFETCH(int, status);
  QFETCH(QString, error_start);
  QFETCH(bool, without_display);
  const TRun run = Run(arguments, without_display);
  QCOMPARE(run.status, status);
  if(status == 0)
  {
    QVERIFY(!run.output.isEmpty());
    return;
  }
  QVERIFY2(QString::fromUtf8(run.errors).startsWith(error_start), run.errors.constData());
  QVERIFY(run.output.isEmpty());
}

void TCliTest::helpAndVersion()
{
  TRun run = Run({"--help"});
  QCOMPARE(run.status, 0);
  for(const char* option : {"--format", "--sign", "--unit", "--report", "--version"})
    QVERIFY2(run.output.contains(option), option);
  run = Run({"--version"});
  QCOMPARE(run.status, 0);
  QCOMPARE(run.output, QByteArray("orthavel-cli " ORTHAVEL_VERSION "\n"));
}

void TCliTest::jsonEqualsWindow_data()
{
  QTest::addColumn<QString>("file");
  QTest::addColumn<QString>("sign");
  QTest::newRow("demo") << "demo.square" << "BnS";
  QTest::newRow("demo, Renishaw") << "demo.square" << "reNISHaw";
  QTest::newRow("ball bar") << "ballbar.dat" << "BnS";
  QTest::newRow("laser") << "laser.dat" << "DEA";
  QTest::newRow("results") << "results.xml" << "Zeiss";
  QTest::newRow("step gauge") << "stepgauge_square.dat" << "BnS";
}

// The window's labels are the texts of the JSON's numbers with the window's decimals.
void TCliTest::jsonEqualsWindow()
{
  QFETCH(QString, file);
  QFETCH(QString, sign);
  const TRun run = Run({"--format", "json", "--sign", sign, Example(file)});
  QCOMPARE(run.status, 0);
  QJsonParseError parse_error;
  const QJsonObject json = QJsonDocument::fromJson(run.output, &parse_error).object();
  QCOMPARE(parse_error.error, QJsonParseError::NoError);
  QCOMPARE(json["program"].toString(), QString("orthavel-cli"));
  QCOMPARE(json["version"].toString(), QString(ORTHAVEL_VERSION));
  QCOMPARE(json["inputs"].toArray(), QJsonArray{Example(file)});
  QCOMPARE(json["unit"].toString(), QString("mm/m"));

  TOrthavel shown_window;
  TOrthavel* window = &shown_window;
  window->show();
  QVERIFY(QTest::qWaitForWindowExposed(window));
  TBoxRecorder boxes;
  QComboBox* sign_combo = Member<QComboBox>(window, "sign_combo");
  const int index = sign_combo->findText(sign, Qt::MatchFixedString);
  QVERIFY(index >= 0);
  sign_combo->setCurrentIndex(index);
  QCOMPARE(json["sign_convention"].toString(), sign_combo->currentText());
  window->Open_File(Example(file));
  QTRY_VERIFY_WITH_TIMEOUT(Text_Of(window, "final_max_length_label").toDouble() > 0.0, fit_timeout_msec);

  const QJsonObject squareness = json["squareness"].toObject();
  for(const char* name : {"xy", "yz", "zx"})
  {
    const QJsonObject error = squareness[name].toObject();
    const QString label = Text_Of(window, qPrintable(QString("%1_squareness_label").arg(name)));
    QCOMPARE(Number_Text(error["displayed"], 4), label);
    QCOMPARE(error["valid"].toBool(), label != "----");
    QCOMPARE(error["reason"].isNull(), error["valid"].toBool());
  }
  const QJsonObject statistics = json["statistics"].toObject();
  for(const char* stage : {"initial", "final"})
    for(const char* value : {"min_length", "max_length", "min_error", "max_error"})
      QCOMPARE(Number_Text(statistics[stage].toObject()[value], 4),
               Text_Of(window, qPrintable(QString("%1_%2_label").arg(stage, value))));

  const QJsonArray measurements = json["measurements"].toArray();
  const std::vector<TMeasurement*> records = window->Document()->Records();
  QCOMPARE(measurements.size(), int(records.size()));
  for(size_t i = 0; i < records.size(); ++i)
  {
    const QJsonObject measurement = measurements[int(i)].toObject();
    QCOMPARE(measurement["name"].toString(), records[i]->Name());
    QCOMPARE(measurement["kind"].toString(),
             records[i]->Type() == TMeasurement::MEASUREMENT_BALLBAR ? QString("ballbar") : QString("length"));
    QCOMPARE(measurement["actual_length"].toDouble(), records[i]->Actual_Length());
    // The window writes the fit's ball-bar estimate into the records.
    QCOMPARE(Fixed_Text(measurement["nominal_length"].toDouble(), 4), Fixed_Text(records[i]->Nominal_Length(), 4));
  }
  const int ball_bars = window->Document()->Count_Of(TMeasurement::MEASUREMENT_BALLBAR);
  QCOMPARE(json["ballbar_length"].isNull(), ball_bars == 0);
  QVERIFY(boxes.texts.isEmpty());
}

void TCliTest::emptyProjectHasNoValues()
{
  const TRun run = Run({"--format", "json", Empty_Project()});
  QCOMPARE(run.status, 0);
  const QJsonObject json = QJsonDocument::fromJson(run.output).object();
  const QJsonObject xy = json["squareness"].toObject()["xy"].toObject();
  QCOMPARE(xy["valid"].toBool(true), false);
  QCOMPARE(xy["value"].toDouble(1.0), 0.0);
  QVERIFY(xy["displayed"].isNull());
  QVERIFY(xy["expanded_uncertainty"].isNull());
  QVERIFY(!xy["reason"].toString().isEmpty());
  QVERIFY(json["statistics"].toObject()["initial"].isNull());
  QVERIFY(json["statistics"].toObject()["final"].isNull());
  QVERIFY(json["ballbar_length"].isNull());
  QVERIFY(json["birge_ratio"].isNull());
  QCOMPARE(json["measurements"].toArray().size(), 0);
}

// Names are written by hand into the JSON; they read back as they are.
void TCliTest::namesAreEscaped()
{
  const QString name = QString::fromUtf8("a \"quoted\" \\ name\twith tab, µ and \U0001F6E0");
  TMeasurementBallBar record;
  record.Set_Name(name);
  record.Set_Actual_Length(700.0);
  const QString path = directory.filePath(QStringLiteral("names.square"));
  QString error;
  QVERIFY(TProjectFile::Save(path, {&record}, &error));
  const TRun run = Run({"--format", "json", path});
  QCOMPARE(run.status, 0);
  QJsonParseError parse_error;
  const QJsonObject json = QJsonDocument::fromJson(run.output, &parse_error).object();
  QCOMPARE(parse_error.error, QJsonParseError::NoError);
  const QJsonObject measurement = json["measurements"].toArray()[0].toObject();
  QCOMPARE(measurement["name"].toString(), name);
  QCOMPARE(measurement["actual_length"].toDouble(), 700.0);
  QCOMPARE(measurement["position"].toArray(), (QJsonArray{0, 0, 0}));
  QVERIFY(measurement["normalised_residual"].isDouble());
}

void TCliTest::reportFiles_data()
{
  QTest::addColumn<QString>("name");
  QTest::addColumn<QByteArray>("start");
  QTest::newRow("pdf") << "report.pdf" << QByteArray("%PDF");
  QTest::newRow("html") << "report.HTML" << QByteArray("<!DOCTYPE html>");
}

void TCliTest::reportFiles()
{
  QFETCH(QString, name);
  QFETCH(QByteArray, start);
  const QString path = directory.filePath(name);
  const TRun run = Run({"--report", path, Example("demo.square")});
  QCOMPARE(run.status, 0);
  QFile file(path);
  QVERIFY(file.open(QIODevice::ReadOnly));
  QVERIFY(file.read(start.size()) == start);
}

QTEST_MAIN(TCliTest)
#include "test_cli.moc"
