#include "cli_run.h"

#include <QDateTime>
#include <QFileInfo>

#include "cli_input.h"
#include "measurementset.h"
#include "programinfo.h"
#include "reportfile.h"
#include "reportpictures.h"
#include "resultscsv.h"
#include "resultsjson.h"
#include "resultstext.h"

namespace
{
QString Source_Of(const QStringList& files)
{
  QStringList names;
  for(const QString& file : files)
    names << QFileInfo(file).fileName();
  return names.join(QStringLiteral(", "));
}

// Large outputs go to the stream's device as they are, without a round trip through QString.
void Write_Bytes(QTextStream& output, const QByteArray& bytes)
{
  output.flush();
  if(output.device())
    output.device()->write(bytes);
  else
    output << QString::fromUtf8(bytes);
}

bool Write_Cli_Report(const TCliOptions& options, const TMeasurementSet& set, const TSetResults& results,
                      QString* error)
{
  TReportContent content;
  content.results = results;
  content.display = options.display;
  content.information = set.Settings().information;
  content.source = Source_Of(options.files);
  content.created = QDateTime::currentDateTime();
  Add_Report_Pictures(&content, set.Records(), Iso_View_Orientation());
  return Write_Report(options.report, content, error);
}
}

int Run_Cli(const TCliOptions& options, QTextStream& output, QTextStream& errors)
{
  TMeasurementSet set;
  TCliInput input;
  QString error;
  if(!Read_Cli_Files(options.files, &set, &input, &error))
  {
    errors << error << '\n';
    return CLI_FILE_ERROR;
  }

  const TSetResults results = Compute_Set_Results(set);
  switch(options.format)
  {
    case CLI_FORMAT_TEXT:
      output << Results_Text(results, options.display);
      break;
    case CLI_FORMAT_JSON:
      Write_Bytes(output, Results_Json(results, options.display, options.files, input.warnings));
      break;
    case CLI_FORMAT_CSV:
      output << Results_Csv(results, options.display);
      break;
  }
  output.flush();
  if(options.format != CLI_FORMAT_JSON)
    for(const QString& warning : input.warnings)
      errors << "orthavel-cli: warning: " << warning << '\n';

  if(!options.report.isEmpty() && !Write_Cli_Report(options, set, results, &error))
  {
    errors << error << '\n';
    return CLI_FILE_ERROR;
  }
  return CLI_SUCCESS;
}

int Answer_Cli_Request(const TCliOptions& options, QTextStream& output, QTextStream& errors)
{
  switch(options.action)
  {
    case TCliOptions::Show_Help:
      output << Cli_Usage_Line() << '\n' << Cli_Help_Text();
      return CLI_SUCCESS;
    case TCliOptions::Show_Version:
      output << "orthavel-cli " << Program_Version() << '\n';
      return CLI_SUCCESS;
    case TCliOptions::Usage_Error:
      errors << "orthavel-cli: " << options.error << '\n' << Cli_Usage_Line();
      return CLI_USAGE_ERROR;
    case TCliOptions::Run:
      break;
  }
  return CLI_SUCCESS;
}
