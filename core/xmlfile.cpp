#include "xmlfile.h"

#include <QBuffer>
#include <QDomImplementation>
#include <QDomNamedNodeMap>
#include <QDomText>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>
#include <QXmlStreamReader>
#include <cassert>

#include "fixedtext.h"
#include "xmlstream.h"

namespace
{
const QString VERSION_ATTRIBUTE("File_Version");

TXmlFileException Data_Error(const QString& message)
{
  return TXmlFileException(message, TXmlFileException::ERROR_DATA);
}

// Walks the data with a non-recursive reader and stops at the first syntax
// error or at the first element nested deeper than the limit. Only data that
// passes is handed to the recursive DOM builder.
void Check_Structure(const QByteArray& data, const QString& source)
{
  QBuffer buffer;
  buffer.setData(data);
  buffer.open(QIODevice::ReadOnly);
  TXmlStream(&buffer, source, false).Skip_To_End();
}

// True when XML allows every character of the text: tab, line feed, carriage
// return, U+0020 to U+D7FF, U+E000 to U+FFFD, and U+10000 to U+10FFFF as a
// whole surrogate pair.
bool Is_Xml_Text(const QString& text)
{
  const int size = text.size();
  for(int i = 0; i < size; ++i)
  {
    const ushort unit = text.at(i).unicode();
    if(QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(text.at(i + 1).unicode()))
    {
      ++i;
      continue;
    }
    const bool allowed = unit == 0x9 || unit == 0xA || unit == 0xD || (unit >= 0x20 && unit <= 0xD7FF) ||
                         (unit >= 0xE000 && unit <= 0xFFFD);
    if(!allowed)
      return false;
  }
  return true;
}

// Holds the process-wide DOM policy at accepting any characters and restores
// the previous one. The DOM builder uses every node it creates without a
// check, while the refusing policy judges text one UTF-16 unit at a time: a
// character beyond U+FFFF (a surrogate pair) in text, a comment or a
// character data section would give it a null node and crash it. The parser
// has already judged the characters, so the builder takes what it accepted.
class TAcceptingDomPolicy
{
public:
  TAcceptingDomPolicy() : d_previous(QDomImplementation::invalidDataPolicy())
  {
    QDomImplementation::setInvalidDataPolicy(QDomImplementation::AcceptInvalidChars);
  }
  ~TAcceptingDomPolicy() { QDomImplementation::setInvalidDataPolicy(d_previous); }
  TAcceptingDomPolicy(const TAcceptingDomPolicy&) = delete;
  TAcceptingDomPolicy& operator=(const TAcceptingDomPolicy&) = delete;

private:
  const QDomImplementation::InvalidDataPolicy d_previous;
};
}

TXmlFile::TXmlFile()
{
  QDomImplementation::setInvalidDataPolicy(QDomImplementation::ReturnNullNode);
}

TXmlFile::~TXmlFile() = default;

void TXmlFile::Open(const QString& identification, int* version, bool namespace_processing)
{
  QFile file(d_file_name);
  TXmlStream::Open_File(&file);
  const QByteArray data = file.readAll();
  file.close();

  Parse(data, "file", namespace_processing);
  Check_Identity(identification, version);
}

void TXmlFile::Open_Data(const QByteArray& data, const QString& identification, int* version, bool namespace_processing)
{
  Parse(data, "data", namespace_processing);
  Check_Identity(identification, version);
}

// The DOM is built by the same stream parser that checked the structure, so
// both judge the document alike; it also keeps character references beyond
// U+FFFF whole, which the older SAX-style builder cuts to 16 bits.
void TXmlFile::Parse(const QByteArray& data, const QString& source, bool namespace_processing)
{
  Check_Structure(data, source);

  QString message;
  int line = 0;
  int column = 0;
  const TAcceptingDomPolicy accepting_policy;
  QXmlStreamReader reader(data);
  if(!d_document.setContent(&reader, namespace_processing, &message, &line, &column))
    throw Data_Error(QString("ERR:  Reference %1 XML parse error at line %2 column %3: %4")
                       .arg(source).arg(line).arg(column).arg(message));
}

void TXmlFile::Check_Identity(const QString& identification, int* version)
{
  d_root = d_document.documentElement();
  const std::optional<QString> version_text =
    d_root.hasAttribute(VERSION_ATTRIBUTE) ? std::optional<QString>(d_root.attribute(VERSION_ATTRIBUTE)) : std::nullopt;
  Check_Root(identification, d_root.tagName(), version_text, version);
  d_document_type_name = d_document.doctype().name();
  d_identification = identification;
}

