#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

#include "xmlfile.h"

namespace
{
// Runs the call and returns the message it threw, or "no exception".
template<typename Call> QString Thrown(Call call)
{
  try
  {
    call();
  }
  catch(const TXmlFileException& exception)
  {
    return exception.Message();
  }
  return QStringLiteral("no exception");
}

template<typename Call> TXmlFileException::TExceptionType Thrown_Type(Call call)
{
  try
  {
    call();
  }
  catch(const TXmlFileException& exception)
  {
    return exception.Type();
  }
  return static_cast<TXmlFileException::TExceptionType>(-1);
}

QByteArray Read_All(const QString& path)
{
  QFile file(path);
  if(!file.open(QIODevice::ReadOnly))
    return QByteArray("<unreadable>");
  return file.readAll();
}

bool Write_All(const QString& path, const QByteArray& data)
{
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QByteArray Nested(int depth)
{
  QByteArray data;
  data.reserve(depth * 7);
  for(int i = 0; i < depth; ++i)
    data += "<a>";
  for(int i = 0; i < depth; ++i)
    data += "</a>";
  return data;
}
}

class TTestXmlFile : public QObject
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
  void identification_and_version_data();
  void identification_and_version();
  void open_file_and_document_type();
  void open_file_access_errors();
  void open_file_line_ends_data();
  void open_file_line_ends();
  void parse_error_position_data();
  void parse_error_position();
  void bad_input_is_rejected_data();
  void bad_input_is_rejected();
  void deep_nesting_data();
  void deep_nesting();
  void deep_nesting_from_file();
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
  void overwrite_replaces_old_file();
  void failed_save_keeps_old_file_data();
  void failed_save_keeps_old_file();
  void read_only_file_is_refused();
  void interrupted_save_keeps_old_file_data();
  void interrupted_save_keeps_old_file();
  void folder_without_new_files_is_named();
};

void TTestXmlFile::optional_child_lookup()
{
  TXmlFile xml;
  xml.Reset("Root", 1);
  const QDomElement missing = xml.Get_Node(xml.Root_Node(), "Missing", true);
  QVERIFY(missing.isNull());

  QDomElement child = xml.Create_Node(xml.Root_Node(), "Child");
  QCOMPARE(xml.Get_Node(xml.Root_Node(), "Child", true), child);
}

void TTestXmlFile::required_child_lookup()
{
  TXmlFile xml;
  xml.Reset("Root", 1);
  QCOMPARE(Thrown([&] { xml.Get_Node(xml.Root_Node(), "Missing", false); }),
           QString("ERR:  Node 'Missing' is missing from node 'Root' and not optional."));
  QCOMPARE(Thrown_Type([&] { xml.Get_Node(xml.Root_Node(), "Missing", false); }), TXmlFileException::ERROR_DATA);
}

void TTestXmlFile::child_lookup_through_plain_node()
{
  TXmlFile xml;
  xml.Open_Data("<Root><Child><Leaf>3</Leaf></Child></Root>", "Root", nullptr, false);
  const QDomNode child = xml.Get_First_Node(xml.Root_Node(), false);
  QCOMPARE(xml.Get_Node(&child, "Leaf", false).tagName(), QString("Leaf"));
  QCOMPARE(Thrown([&] { xml.Get_Node(&child, "Other", false); }),
           QString("ERR:  Node 'Other' is missing from node 'Child' and not optional."));
  QVERIFY(xml.Get_Node(&child, "Other", true).isNull());
}

void TTestXmlFile::sibling_lookup()
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

void TTestXmlFile::first_node_and_nameless_sibling()
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

void TTestXmlFile::null_nodes_are_reported_even_when_optional()
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

void TTestXmlFile::attributes()
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

void TTestXmlFile::read_text_node_data()
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

void TTestXmlFile::read_text_node()
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

void TTestXmlFile::characters_beyond_basic_plane_data()
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
void TTestXmlFile::characters_beyond_basic_plane()
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

