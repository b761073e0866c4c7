// The XML wrapper writing a document: layout, numbers, refused nodes and
// text, and what reads back from what was written.
#include <QTemporaryDir>
#include <QtTest>

#include "xmlfile.h"
#include "xmlfile_test_helpers.h"

using namespace xmlfile_test;

class TTestXmlFileWriting : public QObject
{
  Q_OBJECT

private slots:
  void indented_output();
  void compact_output();
  void document_type_output();
  void write_data_replaces_contents();
  void number_formats_data();
  void number_formats();
  void write_errors();
  void round_trip_keeps_text();
  void written_text_characters_data();
  void written_text_characters();
  void declared_encoding_is_kept();
  void clear_drops_the_document();
};

void TTestXmlFileWriting::indented_output()
{
  QTemporaryDir folder;
  TXmlFile xml;
  xml.Set_File_Name(folder.filePath("out.square"));
  xml.Reset("Root", 1);
  QDomElement child = xml.Create_Node(xml.Root_Node(), "Child");
  QDomElement leaf = xml.Create_Node(&child, "Leaf");
  xml.Write_Text_Node(&leaf, 2.5, 3);
  xml.Write_Attribute(&child, "Kind", "a<b");
  xml.Create_Node(xml.Root_Node(), "Empty");
  xml.Write_File(false);

  QCOMPARE(Read_All(xml.File_Name()), QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                                                 "<Root File_Version=\"1\">\n"
                                                 "    <Child Kind=\"a&lt;b\">\n"
                                                 "        <Leaf>2.500</Leaf>\n"
                                                 "    </Child>\n"
                                                 "    <Empty/>\n"
                                                 "</Root>\n"));
}

void TTestXmlFileWriting::compact_output()
{
  QTemporaryDir folder;
  TXmlFile xml;
  xml.Set_File_Name(folder.filePath("out.xml"));
  xml.Reset("Root", 2);
  QDomElement child = xml.Create_Node(xml.Root_Node(), "Child");
  QDomElement leaf = xml.Create_Node(&child, "Leaf");
  xml.Write_Text_Node(&leaf, 7);
  xml.Write_File(true);

  const QByteArray written = Read_All(xml.File_Name());
  QCOMPARE(written, QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                               "<Root File_Version=\"2\"><Child><Leaf>7</Leaf></Child></Root>"));
  QVERIFY(!written.contains('\n'));

  // The one-line form reads back to the same content.
  TXmlFile reader;
  int version = 0;
  reader.Open_Data(written, "Root", &version, false);
  QCOMPARE(version, 2);
  const QDomElement read_child = reader.Get_Node(reader.Root_Node(), "Child", false);
  const QDomElement read_leaf = reader.Get_Node(&read_child, "Leaf", false);
  QCOMPARE(reader.Read_Text_Node(&read_leaf, false), QString("7"));
}

void TTestXmlFileWriting::document_type_output()
{
  TXmlFile xml;
  xml.Reset("Kind", "Root", 4);
  xml.Create_Node(xml.Root_Node(), "A");
  QByteArray text;
  xml.Write_Data(&text, false);
  QCOMPARE(text, QByteArray("<!DOCTYPE Kind>\n"
                            "<Root File_Version=\"4\">\n"
                            "    <A/>\n"
                            "</Root>\n"));

  TXmlFile reader;
  int version = 0;
  reader.Open_Data(text, "Root", &version, false);
  QCOMPARE(reader.Document_Type_Name(), QString("Kind"));
  QCOMPARE(version, 4);
}

void TTestXmlFileWriting::write_data_replaces_contents()
{
  TXmlFile xml;
  xml.Reset("Root", 1);
  QByteArray data("left over from before");
  xml.Write_Data(&data, true);
  QCOMPARE(data, QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?><Root File_Version=\"1\"/>"));
}

