// The one reused file through which a fuzz target hands its input to a
// loader that reads from a path.
#ifndef FUZZ_INPUT_H
#define FUZZ_INPUT_H

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

inline const QString& Input_Path(const QString& file_name)
{
  static QTemporaryDir directory;
  static const QString path = directory.filePath(file_name);
  return path;
}

inline void Write_Input(const QString& path, const uint8_t* data, size_t size)
{
  QFile file(path);
  if(!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
    std::abort();
  if(file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
    std::abort();
}

#endif
