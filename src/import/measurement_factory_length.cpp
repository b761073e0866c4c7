// Length data files: ready-made lengths, one a line of eight fields inside
// ":Data_Begin" / ":Data_End" sections.
#include "measurement_factory.h"

#include "import_lines.h"
#include "import_recorder.h"

namespace
{
  constexpr int LENGTH_DATA_FIELD_COUNT = 8;
}

std::vector<TMeasurement*> TMeasurementFactory::Load_Laser_File(const QByteArray& file_data, TImportFileType,
                                                                TImportReport* report)
{
  std::vector<TMeasurement*> measurements;
  TImportRecorder recorder(report);

  bool in_data = false;
  double draw_offset = 1.0;

  // Every line but the two section keywords is meant as a length.
  TDataLines lines(file_data);
  QString line;
  while(lines.Next(&line))
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

    recorder.Data_Line();
    if(!in_data)
    {
      recorder.Skip(lines.Number(), [] { return QStringLiteral("outside a :Data_Begin/:Data_End section"); });
      continue;
    }

    const QVector<QStringRef> fields = line.splitRef(QLatin1Char(','));
    if(fields.size() != LENGTH_DATA_FIELD_COUNT)
    {
      recorder.Skip(lines.Number(), [&] { return TImportRecorder::Field_Count(fields.size(), LENGTH_DATA_FIELD_COUNT); });
      continue;
    }

    const TVector3 start = Field_Vector(fields, 0);
    const TVector3 end = Field_Vector(fields, 3);
    TMeasurementLength* length = new TMeasurementLength;
    length->Set_Name(QString("Length %1").arg(measurements.size() + 1));
    length->Set_Start_End_Points(start, end);
    length->Set_Nominal_Length(fields[6].toDouble());
    length->Set_Actual_Length(fields[7].toDouble());
    length->Set_Draw_Offset(draw_offset);
    draw_offset += 1.0;
    recorder.Check_Direction(*length, start, end, lines.Number());
    measurements.push_back(length);
  }

  if(measurements.empty())
    recorder.Nothing_Found(recorder.No_Usable_Line(
      QString("is a line of %1 fields inside a :Data_Begin/:Data_End section").arg(LENGTH_DATA_FIELD_COUNT)));
  return measurements;
}
