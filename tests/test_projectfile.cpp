// Reading a project as a stream: the file is judged as it was when it was
// read whole (a syntax error anywhere first, the first group of each kind,
// ball bars' faults before length records'), and the reading reports its
// progress and can be cancelled.
#include <QTemporaryDir>
#include <QtTest>

#include "projectfile.h"

namespace
{
const QByteArray HEADER = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

QByteArray Ballbar(const QByteArray& name, const QByteArray& axis = "1,0,0")
{
  return "<Measurement><Name>" + name + "</Name><Position>0,0,0</Position><Axis>" + axis +
         "</Axis><Actual_Length>300</Actual_Length></Measurement>";
}

QByteArray Length(const QByteArray& name)
{
  return "<Measurement><Nominal_Length>200</Nominal_Length><Draw_Offset>2</Draw_Offset><Name>" + name +
         "</Name><Position>0,0,0</Position><Axis>0,1,0</Axis><Actual_Length>200.001</Actual_Length></Measurement>";
}

QByteArray Project(const QByteArray& body)
{
  return HEADER + "<Orthavel File_Version=\"1\">" + body + "</Orthavel>";
}

const QByteArray BAD_BALLBAR = "<Measurement><Name>no axis</Name><Position>0,0,0</Position></Measurement>";
const QByteArray BAD_LENGTH = "<Measurement><Position>0,0,0</Position></Measurement>";
const QByteArray SETTINGS = "<Project_Settings><Uncertainty><Ball_Bar><Constant_um>1.5</Constant_um>"
                            "<Proportional_um_per_m>2</Proportional_um_per_m></Ball_Bar></Uncertainty></Project_Settings>";

QStringList Names(const TProjectFile::TRecords& records)
{
  QStringList names;
  for(const std::unique_ptr<TMeasurement>& record : records)
    names << record->Name();
  return names;
}
}

class TTestProjectFile : public QObject
{
  Q_OBJECT

private slots:
  void judged_as_a_whole_data();
  void judged_as_a_whole();
  void settings_anywhere_in_the_root();
  void progress_follows_the_file();
};

void TTestProjectFile::judged_as_a_whole_data()
{
  QTest::addColumn<QByteArray>("data");
  QTest::addColumn<QString>("error");
  QTest::addColumn<QStringList>("names");

  const QString axis_missing = "ERR:  Node 'Axis' is missing from node 'Measurement' and not optional.";
  const QString parse_error = "ERR:  Reference data XML parse error at line ";
  QTest::newRow("a bad record, then a syntax error")
    << Project("<BallBar>" + BAD_BALLBAR + "</BallBar><Length></Lenght>") << parse_error << QStringList();
  QByteArray deep;
  for(int i = 0; i < 600; ++i)
    deep += "<a>";
  for(int i = 0; i < 600; ++i)
    deep += "</a>";
  QTest::newRow("a bad record, then deep nesting")
    << Project("<BallBar>" + BAD_BALLBAR + "</BallBar><Length/>" + deep)
    << "ERR:  Reference data XML nested deeper than 512 levels at line 2" << QStringList();
  QTest::newRow("a wrong root, then a syntax error")
    << QByteArray(HEADER + "<Other File_Version=\"1\"><BallBar></Other>") << parse_error << QStringList();
  QTest::newRow("a wrong root") << QByteArray(HEADER + "<Other File_Version=\"1\"/>")
                                << "ERR:  Identification 'Orthavel' does not match 'Other'" << QStringList();
  QTest::newRow("the length records' fault comes first in the file")
    << Project("<Length>" + BAD_LENGTH + "</Length><BallBar>" + Ballbar("A") + BAD_BALLBAR + "</BallBar>")
    << axis_missing << QStringList();
  QTest::newRow("a length record's fault")
    << Project("<Length>" + Length("L1") + BAD_LENGTH + "</Length><BallBar>" + Ballbar("A") + "</BallBar>")
    << "ERR:  Node 'Name' is missing from node 'Measurement' and not optional." << QStringList();
  QTest::newRow("a record's fault, then a bad setting")
    << Project("<Project_Settings><Uncertainty><Ball_Bar><Constant_um>-1</Constant_um></Ball_Bar></Uncertainty>"
               "</Project_Settings><BallBar>" + BAD_BALLBAR + "</BallBar>")
    << axis_missing << QStringList();
  QTest::newRow("groups in either order")
    << Project("<Length>" + Length("L1") + Length("L2") + "</Length><BallBar>" + Ballbar("A") + Ballbar("B") +
               "</BallBar>")
    << "" << QStringList{"A", "B", "L1", "L2"};
  QTest::newRow("a second group of a kind is passed over")
    << Project("<BallBar>" + Ballbar("A") + "</BallBar><Length>" + Length("L1") + "</Length><BallBar>" +
               Ballbar("B") + BAD_BALLBAR + "</BallBar><Length>" + BAD_LENGTH + "</Length>")
    << "" << QStringList{"A", "L1"};
  QTest::newRow("other elements in a group")
    << Project("<BallBar><Note>x</Note>" + Ballbar("A") + "<Measurements/>" + Ballbar("B") + "</BallBar>") << ""
    << QStringList{"A", "B"};
  QTest::newRow("blank character data before a name")
    << Project("<BallBar>" + Ballbar("\n<![CDATA[ ]]>\nB") + "</BallBar>") << "" << QStringList{"\nB"};
  QTest::newRow("a comment before a name")
    << Project("<BallBar>" + Ballbar("<!-- c -->B") + "</BallBar>")
    << "ERR:  Node Text for 'Name' is not optional." << QStringList();
  QTest::newRow("elements of a namespace")
    << Project("<p:BallBar xmlns:p=\"urn:p\"><p:Measurement><p:Name>N</p:Name><p:Position>0,0,0</p:Position>"
               "<p:Axis>0,0,1</p:Axis><p:Actual_Length>1</p:Actual_Length></p:Measurement></p:BallBar>")
    << "" << QStringList{"N"};
  QTest::newRow("an undeclared prefix") << Project("<BallBar>" + Ballbar("<q:b/>") + "</BallBar>")
                                        << "ERR:  Reference data XML parse error at line 2 column 61: "
                                           "Namespace prefix 'q' not declared"
                                        << QStringList();
}

