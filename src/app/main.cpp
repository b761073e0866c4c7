#include <QApplication>
#include <QIcon>

#include "orthavel.h"

int main(int argc, char** argv)
{
  QApplication* application = new QApplication(argc, argv);
  application->setWindowIcon(QIcon(":/icons/orthavel.png"));

  TOrthavel* window = new TOrthavel;
  window->show();
  const int result = application->exec();

  delete window;
  delete application;
  return result;
}
