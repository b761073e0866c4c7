// Display units, sign conventions and texts of the squareness errors.
#include <QtTest>

#include <optional>

#include "angleunit.h"
#include "signconvention.h"
#include "squaredisplay.h"

class TTestAngleUnit : public QObject
{
  Q_OBJECT

private slots:
  void angleUnits_data();
  void angleUnits();
  void displayedErrors_data();
  void displayedErrors();
  void conventionNames_data();
  void conventionNames();
  void missingValues();
};

void TTestAngleUnit::angleUnits_data()
{
  QTest::addColumn<int>("unit");
  QTest::addColumn<double>("per_mm_per_m");
  QTest::addColumn<QString>("label");
  QTest::addColumn<QString>("name");

  const QString micro(QChar(0x00B5));
  QTest::newRow("mm/m") << int(ANGLE_UNIT_MM_PER_M) << 1.0 << "mm/m" << "mm/m";
  QTest::newRow("um/m") << int(ANGLE_UNIT_UM_PER_M) << 1000.0 << micro + "m/m" << "um/m";
  QTest::newRow("urad") << int(ANGLE_UNIT_MICRORADIAN) << 1000.0 << micro + "rad" << "urad";
  QTest::newRow("arcsec") << int(ANGLE_UNIT_ARC_SECOND) << 206.264806 << "arcsec" << "arcsec";
}

void TTestAngleUnit::angleUnits()
{
  QFETCH(int, unit);
  QFETCH(double, per_mm_per_m);
  QFETCH(QString, label);
  QFETCH(QString, name);

  const TAngleUnit angle_unit = static_cast<TAngleUnit>(unit);
  QVERIFY(std::fabs(Convert_From_Mm_Per_M(0.25, angle_unit) - 0.25 * per_mm_per_m) < 1e-6);
  QCOMPARE(QString::fromUtf8(Angle_Unit_Label(angle_unit)), label);
  QCOMPARE(QString::fromUtf8(Angle_Unit_Name(angle_unit)), name);
  QVERIFY(Angle_Unit_From_Name(name.toStdString()) == std::optional<TAngleUnit>(angle_unit));
  QVERIFY(!Angle_Unit_From_Name(name.toUpper().toStdString() + "x"));
  QCOMPARE(int(DEFAULT_ANGLE_UNIT), int(ANGLE_UNIT_MM_PER_M));
}

// The solver's XY of 0.12345 mm/m shown by several makers in several units;
// the expected texts are worked out by hand.
void TTestAngleUnit::displayedErrors_data()
{
  QTest::addColumn<QString>("maker");
  QTest::addColumn<int>("error");
  QTest::addColumn<int>("unit");
  QTest::addColumn<QString>("text");

  QTest::newRow("BnS XY mm/m") << "BnS" << int(SQUARE_ERROR_XY) << int(ANGLE_UNIT_MM_PER_M) << "0.1235";
  QTest::newRow("AAT XY mm/m") << "AAT" << int(SQUARE_ERROR_XY) << int(ANGLE_UNIT_MM_PER_M) << "-0.1235";
  QTest::newRow("AAT ZX mm/m") << "AAT" << int(SQUARE_ERROR_ZX) << int(ANGLE_UNIT_MM_PER_M) << "0.1235";
  QTest::newRow("Renishaw ZX um/m") << "Renishaw" << int(SQUARE_ERROR_ZX) << int(ANGLE_UNIT_UM_PER_M) << "-123.5";
  QTest::newRow("Zeiss YZ urad") << "Zeiss" << int(SQUARE_ERROR_YZ) << int(ANGLE_UNIT_MICRORADIAN) << "-123.5";
  QTest::newRow("DEA ZX arcsec") << "DEA" << int(SQUARE_ERROR_ZX) << int(ANGLE_UNIT_ARC_SECOND) << "-25.46";
  QTest::newRow("Sheffield XY arcsec") << "Sheffield" << int(SQUARE_ERROR_XY) << int(ANGLE_UNIT_ARC_SECOND) << "25.46";
}

void TTestAngleUnit::displayedErrors()
{
  QFETCH(QString, maker);
  QFETCH(int, error);
  QFETCH(int, unit);
  QFETCH(QString, text);

  const std::optional<int> convention = Sign_Convention_Index(maker.toStdString());
  QVERIFY(convention);
  QCOMPARE(Error_Text(0.12345, true, TSquareError(error), *convention, TAngleUnit(unit)), text);
}

void TTestAngleUnit::conventionNames_data()
{
  QTest::addColumn<QString>("name");
  QTest::addColumn<int>("index");
  QTest::newRow("exact") << "BnS" << 1;
  QTest::newRow("lower case") << "renishaw" << 4;
  QTest::newRow("upper case") << "ZEISS" << 7;
  QTest::newRow("prefix") << "Ren" << -1;
  QTest::newRow("longer") << "Zeiss2" << -1;
  QTest::newRow("empty") << "" << -1;
}

void TTestAngleUnit::conventionNames()
{
  QFETCH(QString, name);
  QFETCH(int, index);
  const std::optional<int> found = Sign_Convention_Index(name.toStdString());
  QCOMPARE(found ? *found : -1, index);
  QCOMPARE(QString::fromLatin1(Sign_Conventions()[DEFAULT_SIGN_CONVENTION].maker), QString("BnS"));
}

void TTestAngleUnit::missingValues()
{
  QCOMPARE(Error_Text(0.5, false, SQUARE_ERROR_XY, 1, ANGLE_UNIT_UM_PER_M), QString("----"));
  QCOMPARE(Uncertainty_Text(std::nullopt, ANGLE_UNIT_MM_PER_M), QString("----"));
  QCOMPARE(Uncertainty_Text(0.0021, ANGLE_UNIT_UM_PER_M), QString("2.1"));
  QCOMPARE(Ratio_Text(std::nullopt), QString("----"));
  QCOMPARE(Ratio_Text(1.23456), QString("1.235"));
}

QTEST_GUILESS_MAIN(TTestAngleUnit)

#include "test_angleunit.moc"
