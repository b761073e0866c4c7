// Raw machine-and-laser files: readings along one axis, paired from the
// outside in. Kelvo files give a reading a line; B89 files fill slots whose
// pairs give the readings.
#include "measurement_factory.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <numeric>

#include "import_lines.h"
#include "import_recorder.h"

namespace
{
  constexpr int LASER_POINT_FIELD_COUNT = 8;
  constexpr int LASER_SLOT_COUNT = 30;
  constexpr int MAXIMUM_LASER_RECORDS = 9;
  constexpr double LASER_GROUP_SPACING = 1.0;

  // The lines a reading comes from: a Kelvo reading one, a B89 reading the
  // two of its slots; 0 where there is none.
  typedef std::array<int, 2> TReadingLines;

  // What a raw laser file holds.
  struct TLaserContent
  {
    TVector3 start_point;
    bool have_start_point = false;
    TVector3 measurement_axis;
    bool have_measurement_axis = false;
    bool scale_type = false;
    QString description{"SQ"};
    std::vector<TVector3> readings;
    std::vector<TReadingLines> reading_lines;
    std::array<TVector3, LASER_SLOT_COUNT> slot_readings;
    std::array<int, LASER_SLOT_COUNT> slot_lines{};
  };

  // Takes a header line; false for any other line.
  bool Read_Header_Line(const QString& line, bool in_measurement, TLaserContent* content)
  {
    if(Has_Keyword(line, "Start_Point:"))
    {
      if(Read_Vector(line.mid(12), &content->start_point))
        content->have_start_point = true;
    }
    else if(Has_Keyword(line, "Measurement_Axis:"))
    {
      if(Read_Vector(line.mid(17), &content->measurement_axis))
        content->have_measurement_axis = true;
    }
    else if(Has_Keyword(line, "Measurement_Type:"))
    {
      if(line.midRef(17).trimmed().startsWith(QLatin1String("Scale"), Qt::CaseInsensitive))
        content->scale_type = true;
    }
    else if(Has_Keyword(line, "Description:"))
    {
      if(in_measurement)
        content->description = line.mid(12).trimmed();
    }
    else
      return false;
    return true;
  }

  // Point: index, position key, laser value, machine value, four unused.
  void Add_Point(const QString& line, int line_number, TMeasurementFactory::TImportFileType file_type,
                 TLaserContent* content, TImportRecorder* recorder)
  {
    const QVector<QStringRef> fields = line.midRef(6).split(QLatin1Char(','));
    if(fields.size() != LASER_POINT_FIELD_COUNT)
      return recorder->Skip(line_number, [&] { return TImportRecorder::Field_Count(fields.size(), LASER_POINT_FIELD_COUNT); });

    const TVector3 reading = Field_Vector(fields, 1);
    if(file_type == TMeasurementFactory::IMPORT_KELVO_LASER)
    {
      content->readings.push_back(reading);
      content->reading_lines.push_back({line_number, 0});
      return;
    }

    const int index = fields[0].toInt();
    if(index < 0 || index >= LASER_SLOT_COUNT)
      return recorder->Skip(line_number, [&] { return QString("slot %1 is outside 0 to %2").arg(index).arg(LASER_SLOT_COUNT - 1); });

    const int earlier_line = content->slot_lines[size_t(index)];
    if(earlier_line > 0)
      recorder->Skip(earlier_line, [&] { return QString("slot %1 is read again at line %2").arg(index).arg(line_number); });
    content->slot_readings[size_t(index)] = reading;
    content->slot_lines[size_t(index)] = line_number;
  }

  // Each reading is the difference of a pair of slot readings, after a zero reading.
  void Readings_From_Slots(TLaserContent* content)
  {
    content->readings.assign(1, TVector3());
    content->reading_lines.assign(1, TReadingLines{0, 0});
    for(size_t k = 0; k < LASER_SLOT_COUNT / 2; ++k)
    {
      content->readings.push_back(content->slot_readings[2 * k + 1] - content->slot_readings[2 * k]);
      content->reading_lines.push_back({content->slot_lines[2 * k], content->slot_lines[2 * k + 1]});
    }
  }

  // What the header lacks to place the readings, or empty.
  QString Header_Problem(const TLaserContent& content)
  {
    if(!content.have_start_point)
      return QStringLiteral("the header has no start point (Start_Point:x,y,z)");
    if(!content.have_measurement_axis)
      return QStringLiteral("the header has no measurement axis (Measurement_Axis:x,y,z)");
    if(!content.scale_type)
      return QStringLiteral("the measurement type is not Scale (Measurement_Type:Scale)");
    return QString();
  }

