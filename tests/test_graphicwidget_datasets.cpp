// What the 3D view holds: data sets and their ids, the shapes drawn into
// them, the triangle meshes built from them and the repeated lines left out.
#include <QtTest>
#include <vector>

#include "displaylist.h"
#include "graphicwidget.h"
#include "graphicwidget_test_helpers.h"
#include "repeatedlinefilter.h"
#include "vector3.h"

Q_DECLARE_METATYPE(std::vector<TVector3>)
Q_DECLARE_METATYPE(std::vector<int>)
Q_DECLARE_METATYPE(std::vector<QLine>)

class TestGraphicWidgetDataSets : public QObject
{
  Q_OBJECT

private slots:
  void Data_Set_Ids();
  void Add_Draw_Triangles_Refusals_data();
  void Add_Draw_Triangles_Refusals();
  void Draw_Operations();
  void Unknown_Id();
  void Mesh_Shares_Vertices_And_Edges_data();
  void Mesh_Shares_Vertices_And_Edges();
  void Mesh_Follows_New_Triangles();
  void Repeated_Lines_Removed_data();
  void Repeated_Lines_Removed();
};

void TestGraphicWidgetDataSets::Data_Set_Ids()
{
  TGraphicWidget widget;
  QCOMPARE(widget.Create_Data_Set(TGraphicWidget::SYMBOL_NONE, Qt::red), 1);
  QCOMPARE(widget.Create_Data_Set(TGraphicWidget::SYMBOL_CROSS, Qt::blue), 2);
  QCOMPARE(widget.Data_Sets().size(), size_t(2));
  QCOMPARE(widget.Data_Sets()[1].color, QColor(Qt::blue));
  QCOMPARE(widget.Data_Sets()[1].symbol, TGraphicWidget::SYMBOL_CROSS);
  widget.Add_CSY(TVector3(), Qt::green, "A", TVector3(1, 0, 0), TVector3(0, 1, 0), TVector3(0, 0, 1));
  widget.Clear_Data_Sets();
  QVERIFY(widget.Data_Sets().empty());
  QCOMPARE(widget.CSY_Sets().size(), size_t(1));
  QCOMPARE(widget.Create_Data_Set(TGraphicWidget::SYMBOL_NONE, Qt::red), 1);

  QCOMPARE(widget.Create_Data_Set(TGraphicWidget::SYMBOL_NONE, Qt::red), 2);
  widget.Delete_Data_Set(1);
  QCOMPARE(widget.Data_Sets().size(), size_t(1));
  QCOMPARE(widget.Data_Sets()[0].id, 2);
  widget.Delete_Data_Set(7);
  QCOMPARE(widget.Data_Sets().size(), size_t(1));
}

void TestGraphicWidgetDataSets::Add_Draw_Triangles_Refusals_data()
{
  QTest::addColumn<int>("points");
  QTest::addColumn<bool>("accepted");
  QTest::newRow("none") << 0 << false;
  QTest::newRow("four") << 4 << false;
  QTest::newRow("three") << 3 << true;
  QTest::newRow("six") << 6 << true;
}

void TestGraphicWidgetDataSets::Add_Draw_Triangles_Refusals()
{
  QFETCH(int, points);
  QFETCH(bool, accepted);

  TGraphicWidget widget;
  const int id = widget.Create_Data_Set(TGraphicWidget::SYMBOL_NONE, Qt::black);
  std::vector<TVector3> list;
  for(int i = 0; i < points; ++i)
    list.push_back(TVector3(i, 2 * i, 3 * i));
  QCOMPARE(widget.Add_Draw_Triangles(id, list), accepted);
  QCOMPARE(static_cast<int>(widget.Data_Sets()[0].triangle_items.size()), accepted ? points / 3 : 0);
  if(accepted)
  {
    QCOMPARE(widget.Data_Sets()[0].triangle_items[0].p2.y, 2.0);
    QCOMPARE(widget.Data_Sets()[0].triangle_items.back().p3.z, 3.0 * (points - 1));
  }
}