void TXmlFile::Check_Root(const QString& identification, const QString& tag_name,
                          const std::optional<QString>& version_text, int* version)
{
  if(tag_name != identification)
    throw Data_Error(QString("ERR:  Identification '%1' does not match '%2'").arg(identification, tag_name));
  if(!version)
    return;
  if(!version_text)
    throw Data_Error("ERR:  The 'File_Version' attribute is missing.");
  *version = version_text->toInt(nullptr, 10);
}

const QString& TXmlFile::Version_Attribute()
{
  return VERSION_ATTRIBUTE;
}

void TXmlFile::Reset(const QString& identification, int version)
{
  d_document = QDomDocument();
  d_document.appendChild(d_document.createProcessingInstruction("xml", "version=\"1.0\" encoding=\"utf-8\""));
  d_root = d_document.createElement(identification);
  d_root.setAttribute(VERSION_ATTRIBUTE, version);
  d_document.appendChild(d_root);
}

void TXmlFile::Reset(const QString& document_type, const QString& identification, int version)
{
  d_document = QDomDocument(document_type);
  d_root = d_document.createElement(identification);
  d_root.setAttribute(VERSION_ATTRIBUTE, version);
  d_document.appendChild(d_root);
}

void TXmlFile::Clear()
{
  d_document.clear();
  d_root.clear();
}

// The element and node overloads differ only in the name their messages give
// the node: an element's tag name, or the node name or local name of a node.
QDomElement TXmlFile::Get_Node(const QDomElement* node, const QString& name, bool optional) const
{
  assert(node);
  return Child_Element(*node, node->tagName(), name, optional);
}

QDomElement TXmlFile::Get_Node(const QDomNode* node, const QString& name, bool optional) const
{
  assert(node);
  return Child_Element(*node, node->nodeName(), name, optional);
}

QDomElement TXmlFile::Get_Sibling_Node(const QDomElement* current_node, const QString& name, bool optional) const
{
  assert(current_node);
  if(current_node->isNull())
    throw Data_Error("ERR:  Cannot get sibling from a NULL node");

  const QDomElement sibling = current_node->nextSiblingElement(name);
  if(sibling.isNull() && !optional)
    throw Data_Error(QString("ERR:  Node '%1' is missing from node '%2' and not optional.")
                       .arg(name, current_node->tagName()));
  return sibling;
}

QDomNode TXmlFile::Get_First_Node(const QDomElement* parent, bool optional) const
{
  assert(parent);
  return First_Child(*parent, parent->tagName(), optional);
}

QDomNode TXmlFile::Get_First_Node(const QDomNode* parent, bool optional) const
{
  assert(parent);
  return First_Child(*parent, parent->localName(), optional);
}

QDomNode TXmlFile::Get_Sibling_Node(const QDomNode* current_node, bool optional) const
{
  assert(current_node);
  const QDomNode sibling = current_node->nextSibling();
  if(sibling.isNull() && !optional)
    throw Data_Error(QString("ERR:  Node '%1' does not have siblings and they are not optional.")
                       .arg(current_node->localName()));
  return sibling;
}

QString TXmlFile::Read_Text_Node(const QDomElement* node, bool optional) const
{
  assert(node);
  return Text_Of(*node, node->tagName(), optional);
}

QString TXmlFile::Read_Text_Node(const QDomNode* node, bool optional) const
{
  assert(node);
  return Text_Of(*node, node->localName(), optional);
}

QString TXmlFile::Read_Attribute(const QDomElement* node, const QString& name, bool optional) const
{
  assert(node);
  return Attribute_Of(*node, name, optional);
}

QString TXmlFile::Read_Attribute(const QDomNode* node, const QString& name, bool optional) const
{
  assert(node);
  return Attribute_Of(*node, name, optional);
}

QDomElement TXmlFile::Child_Element(const QDomNode& node, const QString& node_name, const QString& name, bool optional)
{
  if(node.isNull())
    throw Data_Error("ERR:  Cannot get child from a NULL node");

  const QDomElement child = node.firstChildElement(name);
  if(child.isNull() && !optional)
    throw Data_Error(QString("ERR:  Node '%1' is missing from node '%2' and not optional.").arg(name, node_name));
  return child;
}