void TTestXmlFile::identification_and_version_data()
{
  QTest::addColumn<QByteArray>("data");
  QTest::addColumn<bool>("ask_version");
  QTest::addColumn<QString>("error");
  QTest::addColumn<int>("version");

  QTest::newRow("matching") << QByteArray("<Orthavel File_Version=\"1\"/>") << true << "" << 1;
  QTest::newRow("other root") << QByteArray("<Other File_Version=\"1\"/>") << true
                              << "ERR:  Identification 'Orthavel' does not match 'Other'" << -1;
  QTest::newRow("letter case") << QByteArray("<orthavel File_Version=\"1\"/>") << false
                               << "ERR:  Identification 'Orthavel' does not match 'orthavel'" << -1;
  QTest::newRow("missing version") << QByteArray("<Orthavel/>") << true
                                   << "ERR:  The 'File_Version' attribute is missing." << -1;
  QTest::newRow("version not asked") << QByteArray("<Orthavel/>") << false << "" << -1;
  QTest::newRow("version not a number") << QByteArray("<Orthavel File_Version=\"abc\"/>") << true << "" << 0;
  QTest::newRow("larger version") << QByteArray("<Orthavel File_Version=\"12\"/>") << true << "" << 12;
  QTest::newRow("declaration first") << QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                                                   "<Orthavel File_Version=\"3\"><A/></Orthavel>")
                                     << true << "" << 3;
}

void TTestXmlFile::identification_and_version()
{
  QFETCH(QByteArray, data);
  QFETCH(bool, ask_version);
  QFETCH(QString, error);
  QFETCH(int, version);

  TXmlFile xml;
  int found = -1;
  const QString message = Thrown([&] { xml.Open_Data(data, "Orthavel", ask_version ? &found : nullptr, true); });
  QCOMPARE(message, error.isEmpty() ? QString("no exception") : error);
  QCOMPARE(found, version);
  if(error.isEmpty())
  {
    QCOMPARE(xml.Root_Node()->tagName(), QString("Orthavel"));
    QCOMPARE(xml.Identification(), QString("Orthavel"));
  }
}

void TTestXmlFile::open_file_and_document_type()
{
  QTemporaryDir folder;
  QVERIFY(folder.isValid());
  const QString path = folder.filePath("project.square");
  QVERIFY(Write_All(path, "<?xml version=\"1.0\"?>\r\n<!DOCTYPE Kind>\r\n<Orthavel File_Version=\"1\">\r\n"
                          "  <Name>first</Name>\r\n</Orthavel>\r\n"));

  TXmlFile xml;
  xml.Set_File_Name(path);
  int version = 0;
  xml.Open("Orthavel", &version, true);
  QCOMPARE(version, 1);
  QCOMPARE(xml.Document_Type_Name(), QString("Kind"));
  const QDomElement name = xml.Get_Node(xml.Root_Node(), "Name", false);
  QCOMPARE(xml.Read_Text_Node(&name, false), QString("first"));
}

void TTestXmlFile::open_file_access_errors()
{
  QTemporaryDir folder;
  QVERIFY(folder.isValid());

  TXmlFile xml;
  const QString missing = folder.filePath("missing.square");
  xml.Set_File_Name(missing);
  QCOMPARE(Thrown([&] { xml.Open("Orthavel", nullptr, true); }),
           QString("ERR:  Cannot open file '%1' for reading.").arg(missing));
  QCOMPARE(Thrown_Type([&] { xml.Open("Orthavel", nullptr, true); }), TXmlFileException::ERROR_FILE_ACCESS);

  // A folder is readable but cannot be opened as a file.
  xml.Set_File_Name(folder.path());
  const QString message = Thrown([&] { xml.Open("Orthavel", nullptr, true); });
  QVERIFY2(message.startsWith(QString("ERR:  Cannot open file: '%1'.  Reason: ").arg(folder.path())), qPrintable(message));
  QVERIFY(message.length() > QString("ERR:  Cannot open file: '%1'.  Reason: ").arg(folder.path()).length());
  QCOMPARE(Thrown_Type([&] { xml.Open("Orthavel", nullptr, true); }), TXmlFileException::ERROR_FILE_ACCESS);
}

void TTestXmlFile::open_file_line_ends_data()
{
  QTest::addColumn<QByteArray>("data");
  QTest::addColumn<QString>("expected");

  QTest::newRow("CR-LF") << QByteArray("<?xml version=\"1.0\"?>\r\n<Root>\r\n<E>a\r\nb</E>\r\n</Root>\r\n") << "a\nb";
  QTest::newRow("CR alone") << QByteArray("<?xml version=\"1.0\"?>\r<Root\rFile_Version=\"1\">\r<E>a\rb</E></Root>") << "a\nb";
  // U+010D is stored as the bytes 0D 01 in UTF-16LE.
  const QString utf16 = QString("<Root><E>%1</E></Root>").arg(QChar(0x010D));
  QByteArray utf16_data("\xff\xfe");
  for(const QChar c : utf16)
    utf16_data += QByteArray(1, static_cast<char>(c.unicode() & 0xff)) + static_cast<char>(c.unicode() >> 8);
  QTest::newRow("UTF-16 with byte 0D") << utf16_data << QString(QChar(0x010D));
}

