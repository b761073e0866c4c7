#include <QtTest>
#include <cmath>
#include <vector>

#include "graphicgeometryfactory.h"
#include "vector3.h"

Q_DECLARE_METATYPE(TVector3)

namespace
{
bool Near(const TVector3& a, const TVector3& b, double tolerance = 1e-9)
{
  return (a - b).Length() <= tolerance;
}

QString Text(const TVector3& v)
{
  return QString("(%1, %2, %3)").arg(v.x, 0, 'g', 12).arg(v.y, 0, 'g', 12).arg(v.z, 0, 'g', 12);
}

double Distance_From_Line(const TVector3& p, const TVector3& origin, TVector3 direction)
{
  direction.Normal();
  const TVector3 d = p - origin;
  return (d - direction * (d ^ direction)).Length();
}

enum TSolid
{
  PLANE,
  DISC,
  PRISM,
  CYLINDER,
  SPHERE
};

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

class TestGraphicGeometryFactory : public QObject
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
  void Cylinder_Side_On_Radius_data();
  void Cylinder_Side_On_Radius();
  void Cylinder_Rim_Angles();
  void Cylinder_Caps();
  void Cylinder_Zero_Length();
  void Prism_First_Side_And_Caps();
  void Prism_Frame_Follows_Reference();
  void Refusals_data();
  void Refusals();
  void Unusable_Reference_Gives_Empty_List();
  void Normalize_XY();
};

void TestGraphicGeometryFactory::Constructor_Depth()
{
  TGraphicGeometryFactory factory;
  QCOMPARE(factory.subdivision_depth, 1);
}

void TestGraphicGeometryFactory::Triangle_Counts_data()
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

void TestGraphicGeometryFactory::Triangle_Counts()
{
  QFETCH(int, solid);
  QFETCH(int, depth);
  QFETCH(int, triangles);

  TGraphicGeometryFactory factory;
  factory.subdivision_depth = depth;
  const std::vector<TVector3> points = Render(factory, solid);
  QCOMPARE(static_cast<int>(points.size()), 3 * triangles);
}

void TestGraphicGeometryFactory::Negative_Depth_Produces_Nothing_data()
{
  QTest::addColumn<int>("solid");
  QTest::newRow("plane") << int(PLANE);
  QTest::newRow("disc") << int(DISC);
  QTest::newRow("prism") << int(PRISM);
  QTest::newRow("cylinder") << int(CYLINDER);
  QTest::newRow("sphere") << int(SPHERE);
}

void TestGraphicGeometryFactory::Negative_Depth_Produces_Nothing()
{
  QFETCH(int, solid);
  TGraphicGeometryFactory factory;
  factory.subdivision_depth = -1;
  QVERIFY(Render(factory, solid).empty());
}

void TestGraphicGeometryFactory::Plane_First_Triangle()
{
  TGraphicGeometryFactory factory;
  factory.subdivision_depth = 2;
  const std::vector<TVector3> points = factory.Render_Plane(TVector3(0, 0, 0), TVector3(1, 0, 0), TVector3(1, 1, 0), TVector3(0, 1, 0));
  QCOMPARE(static_cast<int>(points.size()), 192);
  QVERIFY(Near(points[0], TVector3(0, 0, 0)));
  QVERIFY2(Near(points[1], TVector3(0.25, 0, 0)), qPrintable(Text(points[1])));
  QVERIFY2(Near(points[2], TVector3(0.125, 0.125, 0)), qPrintable(Text(points[2])));
}

void TestGraphicGeometryFactory::Plane_Fan_At_Depth_Zero()
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

void TestGraphicGeometryFactory::Sphere_First_Triangle()
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

void TestGraphicGeometryFactory::Sphere_Vertices_On_Surface_data()
{
  QTest::addColumn<int>("depth");
  QTest::newRow("depth 0") << 0;
  QTest::newRow("depth 1") << 1;
  QTest::newRow("depth 2") << 2;
  QTest::newRow("depth 3") << 3;
}

void TestGraphicGeometryFactory::Sphere_Vertices_On_Surface()
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
void TestGraphicGeometryFactory::Sphere_Is_Closed_Under_Reflection()
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

void TestGraphicGeometryFactory::Disc_First_Triangle_Clockwise()
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

void TestGraphicGeometryFactory::Disc_Rotated_Reference()
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

void TestGraphicGeometryFactory::Disc_Vertices_In_Plane_Within_Radius()
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

void TestGraphicGeometryFactory::Disc_Rings()
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

void TestGraphicGeometryFactory::Cylinder_Side_On_Radius_data()
{
  QTest::addColumn<TVector3>("axis");
  QTest::newRow("x") << TVector3(1, 0, 0);
  QTest::newRow("y") << TVector3(0, 1, 0);
  QTest::newRow("z") << TVector3(0, 0, 1);
  QTest::newRow("skew") << TVector3(1, 2, 3);
  QTest::newRow("negative") << TVector3(-0.2, 0.1, -5);
}

