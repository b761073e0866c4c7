// The records' part of a .square file: the names of the root and of the two
// groups, and one record as a "Measurement" element. A ball bar holds Name,
// Position, Axis and Actual_Length; a length record holds Nominal_Length and
// Draw_Offset before those.
#ifndef PROJECTRECORDS_H
#define PROJECTRECORDS_H

#include <QDomElement>
#include <QString>
#include <QStringList>
#include <memory>

#include "measurement.h"

class TXmlFile;

namespace Project_Elements
{
const QString ROOT = QStringLiteral("Orthavel");
const int VERSION = 1;
const QString MEASUREMENT = QStringLiteral("Measurement");
// The group that holds the records of a kind.
QString Group_Name(TMeasurement::TMeasurementType type);
}

// Adds the record as a "Measurement" element to its group.
void Write_Record_Element(TXmlFile* xml_file, QDomElement* group, const TMeasurement& record);

// The record of the given kind that a "Measurement" element holds. An axis the
// record cannot take as a direction becomes (1, 0, 0) and the record's name is
// added to *zero_directions. A missing element or text, or a position or axis
// without three values, throws a TXmlFileException naming it.
std::unique_ptr<TMeasurement> Read_Record_Element(const TXmlFile& xml_file, const QDomElement& node,
                                                  TMeasurement::TMeasurementType type, QStringList* zero_directions);

#endif
