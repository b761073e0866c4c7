// The fixture of every test that drives the main window: a fresh window,
// shown, for each test function, and a temporary folder for its files.
#ifndef WINDOWTEST_H
#define WINDOWTEST_H

#include <QObject>
#include <QString>
#include <QTemporaryDir>

class TOrthavel;

class TWindowTest : public QObject
{
  Q_OBJECT

protected slots:
  // Run by QtTest around each test function; a test that declares its own
  // init() or cleanup() calls these.
  void init();
  void cleanup();

protected:
  // The text now on the window's status bar.
  QString Status() const;
  // Writes the text (UTF-8) to a file of that name in the test's folder and returns its path.
  QString Write_File(const QString& name, const QString& content);

  TOrthavel* window = nullptr;
  QTemporaryDir directory;
};

#endif
