// Checked wrapper over a DOM document. Every problem with a file or its
// content is thrown as a TXmlFileException whose message starts "ERR:  ".
#ifndef XMLFILE_H
#define XMLFILE_H

#include <QByteArray>
#include <QDomDocument>
#include <QDomElement>
#include <QDomNode>
#include <QString>
#include <QXmlStreamReader>
#include <functional>
#include <optional>

class QFileInfo;
class QSaveFile;
class TXmlStream;

class TXmlFileException
{
public:
  enum TExceptionType
  {
    ERROR_FILE_ACCESS = 0,
    ERROR_DATA = 1
  };

  TXmlFileException(const QString& message, TExceptionType type) : d_message(message), d_type(type) {}

  QString Message() const { return d_message; }
  TExceptionType Type() const { return d_type; }

private:
  QString d_message;
  TExceptionType d_type;
};

class TXmlFile
{
public:
  // Documents nested deeper than this are refused before the DOM is built,
  // since building, saving and destroying the DOM recurse once per level.
  static constexpr int MAXIMUM_NESTING_DEPTH = 512;

  TXmlFile();
  ~TXmlFile();

  // Throws unless the root's tag name is identification and, when version is
  // given, the root has a version attribute (its text, or none), which is then
  // read into *version.
  static void Check_Root(const QString& identification, const QString& tag_name,
                         const std::optional<QString>& version_text, int* version);
  // The root's attribute that holds the version: "File_Version".
  static const QString& Version_Attribute();

  QDomElement* Root_Node() { return &d_root; }
  QString File_Name() const { return d_file_name; }
  void Set_File_Name(const QString& file_name) { d_file_name = file_name; }
  QString Identification() const { return d_identification; }
  QString Document_Type_Name() const { return d_document_type_name; }

  void Open(const QString& identification, int* version, bool namespace_processing);
  void Open_Data(const QByteArray& data, const QString& identification, int* version, bool namespace_processing);
  void Reset(const QString& identification, int version);
  void Reset(const QString& document_type, const QString& identification, int version);
  void Clear();

  QDomElement Get_Node(const QDomElement* node, const QString& name, bool optional) const;
  QDomElement Get_Node(const QDomNode* node, const QString& name, bool optional) const;
  QDomElement Get_Sibling_Node(const QDomElement* current_node, const QString& name, bool optional) const;
  QDomNode Get_First_Node(const QDomElement* parent, bool optional) const;
  QDomNode Get_First_Node(const QDomNode* parent, bool optional) const;
  QDomNode Get_Sibling_Node(const QDomNode* current_node, bool optional) const;
  QString Read_Text_Node(const QDomElement* node, bool optional) const;
  QString Read_Text_Node(const QDomNode* node, bool optional) const;
  QString Read_Attribute(const QDomElement* node, const QString& name, bool optional) const;
  QString Read_Attribute(const QDomNode* node, const QString& name, bool optional) const;

  // Copies the element the stream has just started, with everything in it,
  // under parent as Open would have built it (text of space characters alone
  // is left out), and leaves the stream after the element's end.
  QDomElement Append_Element(QDomNode* parent, TXmlStream* stream);

  QDomElement Create_Node(QDomElement* parent, const QString& name);
  void Write_Text_Node(QDomElement* node, const QString& text);
  void Write_Text_Node(QDomElement* node, const double& value, int precision);
  void Write_Text_Node(QDomElement* node, int value);
  void Write_Attribute(QDomElement* node, const QString& name, const QString& value);
  void Write_Attribute(QDomElement* node, const QString& name, const double& value, int precision);
  void Write_Attribute(QDomElement* node, const QString& name, int value);
  void Write_File(bool compact);
  void Write_Data(QByteArray* data, bool compact) const;

private:
  static QDomElement Child_Element(const QDomNode& node, const QString& node_name, const QString& name, bool optional);
  static QDomNode First_Child(const QDomNode& parent, const QString& parent_name, bool optional);
  static QString Text_Of(const QDomNode& node, const QString& node_name, bool optional);
  static QString Attribute_Of(const QDomNode& node, const QString& name, bool optional);
  QDomElement Stream_Element(const QXmlStreamReader& reader, bool namespace_processing);
  QDomNode Stream_Node(const QXmlStreamReader& reader);
  static QString Open_Failure(const QFileInfo& target, const QSaveFile& file);

  void Parse(const QByteArray& data, const QString& source, bool namespace_processing);
  void Check_Identity(const QString& identification, int* version);
  QByteArray Document_Text(bool compact) const;

  QDomDocument d_document;
  QDomElement d_root;
  QString d_file_name;
  QString d_identification;
  QString d_document_type_name;
};

#endif
