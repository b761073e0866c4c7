// The window program's command line: the parser, the start with a file, and the
// exit statuses of the built program itself.
#include <QtTest>

#include <QDomDocument>
#include <QProcess>

#include "command_line.h"
#include "measurementset.h"
#include "orthavel.h"
#include "start_window.h"

Q_DECLARE_METATYPE(TCommandLine::TAction)

namespace
{
QString Example(const char* name)
{
  return QString(ORTHAVEL_EXAMPLES) + "/" + name;
}

// The number of <Measurement> elements in a project file, read with Qt's DOM.
int Project_Measurement_Count(const QString& path)
{
  QFile file(path);
  QDomDocument document;
  if(!file.open(QIODevice::ReadOnly) || !document.setContent(&file))
    return -1;
  return document.elementsByTagName(QStringLiteral("Measurement")).size();
}

// The number of data lines of an instrument file: neither its first line (the
// format tag) nor comments nor blank lines.
int Instrument_Data_Lines(const QString& path)
{
  QFile file(path);
  if(!file.open(QIODevice::ReadOnly | QIODevice::Text))
    return -1;
  const QStringList lines = QString::fromUtf8(file.readAll()).split('\n').mid(1);
  int count = 0;
  for(const QString& line : lines)
    if(!line.trimmed().isEmpty() && !line.startsWith('#'))
      ++count;
  return count;
}

struct TRun
{
  int status = -1;
  QString out;
  QString err;
};

// Runs the built program headless, or with no display at all.
TRun Run_Program(const QStringList& arguments, bool without_display)
{
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  if(without_display)
    for(const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
      environment.remove(name);
  else
    environment.insert("QT_QPA_PLATFORM", "offscreen");
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(ORTHAVEL_PROGRAM), arguments);
  TRun run;
  // Every run here ends at once on its own; waitForFinished only guards against a hang.
  if(!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
  {
    process.kill();
    process.waitForFinished();
    return run;
  }
  run.status = process.exitCode();
  run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
  run.err = QString::fromLocal8Bit(process.readAllStandardError());
  return run;
}
}

class TCommandLineTest : public QObject
{
  Q_OBJECT

private slots:
  void parse_data();
  void parse();
  void relative_file_becomes_absolute();
  void start_with_project();
  void start_with_instrument_file();
  void start_without_file();
  void program_usage_errors_data();
  void program_usage_errors();
  void program_help_and_version_data();
  void program_help_and_version();
};

void TCommandLineTest::parse_data()
{
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<TCommandLine::TAction>("action");
  QTest::addColumn<QString>("file");

  const QString project = Example("demo.square");
  QTest::newRow("nothing") << QStringList{"orthavel"} << TCommandLine::Start << QString();
  QTest::newRow("one file") << QStringList{"orthavel", project} << TCommandLine::Start << project;
  QTest::newRow("file after --") << QStringList{"orthavel", "--", "/tmp/-odd.square"} << TCommandLine::Start
                                 << QString("/tmp/-odd.square");
  QTest::newRow("--help") << QStringList{"orthavel", "--help"} << TCommandLine::Show_Help << QString();
  QTest::newRow("-h") << QStringList{"orthavel", "-h"} << TCommandLine::Show_Help << QString();
  QTest::newRow("--help with file") << QStringList{"orthavel", project, "--help"} << TCommandLine::Show_Help
                                    << QString();
  QTest::newRow("--version") << QStringList{"orthavel", "--version"} << TCommandLine::Show_Version << QString();
  QTest::newRow("unknown long") << QStringList{"orthavel", "--open"} << TCommandLine::Usage_Error << QString();
  QTest::newRow("unknown short") << QStringList{"orthavel", "-x", project} << TCommandLine::Usage_Error
                                 << QString();
  QTest::newRow("-v") << QStringList{"orthavel", "-v"} << TCommandLine::Usage_Error << QString();
  QTest::newRow("--version=1") << QStringList{"orthavel", "--version=1"} << TCommandLine::Usage_Error
                               << QString();
  QTest::newRow("two files") << QStringList{"orthavel", project, project} << TCommandLine::Usage_Error
                             << QString();
}

void TCommandLineTest::parse()
{
  QFETCH(QStringList, arguments);
  QFETCH(TCommandLine::TAction, action);
  QFETCH(QString, file);

  const TCommandLine command_line = Parse_Arguments(arguments);
  QCOMPARE(command_line.action, action);
  QCOMPARE(command_line.file, file);
  QCOMPARE(command_line.error.isEmpty(), action != TCommandLine::Usage_Error);
}

void TCommandLineTest::relative_file_becomes_absolute()
{
  const QString current = QDir::currentPath();
  QVERIFY(QDir::setCurrent(ORTHAVEL_EXAMPLES));
  const TCommandLine command_line = Parse_Arguments({"orthavel", "demo.square"});
  QDir::setCurrent(current);
  QCOMPARE(command_line.file, QFileInfo(Example("demo.square")).absoluteFilePath());
}

void TCommandLineTest::start_with_project()
{
  const QString path = Example("demo.square");
  const int expected = Project_Measurement_Count(path);
  QVERIFY(expected > 0);

  std::unique_ptr<TOrthavel> window(Start_Window(path));
  QVERIFY(window->isVisible());
  QTRY_COMPARE(int(window->Document()->Records().size()), expected);
  QCOMPARE(window->Document()->File_Name(), path);
  QVERIFY(!window->Document()->Is_Modified());
}

void TCommandLineTest::start_with_instrument_file()
{
  const QString path = Example("ballbar.dat");
  const int expected = Instrument_Data_Lines(path);
  QVERIFY(expected > 0);

  std::unique_ptr<TOrthavel> window(Start_Window(path));
  QTRY_COMPARE(int(window->Document()->Records().size()), expected);
  QVERIFY(window->Document()->File_Name().isEmpty());
  QVERIFY(window->Document()->Is_Modified());
}

void TCommandLineTest::start_without_file()
{
  std::unique_ptr<TOrthavel> window(Start_Window(QString()));
  QVERIFY(window->isVisible());
  QCoreApplication::processEvents();
  QVERIFY(window->Document()->Records().empty());
  QVERIFY(window->Document()->File_Name().isEmpty());
  QVERIFY(!window->Document()->Is_Modified());
}

// Rows: the arguments, and whether the program must answer them without a display. An
// unknown option may be one of Qt's own until QApplication has taken those, which needs
// a display (here the offscreen one).
void TCommandLineTest::program_usage_errors_data()
{
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<bool>("without_display");
  QTest::newRow("unknown option") << QStringList{"--bogus"} << false;
  QTest::newRow("unknown short option") << QStringList{"-q"} << false;
  QTest::newRow("unknown option after Qt's") << QStringList{"-platform", "offscreen", "--bogus"} << false;
  const QStringList two_files{Example("demo.square"), Example("ballbar.dat")};
  QTest::newRow("two files") << two_files << false;
  QTest::newRow("two files, no display") << two_files << true;
}

void TCommandLineTest::program_usage_errors()
{
  QFETCH(QStringList, arguments);
  QFETCH(bool, without_display);
  const TRun run = Run_Program(arguments, without_display);
  QCOMPARE(run.status, 2);
  QVERIFY(run.out.isEmpty());
  QVERIFY2(run.err.contains("orthavel: "), qPrintable(run.err));
  QVERIFY2(run.err.contains("Usage: orthavel"), qPrintable(run.err));
}

void TCommandLineTest::program_help_and_version_data()
{
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<bool>("without_display");
  QTest::addColumn<QString>("output_start");
  const QString version("orthavel " ORTHAVEL_VERSION "\n");
  QTest::newRow("--help") << QStringList{"--help"} << false << QString("Usage: orthavel");
  QTest::newRow("-h") << QStringList{"-h"} << false << QString("Usage: orthavel");
  QTest::newRow("--version") << QStringList{"--version"} << false << version;
  QTest::newRow("--help, no display") << QStringList{"--help"} << true << QString("Usage: orthavel");
  QTest::newRow("--version, no display") << QStringList{"--version"} << true << version;
  // QApplication takes its own options before the program reads the rest.
  QTest::newRow("Qt option first") << QStringList{"-platform", "offscreen", "--version"} << false << version;
  QTest::newRow("Qt option last") << QStringList{"--help", "-platform", "offscreen"} << false
                                  << QString("Usage: orthavel");
}

void TCommandLineTest::program_help_and_version()
{
  QFETCH(QStringList, arguments);
  QFETCH(bool, without_display);
  QFETCH(QString, output_start);
  const TRun run = Run_Program(arguments, without_display);
  QCOMPARE(run.status, 0);
  QVERIFY2(run.out.startsWith(output_start), qPrintable(run.out));
  // Qt's platform plugin may warn on stderr; the program itself reports nothing there.
  QVERIFY2(!run.err.contains("orthavel"), qPrintable(run.err));
}

QTEST_MAIN(TCommandLineTest)
#include "test_command_line.moc"
