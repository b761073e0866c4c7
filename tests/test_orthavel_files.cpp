// File commands, drag and drop, About and closing, driven through the real window.
#include <QtTest>

#include <QAction>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>

#include "measurement.h"
#include "window_helpers.h"
#include "windowtest.h"

namespace
{
void Answer_All_Message_Boxes(std::unique_ptr<TDialogAnswerer<QMessageBox>>* answerer,
                              QMessageBox::StandardButton button)
{
  answerer->reset(new TDialogAnswerer<QMessageBox>([button](QMessageBox* box) { box->button(button)->click(); }));
}
}

class TOrthavelFilesTest : public TWindowTest
{
  Q_OBJECT

private slots:
  void cleanup();
  void prompt_before_new_data();
  void prompt_before_new();
  void prompt_before_open_data();
  void prompt_before_open();
  void prompt_before_close_data();
  void prompt_before_close();
  void save_as_binds_and_save_writes();
  void hand_entry_enables_save_and_quit_asks();
  void import_appends_and_unbinds();
  void import_failures_data();
  void import_failures();
  void drop_data();
  void drop();
  void drop_two_files();
  void about_box();
  void close_while_solver_runs_asks_once();
  void edit_save_reopen_gives_same_results();

private:
  void Make_Modified_Document();
  QString Project_With_Two_Bars();
  void Drop(const QList<QUrl>& urls);
  std::unique_ptr<TDialogAnswerer<QMessageBox>> boxes;
};

void TOrthavelFilesTest::cleanup()
{
  boxes.reset();
  TWindowTest::cleanup();
}

void TOrthavelFilesTest::Make_Modified_Document()
{
  Member<QAction>(window, "action_add_ballbar")->trigger();
  Member<QAction>(window, "action_add_length")->trigger();
  QVERIFY(window->Document()->Is_Modified());
}

QString TOrthavelFilesTest::Project_With_Two_Bars()
{
  return Write_File("two.square",
                    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Orthavel File_Version=\"1\"><BallBar>"
                    "<Measurement><Name>A</Name><Position>0,0,0</Position><Axis>1,1,0</Axis>"
                    "<Actual_Length>999.9</Actual_Length></Measurement>"
                    "<Measurement><Name>B</Name><Position>0,0,0</Position><Axis>1,-1,0</Axis>"
                    "<Actual_Length>1000.1</Actual_Length></Measurement></BallBar><Length/></Orthavel>\n");
}

void TOrthavelFilesTest::Drop(const QList<QUrl>& urls)
{
  QMimeData data;
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window, &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window, &drop);
}

// Rows: the answer to "Data Not Saved", the file the Save As dialog picks ("" cancels it), and
// whether the command then goes on.
static void Prompt_Columns()
{
  QTest::addColumn<int>("answer");
  QTest::addColumn<bool>("save_as_picks_file");
  QTest::addColumn<bool>("goes_on");
  QTest::newRow("yes, saved") << int(QMessageBox::Yes) << true << true;
  QTest::newRow("yes, save as cancelled") << int(QMessageBox::Yes) << false << false;
  QTest::newRow("no") << int(QMessageBox::No) << false << true;
  QTest::newRow("cancel") << int(QMessageBox::Cancel) << false << false;
}

void TOrthavelFilesTest::prompt_before_new_data()
{
  Prompt_Columns();
}

void TOrthavelFilesTest::prompt_before_new()
{
  QFETCH(int, answer);
  QFETCH(bool, save_as_picks_file);
  QFETCH(bool, goes_on);
  Make_Modified_Document();
  const QString saved = directory.filePath("new.square");
  QFile::remove(saved);
  Answer_All_Message_Boxes(&boxes, QMessageBox::StandardButton(answer));
  auto dialogs = Answer_All_File_Dialogs(save_as_picks_file ? saved : QString());

  Member<QAction>(window, "action_new")->trigger();
  QCOMPARE(boxes->count, 1);
  QCOMPARE(dialogs->count, answer == QMessageBox::Yes ? 1 : 0);
  QCOMPARE(QFile::exists(saved), save_as_picks_file);
  QCOMPARE(window->Document()->Records().empty(), goes_on);
  QCOMPARE(window->Document()->Is_Modified(), !goes_on);
  if(goes_on)
  {
    QVERIFY(window->Document()->File_Name().isEmpty());
    QCOMPARE(Member<QListWidget>(window, "measurement_list")->count(), 0);
  }
}

