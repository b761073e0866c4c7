// The command line of orthavel-cli:
//   orthavel-cli [--format text|json|csv] [--sign NAME] [--unit mm/m|um/m|urad|arcsec]
//                [--report FILE.pdf|FILE.html] FILE...
#ifndef CLI_OPTIONS_H
#define CLI_OPTIONS_H

#include <QString>
#include <QStringList>

#include "setresults.h"

enum TCliFormat
{
  CLI_FORMAT_TEXT,
  CLI_FORMAT_JSON,
  CLI_FORMAT_CSV
};

struct TCliOptions
{
  enum TAction
  {
    Run,
    Show_Help,
    Show_Version,
    Usage_Error
  };

  TAction action = Run;
  QString error; // what is wrong, for a usage error
  TCliFormat format = CLI_FORMAT_TEXT;
  TResultsDisplay display;
  QString report; // the report file, empty for none
  QStringList files;
};

// Exit statuses.
constexpr int CLI_SUCCESS = 0;
constexpr int CLI_FILE_ERROR = 1;
constexpr int CLI_USAGE_ERROR = 2;

// Reads the arguments; the first is the program.
TCliOptions Parse_Cli_Arguments(const QStringList& arguments);

// "Usage: orthavel-cli ..." and the help text.
QString Cli_Usage_Line();
QString Cli_Help_Text();

#endif
