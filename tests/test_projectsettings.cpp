// The project settings: their values, the document that keeps them and the
// optional element of the project file.
#include <QtTest>

#include <QSignalSpy>
#include <limits>
#include <memory>

#include "measurement.h"
#include "measurementset.h"
#include "projectfile.h"
#include "projectsettings.h"

Q_DECLARE_METATYPE(TProjectSettings)

namespace
{
const char* const HEADER = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

// A ball bar and a length record as the program writes them, by hand.
const char* const RECORDS_TEXT = "<Orthavel File_Version=\"1\">\n"
                                 "    <BallBar>\n"
                                 "        <Measurement>\n"
                                 "            <Name>B</Name>\n"
                                 "            <Position>1.000000,2.000000,3.000000</Position>\n"
                                 "            <Axis>1.000000000000,0.000000000000,0.000000000000</Axis>\n"
                                 "            <Actual_Length>700.250000</Actual_Length>\n"
                                 "        </Measurement>\n"
                                 "    </BallBar>\n"
                                 "    <Length>\n"
                                 "        <Measurement>\n"
                                 "            <Nominal_Length>500.000000</Nominal_Length>\n"
                                 "            <Draw_Offset>2.0</Draw_Offset>\n"
                                 "            <Name>L</Name>\n"
                                 "            <Position>0.000000,0.000000,0.000000</Position>\n"
                                 "            <Axis>0.000000000000,1.000000000000,0.000000000000</Axis>\n"
                                 "            <Actual_Length>500.001000</Actual_Length>\n"
                                 "        </Measurement>\n"
                                 "    </Length>\n";

std::vector<std::unique_ptr<TMeasurement>> Two_Records()
{
  std::vector<std::unique_ptr<TMeasurement>> records;
  auto ball_bar = std::make_unique<TMeasurementBallBar>();
  ball_bar->Set_Name("B");
  ball_bar->Set_Position(TVector3(1, 2, 3));
  ball_bar->Set_Axis(TVector3(1, 0, 0));
  ball_bar->Set_Actual_Length(700.25);
  records.push_back(std::move(ball_bar));
  auto length = std::make_unique<TMeasurementLength>();
  length->Set_Name("L");
  length->Set_Axis(TVector3(0, 1, 0));
  length->Set_Nominal_Length(500.0);
  length->Set_Actual_Length(500.001);
  length->Set_Draw_Offset(2.0);
  records.push_back(std::move(length));
  return records;
}

std::vector<TMeasurement*> Pointers(const std::vector<std::unique_ptr<TMeasurement>>& records)
{
  std::vector<TMeasurement*> pointers;
  for(const auto& record : records)
    pointers.push_back(record.get());
  return pointers;
}

TProjectSettings Settings_Of(double ball_bar_a, double ball_bar_b, double length_a, double length_b)
{
  TProjectSettings settings;
  settings.uncertainty.ball_bar = TLengthUncertainty{ball_bar_a, ball_bar_b};
  settings.uncertainty.length = TLengthUncertainty{length_a, length_b};
  return settings;
}

// Every field given, with text that XML must escape and characters beyond ASCII.
TProjectSettings Full_Information()
{
  TProjectSettings settings;
  TProjectInformation& information = settings.information;
  information.machine_maker = "Maker & Sons <GmbH>";
  information.machine_model = "Gantry \"5-axis\"";
  information.machine_serial_number = "SN-0042";
  information.customer = "Müller's Präzision ✓ 🛠";
  information.operator_name = "A. Operator";
  information.measurement_date = QDate(2026, 12, 9);
  information.instruments = {{"Ball bar", "BB-1", "CERT 17/2026"}, {"Laser", "", "L-9"}};
  information.air_temperature_c = 20.1;
  information.machine_temperature_c = -0.25;
  information.notes = "First line\n  indented second line\nthird";
  return settings;
}

QByteArray Project_With(const QString& settings_text)
{
  return (QString(HEADER) + RECORDS_TEXT + settings_text + "</Orthavel>\n").toUtf8();
}

QByteArray Uncertainty_Element(const QString& ball_bar, const QString& length)
{
  return QString("<Project_Settings><Uncertainty>%1%2</Uncertainty></Project_Settings>").arg(ball_bar, length).toUtf8();
}
}

