// The calibration report and the CSV export of the window, for the demo
// project: every section in its order, with the numbers the window shows and
// those of a fit computed here from the file; the CSV reads back to the same
// numbers whatever the locale; the Project Information dialog and its file.
#include <QtTest>

#include <QComboBox>
#include <QDir>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QProcess>
#include <QStandardPaths>

#include "fixedtext.h"
#include "projectfile.h"
#include "projectinformationdialog.h"
#include "recordcheck.h"
#include "reportfile.h"
#include "resultscsv.h"
#include "squaredisplay.h"
#include "squaresearch.h"
#include "window_helpers.h"
#include "windowtest.h"

namespace
{
const int fit_timeout_msec = 30000;

const char* const SECTIONS[] = {"1. Project", "2. Method", "3. Results", "4. Measurement geometry and residuals",
                                "5. Measurements", "6. Uncertainty settings"};
const char* const LABELS[] = {"xy_squareness_label",       "yz_squareness_label",       "zx_squareness_label",
                              "initial_min_length_label",  "initial_max_length_label",  "initial_min_error_label",
                              "initial_max_error_label",   "final_min_length_label",    "final_max_length_label",
                              "final_min_error_label",     "final_max_error_label"};

QString Demo()
{
  return QDir(QStringLiteral(ORTHAVEL_EXAMPLES)).filePath(QStringLiteral("demo.square"));
}

// The demo's fit computed here, from the file, by the analysis functions.
struct TIndependent
{
  TProjectFile::TRecords records;
  TMeasurementSnapshot snapshot;
  TFitResult fit;
  TSquareAnalysis analysis;
};

TIndependent Independent_Fit()
{
  TIndependent result;
  QString error;
  TProjectSettings settings;
  if(!TProjectFile::Load(Demo(), &result.records, &error, nullptr, &settings))
    qFatal("%s", qPrintable(error));
  std::vector<TMeasurement*> usable;
  for(const auto& record : result.records)
    if(Is_Fit_Usable(*record))
      usable.push_back(record.get());
  result.snapshot = Snapshot_Of(usable);
  result.fit = Fit_Square(result.snapshot);
  result.analysis = Analyse_Square(result.snapshot, result.fit, settings.uncertainty);
  return result;
}

QString Read_File(const QString& path)
{
  QFile file(path);
  if(!file.open(QIODevice::ReadOnly))
    return QString();
  return QString::fromUtf8(file.readAll());
}

// What a reader of the PDF finds in it.
QString Pdf_Text(const QString& path)
{
  QProcess process;
  process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
  if(!process.waitForFinished(30000))
    return QString();
  return QString::fromUtf8(process.readAllStandardOutput());
}

// Splits one CSV line (fields quoted with doubled quotes inside).
QStringList Csv_Fields(const QString& line)
{
  QStringList fields;
  QString field;
  bool quoted = false;
  for(int i = 0; i < line.size(); ++i)
  {
    const QChar c = line[i];
    if(quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"')
      field += c, ++i;
    else if(c == '"')
      quoted = !quoted;
    else if(c == ',' && !quoted)
      fields << field, field.clear();
    else
      field += c;
  }
  return fields << field;
}

double Csv_Number(const QString& text)
{
  bool ok = false;
  const double value = text.toDouble(&ok);
  if(!ok)
    qFatal("not a number: '%s'", qPrintable(text));
  return value;
}
}

class TReportTest : public TWindowTest
{
  Q_OBJECT

private slots:
  void init();
  void cleanup();
  void reportHoldsEverySection_data();
  void reportHoldsEverySection();
  void csvReadsBack_data();
  void csvReadsBack();
  void projectInformationDialog();
  void badInformationHoldsOk();
  void unwritableReportIsRefused();

private:
  QString Export(QAction* action, const QString& name);
  TIndependent independent;
};

void TReportTest::init()
{
  TWindowTest::init();
  QVERIFY(window->Load_Data(Demo()));
  QTRY_VERIFY_WITH_TIMEOUT(Text_Of(window, "final_max_length_label").toDouble() > 0.0, fit_timeout_msec);
  if(independent.records.empty())
    independent = Independent_Fit();
}

void TReportTest::cleanup()
{
  QLocale::setDefault(QLocale::c());
  TWindowTest::cleanup();
}

QString TReportTest::Export(QAction* action, const QString& name)
{
  const QString path = directory.filePath(name);
  TBoxRecorder boxes;
  const auto dialogs = Answer_All_File_Dialogs(path);
  action->trigger();
  if(!boxes.texts.isEmpty())
    qWarning("%s", qPrintable(boxes.texts.join('\n')));
  return QFile::exists(path) ? path : QString();
}

void TReportTest::reportHoldsEverySection_data()
{
  QTest::addColumn<QString>("name");
  QTest::addColumn<int>("sign");
  QTest::newRow("html") << "demo.html" << 1;
  QTest::newRow("html, Renishaw") << "demo.html" << 4;
  QTest::newRow("pdf") << "demo.pdf" << 1;
  QTest::newRow("pdf, Zeiss") << "demo.pdf" << 7;
}

void TReportTest::reportHoldsEverySection()
{
  QFETCH(QString, name);
  QFETCH(int, sign);
  Member<QComboBox>(window, "sign_combo")->setCurrentIndex(sign);
  const QString path = Export(Member<QAction>(window, "action_export_report"), name);
  QVERIFY(!path.isEmpty());
  const bool pdf = name.endsWith(".pdf");
  if(pdf)
    QVERIFY2(!QStandardPaths::findExecutable("pdftotext").isEmpty(), "pdftotext (poppler-utils) is not installed");
  const QString text = pdf ? Pdf_Text(path) : Read_File(path);
  QVERIFY(!text.isEmpty());

  int at = 0;
  for(const char* section : SECTIONS)
  {
    const int found = text.indexOf(section, at);
    QVERIFY2(found >= at, section);
    at = found;
  }
  QVERIFY(text.contains("Orthavel 3.1"));
  QVERIFY(text.contains("demo.square"));
  QVERIFY(text.contains(QString("Sign convention: %1").arg(Member<QComboBox>(window, "sign_combo")->currentText())));
  // The 3D view and the residual chart.
  if(!pdf)
    QCOMPARE(text.count("data:image/png;base64,"), 2);

  // The window's numbers, and the same from the fit made here.
  for(const char* label : LABELS)
    QVERIFY2(text.contains(Text_Of(window, label)), label);
  for(int i = 0; i < SQUARE_ERROR_COUNT; ++i)
  {
    const TSquareError error = TSquareError(i);
    const double values[] = {independent.fit.xy_error, independent.fit.yz_error, independent.fit.zx_error};
    QVERIFY(text.contains(Error_Text(values[i], true, error, sign, ANGLE_UNIT_MM_PER_M)));
    QVERIFY(text.contains(Uncertainty_Text(independent.analysis.errors[size_t(i)].expanded, ANGLE_UNIT_MM_PER_M)));
  }
  QVERIFY(text.contains(Fixed_Text(independent.fit.ballbar_length, 4) + " mm"));
  QVERIFY(text.contains(QString("%1 (n = %2, p = %3)")
                          .arg(independent.analysis.degrees_of_freedom)
                          .arg(independent.analysis.record_count)
                          .arg(independent.analysis.parameter_count)));
  QVERIFY(text.contains(Ratio_Text(independent.analysis.birge_ratio)));
  for(size_t row = 0; row < independent.records.size(); ++row)
  {
    QVERIFY(text.contains(independent.records[row]->Name()));
    QVERIFY(text.contains(Fixed_Text(independent.records[row]->Actual_Length(), 4)));
    QVERIFY(text.contains(Fixed_Text(*independent.analysis.residuals[row].deviation_before, 4)));
  }
}

void TReportTest::csvReadsBack_data()
{
  QTest::addColumn<QString>("locale");
  QTest::newRow("C") << "C";
  QTest::newRow("German") << "de_DE";
}

void TReportTest::csvReadsBack()
{
  QFETCH(QString, locale);
  QLocale::setDefault(QLocale(locale));
  const QString path = Export(Member<QAction>(window, "action_export_csv"), "demo");
  QVERIFY(path.isEmpty());
  const QString text = Read_File(directory.filePath("demo.csv"));
  const QStringList blocks = text.split("\n\n");
  QCOMPARE(blocks.size(), 2);

  const QStringList table = blocks[0].split('\n');
  QCOMPARE(table[0], QString(CSV_TABLE_HEADER));
  QCOMPARE(table.size() - 1, int(independent.records.size()));
  for(size_t row = 0; row < independent.records.size(); ++row)
  {
    const QStringList fields = Csv_Fields(table[int(row) + 1]);
    const TRecordResidual& residual = independent.analysis.residuals[row];
    QCOMPARE(fields.size(), 15);
    QCOMPARE(fields[0], independent.records[row]->Name());
    QCOMPARE(Csv_Number(fields[4]), independent.records[row]->Position().z);
    QCOMPARE(Csv_Number(fields[9]), independent.records[row]->Actual_Length());
    QCOMPARE(Csv_Number(fields[11]), *residual.deviation_before);
    QCOMPARE(Csv_Number(fields[12]), *residual.deviation_after);
    QCOMPARE(fields[14], residual.flagged ? QString("true") : QString("false"));
  }

  QMap<QString, QString> results;
  for(const QString& line : blocks[1].split('\n', Qt::SkipEmptyParts))
  {
    const QStringList fields = Csv_Fields(line);
    QCOMPARE(fields.size(), 2);
    results[fields[0]] = fields[1];
  }
  QCOMPARE(results["sign_convention"], QString("BnS"));
  QCOMPARE(Fixed_Text(Csv_Number(results["xy"]), 4), Text_Of(window, "xy_squareness_label"));
  QCOMPARE(Csv_Number(results["yz"]), independent.fit.yz_error);
  QCOMPARE(Csv_Number(results["zx_expanded_uncertainty"]), *independent.analysis.errors[SQUARE_ERROR_ZX].expanded);
  QCOMPARE(Csv_Number(results["ballbar_length_mm"]), independent.fit.ballbar_length);
  QCOMPARE(Csv_Number(results["final_max_error_mm"]), independent.fit.final_statistics.max_error);
  QCOMPARE(Fixed_Text(Csv_Number(results["initial_min_length_mm"]), 4), Text_Of(window, "initial_min_length_label"));
  QCOMPARE(results["degrees_of_freedom"].toInt(), independent.analysis.degrees_of_freedom);
}

void TReportTest::projectInformationDialog()
{
  bool seen = false;
  When_Shown<TProjectInformationDialog>(
    [](TProjectInformationDialog* dialog) {
      Type_Into(dialog, "customer_edit", "Precision & Co");
      Type_Into(dialog, "machine_maker_edit", "Acme");
      Type_Into(dialog, "measurement_date_edit", "2026-12-08");
      Type_Into(dialog, "air_temperature_edit", "20.25");
      Member<QPlainTextEdit>(dialog, "notes_edit")->setPlainText("Checked after the crash.\r\n\n");
      QTest::mouseClick(Member<QPushButton>(dialog, "add_instrument_button"), Qt::LeftButton);
      QTableWidget* table = Member<QTableWidget>(dialog, "instrument_table");
      table->item(0, 0)->setText("Ball bar 700");
      table->item(0, 2)->setText("CAL-17");
      Member<QDialogButtonBox>(dialog, "button_box")->button(QDialogButtonBox::Ok)->click();
    },
    &seen);
  QVERIFY(!window->Document()->Is_Modified());
  Member<QAction>(window, "action_project_information")->trigger();
  QVERIFY(seen);
  QVERIFY(window->Document()->Is_Modified());
  const TProjectInformation& information = window->Document()->Settings().information;
  QCOMPARE(information.customer, QString("Precision & Co"));
  QCOMPARE(information.measurement_date, QDate(2026, 12, 8));
  QCOMPARE(*information.air_temperature_c, 20.25);
  QVERIFY(!information.machine_temperature_c);
  QCOMPARE(information.notes, QString("Checked after the crash."));
  QCOMPARE(int(information.instruments.size()), 1);
  QCOMPARE(information.instruments[0].certificate, QString("CAL-17"));

  const QString text = Read_File(Export(Member<QAction>(window, "action_export_report"), "info.html"));
  for(const char* given : {"Precision &amp; Co", "Acme", "2026-12-08", "20.25 °C", "Ball bar 700", "CAL-17",
                           "Checked after the crash."})
    QVERIFY2(text.contains(QString::fromUtf8(given)), given);
}

void TReportTest::badInformationHoldsOk()
{
  TProjectInformation information;
  information.customer = "C";
  TProjectInformationDialog dialog(information, window);
  QPushButton* ok = Member<QDialogButtonBox>(&dialog, "button_box")->button(QDialogButtonBox::Ok);
  QVERIFY(ok->isEnabled());
  Type_Into(&dialog, "machine_temperature_edit", "20,5");
  QVERIFY(!ok->isEnabled());
  QVERIFY(Member<QLabel>(&dialog, "problem_label")->text().contains("machine temperature"));
  Type_Into(&dialog, "machine_temperature_edit", "20.5");
  Type_Into(&dialog, "measurement_date_edit", "2026-02-30");
  QVERIFY(!ok->isEnabled());
  Member<QLineEdit>(&dialog, "measurement_date_edit")->clear();
  QVERIFY(ok->isEnabled());
  QCOMPARE(*dialog.Information().machine_temperature_c, 20.5);
  QVERIFY(!dialog.Information().measurement_date.isValid());
}

void TReportTest::unwritableReportIsRefused()
{
  TReportContent content;
  QString error;
  QVERIFY(!Write_Report(directory.filePath("no such folder/report.pdf"), content, &error));
  QVERIFY2(error.startsWith("ERR:  Cannot write report"), qPrintable(error));
  QVERIFY(!Write_Report(directory.filePath("report.txt"), content, &error));
  QVERIFY2(error.contains(".pdf or .html"), qPrintable(error));
}

QTEST_MAIN(TReportTest)
#include "test_report.moc"
