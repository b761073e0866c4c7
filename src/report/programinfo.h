// The program's name and version as the report and the command line give them.
#ifndef PROGRAMINFO_H
#define PROGRAMINFO_H

#include <QString>

// "3.1"
QString Program_Version();
// "Orthavel 3.1"
QString Program_Name_And_Version();

#endif