void TTestProjectFile::judged_as_a_whole()
{
  QFETCH(QByteArray, data);
  QFETCH(QString, error);
  QFETCH(QStringList, names);

  TProjectFile::TRecords records;
  QString message;
  const bool loaded = TProjectFile::Load_Data(data, &records, &message);
  QCOMPARE(loaded, error.isEmpty());
  if(loaded)
    QCOMPARE(Names(records), names);
  else
    QVERIFY2(message.startsWith(error), qPrintable(message));
}

// The settings are read wherever they stand among the root's elements, and
// records with an axis of no length are named, ball bars first.
void TTestProjectFile::settings_anywhere_in_the_root()
{
  const QByteArray data = Project(SETTINGS + "<Length>" + Length("L1") + "</Length><BallBar>" +
                                  Ballbar("A", "0,0,0") + Ballbar("B") + "</BallBar>");
  TProjectFile::TRecords records;
  QString message;
  QStringList zero_directions;
  TProjectSettings settings;
  QVERIFY2(TProjectFile::Load_Data(data, &records, &message, &zero_directions, &settings), qPrintable(message));
  QCOMPARE(Names(records), QStringList({"A", "B", "L1"}));
  QCOMPARE(zero_directions, QStringList{"A"});
  QCOMPARE(settings.uncertainty.ball_bar.constant_um, 1.5);
  QCOMPARE(settings.uncertainty.ball_bar.proportional_um_per_m, 2.0);
  QCOMPARE(records[2]->Draw_Offset(), 2.0);
  QCOMPARE(records[2]->Actual_Length(), 200.001);
}

// A load reports how far it has read, up to the file's size, and a progress
// that answers false stops it with a message and no records taken.
void TTestProjectFile::progress_follows_the_file()
{
  QTemporaryDir directory;
  const QString path = directory.filePath("big.square");
  QByteArray body;
  for(int i = 0; i < 20000; ++i)
    body += Ballbar("B" + QByteArray::number(i));
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(Project("<BallBar>" + body + "</BallBar>"));
  file.close();

  for(const bool cancel : {false, true})
  {
    QVector<qint64> done;
    const auto progress = [&](qint64 bytes, qint64 total) {
      done << bytes;
      return total == file.size() && !(cancel && done.size() == 3);
    };
    TProjectFile::TRecords records;
    QString message;
    const bool loaded = TProjectFile::Load(path, &records, &message, nullptr, nullptr, progress);
    QCOMPARE(loaded, !cancel);
    QVERIFY(std::is_sorted(done.begin(), done.end()));
    if(cancel)
    {
      QCOMPARE(message, QString("ERR:  Reading '%1' was cancelled.").arg(path));
      QCOMPARE(done.size(), 3);
    }
    else
    {
      QCOMPARE(records.size(), size_t(20000));
      QCOMPARE(done.last(), file.size());
      QVERIFY(done.size() > 3);
    }
  }
}

QTEST_GUILESS_MAIN(TTestProjectFile)
#include "test_projectfile.moc"
