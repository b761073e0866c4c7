// Import dispatch: reading the file, recognising its kind by the first line,
// handing the content to the loader for that kind, and the line discipline
// shared by the text formats.
#include "measurement_factory.h"

#include <QFile>
#include <QLatin1String>
#include <QTextStream>
#include <cassert>
#include <cmath>

namespace
{
  struct TFileIdentifier
  {
    const char* prefix;
    TMeasurementFactory::TImportFileType type;
  };

  // Tested in this order; the first prefix that matches decides.
  const TFileIdentifier FILE_IDENTIFIERS[] = {
    {"BallBar_V1", TMeasurementFactory::IMPORT_BALLBAR_V1},
    {"BallBar_V2", TMeasurementFactory::IMPORT_BALLBAR_V2},
    {"B89.4.1_Data:Version=1:Type=BallBar", TMeasurementFactory::IMPORT_B89_BALLBAR},
    {"B89.4.10360_Raw_Measurement:Version=1:Type=BallBar_10360", TMeasurementFactory::IMPORT_B89_BALLBAR_10360},
    {"Length_Data:Version=1:Type=Measurement", TMeasurementFactory::IMPORT_LENGTH_DATA},
    {"Stepgauge_Raw_Measurement:Version=1:Type=Squareness", TMeasurementFactory::IMPORT_STEPGAUGE_SQUARENESS},
    {"Kelvo_Raw_Measurement:Version=1:Type=Machine_And_Laser", TMeasurementFactory::IMPORT_KELVO_LASER},
    {"B89.4.10360_Raw_Measurement:Version=1:Type=Machine_And_Laser", TMeasurementFactory::IMPORT_B89_MACHINE_AND_LASER}};

