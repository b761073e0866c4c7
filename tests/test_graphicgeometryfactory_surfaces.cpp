// The tessellator's triangle counts at every depth, and its planes, spheres
// and discs: first triangles, vertices on the surface, winding and rings.
#include <QtTest>
#include <cmath>
#include <vector>

#include "graphicgeometryfactory.h"
#include "graphicgeometryfactory_test_helpers.h"
#include "vector3.h"

using namespace graphicgeometryfactory_test;

namespace
{
std::vector<TVector3> Render(const TGraphicGeometryFactory& factory, int solid)
{
  const TVector3 centre(3.0, -2.0, 5.0);
  switch(solid)
  {
    case PLANE:
      return factory.Render_Plane(TVector3(0, 0, 0), TVector3(1, 0, 0), TVector3(1, 1, 0), TVector3(0, 1, 0));
    case DISC:
      return factory.Render_Circular_Plane(centre, TVector3(0, 0, 1), TVector3(1, 0, 0), 2.0);
    case PRISM:
      return factory.Render_Polygon(centre, TVector3(0, 0, 1), TVector3(1, 0, 0), 10.0, 40.0, 4);
    case CYLINDER:
      return factory.Render_Cylinder(centre, TVector3(1, 0, 0), 6.0, 78.0);
    case SPHERE:
      return factory.Render_Sphere(centre, 12.5);
  }
  return {};
}
} // namespace

class TestGraphicGeometryFactorySurfaces : public QObject
{
  Q_OBJECT

private slots:
  void Constructor_Depth();
  void Triangle_Counts_data();
  void Triangle_Counts();
  void Negative_Depth_Produces_Nothing_data();
  void Negative_Depth_Produces_Nothing();
  void Plane_First_Triangle();
  void Plane_Fan_At_Depth_Zero();
  void Sphere_First_Triangle();
  void Sphere_Vertices_On_Surface_data();
  void Sphere_Vertices_On_Surface();
  void Sphere_Is_Closed_Under_Reflection();
  void Disc_First_Triangle_Clockwise();
  void Disc_Rotated_Reference();
  void Disc_Vertices_In_Plane_Within_Radius();
  void Disc_Rings();
};

void TestGraphicGeometryFactorySurfaces::Constructor_Depth()
{
  TGraphicGeometryFactory factory;
  QCOMPARE(factory.subdivision_depth, 1);
}

void TestGraphicGeometryFactorySurfaces::Triangle_Counts_data()
{
  QTest::addColumn<int>("solid");
  QTest::addColumn<int>("depth");
  QTest::addColumn<int>("triangles");

  const char* names[] = {"plane", "disc", "prism", "cylinder", "sphere"};
  const int counts[5][3] = {{4, 16, 64},      // 4 * 4^d
                            {4, 24, 112},     // 4 * 2^d sectors of 2 * 2^d - 1
                            {24, 88, 312},    // 4 sides of 4 * 4^d, two caps
                            {16, 80, 352},    // 2 seeds * 4^d * 4, two discs
                            {8, 32, 128}};    // 8 * 4^d
  for(int solid = 0; solid < 5; ++solid)
    for(int depth = 0; depth <= 2; ++depth)
      QTest::addRow("%s depth %d", names[solid], depth) << solid << depth << counts[solid][depth];
}

void TestGraphicGeometryFactorySurfaces::Triangle_Counts()
{
  QFETCH(int, solid);
  QFETCH(int, depth);
  QFETCH(int, triangles);

  TGraphicGeometryFactory factory;
  factory.subdivision_depth = depth;
  const std::vector<TVector3> points = Render(factory, solid);
  QCOMPARE(static_cast<int>(points.size()), 3 * triangles);
}

void TestGraphicGeometryFactorySurfaces::Negative_Depth_Produces_Nothing_data()
{
  QTest::addColumn<int>("solid");
  QTest::newRow("plane") << int(PLANE);
  QTest::newRow("disc") << int(DISC);
  QTest::newRow("prism") << int(PRISM);
  QTest::newRow("cylinder") << int(CYLINDER);
  QTest::newRow("sphere") << int(SPHERE);
}

void TestGraphicGeometryFactorySurfaces::Negative_Depth_Produces_Nothing()
{
  QFETCH(int, solid);
  TGraphicGeometryFactory factory;
  factory.subdivision_depth = -1;
  QVERIFY(Render(factory, solid).empty());
}

