// The .square project file, version 1: an XML document with the root
// "Orthavel" (attribute File_Version 1) holding a "BallBar" and a "Length"
// section of "Measurement" elements, and the project settings as an optional
// element that a reader which does not know it passes over (projectsettingsfile.h).
// Reading and writing are functions of a file (or its bytes), the records and
// the settings, with no window involved.
#ifndef PROJECTFILE_H
#define PROJECTFILE_H

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "measurement.h"
#include "projectsettings.h"
#include "xmlstream.h"

class TProjectFile
{
public:
  using TRecords = std::vector<std::unique_ptr<TMeasurement>>;

  // Project files larger than this are refused before they are read.
  static constexpr qint64 MAXIMUM_FILE_SIZE = qint64(256) * 1024 * 1024;

  // Writes the records, ball bars under "BallBar" and length records under
  // "Length", each group in list order, then the settings unless they are the
  // defaults. False with the reason in *error.
  static bool Save(const QString& path, const std::vector<TMeasurement*>& records, QString* error,
                   const TProjectSettings& settings = TProjectSettings());
  static bool Save_Data(QByteArray* data, const std::vector<TMeasurement*>& records, QString* error,
                        const TProjectSettings& settings = TProjectSettings());

  // Reads a project: all ball bars first, then all length records, each group
  // in file order. On failure returns false with the reason in *error, and
  // *records holds the records read before the fault. *zero_directions, if
  // given, receives the names of records whose axis in the file had no
  // length (or was not a number) and was taken as (1, 0, 0). *settings, if
  // given, receives the file's settings (the defaults where it has none) when
  // the load succeeds. A file over MAXIMUM_FILE_SIZE is refused unread.
  // progress, if given, is told how far the file has been read; returning
  // false stops the load, which then fails.
  static bool Load(const QString& path, TRecords* records, QString* error, QStringList* zero_directions = nullptr,
                   TProjectSettings* settings = nullptr, const TXmlStream::TReadProgress& progress = {});
  static bool Load_Data(const QByteArray& data, TRecords* records, QString* error,
                        QStringList* zero_directions = nullptr, TProjectSettings* settings = nullptr);

private:
  static void Write_Records(TXmlFile* xml_file, const std::vector<TMeasurement*>& records);
};

#endif