class TTestProjectSettings : public QObject
{
  Q_OBJECT

private slots:
  void validity_data();
  void validity();
  void documentChangesMarkModified();
  void resetTakesSettingsUnmodified();
  void defaultSettingsWriteTheFileAsBefore();
  void settingsAreWrittenAfterTheLengths();
  void informationIsWrittenBesideTheSettings();
  void roundTrip_data();
  void roundTrip();
  void partialElements_data();
  void partialElements();
  void badValues_data();
  void badValues();
};

void TTestProjectSettings::validity_data()
{
  QTest::addColumn<double>("a");
  QTest::addColumn<double>("b");
  QTest::addColumn<bool>("valid");
  const double inf = std::numeric_limits<double>::infinity();
  QTest::newRow("defaults") << 1.0 << 1.0 << true;
  QTest::newRow("zero") << 0.0 << 0.0 << true;
  QTest::newRow("negative a") << -0.1 << 1.0 << false;
  QTest::newRow("negative b") << 1.0 << -2.0 << false;
  QTest::newRow("infinite") << inf << 1.0 << false;
  QTest::newRow("nan") << 1.0 << std::numeric_limits<double>::quiet_NaN() << false;
}

void TTestProjectSettings::validity()
{
  QFETCH(double, a);
  QFETCH(double, b);
  QFETCH(bool, valid);
  QCOMPARE(TLengthUncertainty({a, b}).Is_Valid(), valid);
}

void TTestProjectSettings::documentChangesMarkModified()
{
  TMeasurementSet document;
  QVERIFY(document.Settings().Is_Default());
  QSignalSpy changed(&document, &TMeasurementSet::Settings_Changed);
  QSignalSpy set_changed(&document, &TMeasurementSet::Set_Changed);

  document.Set_Settings(TProjectSettings());
  QCOMPARE(changed.count(), 0);
  QVERIFY(!document.Is_Modified());

  const TProjectSettings settings = Settings_Of(2.0, 3.0, 0.25, 0.75);
  document.Set_Settings(settings);
  QCOMPARE(changed.count(), 1);
  QCOMPARE(set_changed.count(), 0);
  QVERIFY(document.Is_Modified());
  QVERIFY(document.Settings() == settings);
}

void TTestProjectSettings::resetTakesSettingsUnmodified()
{
  TMeasurementSet document;
  QSignalSpy changed(&document, &TMeasurementSet::Settings_Changed);
  const TProjectSettings settings = Settings_Of(2.0, 3.0, 0.25, 0.75);
  document.Reset(Two_Records(), settings);
  QCOMPARE(changed.count(), 1);
  QVERIFY(!document.Is_Modified());
  QVERIFY(document.Settings() == settings);

  // New: the defaults again.
  document.Reset();
  QCOMPARE(changed.count(), 2);
  QVERIFY(document.Settings().Is_Default());
  document.Reset();
  QCOMPARE(changed.count(), 2);
}

void TTestProjectSettings::defaultSettingsWriteTheFileAsBefore()
{
  const auto records = Two_Records();
  QByteArray data;
  QString error;
  QVERIFY(TProjectFile::Save_Data(&data, Pointers(records), &error, TProjectSettings()));
  QCOMPARE(data, Project_With(QString()));
  QByteArray without;
  QVERIFY(TProjectFile::Save_Data(&without, Pointers(records), &error));
  QCOMPARE(without, data);
}

void TTestProjectSettings::settingsAreWrittenAfterTheLengths()
{
  const auto records = Two_Records();
  QByteArray data;
  QString error;
  QVERIFY(TProjectFile::Save_Data(&data, Pointers(records), &error, Settings_Of(2.0, 0.1, 0.0, 1.5)));
  QCOMPARE(data, Project_With("    <Project_Settings>\n"
                              "        <Uncertainty>\n"
                              "            <Ball_Bar>\n"
                              "                <Constant_um>2</Constant_um>\n"
                              "                <Proportional_um_per_m>0.1</Proportional_um_per_m>\n"
                              "            </Ball_Bar>\n"
                              "            <Length>\n"
                              "                <Constant_um>0</Constant_um>\n"
                              "                <Proportional_um_per_m>1.5</Proportional_um_per_m>\n"
                              "            </Length>\n"
                              "        </Uncertainty>\n"
                              "    </Project_Settings>\n"));

  // The records read as they do without the element.
  TProjectFile::TRecords read;
  QVERIFY(TProjectFile::Load_Data(data, &read, &error));
  QCOMPARE(read.size(), size_t(2));
  QCOMPARE(read[0]->Name(), QString("B"));
  QCOMPARE(read[1]->Actual_Length(), 500.001);
}