// Line ends are the parser's business: every XML line end reads as a line
// feed, and no byte of the file is lost on the way.
void TTestXmlFile::open_file_line_ends()
{
  QFETCH(QByteArray, data);
  QFETCH(QString, expected);

  QTemporaryDir folder;
  TXmlFile xml;
  xml.Set_File_Name(folder.filePath("line_ends.xml"));
  QVERIFY(Write_All(xml.File_Name(), data));
  QCOMPARE(Thrown([&] { xml.Open("Root", nullptr, true); }), QString("no exception"));
  const QDomElement node = xml.Get_Node(xml.Root_Node(), "E", false);
  QCOMPARE(xml.Read_Text_Node(&node, false), expected);
}

void TTestXmlFile::parse_error_position_data()
{
  QTest::addColumn<QByteArray>("data");
  QTest::addColumn<int>("line");
  QTest::addColumn<int>("first_column");
  QTest::addColumn<int>("last_column");

  QTest::newRow("mismatched end tag") << QByteArray("<Root>\n  <A>\n  </B>\n</Root>\n") << 3 << 3 << 7;
  QTest::newRow("bad attribute") << QByteArray("<Root>\n<A x=1/>\n</Root>") << 2 << 3 << 7;
  QTest::newRow("truncated") << QByteArray("<Root>\n<A>\n<B>12") << 3 << 0 << 6;
}

void TTestXmlFile::parse_error_position()
{
  QFETCH(QByteArray, data);
  QFETCH(int, line);
  QFETCH(int, first_column);
  QFETCH(int, last_column);

  const QRegularExpression pattern("^ERR:  Reference (data|file) XML parse error at line (\\d+) column (\\d+): .+$");

  TXmlFile xml;
  const QString from_data = Thrown([&] { xml.Open_Data(data, "Root", nullptr, false); });
  QRegularExpressionMatch match = pattern.match(from_data);
  QVERIFY2(match.hasMatch(), qPrintable(from_data));
  QCOMPARE(match.captured(1), QString("data"));
  QCOMPARE(match.captured(2).toInt(), line);
  QVERIFY2(match.captured(3).toInt() >= first_column && match.captured(3).toInt() <= last_column, qPrintable(from_data));

  QTemporaryDir folder;
  const QString path = folder.filePath("broken.xml");
  QVERIFY(Write_All(path, data));
  xml.Set_File_Name(path);
  const QString from_file = Thrown([&] { xml.Open("Root", nullptr, false); });
  match = pattern.match(from_file);
  QVERIFY2(match.hasMatch(), qPrintable(from_file));
  QCOMPARE(match.captured(1), QString("file"));
  QCOMPARE(match.captured(2).toInt(), line);
}

