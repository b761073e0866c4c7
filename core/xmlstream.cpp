#include "xmlstream.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <cassert>

namespace
{
// The progress is told how far the reading got after every this many tokens
// (a pipe has no position, but its reading can still be cancelled).
const int PROGRESS_TOKENS = 8192;
}

TXmlStream::TXmlStream(QIODevice* device, const QString& source, bool namespace_processing)
  : d_reader(device), d_device(device), d_source(source)
{
  assert(device);
  d_reader.setNamespaceProcessing(namespace_processing);
}

void TXmlStream::Open_File(QFile* file)
{
  assert(file);
  if(!QFileInfo(file->fileName()).isReadable())
    throw TXmlFileException(QString("ERR:  Cannot open file '%1' for reading.").arg(file->fileName()),
                            TXmlFileException::ERROR_FILE_ACCESS);
  // Read as bytes: the parser handles line ends itself, while text mode would
  // drop every carriage return byte, including those inside UTF-16 characters.
  if(!file->open(QIODevice::ReadOnly))
    throw TXmlFileException(
      QString("ERR:  Cannot open file: '%1'.  Reason: %2").arg(file->fileName(), file->errorString()),
      TXmlFileException::ERROR_FILE_ACCESS);
}

void TXmlStream::Set_Read_Progress(const TReadProgress& progress, const QString& name)
{
  d_progress = progress;
  d_name = name;
}

void TXmlStream::Set_Size_Limit(qint64 characters, const QString& message)
{
  d_size_limit = characters;
  d_size_message = message;
}

QXmlStreamReader::TokenType TXmlStream::Next()
{
  assert(!d_failed);
  const QXmlStreamReader::TokenType token = d_reader.readNext();
  if(d_reader.hasError())
    Throw(QString("ERR:  Reference %1 XML parse error at line %2 column %3: %4")
            .arg(d_source).arg(d_reader.lineNumber()).arg(d_reader.columnNumber()).arg(d_reader.errorString()),
          TXmlFileException::ERROR_DATA);
  if(token == QXmlStreamReader::StartElement)
  {
    if(++d_depth > TXmlFile::MAXIMUM_NESTING_DEPTH)
      Throw(QString("ERR:  Reference %1 XML nested deeper than %2 levels at line %3")
              .arg(d_source).arg(TXmlFile::MAXIMUM_NESTING_DEPTH).arg(d_reader.lineNumber()),
            TXmlFileException::ERROR_DATA);
  }
  else if(token == QXmlStreamReader::EndElement)
    --d_depth;
  if(d_size_limit >= 0 && d_reader.characterOffset() > d_size_limit)
    Throw(d_size_message, TXmlFileException::ERROR_FILE_ACCESS);
  if(d_progress)
    Report_Progress();
  return token;
}

bool TXmlStream::Next_Child(int parent_depth)
{
  while(!d_reader.atEnd())
  {
    const QXmlStreamReader::TokenType token = Next();
    if(token == QXmlStreamReader::StartElement)
      return true;
    if(token == QXmlStreamReader::EndElement && d_depth < parent_depth)
      return false;
  }
  return false;
}

void TXmlStream::Skip_Element()
{
  const int depth = d_depth;
  while(d_depth >= depth && !d_reader.atEnd())
    Next();
}

void TXmlStream::Skip_To_End()
{
  while(!d_reader.atEnd())
    Next();
}

void TXmlStream::Throw(const QString& message, TXmlFileException::TExceptionType type)
{
  d_failed = true;
  throw TXmlFileException(message, type);
}

void TXmlStream::Report_Progress()
{
  if(++d_tokens < PROGRESS_TOKENS && !d_reader.atEnd())
    return;
  d_tokens = 0;
  const qint64 done = d_device->pos();
  const qint64 total = d_device->isSequential() ? 0 : d_device->size();
  if(!d_progress(done, total))
    Throw(QString("ERR:  Reading '%1' was cancelled.").arg(d_name), TXmlFileException::ERROR_FILE_ACCESS);
}
