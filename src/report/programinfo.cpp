#include "programinfo.h"

QString Program_Version()
{
  return QStringLiteral(ORTHAVEL_VERSION);
}

QString Program_Name_And_Version()
{
  return QStringLiteral("Orthavel %1").arg(Program_Version());
}
