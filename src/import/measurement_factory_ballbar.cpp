// Ball-bar files: the three line-per-bar formats and the sectioned 10360 raw format.
#include "measurement_factory.h"

#include <QStringList>
#include <array>

#include "import_lines.h"
#include "import_recorder.h"

namespace
{
  constexpr int BALLBAR_10360_POSITIONS = 5;
  constexpr int BALLBAR_10360_REPEATS = 3;
  constexpr int BALLBAR_10360_MAXIMUM_REPEAT = 2;
  constexpr int SPHERE_FIELD_COUNT = 8;

  // The readings of one sphere at each position, and the lines they come from.
  struct TSphereReadings
  {
    std::array<std::vector<TVector3>, BALLBAR_10360_POSITIONS> points;
    std::array<std::vector<int>, BALLBAR_10360_POSITIONS> lines;
  };

  // Sphere: label, position index, repeat number, x, y, z, two unread fields.
  // The fields are not trimmed, so the label starts right after the colon.
  void Add_Sphere_Reading(const QString& line, int line_number, TSphereReadings* sphere_a, TSphereReadings* sphere_b,
                          TImportRecorder* recorder)
  {
    const QVector<QStringRef> fields = line.midRef(7).split(QLatin1Char(','));
    if(fields.size() != SPHERE_FIELD_COUNT)
      return recorder->Skip(line_number, [&] { return TImportRecorder::Field_Count(fields.size(), SPHERE_FIELD_COUNT); });

    const QStringRef label = fields[0];
    const int position_index = fields[1].toInt();
    const int repeat = fields[2].toInt();
    if(label.isEmpty())
      return recorder->Skip(line_number, [] { return QStringLiteral("no sphere label"); });
    if(repeat > BALLBAR_10360_MAXIMUM_REPEAT)
      return recorder->Skip(line_number, [&] {
        return QString("repeat %1, at most %2 expected").arg(repeat).arg(BALLBAR_10360_MAXIMUM_REPEAT);
      });
    if(position_index < 0 || position_index >= BALLBAR_10360_POSITIONS)
      return recorder->Skip(line_number, [&] {
        return QString("position %1 is outside 0 to %2").arg(position_index).arg(BALLBAR_10360_POSITIONS - 1);
      });

    TSphereReadings* readings = (label.at(0) == QLatin1Char('A')) ? sphere_a : sphere_b;
    readings->points[size_t(position_index)].push_back(
      TVector3(fields[3].toDouble(), fields[4].toDouble(), fields[5].toDouble()));
    readings->lines[size_t(position_index)].push_back(line_number);
  }

  // The first position without exactly three readings, or -1.
  int Incomplete_Position(const TSphereReadings& readings)
  {
    for(int i = 0; i < BALLBAR_10360_POSITIONS; ++i)
    {
      if(readings.points[size_t(i)].size() != BALLBAR_10360_REPEATS)
        return i;
    }
    return -1;
  }

  // Why the readings make no bars, or empty when they are complete.
  QString Incomplete_Readings(const TSphereReadings& sphere_a, const TSphereReadings& sphere_b)
  {
    for(const TSphereReadings* readings : {&sphere_a, &sphere_b})
    {
      const int position = Incomplete_Position(*readings);
      if(position >= 0)
        return QString("sphere %1 has %2 readings at position %3, %4 expected")
          .arg(readings == &sphere_a ? "A" : "B")
          .arg(readings->points[size_t(position)].size())
          .arg(position)
          .arg(BALLBAR_10360_REPEATS);
    }
    return QString();
  }

  // Every reading line of a file that makes no bars gives no record.
  void Skip_Readings(const TSphereReadings& readings, const QString& reason, TImportRecorder* recorder)
  {
    for(const std::vector<int>& lines : readings.lines)
    {
      for(int line : lines)
        recorder->Skip(line, [&] { return reason; });
    }
  }

  TVector3 Mean_Point(const std::vector<TVector3>& points)
  {
    TVector3 sum;
    for(const TVector3& point : points)
      sum += point;
    return sum / double(points.size());
  }
}

std::vector<TMeasurement*> TMeasurementFactory::Load_Ballbar_File(const QByteArray& file_data, TImportFileType file_type,
                                                                  TImportReport* report)
{
  std::vector<TMeasurement*> measurements;
  TImportRecorder recorder(report);

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
      recorder.Nothing_Found(QStringLiteral("The file is not a ball-bar file."));
      return measurements;
  }

  // Every line after the identifier is meant as a bar.
  TDataLines lines(file_data);
  QString line;
  while(lines.Next(&line))
  {
    recorder.Data_Line();
    const QVector<QStringRef> fields = line.splitRef(QLatin1Char(','));
    if(fields.size() != field_count)
    {
      recorder.Skip(lines.Number(), [&] { return TImportRecorder::Field_Count(fields.size(), field_count); });
      continue;
    }

    const TVector3 offset = (offset_field < 0) ? TVector3() : Field_Vector(fields, offset_field);
    const TVector3 start = Field_Vector(fields, 2) + offset;
    const TVector3 end = Field_Vector(fields, 5) + offset;

    TMeasurementBallBar* ballbar = new TMeasurementBallBar;
    ballbar->Set_Name(fields[0].toString());
    ballbar->Set_Start_End_Points(start, end);
    ballbar->Set_Actual_Length((end - start).Length());
    recorder.Check_Direction(*ballbar, start, end, lines.Number());
    measurements.push_back(ballbar);
  }

  if(measurements.empty())
    recorder.Nothing_Found(recorder.No_Usable_Line(QString("has the %1 fields a ball-bar line needs").arg(field_count)));
  return measurements;
}

std::vector<TMeasurement*> TMeasurementFactory::Load_Ballbar_10360_File(const QByteArray& file_data, TImportFileType,
                                                                        TImportReport* report)
{
  std::vector<TMeasurement*> measurements;
  TImportRecorder recorder(report);

  TSectionHeader header;
  header.description = QStringLiteral("BB");
  TSphereReadings sphere_a;
  TSphereReadings sphere_b;
  Read_Sections(file_data, &header, "Sphere:", &recorder, [&](const QString& line, int line_number) {
    Add_Sphere_Reading(line, line_number, &sphere_a, &sphere_b, &recorder);
  });

  if(recorder.Skipped_Lines() == recorder.Data_Lines())
  {
    recorder.Nothing_Found(recorder.No_Usable_Line("is a sphere reading inside a measurement section"));
    return measurements;
  }
  const QString incomplete = Incomplete_Readings(sphere_a, sphere_b);
  if(!incomplete.isEmpty())
  {
    Skip_Readings(sphere_a, incomplete, &recorder);
    Skip_Readings(sphere_b, incomplete, &recorder);
    recorder.Nothing_Found(QString("The sphere readings are incomplete: %1.").arg(incomplete));
    return measurements;
  }

  double distance[BALLBAR_10360_POSITIONS];
  for(int i = 0; i < BALLBAR_10360_POSITIONS; ++i)
    distance[i] = (Mean_Point(sphere_b.points[size_t(i)]) - Mean_Point(sphere_a.points[size_t(i)])).Length();

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
    recorder.Check_Direction(*length, start, end, 0);
    measurements.push_back(length);
  }

  return measurements;
}