  void Skip_Reading(const TReadingLines& lines, const QString& reason, TImportRecorder* recorder)
  {
    for(int line : lines)
    {
      if(line > 0)
        recorder->Skip(line, [&] { return reason; });
    }
  }

  bool Same_Position(const TVector3& first, const TVector3& second)
  {
    return std::fabs(first.x - second.x) < LASER_GROUP_SPACING;
  }

  // The readings whose merged position is not one of the paired outer ones
  // give no record. Readings are grouped as Combine_Farrowline_Laser_Points
  // groups them; among readings of equal or undefined position the order,
  // and so which of their lines is named, may differ from the sort's.
  void Skip_Unpaired(const TLaserContent& content, int group_count, int record_count, TImportRecorder* recorder)
  {
    const std::vector<TVector3>& readings = content.readings;
    std::vector<size_t> order(readings.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t first, size_t second) {
      return TMeasurementFactory::Sort_Farrowline_Laser_Item(readings[first], readings[second]);
    });

    int group = 0;
    for(size_t p = 0; p < order.size(); ++p)
    {
      if(p > 0 && !Same_Position(readings[order[p]], readings[order[p - 1]]))
        ++group;
      if(group >= record_count && group < group_count - record_count)
        Skip_Reading(content.reading_lines[order[p]],
                     QString("position %1 is not paired with another").arg(readings[order[p]].x), recorder);
    }
    assert(order.empty() || group + 1 == group_count);
  }

  // Pairs the merged readings from the outermost pair inwards: the second
  // component gives the actual length, the third the points and nominal length.
  void Add_Laser_Records(const std::vector<TVector3>& readings, const TVector3& start_point, const TVector3& axis,
                         const QString& description, std::vector<TMeasurement*>* measurements, TImportRecorder* recorder)
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
      recorder->Check_Direction(*length, start, end, 0);
      measurements->push_back(length);
    }
  }
}

std::vector<TMeasurement*> TMeasurementFactory::Load_Farrowline_Laser_File(const QByteArray& file_data, TImportFileType file_type,
                                                                           TImportReport* report)
{
  std::vector<TMeasurement*> measurements;
  TImportRecorder recorder(report);
  TLaserContent content;
  bool in_measurement = false;

  // Every line but the header and section keywords is meant as a reading.
  TDataLines lines(file_data);
  QString line;
  while(lines.Next(&line))
  {
    if(Has_Keyword(line, "Measurement_Begin:"))
      in_measurement = true;
    else if(Has_Keyword(line, "Measurement_End:"))
      in_measurement = false;
    else if(!Read_Header_Line(line, in_measurement, &content))
    {
      recorder.Data_Line();
      const bool is_point = Has_Keyword(line, "Point:");
      if(is_point && in_measurement)
        Add_Point(line, lines.Number(), file_type, &content, &recorder);
      else
        recorder.Skip(lines.Number(), [&] { return TImportRecorder::Misplaced_Line("Point:", is_point, false); });
    }
  }

  if(recorder.Skipped_Lines() == recorder.Data_Lines())
  {
    recorder.Nothing_Found(recorder.No_Usable_Line("is a reading inside a measurement section"));
    return measurements;
  }

  if(file_type == IMPORT_B89_MACHINE_AND_LASER)
    Readings_From_Slots(&content);

  const QString header_problem = Header_Problem(content);
  if(!header_problem.isEmpty())
  {
    for(const TReadingLines& reading_lines : content.reading_lines)
      Skip_Reading(reading_lines, header_problem, &recorder);
    recorder.Nothing_Found(QString("The readings cannot be placed: %1.").arg(header_problem));
    return measurements;
  }

  std::vector<TVector3> sorted = content.readings;
  std::sort(sorted.begin(), sorted.end(), Sort_Farrowline_Laser_Item);
  const std::vector<TVector3> combined = Combine_Farrowline_Laser_Points(sorted);

  Add_Laser_Records(combined, content.start_point, content.measurement_axis, content.description, &measurements, &recorder);
  Skip_Unpaired(content, int(combined.size()), int(measurements.size()), &recorder);
  // Readings of a usable line always give a position; only one gives no pair.
  if(measurements.empty())
    recorder.Nothing_Found(QString("Its readings all lie at one position (readings less than %1 apart are merged); "
                                   "a length needs two.").arg(LASER_GROUP_SPACING, 0, 'f', 1));
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
    if(Same_Position(points[i], points[i - 1]))
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
