// Shared by the XML wrapper's tests: the message or type of the exception a
// call throws, and whole files read and written in one go.
#ifndef XMLFILE_TEST_HELPERS_H
#define XMLFILE_TEST_HELPERS_H

#include <QFile>
#include <QString>

#include "xmlfile.h"

namespace xmlfile_test
{
// Runs the call and returns the message it threw, or "no exception".
template<typename Call> QString Thrown(Call call)
{
  try
  {
    call();
  }
  catch(const TXmlFileException& exception)
  {
    return exception.Message();
  }
  return QStringLiteral("no exception");
}

template<typename Call> TXmlFileException::TExceptionType Thrown_Type(Call call)
{
  try
  {
    call();
  }
  catch(const TXmlFileException& exception)
  {
    return exception.Type();
  }
  return static_cast<TXmlFileException::TExceptionType>(-1);
}

inline QByteArray Read_All(const QString& path)
{
  QFile file(path);
  if(!file.open(QIODevice::ReadOnly))
    return QByteArray("<unreadable>");
  return file.readAll();
}

inline bool Write_All(const QString& path, const QByteArray& data)
{
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}
} // namespace xmlfile_test

#endif