  const char XML_DECLARATION[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";
  const char RESULTS_START_TAG[] = "<Results ";

  constexpr int MINIMUM_FILE_SIZE = 10;
  constexpr qint64 READ_CHUNK_SIZE = 1 << 20;
}

std::vector<TMeasurement*> TMeasurementFactory::Load_File(const QString& file_name, bool* valid)
{
  std::vector<TMeasurement*> measurements;

  assert(valid);
  *valid = false;

  QByteArray content;
  if(!Read_Content(file_name, &content))
    return measurements;

  if(content.size() < MINIMUM_FILE_SIZE)
  {
    d_last_error = QString("ERR:  Input file '%1' does not contain enough data.").arg(file_name);
    return measurements;
  }

  const TImportFileType file_type = Determine_File_Type(content);
  if(file_type == IMPORT_UNRECOGNIZED)
  {
    d_last_error = QString("ERR:  Input file '%1' data type not recognized.").arg(file_name);
    return measurements;
  }

  measurements = Load_Content(content, file_type);
  *valid = true;
  return measurements;
}

// Reads the whole file in text mode, refusing files too large to hold in memory.
bool TMeasurementFactory::Read_Content(const QString& file_name, QByteArray* content)
{
  QFile file(file_name);
  if(!file.open(QIODevice::ReadOnly | QIODevice::Text))
  {
    d_last_error = QString("ERR:  Cannot open file '%1' for reading.").arg(file_name);
    return false;
  }

  const QString too_large = QString("ERR:  Input file '%1' is too large to import.").arg(file_name);
  if(file.size() > MAXIMUM_FILE_SIZE)
  {
    d_last_error = too_large;
    return false;
  }

  if(!file.isSequential())
  {
    *content = file.readAll();
    return true;
  }

  // Pipes and devices report no size: read them in pieces up to the limit.
  for(QByteArray chunk = file.read(READ_CHUNK_SIZE); !chunk.isEmpty(); chunk = file.read(READ_CHUNK_SIZE))
  {
    content->append(chunk);
    if(content->size() > MAXIMUM_FILE_SIZE)
    {
      content->clear();
      d_last_error = too_large;
      return false;
    }
  }
  return true;
}

TMeasurementFactory::TImportFileType TMeasurementFactory::Determine_File_Type(const QByteArray& file_data)
{
  // Only the first two lines matter; the text ends at the first NUL byte.
  const QByteArray data = file_data.trimmed();
  const int text_size = int(qstrnlen(data.constData(), uint(data.size())));

  const int first_end = data.indexOf('\n');
  if(first_end <= 0 || first_end >= text_size)
    return IMPORT_UNRECOGNIZED;

  int second_end = data.indexOf('\n', first_end + 1);
  if(second_end < 0 || second_end == first_end + 1 || second_end > text_size)
    second_end = text_size;

  const QString first_line = QString::fromUtf8(data.constData(), first_end);
  for(const TFileIdentifier& identifier : FILE_IDENTIFIERS)
  {
    if(first_line.startsWith(QLatin1String(identifier.prefix), Qt::CaseInsensitive))
      return identifier.type;
  }

  if(first_line == QLatin1String(XML_DECLARATION))
  {
    const QString second_line = QString::fromUtf8(data.constData() + first_end + 1, second_end - first_end - 1);
    if(second_line.startsWith(QLatin1String(RESULTS_START_TAG), Qt::CaseInsensitive))
      return IMPORT_RESULTS_XML;
  }

  return IMPORT_UNRECOGNIZED;
}

std::vector<TMeasurement*> TMeasurementFactory::Load_Content(const QByteArray& file_data, TImportFileType file_type)
{
  switch(file_type)
  {
    case IMPORT_BALLBAR_V1:
    case IMPORT_BALLBAR_V2:
    case IMPORT_B89_BALLBAR:
      return Load_Ballbar_File(file_data, file_type);
    case IMPORT_B89_BALLBAR_10360:
      return Load_Ballbar_10360_File(file_data, file_type);
    case IMPORT_LENGTH_DATA:
      return Load_Laser_File(file_data, file_type);
    case IMPORT_STEPGAUGE_SQUARENESS:
      return Load_Stepgauge_Squareness_File(file_data, file_type);
    case IMPORT_KELVO_LASER:
    case IMPORT_B89_MACHINE_AND_LASER:
      return Load_Farrowline_Laser_File(file_data, file_type);
    case IMPORT_RESULTS_XML:
      return Load_Cordwell_Results_File(file_data, file_type);
    case IMPORT_UNRECOGNIZED:
      break;
  }
  return std::vector<TMeasurement*>();
}

bool TMeasurementFactory::Read_Data_Line(QTextStream* stream, QString* line)
{
  QString raw_line;
  while(stream->readLineInto(&raw_line))
  {
    *line = raw_line.simplified();
    if(!line->isEmpty() && !line->startsWith(QLatin1Char('#')))
      return true;
  }
  return false;
}

bool TMeasurementFactory::Has_Keyword(const QString& line, const char* keyword)
{
  return line.startsWith(QLatin1String(keyword), Qt::CaseInsensitive);
}

// Reads "x,y,z"; the vector is left alone unless there are exactly three fields.
bool TMeasurementFactory::Read_Vector(const QString& text, TVector3* vector)
{
  const QVector<QStringRef> fields = text.splitRef(QLatin1Char(','));
  if(fields.size() != 3)
    return false;

  *vector = Field_Vector(fields, 0);
  return true;
}

void TMeasurementFactory::Read_Sections(const QByteArray& file_data, TSectionHeader* header, const char* data_keyword,
                                        const std::function<void(const QString&)>& read_data)
{
  bool in_alignment = false;
  bool in_measurement = false;
  QTextStream stream(file_data, QIODevice::ReadOnly);
  stream.setCodec("UTF-8");
  QString line;
  while(Read_Data_Line(&stream, &line))
  {
    if(Has_Keyword(line, "Alignment_Begin:"))
      in_alignment = true;
    else if(Has_Keyword(line, "Alignment_End:"))
      in_alignment = false;
    else if(Has_Keyword(line, "Measurement_Begin:"))
      in_measurement = true;
    else if(Has_Keyword(line, "Measurement_End:"))
      in_measurement = false;
    else if(in_alignment)
    {
      if(Has_Keyword(line, "X_Axis:"))
        Read_Vector(line.mid(7), &header->x_axis);
      else if(Has_Keyword(line, "Translation:"))
        Read_Vector(line.mid(12), &header->translation);
    }
    else if(in_measurement)
    {
      if(Has_Keyword(line, "Description:"))
      {
        const QStringList parts = line.split(QLatin1Char(':'));
        if(parts.size() == 2)
          header->description = parts[1];
      }
      else if(Has_Keyword(line, data_keyword))
        read_data(line);
    }
  }
}

// The three fields from first_field on as x, y, z.
TVector3 TMeasurementFactory::Field_Vector(const QVector<QStringRef>& fields, int first_field)
{
  return TVector3(fields[first_field].toDouble(), fields[first_field + 1].toDouble(), fields[first_field + 2].toDouble());
}

// Adds 0.5 and truncates toward zero; done in floating point so that lengths
// beyond the integer range (or not a number) cannot overflow a conversion.
double TMeasurementFactory::Round_Nominal_Length(const double& length)
{
  return std::trunc(length + 0.5);
}
