// The XML wrapper opening a document: identification and version, files and
// their line ends, and the input it refuses (parse errors, deep nesting); the
// stream reader's copy of an element against Qt's document builder.
#include <QBuffer>
#include <QDomImplementation>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "xmlfile.h"
#include "xmlfile_test_helpers.h"
#include "xmlstream.h"

using namespace xmlfile_test;

namespace
{
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

// Every node below the element, one line each: type, name, value, attributes.
void Describe(const QDomNode& node, int level, QStringList* lines)
{
  QStringList attributes;
  const QDomNamedNodeMap map = node.attributes();
  for(int i = 0; i < map.count(); ++i)
    attributes << map.item(i).nodeName() + "=" + map.item(i).nodeValue();
  attributes.sort();
  lines->append(QString("%1%2 %3 [%4] {%5} %6")
                  .arg(QString(level, ' ')).arg(node.nodeType()).arg(node.nodeName(), node.nodeValue())
                  .arg(attributes.join(' '), node.namespaceURI()));
  for(QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling())
    Describe(child, level + 1, lines);
}

QStringList Described(const QDomNode& node)
{
  QStringList lines;
  Describe(node, 0, &lines);
  return lines;
}
}

class TTestXmlFileOpening : public QObject
{
  Q_OBJECT

private slots:
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
  void stream_copy_matches_the_document_data();
  void stream_copy_matches_the_document();
  void stream_reports_progress_and_cancel();
  void stream_stops_at_its_size_limit();
};

void TTestXmlFileOpening::identification_and_version_data()
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

void TTestXmlFileOpening::identification_and_version()
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

void TTestXmlFileOpening::open_file_and_document_type()
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

void TTestXmlFileOpening::open_file_access_errors()
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

void TTestXmlFileOpening::open_file_line_ends_data()
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
void TTestXmlFileOpening::open_file_line_ends()
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

void TTestXmlFileOpening::parse_error_position_data()
{
  QTest::addColumn<QByteArray>("data");
  QTest::addColumn<int>("line");
  QTest::addColumn<int>("first_column");
  QTest::addColumn<int>("last_column");

  QTest::newRow("mismatched end tag") << QByteArray("<Root>\n  <A>\n  </B>\n</Root>\n") << 3 << 3 << 7;
  QTest::newRow("bad attribute") << QByteArray("<Root>\n<A x=1/>\n</Root>") << 2 << 3 << 7;
  QTest::newRow("truncated") << QByteArray("<Root>\n<A>\n<B>12") << 3 << 0 << 6;
}

void TTestXmlFileOpening::parse_error_position()
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

void TTestXmlFileOpening::bad_input_is_rejected_data()
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

void TTestXmlFileOpening::bad_input_is_rejected()
{
  QFETCH(QByteArray, data);
  TXmlFile xml;
  const QString message = Thrown([&] { xml.Open_Data(data, "Root", nullptr, false); });
  QVERIFY2(message.startsWith("ERR:  Reference data XML "), qPrintable(message));
}

void TTestXmlFileOpening::deep_nesting_data()
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

void TTestXmlFileOpening::deep_nesting()
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

void TTestXmlFileOpening::deep_nesting_from_file()
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

void TTestXmlFileOpening::stream_copy_matches_the_document_data()
{
  QTest::addColumn<QByteArray>("data");

  QTest::newRow("text and children") << QByteArray("<r><a>x<b>y</b>z</a></r>");
  QTest::newRow("blank text") << QByteArray("<r><a> \n\t </a><b>\n<c/>\n</b></r>");
  QTest::newRow("blank character data") << QByteArray("<r><a>\n<![CDATA[ ]]>\nB</a><b><![CDATA[x]]>  y</b></r>");
  QTest::newRow("other space characters") << QByteArray("<r><a>&#160;</a><b>&#x2003;&#x85;</b><c>\xc2\xa0</c></r>");
  QTest::newRow("comments and instructions") << QByteArray("<r><a><!--c-->x<?pi data?>y</a></r>");
  QTest::newRow("references") << QByteArray("<r><a>x&amp;y&#65;&lt;</a></r>");
  QTest::newRow("internal entity")
    << QByteArray("<!DOCTYPE r [<!ENTITY e 'hello'><!ENTITY s ' '>]><r><a>x&e;y</a><b>&s;</b></r>");
  QTest::newRow("attributes") << QByteArray("<r><a one='1' two=\"&amp;\"><b x='y'/></a></r>");
  QTest::newRow("prefixed namespace") << QByteArray("<r xmlns:p='urn:p'><p:a p:k='v'><p:b>t</p:b></p:a></r>");
  QTest::newRow("default namespace") << QByteArray("<r><a xmlns='urn:d'><b>t</b></a></r>");
  QTest::newRow("beyond the basic plane") << QByteArray("<r><a>\xf0\x9f\x98\x80&#x1F600;</a></r>");
}