// Information without settings writes no settings element; each value is an element's text.
void TTestProjectSettings::informationIsWrittenBesideTheSettings()
{
  const auto records = Two_Records();
  TProjectSettings settings;
  settings.information.customer = "C & D";
  settings.information.instruments = {{"Ball bar", "", "17"}};
  settings.information.air_temperature_c = 20.5;
  QVERIFY(!settings.Is_Default());
  QByteArray data;
  QString error;
  QVERIFY(TProjectFile::Save_Data(&data, Pointers(records), &error, settings));
  QCOMPARE(data, Project_With("    <Project_Information>\n"
                              "        <Customer>C &amp; D</Customer>\n"
                              "        <Instruments>\n"
                              "            <Instrument>\n"
                              "                <Name>Ball bar</Name>\n"
                              "                <Certificate>17</Certificate>\n"
                              "            </Instrument>\n"
                              "        </Instruments>\n"
                              "        <Air_Temperature_C>20.5</Air_Temperature_C>\n"
                              "    </Project_Information>\n"));

  settings.uncertainty.length.constant_um = 2.0;
  QVERIFY(TProjectFile::Save_Data(&data, Pointers(records), &error, settings));
  QVERIFY(data.indexOf("<Project_Settings>") > data.indexOf("</Length>"));
  QVERIFY(data.indexOf("<Project_Information>") > data.indexOf("</Project_Settings>"));
}

void TTestProjectSettings::roundTrip_data()
{
  QTest::addColumn<TProjectSettings>("settings");
  QTest::newRow("defaults") << TProjectSettings();
  QTest::newRow("tenths") << Settings_Of(0.1, 0.2, 0.3, 0.7);
  QTest::newRow("zero") << Settings_Of(0.0, 0.0, 0.0, 0.0);
  QTest::newRow("thirds") << Settings_Of(1.0 / 3.0, 2.0 / 3.0, 1e-9, 12345.678901234);
  QTest::newRow("large") << Settings_Of(1e300, 5e-324, 7.0, 1.0);
  QTest::newRow("information") << Full_Information();
  TProjectSettings both = Full_Information();
  both.uncertainty = Settings_Of(2.0, 0.5, 1.0, 0.0).uncertainty;
  QTest::newRow("information and uncertainty") << both;
  TProjectSettings date_only;
  date_only.information.measurement_date = QDate(1999, 2, 28);
  QTest::newRow("date only") << date_only;
  TProjectSettings temperature_only;
  temperature_only.information.machine_temperature_c = 1.0 / 3.0;
  QTest::newRow("temperature only") << temperature_only;
}

void TTestProjectSettings::roundTrip()
{
  QFETCH(TProjectSettings, settings);
  const auto records = Two_Records();
  QTemporaryDir directory;
  const QString path = directory.filePath("settings.square");
  QString error;
  QVERIFY2(TProjectFile::Save(path, Pointers(records), &error, settings), qPrintable(error));
  TProjectFile::TRecords read;
  TProjectSettings loaded = Settings_Of(9, 9, 9, 9);
  QVERIFY2(TProjectFile::Load(path, &read, &error, nullptr, &loaded), qPrintable(error));
  QVERIFY(loaded == settings);
  QCOMPARE(read.size(), size_t(2));
}

void TTestProjectSettings::partialElements_data()
{
  QTest::addColumn<QByteArray>("element");
  QTest::addColumn<TProjectSettings>("expected");
  const TProjectSettings defaults;
  QTest::newRow("none") << QByteArray() << defaults;
  QTest::newRow("empty settings") << QByteArray("<Project_Settings/>") << defaults;
  QTest::newRow("empty uncertainty") << Uncertainty_Element("", "") << defaults;
  QTest::newRow("ball bar only") << Uncertainty_Element("<Ball_Bar><Constant_um>3</Constant_um><Proportional_um_per_m>4</Proportional_um_per_m></Ball_Bar>", "")
                                 << Settings_Of(3, 4, 0.5, 0.5);
  QTest::newRow("length only") << Uncertainty_Element("", "<Length><Constant_um> 1e-1 </Constant_um><Proportional_um_per_m>0</Proportional_um_per_m></Length>")
                               << Settings_Of(1, 1, 0.1, 0);
}

