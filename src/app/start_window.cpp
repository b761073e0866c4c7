#include "start_window.h"

#include <QTimer>

#include "orthavel.h"

TOrthavel* Start_Window(const QString& file)
{
  TOrthavel* window = new TOrthavel;
  window->show();
  if(!file.isEmpty())
    QTimer::singleShot(0, window, [window, file] { window->Open_File(file); });
  return window;
}