QDomNode TXmlFile::First_Child(const QDomNode& parent, const QString& parent_name, bool optional)
{
  const QDomNode child = parent.firstChild();
  if(child.isNull() && !optional)
    throw Data_Error(QString("ERR:  Parent '%1' does not have nodes and they are not optional.").arg(parent_name));
  return child;
}

QString TXmlFile::Text_Of(const QDomNode& node, const QString& node_name, bool optional)
{
  if(node.isNull())
    throw Data_Error("ERR:  Cannot read data from a NULL node");

  const QDomNode child = node.firstChild();
  if(child.isText())
    return child.nodeValue();
  if(!optional)
    throw Data_Error(QString("ERR:  Node Text for '%1' is not optional.").arg(node_name));
  return QString();
}

QString TXmlFile::Attribute_Of(const QDomNode& node, const QString& name, bool optional)
{
  if(node.isNull())
    throw Data_Error("ERR:  Cannot read attribute from a NULL node");

  const QDomNode attribute = node.attributes().namedItem(name);
  if(!attribute.isNull())
    return attribute.nodeValue();
  if(!optional)
    throw Data_Error(QString("ERR:  Node attribute '%1' missing and not optional.").arg(name));
  return QString();
}

QDomElement TXmlFile::Append_Element(QDomNode* parent, TXmlStream* stream)
{
  assert(parent && stream);
  const QXmlStreamReader& reader = stream->Reader();
  assert(reader.isStartElement());
  // The parser has judged the characters already (see TAcceptingDomPolicy).
  const TAcceptingDomPolicy accepting_policy;
  const bool namespaces = stream->Namespace_Processing();
  const QDomElement element = Stream_Element(reader, namespaces);
  parent->appendChild(element);
  QDomNode current = element;
  for(int depth = 1; depth > 0;)
  {
    const QXmlStreamReader::TokenType token = stream->Next();
    if(token == QXmlStreamReader::StartElement)
    {
      current = current.appendChild(Stream_Element(reader, namespaces));
      ++depth;
    }
    else if(token == QXmlStreamReader::EndElement)
    {
      current = current.parentNode();
      --depth;
    }
    else
    {
      const QDomNode node = Stream_Node(reader);
      if(!node.isNull())
        current.appendChild(node);
    }
  }
  return element;
}

// The element the reader has started, with its attributes.
QDomElement TXmlFile::Stream_Element(const QXmlStreamReader& reader, bool namespace_processing)
{
  QDomElement element = namespace_processing
                          ? d_document.createElementNS(reader.namespaceUri().toString(), reader.qualifiedName().toString())
                          : d_document.createElement(reader.qualifiedName().toString());
  for(const QXmlStreamAttribute& attribute : reader.attributes())
  {
    if(namespace_processing)
      element.setAttributeNS(attribute.namespaceUri().toString(), attribute.qualifiedName().toString(),
                             attribute.value().toString());
    else
      element.setAttribute(attribute.qualifiedName().toString(), attribute.value().toString());
  }
  return element;
}

// The node of a token inside an element other than an element's start or end;
// a null node for text of white space alone. As for the document builder,
// white space is any space character, also in a character data section.
QDomNode TXmlFile::Stream_Node(const QXmlStreamReader& reader)
{
  switch(reader.tokenType())
  {
  case QXmlStreamReader::Characters:
    if(reader.text().trimmed().isEmpty())
      return QDomNode();
    if(reader.isCDATA())
      return d_document.createCDATASection(reader.text().toString());
    return d_document.createTextNode(reader.text().toString());
  case QXmlStreamReader::Comment:
    return d_document.createComment(reader.text().toString());
  case QXmlStreamReader::ProcessingInstruction:
    return d_document.createProcessingInstruction(reader.processingInstructionTarget().toString(),
                                                  reader.processingInstructionData().toString());
  case QXmlStreamReader::EntityReference:
    return d_document.createEntityReference(reader.name().toString());
  default:
    return QDomNode();
  }
}

QDomElement TXmlFile::Create_Node(QDomElement* parent, const QString& name)
{
  assert(parent);
  if(parent->isNull())
    throw Data_Error("ERR:  Cannot create node from a NULL node");
  if(name.isEmpty())
    throw Data_Error("ERR:  Cannot create an unnamed node");

  // An invalid tag name gives a null element; appending it would silently drop it.
  QDomElement element = d_document.createElement(name);
  if(element.isNull())
    throw Data_Error(QString("ERR:  Cannot create node '%1'").arg(name));
  parent->appendChild(element);
  return element;
}

