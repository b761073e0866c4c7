#include "import_recorder.h"

#include <QLatin1String>
#include <algorithm>
#include <cmath>

#include "measurement.h"

namespace
{
  // The shortest direction a record keeps; see TMeasurement::Set_Axis.
  constexpr double MINIMUM_DIRECTION_LENGTH = 1e-6;
}

TImportRecorder::TImportRecorder(TImportReport* report) : d_report(report ? report : &d_own_report)
{
  *d_report = TImportReport();
}

void TImportRecorder::Check_Direction(const TMeasurement& record, const TVector3& start, const TVector3& end, int line)
{
  if(Has_Direction(end - start))
    return;
  const QString name = record.Name();
  d_report->zero_direction_records.append(name.isEmpty() ? QString("line %1").arg(line) : name);
}

// A record's axis falls back to (1, 0, 0) when the direction has no length
// above 1e-6, or a component that is infinite or not a number. Finite
// components whose length overflows are scaled down first and keep it.
bool TImportRecorder::Has_Direction(const TVector3& direction)
{
  if(!std::isfinite(direction.x) || !std::isfinite(direction.y) || !std::isfinite(direction.z))
    return false;
  return direction.Length() > MINIMUM_DIRECTION_LENGTH;
}

QString TImportRecorder::No_Usable_Line(const QString& what) const
{
  const int count = d_report->data_lines;
  if(count == 0)
    return QStringLiteral("The file holds no data lines after its first line.");
  if(count == 1)
    return QString("Its one data line is no use: a usable line %1.").arg(what);
  return QString("None of its %1 data lines %2.").arg(count).arg(what);
}

QString TImportRecorder::Field_Count(int found, int expected)
{
  return QString("%1 %2, %3 expected").arg(found).arg(found == 1 ? "field" : "fields").arg(expected);
}

QString TImportRecorder::Misplaced_Line(const char* data_keyword, bool is_reading, bool in_alignment)
{
  if(!is_reading)
    return QString("not a '%1' reading").arg(QLatin1String(data_keyword));
  if(in_alignment)
    return QStringLiteral("a reading inside the alignment section");
  return QStringLiteral("a reading outside a measurement section");
}

bool TImportRecorder::Keeps_Detail(int line) const
{
  return int(d_detail_lines.size()) < TImportReport::MAXIMUM_SKIP_DETAILS || line < d_detail_lines.back();
}

// Keeps the details of the lowest line numbers, whatever order they come in.
void TImportRecorder::Insert_Detail(int line, const QString& reason)
{
  const auto position = std::upper_bound(d_detail_lines.begin(), d_detail_lines.end(), line);
  const int index = int(position - d_detail_lines.begin());
  d_detail_lines.insert(position, line);
  d_report->skip_details.insert(index, QString("line %1: %2").arg(line).arg(reason));

  if(int(d_detail_lines.size()) > TImportReport::MAXIMUM_SKIP_DETAILS)
  {
    d_detail_lines.pop_back();
    d_report->skip_details.removeLast();
  }
}
