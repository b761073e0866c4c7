// Step-gauge squareness files: face readings averaged per face and paired
// symmetrically, the first face with the last and so on inwards.
#include "measurement_factory.h"

#include <algorithm>

namespace
{
  constexpr int STEPGAUGE_POINT_FIELD_COUNT = 5;

  typedef std::vector<std::vector<TMeasurementFactory::TStepgaugeDataItem>> TFaceReadings;

  // Point: first integer, face number, value and two unused values. Readings
  // are grouped by face number so that averaging a face looks only at its own
  // readings; faces below 1 are never paired and are not kept.
  void Add_Stepgauge_Reading(const QString& line, TFaceReadings* face_readings, int* face_count)
  {
    const QVector<QStringRef> fields = line.midRef(6).split(QLatin1Char(','));
    if(fields.size() != STEPGAUGE_POINT_FIELD_COUNT)
      return;

    const TMeasurementFactory::TStepgaugeDataItem item = {fields[0].toInt(), fields[1].toInt(), fields[2].toDouble(),
                                                          fields[3].toDouble(), fields[4].toDouble()};
    // A face number beyond any real gauge would ask for a record per face up to it.
    if(item.position_index < 1 || item.position_index > TMeasurementFactory::MAXIMUM_STEPGAUGE_FACES)
      return;

    if(item.position_index >= int(face_readings->size()))
      face_readings->resize(size_t(item.position_index) + 1);
    (*face_readings)[size_t(item.position_index)].push_back(item);
    *face_count = std::max(*face_count, item.position_index);
  }
}

std::vector<TMeasurement*> TMeasurementFactory::Load_Stepgauge_Squareness_File(const QByteArray& file_data, TImportFileType)
{
  std::vector<TMeasurement*> measurements;

  TSectionHeader header;
  header.description = QStringLiteral("SQ");
  TFaceReadings face_readings(1);
  int face_count = 0;
  Read_Sections(file_data, &header, "Point:",
                [&](const QString& line) { Add_Stepgauge_Reading(line, &face_readings, &face_count); });

  for(int i = 1; i <= face_count / 2; ++i)
  {
    const int opposite = face_count + 1 - i;
    const double low = Get_Stepgauge_Position(face_readings[size_t(i)], i);
    const double high = Get_Stepgauge_Position(face_readings[size_t(opposite)], opposite);

    TMeasurementLength* length = new TMeasurementLength;
    length->Set_Draw_Offset(double(i));
    length->Set_Name(header.description + QString(".%1-%2").arg(i).arg(opposite));
    length->Set_Start_End_Points(header.translation + header.x_axis * low, header.translation + header.x_axis * high);
    length->Set_Actual_Length(high - low);
    length->Set_Nominal_Length(Round_Nominal_Length(high - low));
    measurements.push_back(length);
  }

  return measurements;
}

// Mean value of the readings at one face; 0.0 when the face has none.
double TMeasurementFactory::Get_Stepgauge_Position(const std::vector<TStepgaugeDataItem>& data, int position_index)
{
  double sum = 0.0;
  int count = 0;
  for(const TStepgaugeDataItem& item : data)
  {
    if(item.position_index == position_index)
    {
      sum += item.value;
      ++count;
    }
  }
  return (count > 0) ? sum / double(count) : 0.0;
}