void TestGraphicGeometryFactory::Cylinder_Side_On_Radius()
{
  QFETCH(TVector3, axis);
  TGraphicGeometryFactory factory;
  factory.subdivision_depth = 2;
  const TVector3 c(5, -3, 8);
  const double radius = 6.0;
  const double length = 78.0;
  const std::vector<TVector3> points = factory.Render_Cylinder(c, axis, radius, length);
  QCOMPARE(static_cast<int>(points.size()), 1056);

  // Layout: first seed (64 triangles), top cap (112), second seed (64), bottom cap (112).
  TVector3 n(axis);
  n.Normal();
  for(int i = 0; i < 1056; ++i)
  {
    const TVector3& p = points[i];
    const double along = (p - c) ^ n;
    const bool side = i < 192 || (i >= 528 && i < 720);
    if(side)
    {
      QVERIFY2(std::fabs(Distance_From_Line(p, c, axis) - radius) < 1e-9, qPrintable(Text(p)));
      QVERIFY(std::fabs(along) <= 39.0 + 1e-9);
    }
    else
    {
      QVERIFY(Distance_From_Line(p, c, axis) < radius + 1e-9);
      QVERIFY(std::fabs(along - (i < 528 ? 39.0 : -39.0)) < 1e-9);
    }
  }
}

void TestGraphicGeometryFactory::Cylinder_Rim_Angles()
{
  TGraphicGeometryFactory factory;
  factory.subdivision_depth = 0;
  // Axis z: the frame (v, u, n) is the identity.
  const std::vector<TVector3> points = factory.Render_Cylinder(TVector3(), TVector3(0, 0, 1), 1.0, 2.0);
  QCOMPARE(static_cast<int>(points.size()), 48);
  QVERIFY(Near(points[0], TVector3(1, 0, 1), 1e-6));
  QVERIFY(Near(points[1], TVector3(std::sqrt(0.5), std::sqrt(0.5), -1), 1e-6));
  QVERIFY(Near(points[2], TVector3(0, 1, 1), 1e-6));
  // Top rim at multiples of 90 degrees, bottom rim at odd multiples of 45.
  const std::vector<int> side = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35};
  for(int i : side)
  {
    const TVector3& p = points[i];
    const double degrees = std::atan2(p.y, p.x) * 180.0 / M_PI;
    const double offset = p.z > 0 ? 0.0 : 45.0;
    const double steps = (degrees - offset) / 90.0;
    QVERIFY2(std::fabs(steps - std::round(steps)) < 1e-4, qPrintable(Text(p)));
  }
}

void TestGraphicGeometryFactory::Cylinder_Caps()
{
  TGraphicGeometryFactory factory;
  factory.subdivision_depth = 0;
  const std::vector<TVector3> points = factory.Render_Cylinder(TVector3(), TVector3(0, 0, 1), 2.0, 10.0);
  // Top cap: reference is the first row of the identity frame, (1,0,0).
  QVERIFY(Near(points[12], TVector3(0, 0, 5)));
  QVERIFY(Near(points[13], TVector3(0, -2, 5)));
  QVERIFY(Near(points[14], TVector3(2, 0, 5)));
  // Bottom cap about -axis with reference (1,1,0): its first spoke at 45 degrees.
  QVERIFY(Near(points[36], TVector3(0, 0, -5)));
  QVERIFY2(Near(points[38], TVector3(std::sqrt(2.0), std::sqrt(2.0), -5)), qPrintable(Text(points[38])));
}

void TestGraphicGeometryFactory::Cylinder_Zero_Length()
{
  TGraphicGeometryFactory factory;
  factory.subdivision_depth = 2;
  const std::vector<TVector3> points = factory.Render_Cylinder(TVector3(0, 0, 0), TVector3(0, 1, 0), 3.0, 0.0);
  QCOMPARE(static_cast<int>(points.size()), 1056);
  for(const TVector3& p : points)
    QVERIFY(std::fabs(p.y) < 1e-12);
}

void TestGraphicGeometryFactory::Prism_First_Side_And_Caps()
{
  TGraphicGeometryFactory factory;
  factory.subdivision_depth = 0;
  const TVector3 c(1, 1, 1);
  const std::vector<TVector3> points = factory.Render_Polygon(c, TVector3(0, 0, 1), TVector3(1, 0, 0), 10.0, 4.0, 4);
  QCOMPARE(static_cast<int>(points.size()), 72);
  // First side: quad W(bottom), W(top), W(top'), W(bottom'), fan about its centre.
  QVERIFY(Near(points[0], c + TVector3(10, 0, -2)));
  QVERIFY(Near(points[1], c + TVector3(10, 0, 2)));
  QVERIFY2(Near(points[2], c + TVector3(5, -5, 0)), qPrintable(Text(points[2])));
  // Top cap (Ct, Q0, P0).
  QVERIFY(Near(points[48], c + TVector3(0, 0, 2)));
  QVERIFY(Near(points[49], c + TVector3(10, 0, 2)));
  QVERIFY2(Near(points[50], c + TVector3(0, -10, 2)), qPrintable(Text(points[50])));
  // Bottom cap, same order at -h.
  QVERIFY(Near(points[60], c + TVector3(0, 0, -2)));
  QVERIFY(Near(points[61], c + TVector3(10, 0, -2)));
  QVERIFY(Near(points[62], c + TVector3(0, -10, -2)));
}