void TTestXmlFileWriting::number_formats_data()
{
  QTest::addColumn<double>("value");
  QTest::addColumn<int>("precision");
  QTest::addColumn<QString>("expected");

  QTest::newRow("1.5 with 6") << 1.5 << 6 << "1.500000";
  QTest::newRow("two thirds with 4") << 2.0 / 3.0 << 4 << "0.6667";
  QTest::newRow("negative") << -0.25 << 2 << "-0.25";
  QTest::newRow("large, no exponent") << 1.25e9 << 1 << "1250000000.0";
  QTest::newRow("no decimals") << 2.6 << 0 << "3";
}

void TTestXmlFileWriting::number_formats()
{
  QFETCH(double, value);
  QFETCH(int, precision);
  QFETCH(QString, expected);

  TXmlFile xml;
  xml.Reset("Root", 1);
  QDomElement node = xml.Create_Node(xml.Root_Node(), "N");
  xml.Write_Text_Node(&node, value, precision);
  xml.Write_Attribute(&node, "V", value, precision);
  QCOMPARE(xml.Read_Text_Node(&node, false), expected);
  QCOMPARE(xml.Read_Attribute(&node, "V", false), expected);

  QDomElement integer = xml.Create_Node(xml.Root_Node(), "I");
  xml.Write_Text_Node(&integer, 7);
  xml.Write_Attribute(&integer, "V", -3);
  QCOMPARE(xml.Read_Text_Node(&integer, false), QString("7"));
  QCOMPARE(xml.Read_Attribute(&integer, "V", false), QString("-3"));
}

void TTestXmlFileWriting::write_errors()
{
  TXmlFile xml;
  xml.Reset("Root", 1);
  QDomElement null_element;
  QCOMPARE(Thrown([&] { xml.Create_Node(&null_element, "A"); }), QString("ERR:  Cannot create node from a NULL node"));
  QCOMPARE(Thrown([&] { xml.Create_Node(&null_element, ""); }), QString("ERR:  Cannot create node from a NULL node"));
  QCOMPARE(Thrown([&] { xml.Create_Node(xml.Root_Node(), ""); }), QString("ERR:  Cannot create an unnamed node"));
  QCOMPARE(Thrown([&] { xml.Create_Node(xml.Root_Node(), "1st"); }), QString("ERR:  Cannot create node '1st'"));
  QVERIFY(xml.Get_First_Node(xml.Root_Node(), true).isNull());

  QCOMPARE(Thrown([&] { xml.Write_Text_Node(&null_element, "x"); }), QString("ERR:  Cannot append data to a NULL node"));
  QCOMPARE(Thrown([&] { xml.Write_Text_Node(&null_element, 1); }), QString("ERR:  Cannot append data to a NULL node"));
  const QString control = QString("a") + QChar(0x01) + "b";
  QCOMPARE(Thrown([&] { xml.Write_Text_Node(xml.Root_Node(), control); }),
           QString("ERR:  Cannot write node 'Root' with data '%1'").arg(control));
  QVERIFY(xml.Get_First_Node(xml.Root_Node(), true).isNull());

  QCOMPARE(Thrown([&] { xml.Write_Attribute(xml.Root_Node(), "", "v"); }),
           QString("ERR:  Cannot create an unnamed attribute"));
  QCOMPARE(Thrown([&] { xml.Write_Attribute(xml.Root_Node(), "", 2); }),
           QString("ERR:  Cannot create an unnamed attribute"));
}

void TTestXmlFileWriting::round_trip_keeps_text()
{
  QTemporaryDir folder;
  const QString name = QString::fromUtf8("Straße Ø 25 µm <1> & \"2\"");

  TXmlFile writer;
  writer.Set_File_Name(folder.filePath("round.square"));
  writer.Reset("Orthavel", 1);
  QDomElement node = writer.Create_Node(writer.Root_Node(), "Name");
  writer.Write_Text_Node(&node, name);
  writer.Write_Attribute(&node, "Label", name);
  writer.Write_File(false);

  TXmlFile reader;
  reader.Set_File_Name(writer.File_Name());
  int version = 0;
  reader.Open("Orthavel", &version, true);
  const QDomElement read = reader.Get_Node(reader.Root_Node(), "Name", false);
  QCOMPARE(reader.Read_Text_Node(&read, false), name);
  QCOMPARE(reader.Read_Attribute(&read, "Label", false), name);
}

