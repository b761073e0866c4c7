#include "command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>

namespace
{
const char usage_line[] = "Usage: orthavel [--help] [--version] [FILE]\n";

const char help_text[] =
  "Computes the squareness errors of a machine's axes from measured lengths.\n"
  "\n"
  "FILE is opened as if dropped on the window: a .square project is opened,\n"
  "any other file is imported as instrument data.\n"
  "\n"
  "Options:\n"
  "  -h, --help   print this help and exit\n"
  "  --version    print the version and exit\n";

const int usage_error_status = 2;

TCommandLine Usage_Error(const QString& error)
{
  TCommandLine command_line;
  command_line.action = TCommandLine::Usage_Error;
  command_line.error = error;
  return command_line;
}
}

TCommandLine Parse_Arguments(const QStringList& arguments)
{
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
  const QCommandLineOption version(QStringLiteral("version"), QString());
  QCommandLineParser parser;
  parser.addOption(help);
  parser.addOption(version);
  if(!parser.parse(arguments))
    return Usage_Error(parser.errorText());

  TCommandLine command_line;
  const QStringList files = parser.positionalArguments();
  if(parser.isSet(help))
    command_line.action = TCommandLine::Show_Help;
  else if(parser.isSet(version))
    command_line.action = TCommandLine::Show_Version;
  else if(files.size() > 1)
    return Usage_Error(QStringLiteral("Expected at most one file, got %1.").arg(files.size()));
  else if(files.size() == 1)
    command_line.file = QFileInfo(files.front()).absoluteFilePath();
  return command_line;
}

bool Answer_Before_Qt(int argc, char** argv, int* status)
{
  QStringList arguments;
  bool has_option = false;
  for(int i = 0; i < argc; ++i)
  {
    arguments.append(QString::fromLocal8Bit(argv[i]));
    has_option |= i > 0 && arguments.back().startsWith('-');
  }
  const TCommandLine command_line = Parse_Arguments(arguments);
  const bool answered = command_line.action == TCommandLine::Show_Help ||
                        command_line.action == TCommandLine::Show_Version ||
                        (command_line.action == TCommandLine::Usage_Error && !has_option);
  if(answered)
    *status = Answer_Command_Line(command_line);
  return answered;
}

int Answer_Command_Line(const TCommandLine& command_line)
{
  switch(command_line.action)
  {
    case TCommandLine::Start:
      return 0;
    case TCommandLine::Show_Help:
      std::printf("%s\n%s", usage_line, help_text);
      return 0;
    case TCommandLine::Show_Version:
      std::printf("orthavel %s\n", ORTHAVEL_VERSION);
      return 0;
    case TCommandLine::Usage_Error:
      std::fprintf(stderr, "orthavel: %s\n%s", qPrintable(command_line.error), usage_line);
      return usage_error_status;
  }
  return usage_error_status;
}
