#include "windowtest.h"

#include <QFile>
#include <QStatusBar>
#include <QTest>

#include "orthavel.h"
#include "window_helpers.h"

void TWindowTest::init()
{
  window = new TOrthavel;
  window->show();
  QVERIFY(QTest::qWaitForWindowExposed(window));
}

void TWindowTest::cleanup()
{
  ++Poll_Generation();
  delete window;
  window = nullptr;
}

QString TWindowTest::Status() const
{
  return window->findChild<QStatusBar*>(QStringLiteral("status_bar"))->currentMessage();
}

QString TWindowTest::Write_File(const QString& name, const QString& content)
{
  const QString path = directory.filePath(name);
  QFile file(path);
  if(!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
    qFatal("cannot write %s", qPrintable(path));
  file.write(content.toUtf8());
  return path;
}
