// Display units of the squareness errors.
#include <QtTest>

#include <optional>

#include "angleunit.h"

class TTestAngleUnit : public QObject
{
  Q_OBJECT

private slots:
  void angleUnits_data();
  void angleUnits();
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

QTEST_GUILESS_MAIN(TTestAngleUnit)

#include "test_angleunit.moc"
