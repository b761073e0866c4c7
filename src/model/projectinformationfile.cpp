#include "projectinformationfile.h"

#include <QLocale>

#include "fixedtext.h"
#include "xmlfile.h"

namespace
{
const QString INFORMATION_NAME = QStringLiteral("Project_Information");
const QString MACHINE_NAME = QStringLiteral("Machine");
const QString INSTRUMENTS_NAME = QStringLiteral("Instruments");
const QString INSTRUMENT_NAME = QStringLiteral("Instrument");
const QString DATE_NAME = QStringLiteral("Measurement_Date");
const QString DATE_FORMAT = QStringLiteral("yyyy-MM-dd");

// The text elements of the machine, of the information itself and of an instrument.
struct TTextField
{
  const char* name;
  QString TProjectInformation::*text;
};
const TTextField MACHINE_FIELDS[] = {{"Maker", &TProjectInformation::machine_maker},
                                     {"Model", &TProjectInformation::machine_model},
                                     {"Serial_Number", &TProjectInformation::machine_serial_number}};

struct TInstrumentField
{
  const char* name;
  QString TInstrument::*text;
};
const TInstrumentField INSTRUMENT_FIELDS[] = {{"Name", &TInstrument::name},
                                              {"Serial_Number", &TInstrument::serial_number},
                                              {"Certificate", &TInstrument::certificate}};

struct TTemperatureField
{
  const char* name;
  std::optional<double> TProjectInformation::*value;
};
const TTemperatureField TEMPERATURE_FIELDS[] = {{"Air_Temperature_C", &TProjectInformation::air_temperature_c},
                                                {"Machine_Temperature_C", &TProjectInformation::machine_temperature_c}};

void Write_Text(TXmlFile* xml_file, QDomElement* parent, const char* name, const QString& text)
{
  if(text.isEmpty())
    return;
  QDomElement node = xml_file->Create_Node(parent, QString::fromLatin1(name));
  xml_file->Write_Text_Node(&node, text);
}

QString Read_Text(const TXmlFile& xml_file, const QDomElement& parent, const char* name)
{
  const QDomElement node = xml_file.Get_Node(&parent, QString::fromLatin1(name), true);
  return node.isNull() ? QString() : xml_file.Read_Text_Node(&node, true);
}

void Write_Machine(TXmlFile* xml_file, QDomElement* root, const TProjectInformation& information)
{
  bool given = false;
  for(const TTextField& field : MACHINE_FIELDS)
    given |= !(information.*field.text).isEmpty();
  if(!given)
    return;
  QDomElement machine = xml_file->Create_Node(root, MACHINE_NAME);
  for(const TTextField& field : MACHINE_FIELDS)
    Write_Text(xml_file, &machine, field.name, information.*field.text);
}

void Write_Instruments(TXmlFile* xml_file, QDomElement* root, const std::vector<TInstrument>& instruments)
{
  if(instruments.empty())
    return;
  QDomElement list = xml_file->Create_Node(root, INSTRUMENTS_NAME);
  for(const TInstrument& instrument : instruments)
  {
    QDomElement node = xml_file->Create_Node(&list, INSTRUMENT_NAME);
    for(const TInstrumentField& field : INSTRUMENT_FIELDS)
      Write_Text(xml_file, &node, field.name, instrument.*field.text);
  }
}

std::vector<TInstrument> Read_Instruments(const TXmlFile& xml_file, const QDomElement& root)
{
  std::vector<TInstrument> instruments;
  const QDomElement list = xml_file.Get_Node(&root, INSTRUMENTS_NAME, true);
  if(list.isNull())
    return instruments;
  for(QDomElement node = xml_file.Get_Node(&list, INSTRUMENT_NAME, true); !node.isNull();
      node = xml_file.Get_Sibling_Node(&node, INSTRUMENT_NAME, true))
  {
    TInstrument instrument;
    for(const TInstrumentField& field : INSTRUMENT_FIELDS)
      instrument.*field.text = Read_Text(xml_file, node, field.name);
    if(!instrument.Is_Empty())
      instruments.push_back(instrument);
  }
  return instruments;
}

QDate Read_Date(const TXmlFile& xml_file, const QDomElement& root)
{
  const QString text = Read_Text(xml_file, root, "Measurement_Date").trimmed();
  if(text.isEmpty())
    return QDate();
  const QDate date = QDate::fromString(text, DATE_FORMAT);
  if(!date.isValid())
    throw TXmlFileException(
      QStringLiteral("ERR:  The project information %1 must be a date written YYYY-MM-DD, not '%2'").arg(DATE_NAME, text),
      TXmlFileException::ERROR_DATA);
  return date;
}

std::optional<double> Read_Temperature(const TXmlFile& xml_file, const QDomElement& root, const char* name)
{
  const QString text = Read_Text(xml_file, root, name);
  if(text.trimmed().isEmpty())
    return std::nullopt;
  double value = 0.0;
  if(!Parse_Number(text, &value))
    throw TXmlFileException(QStringLiteral("ERR:  The project information %1 must be a number, not '%2'")
                              .arg(QString::fromLatin1(name), text),
                            TXmlFileException::ERROR_DATA);
  return value;
}
}

void Write_Project_Information(TXmlFile* xml_file, const TProjectInformation& information)
{
  if(information.Is_Empty())
    return;
  QDomElement root = xml_file->Create_Node(xml_file->Root_Node(), INFORMATION_NAME);
  Write_Machine(xml_file, &root, information);
  Write_Text(xml_file, &root, "Customer", information.customer);
  Write_Text(xml_file, &root, "Operator", information.operator_name);
  if(information.measurement_date.isValid())
    Write_Text(xml_file, &root, "Measurement_Date", information.measurement_date.toString(DATE_FORMAT));
  Write_Instruments(xml_file, &root, information.instruments);
  for(const TTemperatureField& field : TEMPERATURE_FIELDS)
    if(information.*field.value)
      Write_Text(xml_file, &root, field.name,
                 QString::number(*(information.*field.value), 'g', QLocale::FloatingPointShortest));
  Write_Text(xml_file, &root, "Notes", information.notes);
}

TProjectInformation Read_Project_Information(TXmlFile* xml_file)
{
  TProjectInformation information;
  const QDomElement root = xml_file->Get_Node(xml_file->Root_Node(), INFORMATION_NAME, true);
  if(root.isNull())
    return information;
  const QDomElement machine = xml_file->Get_Node(&root, MACHINE_NAME, true);
  if(!machine.isNull())
    for(const TTextField& field : MACHINE_FIELDS)
      information.*field.text = Read_Text(*xml_file, machine, field.name);
  information.customer = Read_Text(*xml_file, root, "Customer");
  information.operator_name = Read_Text(*xml_file, root, "Operator");
  information.measurement_date = Read_Date(*xml_file, root);
  information.instruments = Read_Instruments(*xml_file, root);
  for(const TTemperatureField& field : TEMPERATURE_FIELDS)
    information.*field.value = Read_Temperature(*xml_file, root, field.name);
  information.notes = Read_Text(*xml_file, root, "Notes");
  return information;
}