void TXmlFile::Write_Text_Node(QDomElement* node, const QString& text)
{
  assert(node);
  if(node->isNull())
    throw Data_Error("ERR:  Cannot append data to a NULL node");

  // The refusing policy would also turn down every character beyond U+FFFF,
  // so the characters are judged here, whole, and the node is made without it.
  QDomText text_node;
  if(Is_Xml_Text(text))
  {
    const TAcceptingDomPolicy accepting_policy;
    text_node = d_document.createTextNode(text);
  }
  if(text_node.isNull())
    throw Data_Error(QString("ERR:  Cannot write node '%1' with data '%2'").arg(node->tagName(), text));
  node->appendChild(text_node);
}

void TXmlFile::Write_Text_Node(QDomElement* node, const double& value, int precision)
{
  Write_Text_Node(node, Fixed_Text(value, precision));
}

void TXmlFile::Write_Text_Node(QDomElement* node, int value)
{
  Write_Text_Node(node, QString::number(value));
}

void TXmlFile::Write_Attribute(QDomElement* node, const QString& name, const QString& value)
{
  assert(node);
  if(name.isEmpty())
    throw Data_Error("ERR:  Cannot create an unnamed attribute");
  node->setAttribute(name, value);
}

void TXmlFile::Write_Attribute(QDomElement* node, const QString& name, const double& value, int precision)
{
  Write_Attribute(node, name, Fixed_Text(value, precision));
}

void TXmlFile::Write_Attribute(QDomElement* node, const QString& name, int value)
{
  Write_Attribute(node, name, QString::number(value));
}

// Indented by 4 spaces per level, or on one line without any line breaks.
// The document's own declaration and DOCTYPE are written as they are, and the
// text is encoded as the declaration says (UTF-8 when it names no encoding),
// never in the locale's encoding.
QByteArray TXmlFile::Document_Text(bool compact) const
{
  QByteArray text;
  {
    QTextStream stream(&text, QIODevice::WriteOnly);
    stream.setCodec("UTF-8");
    d_document.save(stream, compact ? 0 : 4, QDomNode::EncodingFromDocument);
  }

  if(compact)
  {
    text.replace('\n', QByteArray());
    text.replace('\r', QByteArray());
  }
  return text;
}

// The document goes to a temporary file that replaces the old one only once
// everything was written, so a failed save leaves the previous file untouched.
// Only when the folder cannot hold the temporary file is the file written directly.
// The project is never written in place: the text goes to a temporary file
// beside the old one, which replaces it only once every byte is on disk. A
// write that stays in the device's buffer fails only when the buffer is
// flushed, so the flush is checked before the file is committed.
void TXmlFile::Write_File(bool compact)
{
  const QFileInfo info(d_file_name);
  if(info.exists() && !info.isWritable())
    throw TXmlFileException(QString("ERR:  Cannot open file '%1' for writing").arg(d_file_name),
                            TXmlFileException::ERROR_FILE_ACCESS);

  QSaveFile file(d_file_name);
  file.setDirectWriteFallback(false);
  if(!file.open(QIODevice::WriteOnly | QIODevice::Text))
    throw Data_Error(QString("ERR:  Cannot write file '%1'.  Reason: %2").arg(d_file_name, Open_Failure(info, file)));

  const QByteArray text = Document_Text(compact);
  if(file.write(text) != text.size() || !file.flush() || file.error() != QFileDevice::NoError || !file.commit())
    throw Data_Error(QString("ERR:  Cannot write file '%1'.  Reason: %2").arg(d_file_name, file.errorString()));
}

// Why the temporary file could not be made: a folder that takes no new file
// is named, since the old file in it may well be writable.
QString TXmlFile::Open_Failure(const QFileInfo& target, const QSaveFile& file)
{
  const QFileInfo folder(target.absolutePath());
  if(!target.isDir() && folder.isDir())
    return QString("the folder '%1' is not writable (%2)").arg(folder.absoluteFilePath(), file.errorString());
  return file.errorString();
}

void TXmlFile::Write_Data(QByteArray* data, bool compact) const
{
  assert(data);
  *data = Document_Text(compact);
}
