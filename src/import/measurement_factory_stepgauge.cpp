// Step-gauge squareness files: face readings averaged per face and paired
// symmetrically, the first face with the last and so on inwards.
#include "measurement_factory.h"

#include <algorithm>

#include "import_recorder.h"

namespace
{
  constexpr int STEPGAUGE_POINT_FIELD_COUNT = 5;

  // The readings grouped by face number, and the lines they come from.
  struct TFaceReadings
  {
    TFaceReadings() : items(1), lines(1) {}

    std::vector<std::vector<TMeasurementFactory::TStepgaugeDataItem>> items;
    std::vector<std::vector<int>> lines;
    int face_count = 0;
  };

  // Point: first integer, face number, value and two unused values. Readings
  // are grouped by face number so that averaging a face looks only at its own
  // readings; faces below 1 are never paired and are not kept.
  void Add_Stepgauge_Reading(const QString& line, int line_number, TFaceReadings* faces, TImportRecorder* recorder)
  {
    const QVector<QStringRef> fields = line.midRef(6).split(QLatin1Char(','));
    if(fields.size() != STEPGAUGE_POINT_FIELD_COUNT)
      return recorder->Skip(line_number,
                            [&] { return TImportRecorder::Field_Count(fields.size(), STEPGAUGE_POINT_FIELD_COUNT); });

    const TMeasurementFactory::TStepgaugeDataItem item = {fields[0].toInt(), fields[1].toInt(), fields[2].toDouble(),
                                                          fields[3].toDouble(), fields[4].toDouble()};
    // A face number beyond any real gauge would ask for a record per face up to it.
    if(item.position_index < 1 || item.position_index > TMeasurementFactory::MAXIMUM_STEPGAUGE_FACES)
      return recorder->Skip(line_number, [&] {
        return QString("face %1 is outside 1 to %2").arg(item.position_index).arg(TMeasurementFactory::MAXIMUM_STEPGAUGE_FACES);
      });

    if(item.position_index >= int(faces->items.size()))
    {
      faces->items.resize(size_t(item.position_index) + 1);
      faces->lines.resize(size_t(item.position_index) + 1);
    }
    faces->items[size_t(item.position_index)].push_back(item);
    faces->lines[size_t(item.position_index)].push_back(line_number);
    faces->face_count = std::max(faces->face_count, item.position_index);
  }

  // A gauge of one face gives no length: its readings are skipped. The
  // middle face of an odd number of faces has no opposite face either, but
  // it is part of an ordinary gauge and not reported.
  void Skip_Middle_Face(const TFaceReadings& faces, TImportRecorder* recorder)
  {
    if(faces.face_count != 1)
      return;
    const int middle = (faces.face_count + 1) / 2;
    for(int line : faces.lines[size_t(middle)])
      recorder->Skip(line, [&] { return QString("face %1 has no opposite face").arg(middle); });
  }
}

std::vector<TMeasurement*> TMeasurementFactory::Load_Stepgauge_Squareness_File(const QByteArray& file_data, TImportFileType,
                                                                               TImportReport* report)
{
  std::vector<TMeasurement*> measurements;
  TImportRecorder recorder(report);

  TSectionHeader header;
  header.description = QStringLiteral("SQ");
  TFaceReadings faces;
  Read_Sections(file_data, &header, "Point:", &recorder, [&](const QString& line, int line_number) {
    Add_Stepgauge_Reading(line, line_number, &faces, &recorder);
  });
  Skip_Middle_Face(faces, &recorder);

  const int face_count = faces.face_count;
  for(int i = 1; i <= face_count / 2; ++i)
  {
    const int opposite = face_count + 1 - i;
    const double low = Get_Stepgauge_Position(faces.items[size_t(i)], i);
    const double high = Get_Stepgauge_Position(faces.items[size_t(opposite)], opposite);
    const TVector3 start = header.translation + header.x_axis * low;
    const TVector3 end = header.translation + header.x_axis * high;

    TMeasurementLength* length = new TMeasurementLength;
    length->Set_Draw_Offset(double(i));
    length->Set_Name(header.description + QString(".%1-%2").arg(i).arg(opposite));
    length->Set_Start_End_Points(start, end);
    length->Set_Actual_Length(high - low);
    length->Set_Nominal_Length(Round_Nominal_Length(high - low));
    recorder.Check_Direction(*length, start, end, 0);
    measurements.push_back(length);
  }

  if(face_count == 1)
    recorder.Nothing_Found(QStringLiteral("Its readings are all of face 1; a length needs a pair of faces."));
  else if(measurements.empty())
    recorder.Nothing_Found(recorder.No_Usable_Line("is a face reading inside a measurement section"));
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
