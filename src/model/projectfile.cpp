#include "projectfile.h"

#include <QFileInfo>
#include <QStringList>
#include <cassert>
#include <cmath>
#include <functional>

#include "fixedtext.h"
#include "projectsettingsfile.h"
#include "xmlfile.h"

namespace
{
const QString PROJECT_IDENTIFICATION = QStringLiteral("Orthavel");
const int PROJECT_VERSION = 1;

using TRecordReader =
  std::function<std::unique_ptr<TMeasurement>(const TXmlFile&, const QDomElement&, QStringList* zero_directions)>;

QString Vector_Text(const TVector3& vector, int decimals)
{
  return QStringLiteral("%1,%2,%3")
    .arg(Fixed_Text(vector.x, decimals), Fixed_Text(vector.y, decimals), Fixed_Text(vector.z, decimals));
}

void Write_Number(TXmlFile* xml_file, QDomElement* parent, const QString& name, double value, int decimals)
{
  QDomElement node = xml_file->Create_Node(parent, name);
  xml_file->Write_Text_Node(&node, value, decimals);
}

void Write_Text(TXmlFile* xml_file, QDomElement* parent, const QString& name, const QString& text)
{
  QDomElement node = xml_file->Create_Node(parent, name);
  xml_file->Write_Text_Node(&node, text);
}

QString Read_Text(const TXmlFile& xml_file, const QDomElement& parent, const QString& name)
{
  const QDomElement node = xml_file.Get_Node(&parent, name, false);
  return xml_file.Read_Text_Node(&node, false);
}

double Read_Number(const TXmlFile& xml_file, const QDomElement& parent, const QString& name)
{
  return Read_Text(xml_file, parent, name).toDouble();
}

TVector3 Read_Vector(const TXmlFile& xml_file, const QDomElement& parent, const QString& name, const char* error)
{
  const QStringList parts = Read_Text(xml_file, parent, name).split(',', Qt::KeepEmptyParts);
  if(parts.size() != 3)
    throw TXmlFileException(QString::fromLatin1(error), TXmlFileException::ERROR_DATA);
  return TVector3(parts[0].toDouble(), parts[1].toDouble(), parts[2].toDouble());
}

// The drawing width factor stays within 1 to 10; text that is no number gives 1.
double Clamped_Draw_Offset(double offset)
{
  if(offset > 10.0)
    return 10.0;
  return offset >= 1.0 ? offset : 1.0;
}

// An axis the record cannot take as a direction becomes (1, 0, 0).
bool Is_Zero_Direction(const TVector3& axis)
{
  const double length = axis.Length();
  return std::isnan(length) || !(length > 1e-6) || !std::isfinite(axis.x) || !std::isfinite(axis.y) ||
         !std::isfinite(axis.z);
}

// Fields shared by both record kinds, read in file order of a length record.
void Read_Common_Fields(const TXmlFile& xml_file, const QDomElement& node, TMeasurement* record,
                        QStringList* zero_directions)
{
  record->Set_Name(Read_Text(xml_file, node, QStringLiteral("Name")));
  record->Set_Position(
    Read_Vector(xml_file, node, QStringLiteral("Position"), "ERR:  Measurement position must have three values"));
  const TVector3 axis =
    Read_Vector(xml_file, node, QStringLiteral("Axis"), "ERR:  Measurement axis must have three values");
  if(Is_Zero_Direction(axis))
    zero_directions->append(record->Name());
  record->Set_Axis(axis);
}

std::unique_ptr<TMeasurement> Read_Ballbar(const TXmlFile& xml_file, const QDomElement& node,
                                           QStringList* zero_directions)
{
  auto record = std::make_unique<TMeasurementBallBar>();
  Read_Common_Fields(xml_file, node, record.get(), zero_directions);
  record->Set_Actual_Length(Read_Number(xml_file, node, QStringLiteral("Actual_Length")));
  return record;
}

std::unique_ptr<TMeasurement> Read_Length(const TXmlFile& xml_file, const QDomElement& node,
                                          QStringList* zero_directions)
{
  auto record = std::make_unique<TMeasurementLength>();
  Read_Common_Fields(xml_file, node, record.get(), zero_directions);
  record->Set_Nominal_Length(Read_Number(xml_file, node, QStringLiteral("Nominal_Length")));
  record->Set_Draw_Offset(Clamped_Draw_Offset(Read_Number(xml_file, node, QStringLiteral("Draw_Offset"))));
  record->Set_Actual_Length(Read_Number(xml_file, node, QStringLiteral("Actual_Length")));
  return record;
}

// One record per "Measurement" child of a group element, in file order; a
// record whose reading throws is discarded.
void Read_Group(const TXmlFile& xml_file, const QDomElement& group, const TRecordReader& read_record,
                TProjectFile::TRecords* records, QStringList* zero_directions)
{
  if(group.isNull())
    return;
  const QString measurement_name = QStringLiteral("Measurement");
  for(QDomElement node = xml_file.Get_Node(&group, measurement_name, true); !node.isNull();
      node = xml_file.Get_Sibling_Node(&node, measurement_name, true))
    records->push_back(read_record(xml_file, node, zero_directions));
}

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

void Check_Version(int version)
{
  if(version != PROJECT_VERSION)
    throw TXmlFileException(QStringLiteral("ERR:  File version not recognized"), TXmlFileException::ERROR_DATA);
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
                        TProjectSettings* settings, const TXmlFile::TReadProgress& progress)
{
  assert(records);
  if(QFileInfo(path).size() > MAXIMUM_FILE_SIZE)
  {
    *error = QStringLiteral("ERR:  Project file '%1' is too large to open.").arg(path);
    return false;
  }
  return Run_Guarded(error, [&] {
    TXmlFile xml_file;
    xml_file.Set_File_Name(path);
    xml_file.Set_Read_Progress(progress);
    int version = 0;
    xml_file.Open(PROJECT_IDENTIFICATION, &version, true);
    Check_Version(version);
    Read_Records(&xml_file, records, zero_directions);
    const TProjectSettings read = Read_Project_Settings(&xml_file);
    if(settings)
      *settings = read;
  });
}

bool TProjectFile::Load_Data(const QByteArray& data, TRecords* records, QString* error,
                             QStringList* zero_directions, TProjectSettings* settings)
{
  assert(records);
  return Run_Guarded(error, [&] {
    TXmlFile xml_file;
    int version = 0;
    xml_file.Open_Data(data, PROJECT_IDENTIFICATION, &version, true);
    Check_Version(version);
    Read_Records(&xml_file, records, zero_directions);
    const TProjectSettings read = Read_Project_Settings(&xml_file);
    if(settings)
      *settings = read;
  });
}

void TProjectFile::Write_Records(TXmlFile* xml_file, const std::vector<TMeasurement*>& records)
{
  xml_file->Reset(PROJECT_IDENTIFICATION, PROJECT_VERSION);
  QDomElement ballbar_node = xml_file->Create_Node(xml_file->Root_Node(), QStringLiteral("BallBar"));
  QDomElement length_node = xml_file->Create_Node(xml_file->Root_Node(), QStringLiteral("Length"));

  for(const TMeasurement* record : records)
  {
    QDomElement node;
    if(record->Type() == TMeasurement::MEASUREMENT_BALLBAR)
    {
      node = xml_file->Create_Node(&ballbar_node, QStringLiteral("Measurement"));
    }
    else
    {
      node = xml_file->Create_Node(&length_node, QStringLiteral("Measurement"));
      Write_Number(xml_file, &node, QStringLiteral("Nominal_Length"), record->Nominal_Length(), 6);
      Write_Number(xml_file, &node, QStringLiteral("Draw_Offset"), record->Draw_Offset(), 1);
    }
    Write_Text(xml_file, &node, QStringLiteral("Name"), record->Name());
    Write_Text(xml_file, &node, QStringLiteral("Position"), Vector_Text(record->Position(), 6));
    Write_Text(xml_file, &node, QStringLiteral("Axis"), Vector_Text(record->Axis(), 12));
    Write_Number(xml_file, &node, QStringLiteral("Actual_Length"), record->Actual_Length(), 6);
  }
}

void TProjectFile::Read_Records(TXmlFile* xml_file, TRecords* records, QStringList* zero_directions)
{
  QStringList unused;
  if(!zero_directions)
    zero_directions = &unused;
  const QDomElement ballbar_node = xml_file->Get_Node(xml_file->Root_Node(), QStringLiteral("BallBar"), true);
  const QDomElement length_node = xml_file->Get_Node(xml_file->Root_Node(), QStringLiteral("Length"), true);
  Read_Group(*xml_file, ballbar_node, Read_Ballbar, records, zero_directions);
  Read_Group(*xml_file, length_node, Read_Length, records, zero_directions);
}