void TOrthavelFilesTest::prompt_before_open_data()
{
  Prompt_Columns();
}

void TOrthavelFilesTest::prompt_before_open()
{
  QFETCH(int, answer);
  QFETCH(bool, save_as_picks_file);
  QFETCH(bool, goes_on);
  Make_Modified_Document();
  const QString project = Project_With_Two_Bars();
  const QString saved = directory.filePath("before_open.square");
  QFile::remove(saved);
  Answer_All_Message_Boxes(&boxes, QMessageBox::StandardButton(answer));
  // The first file dialog is Save As (when asked for), the next one Open.
  QStringList picks;
  if(answer == QMessageBox::Yes)
    picks << (save_as_picks_file ? saved : QString());
  picks << project;
  auto dialogs = std::make_unique<TDialogAnswerer<QFileDialog>>([&picks](QFileDialog* dialog) {
    Choose_File(dialog, picks.isEmpty() ? QString() : picks.takeFirst());
  });

  Member<QAction>(window, "action_open")->trigger();
  QCOMPARE(boxes->count, 1);
  QCOMPARE(QFile::exists(saved), save_as_picks_file);
  if(goes_on)
  {
    QCOMPARE(window->Document()->Records().size(), size_t(2));
    QCOMPARE(window->Document()->File_Name(), project);
    QVERIFY(!window->Document()->Is_Modified());
    QVERIFY(Member<QAction>(window, "action_save")->isEnabled());
  }
  else
  {
    QCOMPARE(window->Document()->Records().size(), size_t(2));
    QCOMPARE(window->Document()->Records()[0]->Name(), QString("BallBar 1"));
    QVERIFY(window->Document()->Is_Modified());
  }
}

void TOrthavelFilesTest::prompt_before_close_data()
{
  Prompt_Columns();
}

void TOrthavelFilesTest::prompt_before_close()
{
  QFETCH(int, answer);
  QFETCH(bool, save_as_picks_file);
  QFETCH(bool, goes_on);
  Make_Modified_Document();
  Answer_All_Message_Boxes(&boxes, QMessageBox::StandardButton(answer));
  auto dialogs = Answer_All_File_Dialogs(save_as_picks_file ? directory.filePath("close.square") : QString());
  const TQueuedSignalCount finished(Solver_Of(window), &TCalculateSquare::Stopped);

  window->close();
  QCOMPARE(boxes->count, 1);
  if(goes_on)
  {
    QTRY_COMPARE_WITH_TIMEOUT(finished.count, 1, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 5000);
    QCOMPARE(boxes->count, 1);
  }
  else
  {
    QTest::qWait(300);
    QVERIFY(window->isVisible());
    QVERIFY(Solver_Of(window)->isRunning());
    QVERIFY(window->Document()->Is_Modified());
    QCOMPARE(window->Document()->Records().size(), size_t(2));
  }
}

void TOrthavelFilesTest::save_as_binds_and_save_writes()
{
  QVERIFY(window->Load_Data(Project_With_Two_Bars()));
  const QString target = directory.filePath("bound.square");
  auto dialogs = Answer_All_File_Dialogs(target);
  Member<QAction>(window, "action_save_as")->trigger();
  QCOMPARE(dialogs->count, 1);
  QCOMPARE(window->Document()->File_Name(), target);
  QVERIFY(QFile::exists(target));

  // Save writes to the bound file without asking.
  Member<QAction>(window, "action_add_length")->trigger();
  QVERIFY(window->Document()->Is_Modified());
  Member<QAction>(window, "action_save")->trigger();
  QCOMPARE(dialogs->count, 1);
  QVERIFY(!window->Document()->Is_Modified());
  QFile file(target);
  QVERIFY(file.open(QIODevice::ReadOnly));
  QVERIFY(file.readAll().contains("<Name>Length 1</Name>"));
}