// Each child of the root, copied from the stream into a document of its own,
// is the tree that Qt's document builder makes of the whole text.
void TTestXmlFileOpening::stream_copy_matches_the_document()
{
  QFETCH(QByteArray, data);
  // The builder crashes on characters beyond U+FFFF unless it accepts any.
  const QDomImplementation::InvalidDataPolicy policy = QDomImplementation::invalidDataPolicy();
  QDomImplementation::setInvalidDataPolicy(QDomImplementation::AcceptInvalidChars);
  QDomDocument expected;
  QXmlStreamReader whole(data);
  const bool parsed = expected.setContent(&whole, true);
  QDomImplementation::setInvalidDataPolicy(policy);
  QVERIFY(parsed);

  QBuffer buffer;
  buffer.setData(data);
  QVERIFY(buffer.open(QIODevice::ReadOnly));
  TXmlStream stream(&buffer, "data", true);
  TXmlFile copy;
  copy.Reset("r", 1);
  while(stream.Next() != QXmlStreamReader::StartElement)
    ;
  while(stream.Next_Child(1))
    copy.Append_Element(copy.Root_Node(), &stream);
  stream.Skip_To_End();

  QDomNode expected_child = expected.documentElement().firstChild();
  QDomNode copied_child = copy.Root_Node()->firstChild();
  for(; !expected_child.isNull(); expected_child = expected_child.nextSibling(), copied_child = copied_child.nextSibling())
  {
    QVERIFY(!copied_child.isNull());
    QCOMPARE(Described(copied_child), Described(expected_child));
  }
  QVERIFY(copied_child.isNull());
}

// The progress is told how far a file was read, up to its size; a progress
// that answers false stops the stream with the file's name.
void TTestXmlFileOpening::stream_reports_progress_and_cancel()
{
  QByteArray data = "<r>";
  for(int i = 0; i < 20000; ++i)
    data += "<a>" + QByteArray::number(i) + "</a>";
  data += "</r>";
  for(const bool cancel : {false, true})
  {
    QBuffer buffer;
    buffer.setData(data);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    TXmlStream stream(&buffer, "data", true);
    QVector<qint64> done;
    stream.Set_Read_Progress(
      [&](qint64 bytes, qint64 total) {
        done << bytes;
        return total == data.size() && !(cancel && done.size() == 2);
      },
      "big.xml");
    const QString thrown = Thrown([&] { stream.Skip_To_End(); });
    if(cancel)
    {
      QCOMPARE(thrown, QString("ERR:  Reading 'big.xml' was cancelled."));
      QCOMPARE(done.size(), 2);
      QVERIFY(stream.Failed());
    }
    else
    {
      QCOMPARE(thrown, QString("no exception"));
      QVERIFY(done.size() > 2);
      QVERIFY(std::is_sorted(done.begin(), done.end()));
      QCOMPARE(done.last(), qint64(data.size()));
    }
  }
}

// A stream stops with the message once it has read more characters than its
// limit, even inside one long text; a document within the limit is read.
void TTestXmlFileOpening::stream_stops_at_its_size_limit()
{
  const QByteArray long_text = "<r><a>1</a><b>" + QByteArray(5000, 'x') + "</b></r>";
  const QByteArray many_elements = "<r>" + QByteArray("<a>1</a>").repeated(1000) + "</r>";
  for(const QByteArray& data : {long_text, many_elements})
  {
    for(const qint64 limit : {qint64(data.size()), qint64(1000)})
    {
      QBuffer buffer;
      buffer.setData(data);
      QVERIFY(buffer.open(QIODevice::ReadOnly));
      TXmlStream stream(&buffer, "data", true);
      stream.Set_Size_Limit(limit, "ERR:  too large");
      const QString thrown = Thrown([&] { stream.Skip_To_End(); });
      QCOMPARE(thrown, limit < data.size() ? QString("ERR:  too large") : QString("no exception"));
    }
  }
}

QTEST_GUILESS_MAIN(TTestXmlFileOpening)
#include "test_xmlfile_opening.moc"
