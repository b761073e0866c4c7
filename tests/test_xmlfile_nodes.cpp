// The XML wrapper's reading of a document: child and sibling lookup, optional
// and required nodes, attributes and text.
#include <QtTest>

#include "xmlfile.h"
#include "xmlfile_test_helpers.h"

using namespace xmlfile_test;

class TTestXmlFileNodes : public QObject
{
  Q_OBJECT

private slots:
  void optional_child_lookup();
  void required_child_lookup();
  void child_lookup_through_plain_node();
  void sibling_lookup();
  void first_node_and_nameless_sibling();
  void null_nodes_are_reported_even_when_optional();
  void attributes();
  void read_text_node_data();
  void read_text_node();
  void characters_beyond_basic_plane_data();
  void characters_beyond_basic_plane();
};

void TTestXmlFileNodes::optional_child_lookup()
{
  TXmlFile xml;
  xml.Reset("Root", 1);
  const QDomElement missing = xml.Get_Node(xml.Root_Node(), "Missing", true);
  QVERIFY(missing.isNull());

  QDomElement child = xml.Create_Node(xml.Root_Node(), "Child");
  QCOMPARE(xml.Get_Node(xml.Root_Node(), "Child", true), child);
}

void TTestXmlFileNodes::required_child_lookup()
{
  TXmlFile xml;
  xml.Reset("Root", 1);
  QCOMPARE(Thrown([&] { xml.Get_Node(xml.Root_Node(), "Missing", false); }),
           QString("ERR:  Node 'Missing' is missing from node 'Root' and not optional."));
  QCOMPARE(Thrown_Type([&] { xml.Get_Node(xml.Root_Node(), "Missing", false); }), TXmlFileException::ERROR_DATA);
}

void TTestXmlFileNodes::child_lookup_through_plain_node()
{
  TXmlFile xml;
  xml.Open_Data("<Root><Child><Leaf>3</Leaf></Child></Root>", "Root", nullptr, false);
  const QDomNode child = xml.Get_First_Node(xml.Root_Node(), false);
  QCOMPARE(xml.Get_Node(&child, "Leaf", false).tagName(), QString("Leaf"));
  QCOMPARE(Thrown([&] { xml.Get_Node(&child, "Other", false); }),
           QString("ERR:  Node 'Other' is missing from node 'Child' and not optional."));
  QVERIFY(xml.Get_Node(&child, "Other", true).isNull());
}

void TTestXmlFileNodes::sibling_lookup()
{
  TXmlFile xml;
  xml.Open_Data("<Root><Item>1</Item><Other/><Item>2</Item></Root>", "Root", nullptr, false);
  const QDomElement first = xml.Get_Node(xml.Root_Node(), "Item", false);
  const QDomElement second = xml.Get_Sibling_Node(&first, "Item", true);
  QCOMPARE(xml.Read_Text_Node(&second, false), QString("2"));
  QVERIFY(xml.Get_Sibling_Node(&second, "Item", true).isNull());
  QCOMPARE(Thrown([&] { xml.Get_Sibling_Node(&second, "Item", false); }),
           QString("ERR:  Node 'Item' is missing from node 'Item' and not optional."));
}

void TTestXmlFileNodes::first_node_and_nameless_sibling()
{
  TXmlFile xml;
  xml.Open_Data("<Root><Empty/><Text>abc</Text></Root>", "Root", nullptr, true);
  const QDomElement empty = xml.Get_Node(xml.Root_Node(), "Empty", false);
  QVERIFY(xml.Get_First_Node(&empty, true).isNull());
  QCOMPARE(Thrown([&] { xml.Get_First_Node(&empty, false); }),
           QString("ERR:  Parent 'Empty' does not have nodes and they are not optional."));

  const QDomNode empty_node = empty;
  QCOMPARE(Thrown([&] { xml.Get_First_Node(&empty_node, false); }),
           QString("ERR:  Parent 'Empty' does not have nodes and they are not optional."));

  const QDomNode text_element = xml.Get_Sibling_Node(&empty_node, false);
  QCOMPARE(text_element.nodeName(), QString("Text"));
  QVERIFY(xml.Get_First_Node(&text_element, false).isText());
  QVERIFY(xml.Get_Sibling_Node(&text_element, true).isNull());
  QCOMPARE(Thrown([&] { xml.Get_Sibling_Node(&text_element, false); }),
           QString("ERR:  Node 'Text' does not have siblings and they are not optional."));
}

void TTestXmlFileNodes::null_nodes_are_reported_even_when_optional()
{
  TXmlFile xml;
  const QDomElement null_element;
  const QDomNode null_node;
  QCOMPARE(Thrown([&] { xml.Get_Node(&null_element, "A", true); }), QString("ERR:  Cannot get child from a NULL node"));
  QCOMPARE(Thrown([&] { xml.Get_Node(&null_node, "A", true); }), QString("ERR:  Cannot get child from a NULL node"));
  QCOMPARE(Thrown([&] { xml.Get_Sibling_Node(&null_element, "A", true); }),
           QString("ERR:  Cannot get sibling from a NULL node"));
  QCOMPARE(Thrown([&] { xml.Read_Text_Node(&null_element, true); }), QString("ERR:  Cannot read data from a NULL node"));
  QCOMPARE(Thrown([&] { xml.Read_Text_Node(&null_node, true); }), QString("ERR:  Cannot read data from a NULL node"));
  QCOMPARE(Thrown([&] { xml.Read_Attribute(&null_element, "A", true); }),
           QString("ERR:  Cannot read attribute from a NULL node"));
  QCOMPARE(Thrown([&] { xml.Read_Attribute(&null_node, "A", true); }),
           QString("ERR:  Cannot read attribute from a NULL node"));

  // A null node simply has no children or siblings.
  QVERIFY(xml.Get_First_Node(&null_element, true).isNull());
  QVERIFY(xml.Get_Sibling_Node(&null_node, true).isNull());
}

