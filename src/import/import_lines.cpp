#include "import_lines.h"

#include <QLatin1Char>
#include <QLatin1String>

TDataLines::TDataLines(const QByteArray& file_data) : d_stream(file_data, QIODevice::ReadOnly)
{
  d_stream.setCodec("UTF-8");
  QString identifier;
  Next(&identifier);
}

bool TDataLines::Next(QString* line)
{
  while(d_stream.readLineInto(&d_raw_line))
  {
    ++d_number;
    *line = d_raw_line.simplified();
    if(!line->isEmpty() && !line->startsWith(QLatin1Char('#')))
      return true;
  }
  return false;
}

bool Has_Keyword(const QString& line, const char* keyword)
{
  return line.startsWith(QLatin1String(keyword), Qt::CaseInsensitive);
}

bool Read_Vector(const QString& text, TVector3* vector)
{
  const QVector<QStringRef> fields = text.splitRef(QLatin1Char(','));
  if(fields.size() != 3)
    return false;

  *vector = Field_Vector(fields, 0);
  return true;
}

TVector3 Field_Vector(const QVector<QStringRef>& fields, int first_field)
{
  return TVector3(fields[first_field].toDouble(), fields[first_field + 1].toDouble(), fields[first_field + 2].toDouble());
}
