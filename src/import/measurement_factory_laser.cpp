// Laser files: ready-made length data, and the raw machine-and-laser formats
// whose readings along one axis are paired from the outside in.
#include "measurement_factory.h"

#include <QTextStream>
#include <algorithm>
#include <array>
#include <cmath>

namespace
{
  constexpr int LENGTH_DATA_FIELD_COUNT = 8;
  constexpr int LASER_POINT_FIELD_COUNT = 8;
  constexpr int LASER_SLOT_COUNT = 30;
  constexpr int MAXIMUM_LASER_RECORDS = 9;
  constexpr double LASER_GROUP_SPACING = 1.0;

  typedef std::array<TVector3, LASER_SLOT_COUNT> TLaserSlots;

  // Each reading is the difference of a pair of slot_readings, after a zero reading.
  std::vector<TVector3> Readings_From_Slots(const TLaserSlots& slot_readings)
  {
    std::vector<TVector3> readings;
    readings.reserve(LASER_SLOT_COUNT / 2 + 1);
    readings.push_back(TVector3());
    for(int k = 0; k < LASER_SLOT_COUNT / 2; ++k)
      readings.push_back(slot_readings[size_t(2 * k + 1)] - slot_readings[size_t(2 * k)]);
    return readings;
  }

  // Pairs the merged readings from the outermost pair inwards: the second
  // component gives the actual length, the third the points and nominal length.
  void Add_Laser_Records(const std::vector<TVector3>& readings, const TVector3& start_point, const TVector3& axis,
                         const QString& description, std::vector<TMeasurement*>* measurements)
  {
    const int count = int(readings.size());
    const int record_count = std::min(count / 2, MAXIMUM_LASER_RECORDS);
    for(int i = 0; i < record_count; ++i)
    {
      const TVector3& first = readings[size_t(i)];
      const TVector3& last = readings[size_t(count - 1 - i)];

      const TVector3 actual_start = start_point + axis * first.y;
      const TVector3 actual_end = start_point + axis * last.y;
      const TVector3 start = start_point + axis * first.z;
      const TVector3 end = start_point + axis * last.z;

      TMeasurementLength* length = new TMeasurementLength;
      length->Set_Draw_Offset(1.0 + i);
      length->Set_Name(description + QString(".%1-%2").arg(i + 1).arg(count - i));
      length->Set_Actual_Length((actual_end - actual_start).Length());
      length->Set_Start_End_Points(start, end);
      length->Set_Nominal_Length((end - start).Length());
      measurements->push_back(length);
    }
  }
}

std::vector<TMeasurement*> TMeasurementFactory::Load_Laser_File(const QByteArray& file_data, TImportFileType)
{
  std::vector<TMeasurement*> measurements;

  bool in_data = false;
  double draw_offset = 1.0;

  QTextStream stream(file_data, QIODevice::ReadOnly);
  stream.setCodec("UTF-8");
  QString line;
  while(Read_Data_Line(&stream, &line))
  {
    if(Has_Keyword(line, ":Data_Begin"))
    {
      in_data = true;
      draw_offset = 1.0;
      continue;
    }
    if(Has_Keyword(line, ":Data_End"))
    {
      in_data = false;
      continue;
    }
    if(!in_data)
      continue;

    const QVector<QStringRef> fields = line.splitRef(QLatin1Char(','));
    if(fields.size() != LENGTH_DATA_FIELD_COUNT)
      continue;

    TMeasurementLength* length = new TMeasurementLength;
    length->Set_Name(QString("Length %1").arg(measurements.size() + 1));
    length->Set_Start_End_Points(Field_Vector(fields, 0), Field_Vector(fields, 3));
    length->Set_Nominal_Length(fields[6].toDouble());
    length->Set_Actual_Length(fields[7].toDouble());
    length->Set_Draw_Offset(draw_offset);
    draw_offset += 1.0;
    measurements.push_back(length);
  }

  return measurements;
}

std::vector<TMeasurement*> TMeasurementFactory::Load_Farrowline_Laser_File(const QByteArray& file_data, TImportFileType file_type)
{
  std::vector<TMeasurement*> measurements;

  TVector3 start_point;
  bool have_start_point = false;
  TVector3 measurement_axis;
  bool have_measurement_axis = false;
  bool scale_type = false;
  bool in_measurement = false;
  QString description("SQ");
  std::vector<TVector3> readings;
  TLaserSlots slot_readings;

  QTextStream stream(file_data, QIODevice::ReadOnly);
  stream.setCodec("UTF-8");
  QString line;
  while(Read_Data_Line(&stream, &line))
  {
    if(Has_Keyword(line, "Start_Point:"))
    {
      if(Read_Vector(line.mid(12), &start_point))
        have_start_point = true;
    }
    else if(Has_Keyword(line, "Measurement_Axis:"))
    {
      if(Read_Vector(line.mid(17), &measurement_axis))
        have_measurement_axis = true;
    }
    else if(Has_Keyword(line, "Measurement_Type:"))
    {
      if(line.midRef(17).trimmed().startsWith(QLatin1String("Scale"), Qt::CaseInsensitive))
        scale_type = true;
    }
    else if(Has_Keyword(line, "Measurement_Begin:"))
      in_measurement = true;
    else if(Has_Keyword(line, "Measurement_End:"))
      in_measurement = false;
    else if(!in_measurement)
      continue;
    else if(Has_Keyword(line, "Point:"))
    {
      const QVector<QStringRef> fields = line.midRef(6).split(QLatin1Char(','));
      if(fields.size() != LASER_POINT_FIELD_COUNT)
        continue;

      const TVector3 reading = Field_Vector(fields, 1);
      if(file_type == IMPORT_KELVO_LASER)
        readings.push_back(reading);
      else
      {
        const int index = fields[0].toInt();
        if(index >= 0 && index < LASER_SLOT_COUNT)
          slot_readings[size_t(index)] = reading;
      }
    }
    else if(Has_Keyword(line, "Description:"))
      description = line.mid(12).trimmed();
  }

  if(!have_measurement_axis || !scale_type || !have_start_point)
    return measurements;

  if(file_type == IMPORT_B89_MACHINE_AND_LASER)
    readings = Readings_From_Slots(slot_readings);

  std::sort(readings.begin(), readings.end(), Sort_Farrowline_Laser_Item);
  readings = Combine_Farrowline_Laser_Points(readings);

  Add_Laser_Records(readings, start_point, measurement_axis, description, &measurements);
  return measurements;
}

// Ascending by position key. Positions that are not a number order after all
// others, so the ordering stays strict and weak whatever the file holds.
bool TMeasurementFactory::Sort_Farrowline_Laser_Item(const TVector3& first, const TVector3& second)
{
  if(std::isnan(first.x))
    return false;
  if(std::isnan(second.x))
    return true;
  return first.x < second.x;
}

// Merges runs of sorted readings whose neighbouring positions are less than
// 1.0 apart into their mean.
std::vector<TVector3> TMeasurementFactory::Combine_Farrowline_Laser_Points(const std::vector<TVector3>& points)
{
  std::vector<TVector3> combined;
  if(points.empty())
    return combined;

  TVector3 sum = points.front();
  int group_size = 1;
  for(size_t i = 1; i < points.size(); ++i)
  {
    if(std::fabs(points[i].x - points[i - 1].x) < LASER_GROUP_SPACING)
    {
      sum += points[i];
      ++group_size;
      continue;
    }
    combined.push_back(sum / double(group_size));
    sum = points[i];
    group_size = 1;
  }
  combined.push_back(sum / double(group_size));

  return combined;
}
