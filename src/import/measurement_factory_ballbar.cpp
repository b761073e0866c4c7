// Ball-bar files: the three line-per-bar formats and the sectioned 10360 raw format.
#include "measurement_factory.h"

#include <QStringList>
#include <QTextStream>
#include <array>

namespace
{
  constexpr int BALLBAR_10360_POSITIONS = 5;
  constexpr int BALLBAR_10360_REPEATS = 3;
  constexpr int BALLBAR_10360_MAXIMUM_REPEAT = 2;
  constexpr int SPHERE_FIELD_COUNT = 8;

  typedef std::array<std::vector<TVector3>, BALLBAR_10360_POSITIONS> TSphereReadings;

  // Sphere: label, position index, repeat number, x, y, z, two unread fields.
  // The fields are not trimmed, so the label starts right after the colon.
  void Add_Sphere_Reading(const QString& line, TSphereReadings* sphere_a, TSphereReadings* sphere_b)
  {
    const QVector<QStringRef> fields = line.midRef(7).split(QLatin1Char(','));
    if(fields.size() != SPHERE_FIELD_COUNT)
      return;

    const QStringRef label = fields[0];
    const int position_index = fields[1].toInt();
    const int repeat = fields[2].toInt();
    if(label.isEmpty() || repeat > BALLBAR_10360_MAXIMUM_REPEAT)
      return;
    if(position_index < 0 || position_index >= BALLBAR_10360_POSITIONS)
      return;

    TSphereReadings* readings = (label.at(0) == QLatin1Char('A')) ? sphere_a : sphere_b;
    (*readings)[size_t(position_index)].push_back(
      TVector3(fields[3].toDouble(), fields[4].toDouble(), fields[5].toDouble()));
  }

  bool Readings_Complete(const TSphereReadings& readings)
  {
    for(const std::vector<TVector3>& points : readings)
    {
      if(points.size() != BALLBAR_10360_REPEATS)
        return false;
    }
    return true;
  }

  TVector3 Mean_Point(const std::vector<TVector3>& points)
  {
    TVector3 sum;
    for(const TVector3& point : points)
      sum += point;
    return sum / double(points.size());
  }
}

std::vector<TMeasurement*> TMeasurementFactory::Load_Ballbar_File(const QByteArray& file_data, TImportFileType file_type)
{
  std::vector<TMeasurement*> measurements;

  int field_count = 0;
  int offset_field = -1;  // none
  switch(file_type)
  {
    case IMPORT_BALLBAR_V1:
      field_count = 11;
      offset_field = 8;
      break;
    case IMPORT_BALLBAR_V2:
      field_count = 13;
      offset_field = 10;
      break;
    case IMPORT_B89_BALLBAR:
      field_count = 13;
      break;
    default:
      return measurements;
  }

  QTextStream stream(file_data, QIODevice::ReadOnly);
  stream.setCodec("UTF-8");
  QString line;
  while(Read_Data_Line(&stream, &line))
  {
    const QVector<QStringRef> fields = line.splitRef(QLatin1Char(','));
    if(fields.size() != field_count)
      continue;

    const TVector3 offset = (offset_field < 0) ? TVector3() : Field_Vector(fields, offset_field);
    const TVector3 start = Field_Vector(fields, 2) + offset;
    const TVector3 end = Field_Vector(fields, 5) + offset;

    TMeasurementBallBar* ballbar = new TMeasurementBallBar;
    ballbar->Set_Name(fields[0].toString());
    ballbar->Set_Start_End_Points(start, end);
    ballbar->Set_Actual_Length((end - start).Length());
    measurements.push_back(ballbar);
  }

  return measurements;
}

std::vector<TMeasurement*> TMeasurementFactory::Load_Ballbar_10360_File(const QByteArray& file_data, TImportFileType)
{
  std::vector<TMeasurement*> measurements;

  TSectionHeader header;
  header.description = QStringLiteral("BB");
  TSphereReadings sphere_a;
  TSphereReadings sphere_b;
  Read_Sections(file_data, &header, "Sphere:",
                [&](const QString& line) { Add_Sphere_Reading(line, &sphere_a, &sphere_b); });

  if(!Readings_Complete(sphere_a) || !Readings_Complete(sphere_b))
    return measurements;

  double distance[BALLBAR_10360_POSITIONS];
  for(int i = 0; i < BALLBAR_10360_POSITIONS; ++i)
    distance[i] = (Mean_Point(sphere_b[size_t(i)]) - Mean_Point(sphere_a[size_t(i)])).Length();

  // Nested along the X axis: the outermost pair first.
  const struct
  {
    const char* suffix;
    double start_distance;
    double end_distance;
    double draw_offset;
  } bars[] = {{"-3", 0.0, distance[4], 1.0}, {"-2", distance[0], distance[3], 2.0}, {"-1", distance[1], distance[2], 3.0}};

  for(const auto& bar : bars)
  {
    const TVector3 start = header.translation + header.x_axis * bar.start_distance;
    const TVector3 end = header.translation + header.x_axis * bar.end_distance;
    const double actual_length = (end - start).Length();

    TMeasurementLength* length = new TMeasurementLength;
    length->Set_Name(header.description + QLatin1String(bar.suffix));
    length->Set_Start_End_Points(start, end);
    length->Set_Actual_Length(actual_length);
    length->Set_Nominal_Length(Round_Nominal_Length(actual_length));
    length->Set_Draw_Offset(bar.draw_offset);
    measurements.push_back(length);
  }

  return measurements;
}