void TestGraphicWidgetDataSets::Draw_Operations()
{
  TGraphicWidget widget;
  const int id = widget.Create_Data_Set(TGraphicWidget::SYMBOL_NONE, Qt::black);
  const auto& set = widget.Data_Sets()[0];

  QVERIFY(widget.Draw_Wire_Cube(id, TVector3(0, 0, 0), TVector3(1, 2, 3)));
  QCOMPARE(set.line_items.size(), size_t(12));
  for(const auto& line : set.line_items)
  {
    // Every edge changes exactly one coordinate.
    const TVector3 d = line.end - line.start;
    QCOMPARE((d.x != 0) + (d.y != 0) + (d.z != 0), 1);
  }

  QVERIFY(widget.Draw_Sphere(id, TVector3(), 12.5));
  QCOMPARE(set.triangle_items.size(), size_t(128));
  QVERIFY(widget.Draw_Cylinder(id, TVector3(), TVector3(1, 0, 0), 6.0, 78.0));
  QCOMPARE(set.triangle_items.size(), size_t(128 + 352));
  QVERIFY(widget.Draw_Polygon(id, TVector3(), TVector3(0, 0, 1), TVector3(1, 0, 0), 10.0, 100.0, 4));
  QCOMPARE(set.triangle_items.size(), size_t(480 + 312));
  QVERIFY(widget.Draw_Plane(id, TVector3(0, 0, 0), TVector3(1, 0, 0), TVector3(1, 1, 0), TVector3(0, 1, 0)));
  QCOMPARE(set.triangle_items.size(), size_t(792 + 64));
  QVERIFY(widget.Draw_Circular_Plane(id, TVector3(), TVector3(0, 0, 1), TVector3(1, 0, 0), 3.0));
  QCOMPARE(set.triangle_items.size(), size_t(856 + 112));
  QVERIFY(widget.Draw_Cube(id, TVector3(0, 0, 0), TVector3(1, 1, 1)));
  QCOMPARE(set.triangle_items.size(), size_t(968 + 6 * 64));

  // Refused sizes add nothing.
  const size_t count = set.triangle_items.size();
  QVERIFY(!widget.Draw_Sphere(id, TVector3(), 0.0));
  QVERIFY(!widget.Draw_Polygon(id, TVector3(), TVector3(0, 0, 1), TVector3(1, 0, 0), 10.0, 100.0, 3));
  QVERIFY(!widget.Draw_Cylinder(id, TVector3(), TVector3(1, 0, 0), 1e-7, 78.0));
  QVERIFY(!widget.Draw_Circular_Plane(id, TVector3(), TVector3(), TVector3(1, 0, 0), 3.0));
  QCOMPARE(set.triangle_items.size(), count);
  // A ball bar shorter than 22: negative cylinder length is still drawn.
  QVERIFY(widget.Draw_Cylinder(id, TVector3(), TVector3(1, 0, 0), 6.0, -2.0));
}

void TestGraphicWidgetDataSets::Unknown_Id()
{
  TGraphicWidget widget;
  widget.Create_Data_Set(TGraphicWidget::SYMBOL_NONE, Qt::black);
  const std::vector<TVector3> triangle = {TVector3(), TVector3(1, 0, 0), TVector3(0, 1, 0)};
  QVERIFY(!widget.Add_Line_Item(2, TVector3(), TVector3(1, 1, 1)));
  QVERIFY(!widget.Add_Triangle_Item(0, TVector3(), TVector3(1, 0, 0), TVector3(0, 1, 0)));
  QVERIFY(!widget.Add_Draw_Triangles(5, triangle));
  QVERIFY(!widget.Draw_Wire_Cube(2, TVector3(), TVector3(1, 1, 1)));
  QVERIFY(!widget.Draw_Cube(2, TVector3(), TVector3(1, 1, 1)));
  QVERIFY(!widget.Draw_Sphere(2, TVector3(), 1.0));
  QVERIFY(widget.Data_Sets()[0].line_items.empty());
  QVERIFY(widget.Data_Sets()[0].triangle_items.empty());
  QVERIFY(widget.Add_CSY(TVector3(), Qt::red, QString(), TVector3(1, 0, 0), TVector3(0, 1, 0), TVector3(0, 0, 1)));
}

void TestGraphicWidgetDataSets::Mesh_Shares_Vertices_And_Edges_data()
{
  QTest::addColumn<std::vector<TVector3>>("points");
  QTest::addColumn<int>("vertices");
  QTest::addColumn<std::vector<int>>("corners");
  QTest::addColumn<std::vector<int>>("edges");

  const TVector3 a(0, 0, 0), b(1, 0, 0), c(1, 1, 0), d(0, 1, 0);
  QTest::newRow("one triangle") << std::vector<TVector3>{a, b, c} << 3 << std::vector<int>{0, 1, 2} << std::vector<int>{0, 1, 1, 2, 2, 0};
  // The diagonal a-c is shared and listed once, as first met.
  QTest::newRow("square of two") << std::vector<TVector3>{a, b, c, a, c, d} << 4 << std::vector<int>{0, 1, 2, 0, 2, 3}
                                 << std::vector<int>{0, 1, 1, 2, 2, 0, 2, 3, 3, 0};
  QTest::newRow("same triangle turned") << std::vector<TVector3>{a, b, c, c, b, a} << 3 << std::vector<int>{0, 1, 2, 2, 1, 0}
                                        << std::vector<int>{0, 1, 1, 2, 2, 0};
  // -0 and +0 are one point; a point a rounding step away is another.
  QTest::newRow("signed zero") << std::vector<TVector3>{a, b, c, TVector3(-0.0, -0.0, 0.0), TVector3(1e-300, 0, 0), c} << 4
                               << std::vector<int>{0, 1, 2, 0, 3, 2} << std::vector<int>{0, 1, 1, 2, 2, 0, 0, 3, 3, 2};
}

