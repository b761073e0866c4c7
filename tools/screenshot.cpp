// Saves a picture of the main window with a project loaded, once the solver
// has shown its results (make screenshot). Usage: screenshot PROJECT PNG
#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QTextStream>
#include <QTimer>

#include "orthavel.h"

namespace
{
const int poll_interval_msec = 50;
const int fit_timeout_msec = 30000;

// Only a fit of a non-empty list publishes a final maximum length above zero.
bool Results_Shown(const TOrthavel& window)
{
  const QLabel* label = window.findChild<QLabel*>(QStringLiteral("final_max_length_label"));
  return label && label->text().toDouble() > 0.0;
}

void Select_First_Row(const TOrthavel& window)
{
  QListWidget* list = window.findChild<QListWidget*>(QStringLiteral("measurement_list"));
  if(list && list->count() > 0)
    list->setCurrentRow(0);
}
}

int main(int argc, char** argv)
{
  QApplication application(argc, argv);
  application.setWindowIcon(QIcon(QStringLiteral(":/icons/orthavel.png")));
  QTextStream errors(stderr);

  const QStringList arguments = application.arguments();
  if(arguments.size() != 3)
  {
    errors << "usage: screenshot PROJECT.square OUTPUT.png\n";
    return 2;
  }
  const QString project = arguments.at(1);
  const QString output = arguments.at(2);

  TOrthavel window;
  window.resize(951, 651);
  window.show();
  if(!window.Load_Data(project))
  {
    errors << "cannot load " << project << "\n";
    return 1;
  }
  Select_First_Row(window);

  int result = 0;
  QElapsedTimer waited;
  waited.start();
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if(Results_Shown(window))
    {
      if(!window.grab().save(output, "PNG"))
      {
        errors << "cannot write " << output << "\n";
        result = 1;
      }
    }
    else if(waited.elapsed() < fit_timeout_msec)
    {
      return;
    }
    else
    {
      errors << "no results from the solver\n";
      result = 1;
    }
    poll.stop();
    window.close();
  });
  poll.start(poll_interval_msec);
  application.exec();
  return result;
}
