// Shared by the measurement importer's tests: the records a file should make,
// written out field by field, and the check that compares them with the
// records loaded.
#ifndef MEASUREMENT_FACTORY_TEST_HELPERS_H
#define MEASUREMENT_FACTORY_TEST_HELPERS_H

#include <QtTest>
#include <cmath>
#include <memory>
#include <vector>

#include "measurement_factory.h"

namespace measurement_factory_test
{
  const double DEFAULT_NOMINAL_LENGTH = 346.4101615137754;

  struct TExpectedRecord
  {
    TMeasurement::TMeasurementType type = TMeasurement::MEASUREMENT_BALLBAR;
    QString name;
    TVector3 position;
    TVector3 axis;
    double nominal_length = 0.0;
    double actual_length = 0.0;
    double draw_offset = 0.0;
  };

  typedef std::vector<TExpectedRecord> TExpectedRecords;

  // Midpoint and unit direction of a line; (1, 0, 0) for a line of no length.
  inline void Set_Line(TExpectedRecord* record, const TVector3& start, const TVector3& end)
  {
    record->position = TVector3((start.x + end.x) / 2.0, (start.y + end.y) / 2.0, (start.z + end.z) / 2.0);
    const TVector3 direction = end - start;
    const double length = direction.Length();
    record->axis = (length > 1e-6) ? direction * (1.0 / length) : TVector3(1.0, 0.0, 0.0);
  }

  inline TExpectedRecord Ball_Bar(const QString& name, const TVector3& start, const TVector3& end, double actual_length)
  {
    TExpectedRecord record;
    record.type = TMeasurement::MEASUREMENT_BALLBAR;
    record.name = name;
    Set_Line(&record, start, end);
    record.nominal_length = DEFAULT_NOMINAL_LENGTH;
    record.actual_length = actual_length;
    record.draw_offset = 0.0;
    return record;
  }

  inline TExpectedRecord Length(const QString& name, const TVector3& start, const TVector3& end, double nominal_length,
                                double actual_length, double draw_offset)
  {
    TExpectedRecord record;
    record.type = TMeasurement::MEASUREMENT_LENGTH;
    record.name = name;
    Set_Line(&record, start, end);
    record.nominal_length = nominal_length;
    record.actual_length = actual_length;
    record.draw_offset = draw_offset;
    return record;
  }

  inline bool Close(double actual, double expected)
  {
    if(std::isnan(expected))
      return std::isnan(actual);
    return std::fabs(actual - expected) <= 1e-9 * std::max(1.0, std::fabs(expected));
  }

  inline QString Text(const TVector3& v)
  {
    return QString("(%1, %2, %3)").arg(v.x, 0, 'g', 17).arg(v.y, 0, 'g', 17).arg(v.z, 0, 'g', 17);
  }

  inline bool Close(const TVector3& actual, const TVector3& expected)
  {
    return Close(actual.x, expected.x) && Close(actual.y, expected.y) && Close(actual.z, expected.z);
  }

  // Takes ownership of the records and compares them field by field.
  inline void Check_Records(const std::vector<TMeasurement*>& loaded, const TExpectedRecords& expected)
  {
    const std::vector<std::unique_ptr<TMeasurement>> records(loaded.begin(), loaded.end());
    QCOMPARE(int(records.size()), int(expected.size()));

    for(size_t i = 0; i < records.size(); ++i)
    {
      const TMeasurement& record = *records[i];
      const TExpectedRecord& want = expected[i];
      const QByteArray where = QString("record %1 (%2)").arg(i).arg(want.name).toUtf8();

      QVERIFY2(record.Type() == want.type, where);
      QVERIFY2(record.Name() == want.name, (where + ": name " + record.Name().toUtf8()).constData());
      QVERIFY2(Close(record.Position(), want.position),
               (where + ": position " + Text(record.Position()).toUtf8() + " expected " + Text(want.position).toUtf8()).constData());
      QVERIFY2(Close(record.Axis(), want.axis),
               (where + ": axis " + Text(record.Axis()).toUtf8() + " expected " + Text(want.axis).toUtf8()).constData());
      QVERIFY2(Close(record.Nominal_Length(), want.nominal_length),
               (where + ": nominal " + QByteArray::number(record.Nominal_Length(), 'g', 17)).constData());
      QVERIFY2(Close(record.Actual_Length(), want.actual_length),
               (where + ": actual " + QByteArray::number(record.Actual_Length(), 'g', 17)).constData());
      QVERIFY2(Close(record.Draw_Offset(), want.draw_offset),
               (where + ": draw offset " + QByteArray::number(record.Draw_Offset(), 'g', 17)).constData());
    }
  }

  // Warnings raised while a results document is read.
  inline QStringList g_warnings;

  inline void Record_Message(QtMsgType type, const QMessageLogContext&, const QString& message)
  {
    if(type == QtWarningMsg)
      g_warnings.append(message);
  }
} // namespace measurement_factory_test

Q_DECLARE_METATYPE(measurement_factory_test::TExpectedRecords)

#endif
