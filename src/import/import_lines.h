// What the text formats share: their line discipline (the simplified lines
// that are neither empty nor "#" comments, after the identifier line,
// numbered as lines of the file from 1) and the reading of their fields.
#ifndef IMPORT_LINES_H
#define IMPORT_LINES_H

#include <QByteArray>
#include <QString>
#include <QStringRef>
#include <QTextStream>
#include <QVector>

#include "vector3.h"

class TDataLines
{
public:
  // Passes over the identifier line, the first line that is neither empty nor a comment.
  explicit TDataLines(const QByteArray& file_data);

  // The next line; false at the end of the data.
  bool Next(QString* line);
  // The number of the line Next gave last.
  int Number() const { return d_number; }

private:
  QTextStream d_stream;
  QString d_raw_line;
  int d_number = 0;
};

// True when the line starts with the keyword, in any case.
bool Has_Keyword(const QString& line, const char* keyword);
// Reads "x,y,z"; the vector is left alone unless there are exactly three fields.
bool Read_Vector(const QString& text, TVector3* vector);
// The three fields from first_field on as x, y, z; text that is not a number reads 0.
TVector3 Field_Vector(const QVector<QStringRef>& fields, int first_field);

#endif
