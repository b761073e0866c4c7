// Feeds arbitrary bytes to the project loader of one long-lived main window:
// the bytes go to a reused *.square file that TOrthavel::Load_Data reads, so
// every input runs the real path of clearing, parsing, reading the records,
// handing them to the solver thread and drawing and painting the scene.
#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QThread>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "measurement.h"
#include "fuzz_input.h"
#include "orthavel.h"

namespace
{
  void Discard_Message(QtMsgType type, const QMessageLogContext&, const QString& message)
  {
    if(type == QtFatalMsg)
    {
      std::fprintf(stderr, "fatal: %s\n", qPrintable(message));
      std::abort();
    }
  }

  QApplication& Application()
  {
    static int argc = 1;
    static char name[] = "fuzz_project";
    static char* argv[] = {name, nullptr};
    static QApplication* application = [] {
      qputenv("QT_QPA_PLATFORM", "offscreen");
      qInstallMessageHandler(Discard_Message);
      return new QApplication(argc, argv);
    }();
    return *application;
  }

  // Shown, so that loading also paints the 3D view. Never destroyed: the
  // process ends with it (and its solver thread) still alive.
  TOrthavel& Window()
  {
    static TOrthavel* window = [] {
      Application();
      TOrthavel* created = new TOrthavel;
      created->resize(800, 600);
      created->show();
      // The solver refits after every input; it yields the processor to
      // anything else that wants it.
      if(QThread* solver = created->findChild<QThread*>(QStringLiteral("calculate_square")))
        solver->setPriority(QThread::IdlePriority);
      return created;
    }();
    return *window;
  }

  const QString& Input_Path() { return ::Input_Path(QStringLiteral("input.square")); }

  // What any load leaves behind: a list of records with unit axes and a
  // draw offset within 1 to 10, ball bars before length records.
  void Check_Records(const TOrthavel& window, bool loaded)
  {
    bool length_seen = false;
    for(const TMeasurement* measurement : window.Measurements())
    {
      if(!measurement)
        std::abort();
      const double length = measurement->Axis().Length();
      if(!(length > 0.999999 && length < 1.000001))
        std::abort();
      if(measurement->Type() == TMeasurement::MEASUREMENT_LENGTH)
      {
        length_seen = true;
        const double offset = measurement->Draw_Offset();
        if(!(offset >= 1.0 && offset <= 10.0))
          std::abort();
      }
      else if(length_seen)
        std::abort();
    }
    if(loaded && window.File_Name() != Input_Path())
      std::abort();
  }

  // A failed load tells why on the status bar.
  void Check_Message(const TOrthavel& window, bool loaded)
  {
    static QStatusBar* const status_bar = window.findChild<QStatusBar*>(QStringLiteral("status_bar"));
    if(!status_bar)
      std::abort();
    if(!loaded && !status_bar->currentMessage().startsWith(QStringLiteral("ERR:  ")))
      std::abort();
    status_bar->clearMessage();
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  TOrthavel& window = Window();
  Write_Input(Input_Path(), data, size);

  const bool loaded = window.Load_Data(Input_Path());
  Check_Records(window, loaded);
  Check_Message(window, loaded);

  // Delivers the paint of the new scene and any queued results of the solver.
  QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  return 0;
}