void TTestXmlFile::bad_input_is_rejected_data()
{
  QTest::addColumn<QByteArray>("data");

  QByteArray binary;
  for(int i = 0; i < 4096; ++i)
    binary += static_cast<char>((i * 7919 + 13) % 256);
  QByteArray laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE Root [\n<!ENTITY l0 \"lol\">\n";
  for(int i = 1; i < 12; ++i)
    laughs += QString("<!ENTITY l%1 \"%2\">\n").arg(i).arg(QString("&l%1;").arg(i - 1).repeated(10)).toLatin1();
  laughs += "]>\n<Root>&l11;</Root>\n";

  QTest::newRow("empty") << QByteArray();
  QTest::newRow("binary") << binary;
  QTest::newRow("binary after root") << QByteArray("<Root>") + binary;
  QTest::newRow("nul bytes") << QByteArray("<Root>\0\0\0</Root>", 17);
  QTest::newRow("truncated declaration") << QByteArray("<?xml vers");
  QTest::newRow("unclosed comment") << QByteArray("<Root><!-- ");
  QTest::newRow("two roots") << QByteArray("<Root/><Root/>");
  QTest::newRow("undeclared entity") << QByteArray("<Root>&nothing;</Root>");
  QTest::newRow("entity expansion") << laughs;
}

void TTestXmlFile::bad_input_is_rejected()
{
  QFETCH(QByteArray, data);
  TXmlFile xml;
  const QString message = Thrown([&] { xml.Open_Data(data, "Root", nullptr, false); });
  QVERIFY2(message.startsWith("ERR:  Reference data XML "), qPrintable(message));
}

void TTestXmlFile::deep_nesting_data()
{
  QTest::addColumn<QByteArray>("data");
  QTest::addColumn<bool>("accepted");

  const int limit = TXmlFile::MAXIMUM_NESTING_DEPTH;
  QTest::newRow("at the limit") << Nested(limit) << true;
  QTest::newRow("one level more") << Nested(limit + 1) << false;
  QTest::newRow("far too deep") << Nested(300000) << false;
  QTest::newRow("far too deep, unclosed") << QByteArray("<a>").repeated(300000) << false;

  // Nesting built from entities is counted after expansion.
  QByteArray entities = "<!DOCTYPE a [\n<!ENTITY e0 \"<b/>\">\n";
  for(int i = 1; i <= 4; ++i)
    entities += QString("<!ENTITY e%1 \"%2&e%3;%4\">\n")
                  .arg(i).arg(QString("<b>").repeated(130)).arg(i - 1).arg(QString("</b>").repeated(130)).toLatin1();
  entities += "]>\n<a>&e4;</a>";
  QTest::newRow("through entities") << entities << false;
}

void TTestXmlFile::deep_nesting()
{
  QFETCH(QByteArray, data);
  QFETCH(bool, accepted);

  TXmlFile xml;
  const QString message = Thrown([&] { xml.Open_Data(data, "a", nullptr, false); });
  if(accepted)
  {
    QCOMPARE(message, QString("no exception"));
    QByteArray text;
    xml.Write_Data(&text, false);
    QCOMPARE(text.count("<a>"), TXmlFile::MAXIMUM_NESTING_DEPTH - 1);
  }
  else
    QVERIFY2(message.startsWith(QString("ERR:  Reference data XML nested deeper than %1 levels at line ")
                                  .arg(TXmlFile::MAXIMUM_NESTING_DEPTH)),
             qPrintable(message));
}

void TTestXmlFile::deep_nesting_from_file()
{
  QTemporaryDir folder;
  const QString path = folder.filePath("deep.xml");
  QVERIFY(Write_All(path, "<?xml version=\"1.0\"?>\n" + Nested(100000)));

  TXmlFile xml;
  xml.Set_File_Name(path);
  QCOMPARE(Thrown([&] { xml.Open("a", nullptr, true); }),
           QString("ERR:  Reference file XML nested deeper than %1 levels at line 2")
             .arg(TXmlFile::MAXIMUM_NESTING_DEPTH));
}

void TTestXmlFile::indented_output()
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

void TTestXmlFile::compact_output()
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

void TTestXmlFile::document_type_output()
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

void TTestXmlFile::write_data_replaces_contents()
{
  TXmlFile xml;
  xml.Reset("Root", 1);
  QByteArray data("left over from before");
  xml.Write_Data(&data, true);
  QCOMPARE(data, QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?><Root File_Version=\"1\"/>"));
}

void TTestXmlFile::number_formats_data()
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

void TTestXmlFile::number_formats()
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

void TTestXmlFile::write_errors()
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

void TTestXmlFile::round_trip_keeps_text()
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

void TTestXmlFile::written_text_characters_data()
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
void TTestXmlFile::written_text_characters()
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

void TTestXmlFile::declared_encoding_is_kept()
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

void TTestXmlFile::clear_drops_the_document()
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

void TTestXmlFile::overwrite_replaces_old_file()
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

void TTestXmlFile::failed_save_keeps_old_file_data()
{
  QTest::addColumn<QString>("target");
  QTest::addColumn<QString>("survivor");

  QTest::newRow("path is a folder") << "folder" << "folder/inside.txt";
  QTest::newRow("parent is a file") << "plain.txt/out.square" << "plain.txt";
}

void TTestXmlFile::failed_save_keeps_old_file()
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

void TTestXmlFile::read_only_file_is_refused()
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
void TTestXmlFile::interrupted_save_keeps_old_file_data()
{
  QTest::addColumn<int>("nodes");
  QTest::addColumn<int>("limit");

  QTest::newRow("small, fails on flush") << 40 << 0;
  QTest::newRow("small, fails part way") << 40 << 512;
  QTest::newRow("large, fails on write") << 500 << 1024;
  QTest::newRow("large, fails late") << 500 << 12288;
}

void TTestXmlFile::interrupted_save_keeps_old_file()
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
void TTestXmlFile::folder_without_new_files_is_named()
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

QTEST_GUILESS_MAIN(TTestXmlFile)
#include "test_xmlfile.moc"
