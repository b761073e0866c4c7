#include "projectfile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cassert>

#include "projectreader.h"
#include "projectrecords.h"
#include "projectsettingsfile.h"
#include "xmlfile.h"
#include "xmlstream.h"

namespace
{
// Runs the steps of a save or a load; false with the message in *error when one throws.
template<class TSteps> bool Run_Guarded(QString* error, TSteps steps)
{
  assert(error);
  try
  {
    steps();
  }
  catch(const TXmlFileException& exception)
  {
    *error = exception.Message();
    return false;
  }
  return true;
}

// Reads a whole project from the stream; *zero_directions and *settings may be null.
void Read_Project(TXmlStream* stream, TProjectFile::TRecords* records, QStringList* zero_directions,
                  TProjectSettings* settings)
{
  QStringList zero_directions_read;
  TProjectSettings settings_read;
  TProjectReader(stream).Read(records, &zero_directions_read, &settings_read);
  if(zero_directions)
    *zero_directions = zero_directions_read;
  if(settings)
    *settings = settings_read;
}
}

bool TProjectFile::Save(const QString& path, const std::vector<TMeasurement*>& records, QString* error,
                        const TProjectSettings& settings)
{
  return Run_Guarded(error, [&] {
    TXmlFile xml_file;
    xml_file.Set_File_Name(path);
    Write_Records(&xml_file, records);
    Write_Project_Settings(&xml_file, settings);
    xml_file.Write_File(false);
  });
}

bool TProjectFile::Save_Data(QByteArray* data, const std::vector<TMeasurement*>& records, QString* error,
                             const TProjectSettings& settings)
{
  assert(data);
  return Run_Guarded(error, [&] {
    TXmlFile xml_file;
    Write_Records(&xml_file, records);
    Write_Project_Settings(&xml_file, settings);
    xml_file.Write_Data(data, false);
  });
}

bool TProjectFile::Load(const QString& path, TRecords* records, QString* error, QStringList* zero_directions,
                        TProjectSettings* settings, const TXmlStream::TReadProgress& progress)
{
  assert(records);
  const QString too_large = QStringLiteral("ERR:  Project file '%1' is too large to open.").arg(path);
  if(QFileInfo(path).size() > MAXIMUM_FILE_SIZE)
  {
    *error = too_large;
    return false;
  }
  return Run_Guarded(error, [&] {
    QFile file(path);
    TXmlStream::Open_File(&file);
    TXmlStream stream(&file, QStringLiteral("file"), true);
    stream.Set_Read_Progress(progress, path);
    // A pipe is stopped where a file would have been refused.
    stream.Set_Size_Limit(MAXIMUM_FILE_SIZE, too_large);
    Read_Project(&stream, records, zero_directions, settings);
  });
}

bool TProjectFile::Load_Data(const QByteArray& data, TRecords* records, QString* error,
                             QStringList* zero_directions, TProjectSettings* settings)
{
  assert(records);
  QBuffer buffer;
  buffer.setData(data);
  buffer.open(QIODevice::ReadOnly);
  return Run_Guarded(error, [&] {
    TXmlStream stream(&buffer, QStringLiteral("data"), true);
    Read_Project(&stream, records, zero_directions, settings);
  });
}

void TProjectFile::Write_Records(TXmlFile* xml_file, const std::vector<TMeasurement*>& records)
{
  xml_file->Reset(Project_Elements::ROOT, Project_Elements::VERSION);
  QDomElement ballbar_node =
    xml_file->Create_Node(xml_file->Root_Node(), Project_Elements::Group_Name(TMeasurement::MEASUREMENT_BALLBAR));
  QDomElement length_node =
    xml_file->Create_Node(xml_file->Root_Node(), Project_Elements::Group_Name(TMeasurement::MEASUREMENT_LENGTH));
  for(const TMeasurement* record : records)
    Write_Record_Element(xml_file, record->Type() == TMeasurement::MEASUREMENT_BALLBAR ? &ballbar_node : &length_node,
                         *record);
}
