#include <QApplication>
#include <QIcon>

#include "command_line.h"
#include "orthavel.h"
#include "start_window.h"

int main(int argc, char** argv)
{
  int status = 0;
  if(Answer_Before_Qt(argc, argv, &status))
    return status;

  QApplication* application = new QApplication(argc, argv);
  const TCommandLine command_line = Parse_Arguments(application->arguments());
  if(command_line.action != TCommandLine::Start)
  {
    status = Answer_Command_Line(command_line);
    delete application;
    return status;
  }
  application->setWindowIcon(QIcon(":/icons/orthavel.png"));
  // Lets the desktop match the window to its entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.orthavel.Orthavel"));

  TOrthavel* window = Start_Window(command_line.file);
  const int result = application->exec();

  delete window;
  delete application;
  return result;
}