void TTestXmlFileNodes::attributes()
{
  TXmlFile xml;
  xml.Open_Data("<Root Name=\"value\" Empty=\"\"/>", "Root", nullptr, false);
  const QDomNode root_node = *xml.Root_Node();
  QCOMPARE(xml.Read_Attribute(xml.Root_Node(), "Name", false), QString("value"));
  QCOMPARE(xml.Read_Attribute(&root_node, "Name", false), QString("value"));
  QCOMPARE(xml.Read_Attribute(xml.Root_Node(), "Empty", false), QString(""));
  QCOMPARE(xml.Read_Attribute(xml.Root_Node(), "Missing", true), QString());
  QCOMPARE(xml.Read_Attribute(&root_node, "Missing", true), QString());
  QCOMPARE(Thrown([&] { xml.Read_Attribute(xml.Root_Node(), "Missing", false); }),
           QString("ERR:  Node attribute 'Missing' missing and not optional."));
  QCOMPARE(Thrown([&] { xml.Read_Attribute(&root_node, "Missing", false); }),
           QString("ERR:  Node attribute 'Missing' missing and not optional."));
}

void TTestXmlFileNodes::read_text_node_data()
{
  QTest::addColumn<QByteArray>("element");
  QTest::addColumn<bool>("optional");
  QTest::addColumn<QString>("expected");

  QTest::newRow("text") << QByteArray("<E>12</E>") << false << "12";
  QTest::newRow("text then element") << QByteArray("<E>12<C/></E>") << false << "12";
  QTest::newRow("element then text, optional") << QByteArray("<E><C/>12</E>") << true << "";
  QTest::newRow("element then text, required") << QByteArray("<E><C/>12</E>") << false
                                               << "ERR:  Node Text for 'E' is not optional.";
  QTest::newRow("no children, optional") << QByteArray("<E/>") << true << "";
  QTest::newRow("no children, required") << QByteArray("<E/>") << false << "ERR:  Node Text for 'E' is not optional.";
  QTest::newRow("only an element, optional") << QByteArray("<E><C>5</C></E>") << true << "";
  QTest::newRow("character data section") << QByteArray("<E><![CDATA[a<b]]></E>") << false << "a<b";
  QTest::newRow("entities") << QByteArray("<E>1 &lt; 2 &amp; 3</E>") << false << "1 < 2 & 3";
}

void TTestXmlFileNodes::read_text_node()
{
  QFETCH(QByteArray, element);
  QFETCH(bool, optional);
  QFETCH(QString, expected);

  TXmlFile xml;
  xml.Open_Data("<Root>" + element + "</Root>", "Root", nullptr, true);
  const QDomElement node = xml.Get_Node(xml.Root_Node(), "E", false);
  const QDomNode plain = node;

  QString as_element;
  QString as_node;
  try
  {
    as_element = xml.Read_Text_Node(&node, optional);
  }
  catch(const TXmlFileException& exception)
  {
    as_element = exception.Message();
  }
  try
  {
    as_node = xml.Read_Text_Node(&plain, optional);
  }
  catch(const TXmlFileException& exception)
  {
    as_node = exception.Message();
  }
  QCOMPARE(as_element, expected);
  QCOMPARE(as_node, expected);
}

void TTestXmlFileNodes::characters_beyond_basic_plane_data()
{
  QTest::addColumn<QByteArray>("data");
  QTest::addColumn<QString>("expected");

  const QString smiley = QString::fromUtf8("\xF0\x9F\x98\x80");
  QTest::newRow("text") << QByteArray("<Root><E>Bar \xF0\x9F\x98\x80</E></Root>") << "Bar " + smiley;
  QTest::newRow("comment") << QByteArray("<Root><!-- \xF0\x9F\x98\x80 --><E>1</E></Root>") << "1";
  QTest::newRow("character data") << QByteArray("<Root><E><![CDATA[\xF0\x9F\x98\x80]]></E></Root>") << smiley;
  QTest::newRow("character reference") << QByteArray("<Root><E>&#x1F600;</E></Root>") << smiley;
  QTest::newRow("last code point") << QByteArray("<Root><E>&#x10FFFF;</E></Root>") << QString::fromUcs4(U"\U0010FFFF");
  QTest::newRow("entity") << QByteArray("<!DOCTYPE Root [<!ENTITY e \"\xF0\x9F\x98\x80\">]><Root><E>&e;</E></Root>")
                          << smiley;
}

// Text of characters written as surrogate pairs reads back whole, and the
// refusing policy for written text stays in force after reading.
void TTestXmlFileNodes::characters_beyond_basic_plane()
{
  QFETCH(QByteArray, data);
  QFETCH(QString, expected);

  TXmlFile xml;
  QCOMPARE(Thrown([&] { xml.Open_Data(data, "Root", nullptr, true); }), QString("no exception"));
  const QDomElement node = xml.Get_Node(xml.Root_Node(), "E", false);
  QCOMPARE(xml.Read_Text_Node(&node, false), expected);

  QDomElement written = xml.Create_Node(xml.Root_Node(), "W");
  QCOMPARE(Thrown([&] { xml.Write_Text_Node(&written, QStringLiteral("\x01")); }),
           QString("ERR:  Cannot write node 'W' with data '\x01'"));
}

QTEST_GUILESS_MAIN(TTestXmlFileNodes)
#include "test_xmlfile_nodes.moc"
