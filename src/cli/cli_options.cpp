#include "cli_options.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include "reportfile.h"

namespace
{
TCliOptions Usage_Error(const QString& error)
{
  TCliOptions options;
  options.action = TCliOptions::Usage_Error;
  options.error = error;
  return options;
}

QString Sign_Names()
{
  QStringList names;
  for(const TSignConvention& convention : Sign_Conventions())
    names << QString::fromLatin1(convention.maker);
  return names.join(QStringLiteral(", "));
}
}

QString Cli_Usage_Line()
{
  return QStringLiteral("Usage: orthavel-cli [--format text|json|csv] [--sign NAME] [--unit mm/m|um/m|urad|arcsec] "
                        "[--report FILE.pdf|FILE.html] FILE...\n");
}

QString Cli_Help_Text()
{
  return QStringLiteral(
           "Computes the squareness errors of a machine's axes from measurement files, as the window does.\n"
           "\n"
           "Each FILE ending in .square is loaded as a project, any other is imported as instrument data;\n"
           "all files together make one set, in the order given. The settings of the first project apply.\n"
           "\n"
           "Options:\n"
           "  --format text|json|csv   how the results are printed (default text)\n"
           "  --sign NAME              sign convention: %1 (default BnS)\n"
           "  --unit UNIT              unit of the errors: mm/m, um/m, urad or arcsec (default mm/m)\n"
           "  --report FILE            also write the report, as PDF (.pdf) or HTML (.html)\n"
           "  -h, --help               print this help and exit\n"
           "  --version                print the version and exit\n"
           "\n"
           "Exit status: 0 on success, 1 when a file cannot be read, recognised or loaded,\n"
           "2 on a usage error.\n")
    .arg(Sign_Names());
}

TCliOptions Parse_Cli_Arguments(const QStringList& arguments)
{
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
  const QCommandLineOption version(QStringLiteral("version"), QString());
  const QCommandLineOption format(QStringLiteral("format"), QString(), QStringLiteral("format"));
  const QCommandLineOption sign(QStringLiteral("sign"), QString(), QStringLiteral("name"));
  const QCommandLineOption unit(QStringLiteral("unit"), QString(), QStringLiteral("unit"));
  const QCommandLineOption report(QStringLiteral("report"), QString(), QStringLiteral("file"));
  QCommandLineParser parser;
  parser.addOptions({help, version, format, sign, unit, report});
  if(!parser.parse(arguments))
    return Usage_Error(parser.errorText());

  TCliOptions options;
  if(parser.isSet(help))
  {
    options.action = TCliOptions::Show_Help;
    return options;
  }
  if(parser.isSet(version))
  {
    options.action = TCliOptions::Show_Version;
    return options;
  }

  const QString format_name = parser.value(format);
  if(!parser.isSet(format) || format_name == QLatin1String("text"))
    options.format = CLI_FORMAT_TEXT;
  else if(format_name == QLatin1String("json"))
    options.format = CLI_FORMAT_JSON;
  else if(format_name == QLatin1String("csv"))
    options.format = CLI_FORMAT_CSV;
  else
    return Usage_Error(QStringLiteral("Unknown format '%1': text, json or csv expected.").arg(format_name));

  if(parser.isSet(sign))
  {
    const std::optional<int> index = Sign_Convention_Index(parser.value(sign).toStdString());
    if(!index)
      return Usage_Error(
        QStringLiteral("Unknown sign convention '%1': one of %2 expected.").arg(parser.value(sign), Sign_Names()));
    options.display.sign_convention = *index;
  }
  if(parser.isSet(unit))
  {
    const std::optional<TAngleUnit> chosen = Angle_Unit_From_Name(parser.value(unit).toStdString());
    if(!chosen)
      return Usage_Error(
        QStringLiteral("Unknown unit '%1': mm/m, um/m, urad or arcsec expected.").arg(parser.value(unit)));
    options.display.unit = *chosen;
  }
  if(parser.isSet(report))
  {
    options.report = parser.value(report);
    if(Report_Format_Of(options.report) == REPORT_FORMAT_UNKNOWN)
      return Usage_Error(QStringLiteral("The report '%1' must end in .pdf or .html.").arg(options.report));
  }

  options.files = parser.positionalArguments();
  if(options.files.isEmpty())
    return Usage_Error(QStringLiteral("No FILE given."));
  return options;
}
