#include "projectreader.h"

#include <cassert>
#include <iterator>

#include "projectrecords.h"
#include "projectsettingsfile.h"
#include "xmlstream.h"

namespace
{
const int ROOT_DEPTH = 1;

void Append(TProjectReader::TRecords* to, TProjectReader::TRecords* from)
{
  to->insert(to->end(), std::make_move_iterator(from->begin()), std::make_move_iterator(from->end()));
  from->clear();
}
}

TProjectReader::TProjectReader(TXmlStream* stream) : d_stream(stream)
{
  assert(stream);
  d_measurement_file.Reset(Project_Elements::ROOT, Project_Elements::VERSION);
}

void TProjectReader::Read(TRecords* records, QStringList* zero_directions, TProjectSettings* settings)
{
  assert(records && zero_directions && settings);
  try
  {
    TXmlFile others;
    others.Reset(Project_Elements::ROOT, Project_Elements::VERSION);
    Read_Root();
    while(d_stream->Next_Child(ROOT_DEPTH))
      Read_Root_Child(&others);
    d_stream->Skip_To_End();
    for(const TGroup* group : {&d_ballbars, &d_lengths})
      if(group->fault)
        throw *group->fault;
    *settings = Read_Project_Settings(&others);
    Hand_Over(records, zero_directions);
  }
  catch(const TXmlFileException&)
  {
    Hand_Over(records, zero_directions);
    // A syntax error further on is the file's first fault.
    if(!d_stream->Failed())
      d_stream->Skip_To_End();
    throw;
  }
}

void TProjectReader::Read_Root()
{
  while(!d_stream->Reader().atEnd() && d_stream->Next() != QXmlStreamReader::StartElement)
    ;
  const QXmlStreamReader& reader = d_stream->Reader();
  const QXmlStreamAttributes attributes = reader.attributes();
  const QString& version_attribute = TXmlFile::Version_Attribute();
  const std::optional<QString> version_text =
    attributes.hasAttribute(version_attribute) ? std::optional<QString>(attributes.value(version_attribute).toString())
                                               : std::nullopt;
  int version = 0;
  TXmlFile::Check_Root(Project_Elements::ROOT, reader.name().toString(), version_text, &version);
  if(version != Project_Elements::VERSION)
    throw TXmlFileException(QStringLiteral("ERR:  File version not recognized"), TXmlFileException::ERROR_DATA);
}

// The first group of each kind is read; a second is passed over. Every other
// element is kept for the settings' readers.
void TProjectReader::Read_Root_Child(TXmlFile* others)
{
  const QStringRef name = d_stream->Reader().name();
  for(TGroup* group : {&d_ballbars, &d_lengths})
  {
    if(name != Project_Elements::Group_Name(group->type))
      continue;
    if(group->seen)
      d_stream->Skip_Element();
    else
      Read_Group(group);
    return;
  }
  others->Append_Element(others->Root_Node(), d_stream);
}

// Every "Measurement" child up to the group's first fault becomes a record.
void TProjectReader::Read_Group(TGroup* group)
{
  group->seen = true;
  const int depth = d_stream->Depth();
  while(d_stream->Next_Child(depth))
  {
    if(d_stream->Reader().name() == Project_Elements::MEASUREMENT && !group->fault)
      Read_Measurement(group);
    else
      d_stream->Skip_Element();
  }
}

void TProjectReader::Read_Measurement(TGroup* group)
{
  QDomElement* holder = d_measurement_file.Root_Node();
  const QDomElement node = d_measurement_file.Append_Element(holder, d_stream);
  try
  {
    group->records.push_back(Read_Record_Element(d_measurement_file, node, group->type, &group->zero_directions));
  }
  catch(const TXmlFileException& fault)
  {
    group->fault = fault;
  }
  holder->removeChild(node);
}

// The ball bars, then the length records read before the first fault.
void TProjectReader::Hand_Over(TRecords* records, QStringList* zero_directions)
{
  Append(records, &d_ballbars.records);
  *zero_directions += d_ballbars.zero_directions;
  if(d_ballbars.fault)
    return;
  Append(records, &d_lengths.records);
  *zero_directions += d_lengths.zero_directions;
}
