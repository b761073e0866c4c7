// orthavel-cli: the window's analysis and report from the command line.
#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>
#include <memory>

#include "cli_options.h"
#include "cli_run.h"

int main(int argc, char** argv)
{
  // Only the report draws (its picture of the 3D view); until then no display
  // platform is started, whose start-up may print warnings of its own.
  auto application = std::make_unique<QCoreApplication>(argc, argv);
  QTextStream output(stdout);
  QTextStream errors(stderr);
  output.setCodec("UTF-8");
  errors.setCodec("UTF-8");

  const TCliOptions options = Parse_Cli_Arguments(QCoreApplication::arguments());
  if(options.action != TCliOptions::Run)
    return Answer_Cli_Request(options, output, errors);
  if(!options.report.isEmpty())
  {
    // Runs without a display: the picture is drawn offscreen.
    if(qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
      qputenv("QT_QPA_PLATFORM", "offscreen");
    application.reset();
    application = std::make_unique<QApplication>(argc, argv);
  }
  return Run_Cli(options, output, errors);
}
