// Checked reading of an XML document one token at a time, from a device read
// as the tokens need it, so that memory does not grow with the document. The
// checks and messages are those TXmlFile makes before it builds a document
// tree: a syntax error, or an element nested deeper than
// TXmlFile::MAXIMUM_NESTING_DEPTH, throws a TXmlFileException.
#ifndef XMLSTREAM_H
#define XMLSTREAM_H

#include <QString>
#include <QXmlStreamReader>
#include <functional>

#include "xmlfile.h"

class QFile;
class QIODevice;

class TXmlStream
{
public:
  // source names the input in messages: "file" or "data".
  TXmlStream(QIODevice* device, const QString& source, bool namespace_processing);

  // Opens a file for reading, or throws the reason it cannot be read.
  static void Open_File(QFile* file);

  using TReadProgress = std::function<bool(qint64 done, qint64 total)>;
  // Reports the reading to progress (bytes read, device size or 0 for a pipe);
  // when it returns false the stream throws "Reading 'name' was cancelled."
  void Set_Read_Progress(const TReadProgress& progress, const QString& name);
  // Throws the message once more than `characters` characters have been
  // read: a pipe has no size to look at before it is read.
  void Set_Size_Limit(qint64 characters, const QString& message);

  // The next token; throws on a syntax error, too deep a nesting or a cancel.
  QXmlStreamReader::TokenType Next();
  // Moves to the next child element of the element started at depth
  // parent_depth; false once that element has ended.
  bool Next_Child(int parent_depth);
  // Passes over the rest of the element just started, checking it.
  void Skip_Element();
  // Passes over the rest of the document, checking it.
  void Skip_To_End();

  const QXmlStreamReader& Reader() const { return d_reader; }
  bool Namespace_Processing() const { return d_reader.namespaceProcessing(); }
  // Elements started and not yet ended.
  int Depth() const { return d_depth; }
  // True once the stream itself has thrown: what follows cannot be read.
  bool Failed() const { return d_failed; }

private:
  void Throw(const QString& message, TXmlFileException::TExceptionType type);
  void Report_Progress();

  QXmlStreamReader d_reader;
  QIODevice* d_device;
  QString d_source;
  TReadProgress d_progress;
  QString d_name;
  qint64 d_size_limit = -1;
  QString d_size_message;
  int d_tokens = 0;
  int d_depth = 0;
  bool d_failed = false;
};

#endif
