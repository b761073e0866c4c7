// Reads a .square project (projectfile.h) as a stream. Each "Measurement"
// element is held as a document tree only while its record is read, so the
// memory a project takes follows its records, not the size of its text. The
// root's other elements (the settings and the information) are small and are
// kept as a tree for their readers, as the whole file once was.
//
// A file is judged as it was when it was read whole: a syntax error anywhere
// comes before a fault in its content, only the first "BallBar" and the first
// "Length" group are read, and a fault among the ball bars comes before one
// among the length records, wherever the groups stand in the file.
#ifndef PROJECTREADER_H
#define PROJECTREADER_H

#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "measurement.h"
#include "projectsettings.h"
#include "xmlfile.h"

class TXmlStream;

class TProjectReader
{
public:
  using TRecords = std::vector<std::unique_ptr<TMeasurement>>;

  explicit TProjectReader(TXmlStream* stream);

  // Reads the whole stream: the ball bars, then the length records, each group
  // in file order, into *records; the names of records whose axis had no
  // length into *zero_directions; the settings into *settings. Throws a
  // TXmlFileException on the first fault, with *records holding the records
  // read before it.
  void Read(TRecords* records, QStringList* zero_directions, TProjectSettings* settings);

private:
  // The records of one kind and the first fault among them.
  struct TGroup
  {
    explicit TGroup(TMeasurement::TMeasurementType type) : type(type) {}
    TMeasurement::TMeasurementType type;
    TRecords records;
    QStringList zero_directions;
    std::optional<TXmlFileException> fault;
    bool seen = false;
  };

  void Read_Root();
  void Read_Root_Child(TXmlFile* others);
  void Read_Group(TGroup* group);
  void Read_Measurement(TGroup* group);
  void Hand_Over(TRecords* records, QStringList* zero_directions);

  TXmlStream* d_stream;
  TGroup d_ballbars{TMeasurement::MEASUREMENT_BALLBAR};
  TGroup d_lengths{TMeasurement::MEASUREMENT_LENGTH};
  // Holds one "Measurement" element at a time.
  TXmlFile d_measurement_file;
};

#endif
