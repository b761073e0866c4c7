// Reads the command line's files into one set, as the window reads a file
// dropped on it: a name ending in .square is loaded as a project (its records,
// settings and information), any other file is imported. The settings of the
// first project apply to the whole set.
#ifndef CLI_INPUT_H
#define CLI_INPUT_H

#include <QString>
#include <QStringList>

class TMeasurementSet;

struct TCliInput
{
  // The first project's file, empty when no project was given.
  QString first_project;
  // What the window would warn about: skipped lines, zero directions,
  // records left out of the fit, ball bars of another length, ignored settings.
  QStringList warnings;
};

// Appends every file's records to *set. False when a file cannot be read,
// recognised or loaded: *error is then "FILE: ERR:  ...", and the set holds
// what came before.
bool Read_Cli_Files(const QStringList& files, TMeasurementSet* set, TCliInput* input, QString* error);

#endif