void TestGraphicGeometryFactorySurfaces::Plane_First_Triangle()
{
  TGraphicGeometryFactory factory;
  factory.subdivision_depth = 2;
  const std::vector<TVector3> points = factory.Render_Plane(TVector3(0, 0, 0), TVector3(1, 0, 0), TVector3(1, 1, 0), TVector3(0, 1, 0));
  QCOMPARE(static_cast<int>(points.size()), 192);
  QVERIFY(Near(points[0], TVector3(0, 0, 0)));
  QVERIFY2(Near(points[1], TVector3(0.25, 0, 0)), qPrintable(Text(points[1])));
  QVERIFY2(Near(points[2], TVector3(0.125, 0.125, 0)), qPrintable(Text(points[2])));
}

void TestGraphicGeometryFactorySurfaces::Plane_Fan_At_Depth_Zero()
{
  TGraphicGeometryFactory factory;
  factory.subdivision_depth = 0;
  const TVector3 c[4] = {TVector3(0, 0, 0), TVector3(4, 0, 0), TVector3(4, 2, 1), TVector3(0, 2, 1)};
  const std::vector<TVector3> points = factory.Render_Plane(c[0], c[1], c[2], c[3]);
  QCOMPARE(static_cast<int>(points.size()), 12);
  const TVector3 middle(2, 1, 0.5);
  for(int i = 0; i < 4; ++i)
  {
    QVERIFY(Near(points[3 * i], c[i]));
    QVERIFY(Near(points[3 * i + 1], c[(i + 1) % 4]));
    QVERIFY(Near(points[3 * i + 2], middle));
  }
}

void TestGraphicGeometryFactorySurfaces::Sphere_First_Triangle()
{
  TGraphicGeometryFactory factory;
  factory.subdivision_depth = 0;
  const TVector3 c(1, 2, 3);
  const double r = 4.0;
  const std::vector<TVector3> points = factory.Render_Sphere(c, r);
  QCOMPARE(static_cast<int>(points.size()), 24);
  QVERIFY(Near(points[0], c + TVector3(0, 0, r)));
  QVERIFY(Near(points[1], c + TVector3(r, 0, 0)));
  QVERIFY(Near(points[2], c + TVector3(0, r, 0)));
  // Second: a quarter turn about z.
  QVERIFY(Near(points[3], c + TVector3(0, 0, r)));
  QVERIFY(Near(points[4], c + TVector3(0, r, 0)));
  QVERIFY(Near(points[5], c + TVector3(-r, 0, 0)));
  // Fifth: the reflection of the fourth through the centre, emitted b, a, c.
  // Fourth is (0,0,r), (0,-r,0), (r,0,0); reflected (0,0,-r), (0,r,0), (-r,0,0).
  QVERIFY2(Near(points[12], c + TVector3(0, r, 0)), qPrintable(Text(points[12])));
  QVERIFY(Near(points[13], c + TVector3(0, 0, -r)));
  QVERIFY(Near(points[14], c + TVector3(-r, 0, 0)));
}

void TestGraphicGeometryFactorySurfaces::Sphere_Vertices_On_Surface_data()
{
  QTest::addColumn<int>("depth");
  QTest::newRow("depth 0") << 0;
  QTest::newRow("depth 1") << 1;
  QTest::newRow("depth 2") << 2;
  QTest::newRow("depth 3") << 3;
}

void TestGraphicGeometryFactorySurfaces::Sphere_Vertices_On_Surface()
{
  QFETCH(int, depth);
  TGraphicGeometryFactory factory;
  factory.subdivision_depth = depth;
  const TVector3 c(-100, 50, 25);
  const std::vector<TVector3> points = factory.Render_Sphere(c, 12.5);
  QCOMPARE(static_cast<int>(points.size()), 24 * (1 << (2 * depth)));
  for(const TVector3& p : points)
    QVERIFY2(std::fabs((p - c).Length() - 12.5) < 1e-9, qPrintable(Text(p)));
}