void TestGraphicWidgetDataSets::Mesh_Shares_Vertices_And_Edges()
{
  QFETCH(std::vector<TVector3>, points);
  QFETCH(int, vertices);
  QFETCH(std::vector<int>, corners);
  QFETCH(std::vector<int>, edges);

  TDisplayList display_list;
  const int id = display_list.Create_Data_Set(TDisplayList::SYMBOL_NONE, Qt::black);
  QVERIFY(display_list.Add_Draw_Triangles(id, points));
  QVERIFY(!display_list.Data_Sets()[0].mesh.valid);
  const TDisplayList::TTriangleMesh& mesh = display_list.Mesh(0);
  QVERIFY(mesh.valid);
  QCOMPARE(static_cast<int>(mesh.vertices.size()), vertices);
  QCOMPARE(mesh.corners, corners);
  QCOMPARE(mesh.edges, edges);
  // Every corner is the point it stands for.
  for(size_t i = 0; i < corners.size(); ++i)
    QVERIFY((mesh.vertices[size_t(corners[i])] - points[i]).Length() == 0.0);
}

void TestGraphicWidgetDataSets::Mesh_Follows_New_Triangles()
{
  TDisplayList display_list;
  const int first = display_list.Create_Data_Set(TDisplayList::SYMBOL_NONE, Qt::black);
  const int second = display_list.Create_Data_Set(TDisplayList::SYMBOL_NONE, Qt::black);
  display_list.Add_Triangle_Item(first, TVector3(0, 0, 0), TVector3(1, 0, 0), TVector3(0, 1, 0));
  display_list.Add_Triangle_Item(second, TVector3(0, 0, 5), TVector3(1, 0, 5), TVector3(0, 1, 5));
  QCOMPARE(display_list.Mesh(0).vertices.size(), size_t(3));
  QCOMPARE(display_list.Mesh(1).vertices.size(), size_t(3));

  // A new triangle marks only its own set stale; the mesh moves with its set.
  display_list.Add_Triangle_Item(second, TVector3(0, 0, 5), TVector3(0, 1, 5), TVector3(0, 0, 7));
  QVERIFY(display_list.Data_Sets()[0].mesh.valid);
  QVERIFY(!display_list.Data_Sets()[1].mesh.valid);
  display_list.Delete_Data_Set(first);
  const TDisplayList::TTriangleMesh& mesh = display_list.Mesh(0);
  QCOMPARE(mesh.vertices.size(), size_t(4));
  QCOMPARE(mesh.edges.size(), size_t(2 * 5));
  QCOMPARE(mesh.vertices[3].z, 7.0);
}

void TestGraphicWidgetDataSets::Repeated_Lines_Removed_data()
{
  QTest::addColumn<std::vector<QLine>>("lines");
  QTest::addColumn<std::vector<QLine>>("kept");

  const QLine a(1, 2, 30, 40), b(5, 5, 5, 9), c(-7, 3, 3, -7);
  QTest::newRow("distinct in order") << std::vector<QLine>{c, a, b} << std::vector<QLine>{c, a, b};
  QTest::newRow("repeated") << std::vector<QLine>{a, b, a, a, b} << std::vector<QLine>{a, b};
  QTest::newRow("reversed") << std::vector<QLine>{a, QLine(30, 40, 1, 2), b} << std::vector<QLine>{a, b};
  QTest::newRow("points") << std::vector<QLine>{QLine(4, 4, 4, 4), QLine(4, 4, 4, 4), QLine(4, 4, 4, 5)}
                          << std::vector<QLine>{QLine(4, 4, 4, 4), QLine(4, 4, 4, 5)};
  // 16 bits about zero hold -32768 to 32767; beyond that a line is always kept.
  const QLine edge(-32768, 0, 32767, 10), beyond(-32769, 0, 10, 10);
  QTest::newRow("16-bit range") << std::vector<QLine>{edge, edge, beyond, beyond} << std::vector<QLine>{edge, beyond, beyond};

  // More lines than the smallest table holds.
  std::vector<QLine> many;
  std::vector<QLine> distinct;
  for(int i = 0; i < 3000; ++i)
    distinct.emplace_back(i % 97, i / 97, 500 - i % 13, 200);
  for(int round = 0; round < 2; ++round)
    many.insert(many.end(), distinct.begin(), distinct.end());
  QTest::newRow("large batch") << many << distinct;
}

void TestGraphicWidgetDataSets::Repeated_Lines_Removed()
{
  QFETCH(std::vector<QLine>, lines);
  QFETCH(std::vector<QLine>, kept);

  // The same filter twice: a second batch starts empty.
  TRepeatedLineFilter filter;
  for(int batch = 0; batch < 2; ++batch)
  {
    std::vector<QLine> filtered = lines;
    filter.Remove_Repeated_Lines(&filtered);
    QCOMPARE(filtered, kept);
  }
}

QTEST_MAIN(TestGraphicWidgetDataSets)
#include "test_graphicwidget_datasets.moc"