// A set entered by hand can be saved from the menu; with no file name yet,
// Save asks for one. Quit asks first.
void TOrthavelFilesTest::hand_entry_enables_save_and_quit_asks()
{
  QVERIFY(!Member<QAction>(window, "action_save")->isEnabled());
  Make_Modified_Document();
  QVERIFY(Member<QAction>(window, "action_save")->isEnabled());
  QVERIFY(Member<QAction>(window, "action_save_as")->isEnabled());

  Answer_All_Message_Boxes(&boxes, QMessageBox::Yes);
  auto dialogs = Answer_All_File_Dialogs(QString());
  Member<QAction>(window, "action_quit")->trigger();
  QCOMPARE(boxes->count, 1);
  QCOMPARE(dialogs->count, 1);
  QVERIFY(window->isVisible());
}

void TOrthavelFilesTest::import_appends_and_unbinds()
{
  QVERIFY(window->Load_Data(Project_With_Two_Bars()));
  QVERIFY(!window->Document()->File_Name().isEmpty());
  auto dialogs = Answer_All_File_Dialogs(Data_File("ballbar_v1.txt"));
  const TBoxRecorder warnings;
  Member<QAction>(window, "action_import_ballbar")->trigger();
  QCOMPARE(dialogs->count, 1);
  QCOMPARE(Status(), QString("Imported 3 ball bars from ballbar_v1.txt; 2 lines skipped"));
  // Two lines of the sample have the wrong number of fields, and its bars are
  // shorter than the project's by more than a percent.
  QCOMPARE(warnings.texts.size(), 1);
  QVERIFY2(warnings.texts.front().contains("2 of 5 data lines gave no measurement: line 7: 12 fields, 11 expected; "
                                           "line 8: 10 fields, 11 expected."),
           qPrintable(warnings.texts.front()));
  QVERIFY2(warnings.texts.front().contains("differ by more than 1 % of their mean"), qPrintable(warnings.texts.front()));
  QCOMPARE(window->Document()->Records().size(), size_t(5));
  QCOMPARE(window->Document()->Records()[0]->Name(), QString("A"));
  QVERIFY(window->Document()->File_Name().isEmpty());
  QCOMPARE(window->Last_Directory(), QString(ORTHAVEL_TEST_DATA));
  QVERIFY(window->Document()->Is_Modified());
  QVERIFY(Member<QAction>(window, "action_save")->isEnabled());
  QVERIFY(Member<QAction>(window, "action_save_as")->isEnabled());
}

void TOrthavelFilesTest::import_failures_data()
{
  QTest::addColumn<QString>("file");
  QTest::addColumn<QString>("message");
  QTest::newRow("no lengths") << "empty_ballbar_v1.txt" << "No measurement lengths found";
  QTest::newRow("unrecognised") << "unrecognized.txt"
                                << QString("ERR:  Input file '%1' data type not recognized.").arg(Data_File("unrecognized.txt"));
  QTest::newRow("too short") << "too_short.txt"
                             << QString("ERR:  Input file '%1' does not contain enough data.").arg(Data_File("too_short.txt"));
  QTest::newRow("missing") << "missing.dat"
                           << QString("ERR:  Cannot open file '%1' for reading.").arg(Data_File("missing.dat"));
}

void TOrthavelFilesTest::import_failures()
{
  QFETCH(QString, file);
  QFETCH(QString, message);
  QVERIFY(window->Load_Data(Project_With_Two_Bars()));
  const TBoxRecorder boxes;
  QVERIFY(!window->Import_Data(Data_File(qPrintable(file))));
  QCOMPARE(Status(), message);
  QCOMPARE(boxes.texts.size(), 1);
  QVERIFY2(boxes.texts.front().contains(QString(message).toHtmlEscaped()) ||
             boxes.texts.front().contains("gave no measurement.  The file holds no data lines"),
           qPrintable(boxes.texts.front()));
  QCOMPARE(window->Document()->Records().size(), size_t(2));
  QVERIFY(!window->Document()->Is_Modified());
  QVERIFY(window->Document()->File_Name().isEmpty());
  QCOMPARE(window->Last_Directory(), QString(ORTHAVEL_TEST_DATA));
}

void TOrthavelFilesTest::drop_data()
{
  QTest::addColumn<bool>("project");
  QTest::newRow("DATA.SQUARE opens") << true;
  QTest::newRow("ball-bar file imports") << false;
}

