#include "projectrecords.h"

#include <cassert>
#include <cmath>

#include "fixedtext.h"
#include "xmlfile.h"

namespace
{
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
}

QString Project_Elements::Group_Name(TMeasurement::TMeasurementType type)
{
  return type == TMeasurement::MEASUREMENT_BALLBAR ? QStringLiteral("BallBar") : QStringLiteral("Length");
}

void Write_Record_Element(TXmlFile* xml_file, QDomElement* group, const TMeasurement& record)
{
  QDomElement node = xml_file->Create_Node(group, Project_Elements::MEASUREMENT);
  if(record.Type() == TMeasurement::MEASUREMENT_LENGTH)
  {
    Write_Number(xml_file, &node, QStringLiteral("Nominal_Length"), record.Nominal_Length(), 6);
    Write_Number(xml_file, &node, QStringLiteral("Draw_Offset"), record.Draw_Offset(), 1);
  }
  Write_Text(xml_file, &node, QStringLiteral("Name"), record.Name());
  Write_Text(xml_file, &node, QStringLiteral("Position"), Vector_Text(record.Position(), 6));
  Write_Text(xml_file, &node, QStringLiteral("Axis"), Vector_Text(record.Axis(), 12));
  Write_Number(xml_file, &node, QStringLiteral("Actual_Length"), record.Actual_Length(), 6);
}

std::unique_ptr<TMeasurement> Read_Record_Element(const TXmlFile& xml_file, const QDomElement& node,
                                                  TMeasurement::TMeasurementType type, QStringList* zero_directions)
{
  assert(zero_directions);
  return type == TMeasurement::MEASUREMENT_BALLBAR ? Read_Ballbar(xml_file, node, zero_directions)
                                                   : Read_Length(xml_file, node, zero_directions);
}
