// Large sets through the real window: import and open until the results are
// shown, paint at 951x651, Apply one edit. Each scenario runs in a process of
// its own so that its peak memory (getrusage) is its own; without arguments
// the program runs every scenario, with one it runs that one.
//
//   bench_window_large [paint_100 | paint_10000 | paint_100000 | apply_100000 |
//                       import_100000 | open_100000 | import_561323]
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <sys/resource.h>

#include "calculatesquare.h"
#include "graphicwidget.h"
#include "measurement_factory.h"
#include "measurementset.h"
#include "orthavel.h"
#include "projectfile.h"
#include "sceneview.h"

namespace
{
const int VIEW_WIDTH = 951;
const int VIEW_HEIGHT = 651;

double Peak_Megabytes()
{
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

// Bars of one length in many directions through a 600 mm volume.
void Write_Ballbar_File(const QString& path, int bars)
{
  QFile file(path);
  if(!file.open(QIODevice::WriteOnly))
    std::abort();
  QByteArray text = "BallBar_V1\n";
  text.reserve(bars * 90);
  for(int i = 0; i < bars; ++i)
  {
    const double a = 2.399963 * i;
    const double b = 0.6 * std::cos(0.37 * i);
    const double n = std::sqrt(1.0 + b * b);
    const double length = 300.0 + 0.001 * (i % 7);
    const double sx = 300.0 * std::sin(0.71 * i), sy = 300.0 * std::cos(0.53 * i), sz = 200.0 * std::sin(0.29 * i);
    const double ex = sx + length * std::cos(a) / n, ey = sy + length * std::sin(a) / n, ez = sz + length * b / n;
    char line[200];
    std::snprintf(line, sizeof line, "Bar %d,0,%.4f,%.4f,%.4f,%.4f,%.4f,%.4f,0,0,0\n", i + 1, sx, sy, sz, ex, ey, ez);
    text += line;
  }
  file.write(text);
}

const char* program_path = nullptr;

// The same bars saved as a project, in a process of its own.
void Write_Project(const QString& directory, const QString& path, int bars)
{
  const std::string command = std::string("\"") + program_path + "\" write_project \"" +
                              QDir(directory).filePath("source").toStdString() + "\" \"" + path.toStdString() + "\" " +
                              std::to_string(bars);
  if(std::system(command.c_str()) != 0)
    std::abort();
}

int Save_Project(const QString& source_stem, const QString& path, int bars)
{
  const QString source = source_stem + ".dat";
  Write_Ballbar_File(source, bars);
  TMeasurementFactory factory;
  bool valid = false;
  const std::vector<TMeasurement*> bars_read = factory.Load_File(source, &valid);
  const std::vector<std::unique_ptr<TMeasurement>> owned(bars_read.begin(), bars_read.end());
  QString error;
  return valid && TProjectFile::Save(path, bars_read, &error) ? 0 : 1;
}

// Answers every message box the window shows with its default button.
void Answer_Boxes()
{
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, [] {
    if(auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
      box->done(QMessageBox::Ok);
  });
  timer->start(20);
}

// Waits until the solver has announced a fit of the set as it stands, the
// list holds a row for every record and the scene is whole.
void Wait_For_Results(TOrthavel* window)
{
  auto* solver = window->findChild<TCalculateSquare*>("calculate_square");
  auto* list = window->findChild<QListWidget*>("measurement_list");
  auto* scene = window->findChild<TSceneView*>();
  while(!(solver->Result().serial == solver->Data_Serial() && solver->Data_Serial() > 0) ||
        list->count() < window->Document()->Count() || scene->Building())
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  QApplication::processEvents();
}

// The longest gap between the ticks of a 10 ms timer of the window's thread.
class TStallMeter : public QObject
{
public:
  TStallMeter()
  {
    connect(&d_timer, &QTimer::timeout, this, [this] {
      d_longest = std::max(d_longest, d_clock.restart());
    });
    d_clock.start();
    d_timer.start(10);
  }
  qint64 Longest() const { return d_longest; }

private:
  QTimer d_timer;
  QElapsedTimer d_clock;
  qint64 d_longest = 0;
};

std::unique_ptr<TOrthavel> Show_Window()
{
  std::unique_ptr<TOrthavel> window(new TOrthavel);
  window->show();
  auto* view = window->findChild<TGraphicWidget*>("graphic_widget");
  view->resize(VIEW_WIDTH, VIEW_HEIGHT);
  QApplication::processEvents();
  return window;
}

void Import(const QString& directory, int bars)
{
  const QString path = directory + "/bars.dat";
  Write_Ballbar_File(path, bars);
  std::unique_ptr<TOrthavel> window = Show_Window();
  Answer_Boxes();
  TStallMeter stalls;
  QElapsedTimer clock;
  clock.start();
  if(!window->Import_Data(path))
    std::abort();
  Wait_For_Results(window.get());
  std::printf("import %7d bars: %8.0f ms, peak %6.0f MB, longest stall %lld ms, %d records\n", bars,
              double(clock.elapsed()), Peak_Megabytes(), stalls.Longest(), window->Document()->Count());
}

void Open(const QString& directory, int bars)
{
  const QString path = directory + "/bars.square";
  Write_Project(directory, path, bars);
  std::unique_ptr<TOrthavel> window = Show_Window();
  Answer_Boxes();
  TStallMeter stalls;
  QElapsedTimer clock;
  clock.start();
  if(!window->Load_Data(path))
    std::abort();
  Wait_For_Results(window.get());
  std::printf("open   %7d records: %6.0f ms, peak %6.0f MB, longest stall %lld ms, %d records\n",
              bars, double(clock.elapsed()), Peak_Megabytes(), stalls.Longest(), window->Document()->Count());
}

// A window holding an imported ball-bar file of `bars` bars, its fit done.
std::unique_ptr<TOrthavel> Window_With_Bars(const QString& directory, int bars)
{
  const QString path = directory + "/bars.dat";
  Write_Ballbar_File(path, bars);
  std::unique_ptr<TOrthavel> window = Show_Window();
  Answer_Boxes();
  if(!window->Import_Data(path))
    std::abort();
  Wait_For_Results(window.get());
  return window;
}

// One whole paint of the view from nothing. A view of many measurements
// paints a part of them per paint, into a picture it keeps; it is painted
// until the picture is whole.
double Paint_Whole(TGraphicWidget* view, QImage* image, int* paints)
{
  view->Update();
  QElapsedTimer clock;
  clock.start();
  *paints = 0;
  do
  {
    view->render(image);
    ++*paints;
  } while(view->Painting());
  return clock.nsecsElapsed() / 1e6;
}

void Paint(const QString& directory, int bars)
{
  std::unique_ptr<TOrthavel> window = Window_With_Bars(directory, bars);
  auto* view = window->findChild<TGraphicWidget*>("graphic_widget");
  view->resize(VIEW_WIDTH, VIEW_HEIGHT);
  QImage image(VIEW_WIDTH, VIEW_HEIGHT, QImage::Format_ARGB32_Premultiplied);
  int paints = 0;
  Paint_Whole(view, &image, &paints);
  const int runs = 20;
  double total = 0.0;
  for(int i = 0; i < runs; ++i)
    total += Paint_Whole(view, &image, &paints);
  std::printf("paint  %7d measurements at %dx%d: %6.2f ms in %d paint%s\n", bars, view->width(), view->height(),
              total / runs, paints, paints == 1 ? "" : "s");
}

void Apply(const QString& directory, int bars)
{
  std::unique_ptr<TOrthavel> window = Window_With_Bars(directory, bars);
  auto* list = window->findChild<QListWidget*>("measurement_list");
  list->setCurrentRow(bars / 2);
  QApplication::processEvents();
  auto* name = window->findChild<QLineEdit*>("name_edit");
  auto* apply = window->findChild<QAbstractButton*>("apply_button");
  if(!name || !apply)
    std::abort();
  name->selectAll();
  name->insert("Edited");
  QElapsedTimer clock;
  clock.start();
  apply->click();
  const double applied = clock.nsecsElapsed() / 1e6;
  QApplication::processEvents();
  std::printf("apply one edit in %d: %6.1f ms, %6.1f ms with the repaint (%s)\n", bars, applied, clock.nsecsElapsed() / 1e6,
              qPrintable(window->Document()->At(bars / 2)->Name()));
}

struct TScenario
{
  const char* name;
  void (*run)(const QString& directory, int count);
  int count;
};
const TScenario SCENARIOS[] = {{"paint_100", Paint, 100},         {"paint_10000", Paint, 10000},
                               {"paint_100000", Paint, 100000},   {"apply_100000", Apply, 100000},
                               {"import_100000", Import, 100000}, {"open_100000", Open, 100000},
                               {"import_561323", Import, 561323}};

int Run_Scenario(const std::string& name)
{
  for(const TScenario& scenario : SCENARIOS)
  {
    if(name != scenario.name)
      continue;
    QTemporaryDir directory;
    scenario.run(directory.path(), scenario.count);
    std::fflush(stdout);
    return 0;
  }
  return 2;
}
} // namespace

int main(int argc, char** argv)
{
  program_path = argv[0];
  if(argc == 1)
  {
    int failures = 0;
    for(const TScenario& scenario : SCENARIOS)
      failures += std::system((std::string("\"") + argv[0] + "\" " + scenario.name).c_str()) != 0;
    return failures;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  if(argc == 5 && std::strcmp(argv[1], "write_project") == 0)
    return Save_Project(argv[2], argv[3], std::atoi(argv[4]));
  return Run_Scenario(argv[1]);
}
