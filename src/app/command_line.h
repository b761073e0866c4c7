#ifndef COMMAND_LINE_H
#define COMMAND_LINE_H

#include <QString>
#include <QStringList>

// What the window program's command line asks for: start (with a file to open
// or none), print the help or the version, or refuse a usage error.
struct TCommandLine
{
  enum TAction
  {
    Start,
    Show_Help,
    Show_Version,
    Usage_Error
  };

  TAction action = Start;
  QString file;   // absolute path of the file to open at start, empty for none
  QString error;  // what is wrong, for a usage error
};

// Reads the arguments left after QApplication took its own; the first is the program.
TCommandLine Parse_Arguments(const QStringList& arguments);

// Answers the command line before QApplication exists, so without a display, where
// the answer cannot depend on Qt's own options (such as -platform), which only
// QApplication knows: help and version requests, and errors in arguments that hold
// no option. Returns true, with the exit status in `status`, when it answered.
bool Answer_Before_Qt(int argc, char** argv, int* status);

// Prints the help, the version or the usage error and returns the exit status
// (0, or 2 for a usage error). Does nothing for Start and returns 0.
int Answer_Command_Line(const TCommandLine& command_line);

#endif