void TTestProjectSettings::partialElements()
{
  QFETCH(QByteArray, element);
  QFETCH(TProjectSettings, expected);
  TProjectFile::TRecords read;
  QString error;
  TProjectSettings loaded = Settings_Of(9, 9, 9, 9);
  QVERIFY2(TProjectFile::Load_Data(Project_With(element), &read, &error, nullptr, &loaded), qPrintable(error));
  QVERIFY(loaded == expected);
}

void TTestProjectSettings::badValues_data()
{
  QTest::addColumn<QByteArray>("element");
  QTest::addColumn<QString>("message");
  const QString prefix = "ERR:  The project setting Uncertainty/";
  QTest::newRow("text") << Uncertainty_Element("<Ball_Bar><Constant_um>abc</Constant_um><Proportional_um_per_m>1</Proportional_um_per_m></Ball_Bar>", "")
                        << prefix + "Ball_Bar/Constant_um must be a number of 0 or more, not 'abc'";
  QTest::newRow("negative") << Uncertainty_Element("", "<Length><Constant_um>1</Constant_um><Proportional_um_per_m>-0.5</Proportional_um_per_m></Length>")
                            << prefix + "Length/Proportional_um_per_m must be a number of 0 or more, not '-0.5'";
  QTest::newRow("nan") << Uncertainty_Element("", "<Length><Constant_um>nan</Constant_um><Proportional_um_per_m>1</Proportional_um_per_m></Length>")
                       << prefix + "Length/Constant_um must be a number of 0 or more, not 'nan'";
  QTest::newRow("overflow") << Uncertainty_Element("<Ball_Bar><Constant_um>1</Constant_um><Proportional_um_per_m>1e999</Proportional_um_per_m></Ball_Bar>", "")
                            << prefix + "Ball_Bar/Proportional_um_per_m must be a number of 0 or more, not '1e999'";
  QTest::newRow("comma") << Uncertainty_Element("<Ball_Bar><Constant_um>1,5</Constant_um><Proportional_um_per_m>1</Proportional_um_per_m></Ball_Bar>", "")
                         << prefix + "Ball_Bar/Constant_um must be a number of 0 or more, not '1,5'";
  QTest::newRow("empty") << Uncertainty_Element("<Ball_Bar><Constant_um></Constant_um><Proportional_um_per_m>1</Proportional_um_per_m></Ball_Bar>", "")
                         << prefix + "Ball_Bar/Constant_um must be a number of 0 or more, not ''";
  QTest::newRow("missing") << Uncertainty_Element("<Ball_Bar><Constant_um>1</Constant_um></Ball_Bar>", "")
                           << "ERR:  Node 'Proportional_um_per_m' is missing from node 'Ball_Bar' and not optional.";
  QTest::newRow("date") << QByteArray("<Project_Information><Measurement_Date>2026-13-01</Measurement_Date></Project_Information>")
                        << "ERR:  The project information Measurement_Date must be a date written YYYY-MM-DD, not '2026-13-01'";
  QTest::newRow("temperature") << QByteArray("<Project_Information><Air_Temperature_C>20,5</Air_Temperature_C></Project_Information>")
                               << "ERR:  The project information Air_Temperature_C must be a number, not '20,5'";
}

void TTestProjectSettings::badValues()
{
  QFETCH(QByteArray, element);
  QFETCH(QString, message);
  TProjectFile::TRecords read;
  QString error;
  TProjectSettings loaded = Settings_Of(9, 9, 9, 9);
  QVERIFY(!TProjectFile::Load_Data(Project_With(element), &read, &error, nullptr, &loaded));
  QCOMPARE(error, message);
  QVERIFY(loaded == Settings_Of(9, 9, 9, 9));
}

QTEST_MAIN(TTestProjectSettings)
#include "test_projectsettings.moc"