void TTestXmlFileWriting::written_text_characters_data()
{
  QTest::addColumn<QString>("text");
  QTest::addColumn<bool>("accepted");

  QTest::newRow("beyond U+FFFF") << QString::fromUcs4(U"Bar \U0001F600") << true;
  QTest::newRow("last code point") << QString::fromUcs4(U"\U0010FFFF") << true;
  QTest::newRow("tab and line breaks") << QString("a\tb\r\nc") << true;
  QTest::newRow("control character") << QString("a\x01") << false;
  QTest::newRow("lone high surrogate") << QString(QChar(0xD83D)) + "a" << false;
  QTest::newRow("lone low surrogate") << QString(QChar(0xDE00)) << false;
  QTest::newRow("surrogates reversed") << QString(QChar(0xDE00)) + QChar(0xD83D) << false;
  QTest::newRow("U+FFFE") << QString(QChar(0xFFFE)) << false;
}

// Text that XML can hold is written and reads back the same; anything else is refused.
void TTestXmlFileWriting::written_text_characters()
{
  QFETCH(QString, text);
  QFETCH(bool, accepted);

  TXmlFile writer;
  writer.Reset("Root", 1);
  QDomElement node = writer.Create_Node(writer.Root_Node(), "Name");
  const QString message = Thrown([&] { writer.Write_Text_Node(&node, text); });
  if(!accepted)
  {
    QCOMPARE(message, QString("ERR:  Cannot write node 'Name' with data '%1'").arg(text));
    QVERIFY(!node.hasChildNodes());
    return;
  }
  QCOMPARE(message, QString("no exception"));

  QByteArray data;
  writer.Write_Data(&data, false);
  TXmlFile reader;
  reader.Open_Data(data, "Root", nullptr, true);
  const QDomElement read = reader.Get_Node(reader.Root_Node(), "Name", false);
  QCOMPARE(reader.Read_Text_Node(&read, false), text);
}

void TTestXmlFileWriting::declared_encoding_is_kept()
{
  const QByteArray latin = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<Root File_Version=\"1\">caf\xe9</Root>\n";
  TXmlFile xml;
  xml.Open_Data(latin, "Root", nullptr, false);
  QCOMPARE(xml.Read_Text_Node(xml.Root_Node(), false), QString::fromUtf8("café"));

  QByteArray text;
  xml.Write_Data(&text, false);
  QVERIFY(text.contains("ISO-8859-1"));
  QVERIFY(text.endsWith("<Root File_Version=\"1\">caf\xe9</Root>\n"));
  TXmlFile again;
  again.Open_Data(text, "Root", nullptr, false);
  QCOMPARE(again.Read_Text_Node(again.Root_Node(), false), QString::fromUtf8("café"));
}

void TTestXmlFileWriting::clear_drops_the_document()
{
  TXmlFile xml;
  xml.Reset("Root", 1);
  xml.Create_Node(xml.Root_Node(), "A");
  xml.Clear();
  QCOMPARE(Thrown([&] { xml.Get_Node(xml.Root_Node(), "A", true); }), QString("ERR:  Cannot get child from a NULL node"));
  QByteArray text("x");
  xml.Write_Data(&text, false);
  QVERIFY(!text.contains("<A"));

  xml.Reset("Again", 5);
  xml.Write_Data(&text, true);
  QCOMPARE(text, QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?><Again File_Version=\"5\"/>"));
}

QTEST_GUILESS_MAIN(TTestXmlFileWriting)
#include "test_xmlfile_writing.moc"