void TestGraphicGeometryFactory::Prism_Frame_Follows_Reference()
{
  TGraphicGeometryFactory factory;
  factory.subdivision_depth = 2;
  // A bar along x with the reference z: its first corner lies along +z.
  const std::vector<TVector3> points = factory.Render_Polygon(TVector3(), TVector3(1, 0, 0), TVector3(0, 0, 1), 10.0, 100.0, 4);
  QCOMPARE(static_cast<int>(points.size()), 936);
  QVERIFY2(Near(points[0], TVector3(-50, 0, 10)), qPrintable(Text(points[0])));
  for(const TVector3& p : points)
  {
    QVERIFY(std::fabs(p.x) <= 50.0 + 1e-9);
    QVERIFY(std::fabs(p.y) + std::fabs(p.z) <= 10.0 + 1e-9);
  }
}

void TestGraphicGeometryFactory::Refusals_data()
{
  QTest::addColumn<int>("solid");
  QTest::addColumn<double>("radius");
  QTest::addColumn<TVector3>("axis");
  QTest::addColumn<TVector3>("reference");
  QTest::addColumn<int>("sides");

  const TVector3 z(0, 0, 1);
  const TVector3 x(1, 0, 0);
  const TVector3 none;
  const double nan = std::nan("");
  QTest::newRow("prism three sides") << int(PRISM) << 10.0 << z << x << 3;
  QTest::newRow("prism no sides") << int(PRISM) << 10.0 << z << x << 0;
  QTest::newRow("prism tiny radius") << int(PRISM) << 1e-7 << z << x << 4;
  QTest::newRow("prism zero axis") << int(PRISM) << 10.0 << none << x << 4;
  QTest::newRow("prism zero reference") << int(PRISM) << 10.0 << z << none << 4;
  QTest::newRow("disc zero radius") << int(DISC) << 0.0 << z << x << 0;
  QTest::newRow("disc negative radius") << int(DISC) << -1.0 << z << x << 0;
  QTest::newRow("disc zero normal") << int(DISC) << 1.0 << TVector3(0, 0, 1e-7) << x << 0;
  QTest::newRow("disc radius nan") << int(DISC) << nan << z << x << 0;
  QTest::newRow("cylinder tiny radius") << int(CYLINDER) << 9e-7 << z << x << 0;
  QTest::newRow("cylinder zero axis") << int(CYLINDER) << 1.0 << none << x << 0;
  QTest::newRow("sphere zero radius") << int(SPHERE) << 0.0 << z << x << 0;
  QTest::newRow("sphere radius nan") << int(SPHERE) << nan << z << x << 0;
}

void TestGraphicGeometryFactory::Refusals()
{
  QFETCH(int, solid);
  QFETCH(double, radius);
  QFETCH(TVector3, axis);
  QFETCH(TVector3, reference);
  QFETCH(int, sides);

  TGraphicGeometryFactory factory;
  factory.subdivision_depth = 2;
  std::vector<TVector3> points;
  switch(solid)
  {
    case PRISM:
      points = factory.Render_Polygon(TVector3(), axis, reference, radius, 10.0, sides);
      break;
    case DISC:
      points = factory.Render_Circular_Plane(TVector3(), axis, reference, radius);
      break;
    case CYLINDER:
      points = factory.Render_Cylinder(TVector3(), axis, radius, 10.0);
      break;
    case SPHERE:
      points = factory.Render_Sphere(TVector3(), radius);
      break;
  }
  QVERIFY(points.empty());
}

void TestGraphicGeometryFactory::Unusable_Reference_Gives_Empty_List()
{
  TGraphicGeometryFactory factory;
  factory.subdivision_depth = 2;
  // Zero reference, and a diagonal reference that stays parallel after rotating its components.
  QVERIFY(factory.Render_Circular_Plane(TVector3(), TVector3(0, 0, 1), TVector3(), 1.0).empty());
  QVERIFY(factory.Render_Circular_Plane(TVector3(), TVector3(1, 1, 1), TVector3(2, 2, 2), 1.0).empty());
  QVERIFY(factory.Render_Polygon(TVector3(), TVector3(1, 1, 1), TVector3(2, 2, 2), 1.0, 1.0, 4).empty());
}

void TestGraphicGeometryFactory::Normalize_XY()
{
  TGraphicGeometryFactory factory;
  const TVector3 v = factory.Normalize_XY(TVector3(3, 4, 7));
  QVERIFY(Near(v, TVector3(0.6, 0.8, 7)));
}

QTEST_APPLESS_MAIN(TestGraphicGeometryFactory)
#include "test_graphicgeometryfactory.moc"