void TOrthavelFilesTest::drop()
{
  QFETCH(bool, project);
  Member<QAction>(window, "action_add_length")->trigger();
  QString path;
  if(project)
  {
    path = directory.filePath("DATA.SQUARE");
    QFile::remove(path);
    QVERIFY(QFile::copy(Project_With_Two_Bars(), path));
    Answer_All_Message_Boxes(&boxes, QMessageBox::No);
  }
  else
    path = Data_File("ballbar_v1.txt");

  const TBoxRecorder warnings;
  Drop({QUrl::fromLocalFile(path)});
  if(project)
  {
    QCOMPARE(boxes->count, 1);
    QCOMPARE(window->Document()->Records().size(), size_t(2));
    QCOMPARE(window->Document()->File_Name(), path);
    QVERIFY(!window->Document()->Is_Modified());
  }
  else
  {
    QCOMPARE(window->Document()->Records().size(), size_t(4));
    QCOMPARE(warnings.texts.size(), 1);
    QCOMPARE(window->Document()->Records()[0]->Name(), QString("Length 1"));
    QVERIFY(window->Document()->File_Name().isEmpty());
    QVERIFY(window->Document()->Is_Modified());
  }
}

void TOrthavelFilesTest::drop_two_files()
{
  Member<QAction>(window, "action_add_length")->trigger();
  Drop({QUrl::fromLocalFile(Data_File("ballbar_v1.txt")), QUrl::fromLocalFile(Data_File("ballbar_v2.txt"))});
  QCOMPARE(Status(), QString("ERR:  Single input file expected"));
  QCOMPARE(window->Document()->Records().size(), size_t(1));
}

void TOrthavelFilesTest::about_box()
{
  QString text, informative;
  bool shown = false;
  Answer_Message_Box(QMessageBox::Ok, &shown, &text, &informative);
  Member<QAction>(window, "action_about")->trigger();
  QVERIFY(shown);
  QVERIFY(text.contains(">Help - About<"));
  QVERIFY(informative.contains(">Orthavel - Version 3.1<"));
}

void TOrthavelFilesTest::close_while_solver_runs_asks_once()
{
  Make_Modified_Document();
  Answer_All_Message_Boxes(&boxes, QMessageBox::No);
  TCalculateSquare* solver = Solver_Of(window);
  const TQueuedSignalCount finished(solver, &TCalculateSquare::Stopped);
  window->close();
  // Refused while the thread runs.
  QVERIFY(window->isVisible());
  QCOMPARE(boxes->count, 1);
  QTRY_COMPARE_WITH_TIMEOUT(finished.count, 1, 5000);
  QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 5000);
  QCOMPARE(boxes->count, 1);
}

void TOrthavelFilesTest::edit_save_reopen_gives_same_results()
{
  QVERIFY(window->Load_Data(Project_With_Two_Bars()));
  QTRY_COMPARE_WITH_TIMEOUT(Text_Of(window, "xy_squareness_label"), QString("0.2000"), 20000);

  // Lengthen the second bar: the XY error grows.
  Member<QListWidget>(window, "measurement_list")->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
  Type_Into(window, "actual_length_edit", "1000.3");
  Member<QToolButton>(window, "apply_button")->click();
  QTRY_COMPARE_WITH_TIMEOUT(Text_Of(window, "xy_squareness_label"), QString("0.4000"), 20000);
  const QString final_max = Text_Of(window, "final_max_length_label");

  Member<QAction>(window, "action_save")->trigger();
  QVERIFY(!window->Document()->Is_Modified());
  Member<QAction>(window, "action_new")->trigger();
  QVERIFY(window->Document()->Records().empty());
  QTRY_COMPARE_WITH_TIMEOUT(Text_Of(window, "xy_squareness_label"), QString("----"), 20000);

  QVERIFY(window->Load_Data(directory.filePath("two.square")));
  QTRY_COMPARE_WITH_TIMEOUT(Text_Of(window, "xy_squareness_label"), QString("0.4000"), 20000);
  QCOMPARE(Text_Of(window, "final_max_length_label"), final_max);
}

QTEST_MAIN(TOrthavelFilesTest)
#include "test_orthavel_files.moc"
