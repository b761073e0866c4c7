// Reading and writing .square project files (version 1).
#include "orthavel.h"

#include <QAction>
#include <QStatusBar>
#include <QStringList>
#include <cassert>
#include <memory>

#include "calculatesquare.h"
#include "measurement.h"
#include "xmlfile.h"

namespace
{
const int message_timeout = 4000;
const QString project_identification = QStringLiteral("Orthavel");

QString Vector_Text(const TVector3& vector, int decimals)
{
  return QString("%1,%2,%3")
    .arg(vector.x, 0, 'f', decimals)
    .arg(vector.y, 0, 'f', decimals)
    .arg(vector.z, 0, 'f', decimals);
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

// Fields shared by both record kinds, read in file order of a length record.
void Read_Common_Fields(const TXmlFile& xml_file, const QDomElement& node, TMeasurement* measurement)
{
  measurement->Set_Name(Read_Text(xml_file, node, QStringLiteral("Name")));
  measurement->Set_Position(Read_Vector(xml_file, node, QStringLiteral("Position"),
                                        "ERR:  Measurement position must have three values"));
  measurement->Set_Axis(Read_Vector(xml_file, node, QStringLiteral("Axis"),
                                    "ERR:  Measurement axis must have three values"));
}
}

bool TOrthavel::Save_Data(const QString& path) const
{
  try
  {
    TXmlFile xml_file;
    xml_file.Set_File_Name(path);
    xml_file.Reset(project_identification, 1);
    QDomElement ballbar_node = xml_file.Create_Node(xml_file.Root_Node(), QStringLiteral("BallBar"));
    QDomElement length_node = xml_file.Create_Node(xml_file.Root_Node(), QStringLiteral("Length"));

    for(const TMeasurement* measurement : measurements)
    {
      QDomElement node;
      if(measurement->Type() == TMeasurement::MEASUREMENT_BALLBAR)
      {
        node = xml_file.Create_Node(&ballbar_node, QStringLiteral("Measurement"));
      }
      else
      {
        node = xml_file.Create_Node(&length_node, QStringLiteral("Measurement"));
        Write_Number(&xml_file, &node, QStringLiteral("Nominal_Length"), measurement->Nominal_Length(), 6);
        Write_Number(&xml_file, &node, QStringLiteral("Draw_Offset"), measurement->Draw_Offset(), 1);
      }
      Write_Text(&xml_file, &node, QStringLiteral("Name"), measurement->Name());
      Write_Text(&xml_file, &node, QStringLiteral("Position"), Vector_Text(measurement->Position(), 6));
      Write_Text(&xml_file, &node, QStringLiteral("Axis"), Vector_Text(measurement->Axis(), 12));
      Write_Number(&xml_file, &node, QStringLiteral("Actual_Length"), measurement->Actual_Length(), 6);
    }
    xml_file.Write_File(false);
  }
  catch(const TXmlFileException& exception)
  {
    status_bar->showMessage(exception.Message(), message_timeout);
    return false;
  }
  return true;
}

bool TOrthavel::Load_Data(const QString& path)
{
  last_directory = Directory_Of(path);
  Clear_Measurement_Data();
  action_save->setEnabled(false);
  action_save_as->setEnabled(false);

  bool loaded = false;
  try
  {
    TXmlFile xml_file;
    xml_file.Set_File_Name(path);
    int version = 0;
    xml_file.Open(project_identification, &version, true);
    if(version != 1)
      throw TXmlFileException(QStringLiteral("ERR:  File version not recognized"), TXmlFileException::ERROR_DATA);
    Load_Data_V1(&xml_file);
    action_save->setEnabled(!measurements.empty());
    action_save_as->setEnabled(!measurements.empty());
    file_name = path;
    loaded = true;
  }
  catch(const TXmlFileException& exception)
  {
    status_bar->showMessage(exception.Message(), message_timeout);
  }

  // Also after a failed load: the solver describes exactly the records on show.
  Hand_Measurements_To_Solver();
  Draw_Data();
  Proj_ISO();
  return loaded;
}

void TOrthavel::Load_Data_V1(TXmlFile* xml_file)
{
  assert(xml_file);
  const QDomElement ballbar_node = xml_file->Get_Node(xml_file->Root_Node(), QStringLiteral("BallBar"), true);
  const QDomElement length_node = xml_file->Get_Node(xml_file->Root_Node(), QStringLiteral("Length"), true);

  Load_Measurements_V1(*xml_file, ballbar_node, [](const TXmlFile& file, const QDomElement& node) {
    std::unique_ptr<TMeasurement> measurement(new TMeasurementBallBar);
    Read_Common_Fields(file, node, measurement.get());
    measurement->Set_Actual_Length(Read_Text(file, node, QStringLiteral("Actual_Length")).toDouble());
    return measurement;
  });
  Load_Measurements_V1(*xml_file, length_node, [](const TXmlFile& file, const QDomElement& node) {
    std::unique_ptr<TMeasurement> measurement(new TMeasurementLength);
    Read_Common_Fields(file, node, measurement.get());
    measurement->Set_Nominal_Length(Read_Text(file, node, QStringLiteral("Nominal_Length")).toDouble());
    measurement->Set_Draw_Offset(Clamped_Draw_Offset(Read_Text(file, node, QStringLiteral("Draw_Offset")).toDouble()));
    measurement->Set_Actual_Length(Read_Text(file, node, QStringLiteral("Actual_Length")).toDouble());
    return measurement;
  });
}

// Appends one record per "Measurement" child of a group element, in file
// order; a record whose reading throws is discarded.
void TOrthavel::Load_Measurements_V1(const TXmlFile& xml_file, const QDomElement& group,
                                     const TMeasurementReader& read_measurement)
{
  if(group.isNull())
    return;
  const QString measurement_name = QStringLiteral("Measurement");
  for(QDomElement node = xml_file.Get_Node(&group, measurement_name, true); !node.isNull();
      node = xml_file.Get_Sibling_Node(&node, measurement_name, true))
    Add_Measurement(read_measurement(xml_file, node).release(), false);
}