// The leaves are copied into all eight octants: every vertex has its mirror
// image through the centre, and both hemispheres carry the same number of points.
void TestGraphicGeometryFactorySurfaces::Sphere_Is_Closed_Under_Reflection()
{
  TGraphicGeometryFactory factory;
  factory.subdivision_depth = 2;
  const std::vector<TVector3> points = factory.Render_Sphere(TVector3(), 1.0);
  int upper = 0;
  int lower = 0;
  for(const TVector3& p : points)
  {
    if(p.z > 1e-12)
      ++upper;
    else if(p.z < -1e-12)
      ++lower;
    bool mirrored = false;
    for(const TVector3& other : points)
    {
      if(Near(other, p * -1.0))
      {
        mirrored = true;
        break;
      }
    }
    QVERIFY(mirrored);
  }
  QCOMPARE(upper, lower);
}

void TestGraphicGeometryFactorySurfaces::Disc_First_Triangle_Clockwise()
{
  TGraphicGeometryFactory factory;
  factory.subdivision_depth = 0;
  const TVector3 c(10, 20, 30);
  const std::vector<TVector3> points = factory.Render_Circular_Plane(c, TVector3(0, 0, 5), TVector3(3, 0, 0), 2.0);
  QCOMPARE(static_cast<int>(points.size()), 12);
  // Fan (O, P0, Q0): Q0 on e1 = +x, P0 one step further, clockwise seen from +z.
  QVERIFY(Near(points[0], c));
  QVERIFY2(Near(points[1], c + TVector3(0, -2, 0)), qPrintable(Text(points[1])));
  QVERIFY(Near(points[2], c + TVector3(2, 0, 0)));
  QVERIFY(Near(points[4], c + TVector3(-2, 0, 0)));
  QVERIFY(Near(points[5], c + TVector3(0, -2, 0)));
}

void TestGraphicGeometryFactorySurfaces::Disc_Rotated_Reference()
{
  TGraphicGeometryFactory factory;
  factory.subdivision_depth = 0;
  // The reference (0,0,2) is parallel to the normal; (0,2,0) is used instead,
  // so e1 = (0,1,0), e2 = (-1,0,0) and the first spoke points along +y.
  const std::vector<TVector3> points = factory.Render_Circular_Plane(TVector3(), TVector3(0, 0, 1), TVector3(0, 0, 2), 1.0);
  QCOMPARE(static_cast<int>(points.size()), 12);
  QVERIFY(Near(points[0], TVector3()));
  QVERIFY2(Near(points[2], TVector3(0, 1, 0)), qPrintable(Text(points[2])));
  // One step clockwise about +z from +y: -e2 = +x.
  QVERIFY2(Near(points[1], TVector3(1, 0, 0)), qPrintable(Text(points[1])));
}

void TestGraphicGeometryFactorySurfaces::Disc_Vertices_In_Plane_Within_Radius()
{
  TGraphicGeometryFactory factory;
  factory.subdivision_depth = 2;
  const TVector3 c(1, 2, 3);
  TVector3 normal(1, -2, 0.5);
  const std::vector<TVector3> points = factory.Render_Circular_Plane(c, normal, TVector3(0, 0, 1), 7.0);
  QCOMPARE(static_cast<int>(points.size()), 336);
  normal.Normal();
  for(const TVector3& p : points)
  {
    QVERIFY(std::fabs((p - c) ^ normal) < 1e-9);
    QVERIFY((p - c).Length() < 7.0 + 1e-9);
  }
}

void TestGraphicGeometryFactorySurfaces::Disc_Rings()
{
  TGraphicGeometryFactory factory;
  factory.subdivision_depth = 2;
  const std::vector<TVector3> points = factory.Render_Circular_Plane(TVector3(), TVector3(0, 0, 1), TVector3(1, 0, 0), 8.0);
  // Every vertex except the centre lies on one of the rings at radius 2, 4, 6, 8.
  for(const TVector3& p : points)
  {
    const double r = p.Length();
    const double ring = std::round(r / 2.0) * 2.0;
    QVERIFY2(std::fabs(r - ring) < 1e-9, qPrintable(Text(p)));
  }
  // First sector: fan, then the band triangles (Q0, P1, Q1) and (P1, Q0, P0).
  QVERIFY(Near(points[3], TVector3(2, 0, 0)));
  QVERIFY(Near(points[5], TVector3(4, 0, 0)));
  QVERIFY(Near(points[6], points[4]));
  QVERIFY(Near(points[7], TVector3(2, 0, 0)));
  QVERIFY(Near(points[8], points[1]));
}

QTEST_APPLESS_MAIN(TestGraphicGeometryFactorySurfaces)
#include "test_graphicgeometryfactory_surfaces.moc"
