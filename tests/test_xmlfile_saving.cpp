// The XML wrapper saving over an old file: a save that cannot finish says so
// and leaves the old file as it was.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

#include "xmlfile.h"
#include "xmlfile_test_helpers.h"

using namespace xmlfile_test;

class TTestXmlFileSaving : public QObject
{
  Q_OBJECT

private slots:
  void overwrite_replaces_old_file();
  void failed_save_keeps_old_file_data();
  void failed_save_keeps_old_file();
  void read_only_file_is_refused();
  void interrupted_save_keeps_old_file_data();
  void interrupted_save_keeps_old_file();
  void folder_without_new_files_is_named();
};

void TTestXmlFileSaving::overwrite_replaces_old_file()
{
  QTemporaryDir folder;
  const QString path = folder.filePath("project.square");
  QVERIFY(Write_All(path, QByteArray(10000, 'x')));
  QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));

  TXmlFile xml;
  xml.Set_File_Name(path);
  xml.Reset("Root", 1);
  xml.Write_File(false);

  QCOMPARE(Read_All(path), QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Root File_Version=\"1\"/>\n"));
  QCOMPARE(QFile::permissions(path) & 0xf0ff,
           QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
  QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList() << "project.square");
}

void TTestXmlFileSaving::failed_save_keeps_old_file_data()
{
  QTest::addColumn<QString>("target");
  QTest::addColumn<QString>("survivor");

  QTest::newRow("path is a folder") << "folder" << "folder/inside.txt";
  QTest::newRow("parent is a file") << "plain.txt/out.square" << "plain.txt";
}

void TTestXmlFileSaving::failed_save_keeps_old_file()
{
  QFETCH(QString, target);
  QFETCH(QString, survivor);

  QTemporaryDir folder;
  QVERIFY(QDir(folder.path()).mkdir("folder"));
  const QByteArray old_content("old content\n");
  QVERIFY(Write_All(folder.filePath("folder/inside.txt"), old_content));
  QVERIFY(Write_All(folder.filePath("plain.txt"), old_content));

  TXmlFile xml;
  const QString path = folder.filePath(target);
  xml.Set_File_Name(path);
  xml.Reset("Root", 1);
  const QString message = Thrown([&] { xml.Write_File(false); });
  QVERIFY2(message.startsWith(QString("ERR:  Cannot write file '%1'.  Reason: ").arg(path)), qPrintable(message));
  QVERIFY(message.length() > QString("ERR:  Cannot write file '%1'.  Reason: ").arg(path).length());
  QCOMPARE(Thrown_Type([&] { xml.Write_File(false); }), TXmlFileException::ERROR_DATA);
  QCOMPARE(Read_All(folder.filePath(survivor)), old_content);
  QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
           QStringList() << "folder" << "plain.txt");
}

void TTestXmlFileSaving::read_only_file_is_refused()
{
  QTemporaryDir folder;
  const QString path = folder.filePath("locked.square");
  const QByteArray old_content("<Root File_Version=\"1\"/>\n");
  QVERIFY(Write_All(path, old_content));
  QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
  if(QFileInfo(path).isWritable())
    QSKIP("Permission bits do not bind this user (root); the other save failures cover the old file's safety");

  TXmlFile xml;
  xml.Set_File_Name(path);
  xml.Reset("Root", 2);
  QCOMPARE(Thrown([&] { xml.Write_File(false); }), QString("ERR:  Cannot open file '%1' for writing").arg(path));
  QCOMPARE(Thrown_Type([&] { xml.Write_File(false); }), TXmlFileException::ERROR_FILE_ACCESS);
  QCOMPARE(Read_All(path), old_content);
}

// A file size limit makes the writing fail part way, as a full disk would. A
// small document still sits in the file's write buffer when the write call
// returns, so its failure shows only when the buffer is flushed.
void TTestXmlFileSaving::interrupted_save_keeps_old_file_data()
{
  QTest::addColumn<int>("nodes");
  QTest::addColumn<int>("limit");

  QTest::newRow("small, fails on flush") << 40 << 0;
  QTest::newRow("small, fails part way") << 40 << 512;
  QTest::newRow("large, fails on write") << 500 << 1024;
  QTest::newRow("large, fails late") << 500 << 12288;
}

void TTestXmlFileSaving::interrupted_save_keeps_old_file()
{
  QFETCH(int, nodes);
  QFETCH(int, limit);
  QTemporaryDir folder;
  const QString path = folder.filePath("project.square");
  const QByteArray old_content("<Root File_Version=\"1\"><Old/></Root>\n");
  QVERIFY(Write_All(path, old_content));

  TXmlFile xml;
  xml.Set_File_Name(path);
  xml.Reset("Root", 1);
  for(int i = 0; i < nodes; ++i)
  {
    QDomElement node = xml.Create_Node(xml.Root_Node(), "Measurement");
    xml.Write_Text_Node(&node, i * 1.25, 6);
  }
  QByteArray text;
  xml.Write_Data(&text, false);
  QVERIFY(text.size() > limit);

  rlimit saved;
  QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = rlim_t(limit);
  void (*previous_handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
  QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
  const QString message = Thrown([&] { xml.Write_File(false); });
  QCOMPARE(setrlimit(RLIMIT_FSIZE, &saved), 0);
  std::signal(SIGXFSZ, previous_handler);

  QVERIFY2(message.startsWith(QString("ERR:  Cannot write file '%1'.  Reason: ").arg(path)), qPrintable(message));
  QVERIFY(message.length() > QString("ERR:  Cannot write file '%1'.  Reason: ").arg(path).length());
  QCOMPARE(Read_All(path), old_content);
  QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList() << "project.square");

  // With the limit lifted the same document is saved whole.
  xml.Write_File(false);
  QCOMPARE(Read_All(path).count("<Measurement>"), nodes);
}

// A folder that takes no new file is named in the message, and the file in it
// is left alone even when it could be written in place.
void TTestXmlFileSaving::folder_without_new_files_is_named()
{
  QTemporaryDir parent;
  QString folder = parent.filePath("locked");
  QVERIFY(QDir(parent.path()).mkdir("locked"));
  const QString path = folder + "/project.square";
  const QByteArray old_content("<Root File_Version=\"1\"/>\n");
  QVERIFY(Write_All(path, old_content));
  QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
  const bool bits_bind = !QFileInfo(folder).isWritable();
  QString target = path;
  if(!bits_bind)
  {
    // Permission bits do not bind this user (root); sysfs refuses new files to everyone.
    if(!QFileInfo("/sys").isDir())
      QSKIP("No folder here refuses new files to this user");
    folder = "/sys";
    target = "/sys/orthavel-test.square";
  }

  TXmlFile xml;
  xml.Set_File_Name(target);
  xml.Reset("Root", 2);
  const QString message = Thrown([&] { xml.Write_File(false); });
  QVERIFY(QFile::setPermissions(parent.filePath("locked"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                             QFileDevice::ExeOwner));
  QVERIFY2(message.startsWith(QString("ERR:  Cannot write file '%1'.  Reason: the folder '%2' is not writable (")
                                .arg(target, folder)),
           qPrintable(message));
  QCOMPARE(Read_All(path), old_content);
}

QTEST_GUILESS_MAIN(TTestXmlFileSaving)
#include "test_xmlfile_saving.moc"
