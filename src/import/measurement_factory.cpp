// Import dispatch: reading the file, recognising its kind by the first line,
// handing the content to the loader for that kind, and the line discipline
// shared by the text formats.
#include "measurement_factory.h"

#include <QFile>
#include <QLatin1String>
#include <cassert>
#include <cmath>

#include "import_lines.h"
#include "import_recorder.h"

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
  d_last_report = TImportReport();

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

  measurements = Load_Content(content, file_type, &d_last_report);
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

  // Read in pieces up to the limit: pipes and devices report no size, and
  // the progress is told after each piece.
  const qint64 total = file.isSequential() ? 0 : file.size();
  content->reserve(int(total));
  for(QByteArray chunk = file.read(READ_CHUNK_SIZE); !chunk.isEmpty(); chunk = file.read(READ_CHUNK_SIZE))
  {
    content->append(chunk);
    if(content->size() > MAXIMUM_FILE_SIZE)
    {
      content->clear();
      d_last_error = too_large;
      return false;
    }
    if(d_read_progress && !d_read_progress(content->size(), total))
    {
      content->clear();
      d_last_error = QString("ERR:  Reading '%1' was cancelled.").arg(file_name);
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

std::vector<TMeasurement*> TMeasurementFactory::Load_Content(const QByteArray& file_data, TImportFileType file_type,
                                                             TImportReport* report)
{
  switch(file_type)
  {
    case IMPORT_BALLBAR_V1:
    case IMPORT_BALLBAR_V2:
    case IMPORT_B89_BALLBAR:
      return Load_Ballbar_File(file_data, file_type, report);
    case IMPORT_B89_BALLBAR_10360:
      return Load_Ballbar_10360_File(file_data, file_type, report);
    case IMPORT_LENGTH_DATA:
      return Load_Laser_File(file_data, file_type, report);
    case IMPORT_STEPGAUGE_SQUARENESS:
      return Load_Stepgauge_Squareness_File(file_data, file_type, report);
    case IMPORT_KELVO_LASER:
    case IMPORT_B89_MACHINE_AND_LASER:
      return Load_Farrowline_Laser_File(file_data, file_type, report);
    case IMPORT_RESULTS_XML:
      return Load_Cordwell_Results_File(file_data, file_type, report);
    case IMPORT_UNRECOGNIZED:
      break;
  }
  return std::vector<TMeasurement*>();
}

void TMeasurementFactory::Read_Sections(const QByteArray& file_data, TSectionHeader* header, const char* data_keyword,
                                        TImportRecorder* recorder, const std::function<void(const QString&, int)>& read_data)
{
  bool in_alignment = false;
  bool in_measurement = false;
  TDataLines lines(file_data);
  QString line;
  while(lines.Next(&line))
  {
    if(Has_Keyword(line, "Alignment_Begin:"))
      in_alignment = true;
    else if(Has_Keyword(line, "Alignment_End:"))
      in_alignment = false;
    else if(Has_Keyword(line, "Measurement_Begin:"))
      in_measurement = true;
    else if(Has_Keyword(line, "Measurement_End:"))
      in_measurement = false;
    else if(in_alignment && Has_Keyword(line, "X_Axis:"))
      Read_Vector(line.mid(7), &header->x_axis);
    else if(in_alignment && Has_Keyword(line, "Translation:"))
      Read_Vector(line.mid(12), &header->translation);
    else if(!in_alignment && in_measurement && Has_Keyword(line, "Description:"))
    {
      const QStringList parts = line.split(QLatin1Char(':'));
      if(parts.size() == 2)
        header->description = parts[1];
    }
    else if(Is_Header_Keyword(line))
      continue;  // a keyword out of its section: ignored
    else
    {
      recorder->Data_Line();
      const bool is_data = Has_Keyword(line, data_keyword);
      if(is_data && !in_alignment && in_measurement)
        read_data(line, lines.Number());
      else
        recorder->Skip(lines.Number(), [&] { return TImportRecorder::Misplaced_Line(data_keyword, is_data, in_alignment); });
    }
  }
}

bool TMeasurementFactory::Is_Header_Keyword(const QString& line)
{
  for(const char* keyword : {"X_Axis:", "Translation:", "Description:"})
  {
    if(Has_Keyword(line, keyword))
      return true;
  }
  return false;
}

// Adds 0.5 and truncates toward zero; done in floating point so that lengths
// beyond the integer range (or not a number) cannot overflow a conversion.
double TMeasurementFactory::Round_Nominal_Length(const double& length)
{
  return std::trunc(length + 0.5);
}
