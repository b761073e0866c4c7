#include "projectsettingsfile.h"

#include <QLocale>
#include <QString>

#include "fixedtext.h"
#include "projectinformationfile.h"
#include "xmlfile.h"

namespace
{
const QString SETTINGS_NAME = QStringLiteral("Project_Settings");
const QString UNCERTAINTY_NAME = QStringLiteral("Uncertainty");
const QString CONSTANT_NAME = QStringLiteral("Constant_um");
const QString PROPORTIONAL_NAME = QStringLiteral("Proportional_um_per_m");

struct TKind
{
  const char* name;
  TLengthUncertainty TUncertaintySettings::*uncertainty;
};

const TKind KINDS[] = {{"Ball_Bar", &TUncertaintySettings::ball_bar}, {"Length", &TUncertaintySettings::length}};

QString Exact_Text(double value)
{
  return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

double Read_Value(const TXmlFile& xml_file, const QDomElement& node, const QString& name)
{
  const QDomElement value_node = xml_file.Get_Node(&node, name, false);
  const QString text = xml_file.Read_Text_Node(&value_node, true);
  double value = 0.0;
  if(!Parse_Number(text, &value) || value < 0.0)
    throw TXmlFileException(QStringLiteral("ERR:  The project setting %1/%2/%3 must be a number of 0 or more, not '%4'")
                              .arg(UNCERTAINTY_NAME, node.tagName(), name, text),
                            TXmlFileException::ERROR_DATA);
  return value;
}
}

void Write_Project_Settings(TXmlFile* xml_file, const TProjectSettings& settings)
{
  Write_Uncertainty_Settings(xml_file, settings.uncertainty);
  Write_Project_Information(xml_file, settings.information);
}

TProjectSettings Read_Project_Settings(TXmlFile* xml_file)
{
  TProjectSettings settings;
  settings.uncertainty = Read_Uncertainty_Settings(xml_file);
  settings.information = Read_Project_Information(xml_file);
  return settings;
}

void Write_Uncertainty_Settings(TXmlFile* xml_file, const TUncertaintySettings& uncertainty_settings)
{
  if(uncertainty_settings.Is_Default())
    return;
  QDomElement settings_node = xml_file->Create_Node(xml_file->Root_Node(), SETTINGS_NAME);
  QDomElement uncertainty_node = xml_file->Create_Node(&settings_node, UNCERTAINTY_NAME);
  for(const TKind& kind : KINDS)
  {
    const TLengthUncertainty& uncertainty = uncertainty_settings.*kind.uncertainty;
    QDomElement node = xml_file->Create_Node(&uncertainty_node, QString::fromLatin1(kind.name));
    // One element per value: the order of attributes in a written DOM is not fixed.
    QDomElement constant_node = xml_file->Create_Node(&node, CONSTANT_NAME);
    xml_file->Write_Text_Node(&constant_node, Exact_Text(uncertainty.constant_um));
    QDomElement proportional_node = xml_file->Create_Node(&node, PROPORTIONAL_NAME);
    xml_file->Write_Text_Node(&proportional_node, Exact_Text(uncertainty.proportional_um_per_m));
  }
}

TUncertaintySettings Read_Uncertainty_Settings(TXmlFile* xml_file)
{
  TUncertaintySettings settings;
  const QDomElement settings_node = xml_file->Get_Node(xml_file->Root_Node(), SETTINGS_NAME, true);
  if(settings_node.isNull())
    return settings;
  const QDomElement uncertainty_node = xml_file->Get_Node(&settings_node, UNCERTAINTY_NAME, true);
  if(uncertainty_node.isNull())
    return settings;
  for(const TKind& kind : KINDS)
  {
    const QDomElement node = xml_file->Get_Node(&uncertainty_node, QString::fromLatin1(kind.name), true);
    if(node.isNull())
      continue;
    TLengthUncertainty& uncertainty = settings.*kind.uncertainty;
    uncertainty.constant_um = Read_Value(*xml_file, node, CONSTANT_NAME);
    uncertainty.proportional_um_per_m = Read_Value(*xml_file, node, PROPORTIONAL_NAME);
  }
  return settings;
}
