// Tests of the results document loader: its ball-bar and step-gauge parts,
// and the warning a document that stops the reading gives.
#include <QtTest>
#include <cmath>

#include "measurement_factory.h"
#include "measurement_factory_test_helpers.h"

using namespace measurement_factory_test;

namespace
{
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

class TTestMeasurementFactoryResults : public QObject
{
  Q_OBJECT

private slots:
  void results_files_data();
  void results_files();
};

void TTestMeasurementFactoryResults::results_files_data()
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

void TTestMeasurementFactoryResults::results_files()
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

QTEST_GUILESS_MAIN(TTestMeasurementFactoryResults)
#include "test_measurement_factory_results.moc"
