// Saving and opening projects through the real window: nothing is lost or
// accepted without a word. Saves that fail keep the old file and say why, in a
// box as well as on the status bar; a failed Open leaves the set as it was.
#include <QtTest>

#include <QAction>
#include <QFileInfo>
#include <QStatusBar>
#include <csignal>
#include <sys/resource.h>

#include "window_helpers.h"
#include "windowtest.h"

namespace
{
QByteArray Read_All(const QString& path)
{
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes beyond `limit` bytes fail for this process while it lives, as they
// would on a full disk.
class TFileSizeLimit
{
public:
  explicit TFileSizeLimit(rlim_t limit)
  {
    getrlimit(RLIMIT_FSIZE, &d_saved);
    rlimit small = d_saved;
    small.rlim_cur = limit;
    d_previous_handler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
  }
  ~TFileSizeLimit()
  {
    setrlimit(RLIMIT_FSIZE, &d_saved);
    std::signal(SIGXFSZ, d_previous_handler);
  }

private:
  rlimit d_saved;
  void (*d_previous_handler)(int);
};
}

class TOrthavelSavingTest : public TWindowTest
{
  Q_OBJECT

private slots:
  void save_without_name_asks_and_appends_suffix_data();
  void save_without_name_asks_and_appends_suffix();
  void title_shows_name_and_unsaved_mark();
  void full_disk_keeps_old_file_and_says_why_data();
  void full_disk_keeps_old_file_and_says_why();
  void folder_without_new_files_is_refused();
  void failed_open_keeps_set_and_shows_box();
  void instrument_file_given_to_open_points_to_import();

private:
  void Add_Two_Bars();
  void Choose_And_Trigger(const QString& path, const char* action);
};

void TOrthavelSavingTest::Add_Two_Bars()
{
  Member<QAction>(window, "action_add_ballbar")->trigger();
  Member<QAction>(window, "action_add_length")->trigger();
}

void TOrthavelSavingTest::Choose_And_Trigger(const QString& path, const char* action)
{
  auto dialogs = Answer_All_File_Dialogs(path);
  Member<QAction>(window, action)->trigger();
  QCOMPARE(dialogs->count, 1);
}

void TOrthavelSavingTest::save_without_name_asks_and_appends_suffix_data()
{
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("written");
  QTest::newRow("no suffix") << "plain" << "plain.square";
  QTest::newRow("suffix") << "given.square" << "given.square";
  QTest::newRow("other suffix kept") << "other.xml" << "other.xml";
}

// Save on a set built by hand acts as Save As; a name without a suffix gets ".square".
void TOrthavelSavingTest::save_without_name_asks_and_appends_suffix()
{
  QFETCH(QString, typed);
  QFETCH(QString, written);
  Add_Two_Bars();
  TBoxRecorder boxes;
  Choose_And_Trigger(directory.filePath(typed), "action_save");
  QVERIFY(boxes.texts.isEmpty());
  const QString path = directory.filePath(written);
  QVERIFY(QFileInfo::exists(path));
  QCOMPARE(window->Document()->File_Name(), path);
  QVERIFY(!window->Document()->Is_Modified());
  QVERIFY(Read_All(path).contains("<Name>Length 1</Name>"));
  QCOMPARE(Status(), QString("Saved %1").arg(written));
}

void TOrthavelSavingTest::title_shows_name_and_unsaved_mark()
{
  QCOMPARE(window->windowTitle(), QString("Untitled[*] - Orthavel"));
  QVERIFY(!window->isWindowModified());
  Add_Two_Bars();
  QVERIFY(window->isWindowModified());

  const QString path = directory.filePath("titled.square");
  Choose_And_Trigger(path, "action_save_as");
  QCOMPARE(window->windowTitle(), QString("titled.square[*] - Orthavel"));
  QCOMPARE(window->windowFilePath(), path);
  QVERIFY(!window->isWindowModified());

  Member<QAction>(window, "action_add_ballbar")->trigger();
  QVERIFY(window->isWindowModified());
}

void TOrthavelSavingTest::full_disk_keeps_old_file_and_says_why_data()
{
  QTest::addColumn<int>("records");
  QTest::addColumn<int>("limit");
  QTest::newRow("small project, no space left") << 4 << 0;
  QTest::newRow("large project, 4 KiB free") << 60 << 4096;
}

// The failed save names the reason the system gave, keeps the old file whole
// and leaves the set marked as modified.
void TOrthavelSavingTest::full_disk_keeps_old_file_and_says_why()
{
  QFETCH(int, records);
  QFETCH(int, limit);
  for(int i = 0; i < records; ++i)
    Member<QAction>(window, "action_add_ballbar")->trigger();
  const QString path = directory.filePath("kept.square");
  const QByteArray old_content = "<?xml version=\"1.0\"?>\n<Orthavel File_Version=\"1\"/>\n";
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(old_content);
  file.close();

  TBoxRecorder boxes;
  {
    const TFileSizeLimit full_disk{rlim_t(limit)};
    Choose_And_Trigger(path, "action_save_as");
  }
  QCOMPARE(boxes.texts.size(), 1);
  QVERIFY2(boxes.texts.front().contains(QString("ERR:  Cannot write file '%1'.  Reason: ").arg(path)),
           qPrintable(boxes.texts.front()));
  QVERIFY2(Status().startsWith(QString("ERR:  Cannot write file '%1'.  Reason: ").arg(path)), qPrintable(Status()));
  QCOMPARE(Read_All(path), old_content);
  QVERIFY(window->Document()->Is_Modified());
  QVERIFY(window->Document()->File_Name().isEmpty());
}

// A project is never written in place: a folder that takes no new file is
// refused with a message naming it.
void TOrthavelSavingTest::folder_without_new_files_is_refused()
{
  QString folder = directory.filePath("locked");
  QVERIFY(QDir(directory.path()).mkdir("locked"));
  QString path = folder + "/project.square";
  const QByteArray old_content = "old\n";
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(old_content);
  file.close();
  QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
  const QString locked_file = path;
  if(QFileInfo(folder).isWritable())
  {
    // Permission bits do not bind this user (root); sysfs refuses new files to everyone.
    if(!QFileInfo("/sys").isDir())
      QSKIP("No folder here refuses new files to this user");
    folder = "/sys";
    path = "/sys/orthavel-test.square";
  }

  Add_Two_Bars();
  TBoxRecorder boxes;
  Choose_And_Trigger(path, "action_save_as");
  QVERIFY(QFile::setPermissions(directory.filePath("locked"),
                                QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
  QCOMPARE(boxes.texts.size(), 1);
  QVERIFY2(Status().startsWith(
             QString("ERR:  Cannot write file '%1'.  Reason: the folder '%2' is not writable (").arg(path, folder)),
           qPrintable(Status()));
  QCOMPARE(Read_All(locked_file), old_content);
  QVERIFY(window->Document()->Is_Modified());
}

// A failed Open shows why in a box and on the status bar, and changes nothing.
void TOrthavelSavingTest::failed_open_keeps_set_and_shows_box()
{
  Add_Two_Bars();
  const QString broken = Write_File("broken.square", "<?xml version=\"1.0\"?>\n<Orthavel File_Version=\"1\"><BallBar>");
  TDialogAnswerer<QMessageBox> discard([](QMessageBox* box) {
    if(box->button(QMessageBox::No))
      box->button(QMessageBox::No)->click();
    else
      box->button(QMessageBox::Ok)->click();
  });
  Choose_And_Trigger(broken, "action_open");
  QCOMPARE(discard.count, 2);  // the unsaved-changes prompt, then the failure
  QVERIFY2(Status().startsWith("ERR:  Reference file XML parse error"), qPrintable(Status()));
  QCOMPARE(window->Document()->Records().size(), size_t(2));
  QVERIFY(window->Document()->Is_Modified());
  QVERIFY(window->Document()->File_Name().isEmpty());
}

void TOrthavelSavingTest::instrument_file_given_to_open_points_to_import()
{
  TBoxRecorder boxes;
  Choose_And_Trigger(Data_File("ballbar_v1.txt"), "action_open");
  QCOMPARE(boxes.texts.size(), 1);
  QVERIFY2(boxes.texts.front().contains("is an instrument data file, not a project.  Use File &gt; Import"),
           qPrintable(boxes.texts.front()));
  QVERIFY(Status().contains("Use File > Import"));
  QVERIFY(window->Document()->Records().empty());
}

QTEST_MAIN(TOrthavelSavingTest)
#include "test_orthavel_saving.moc"
