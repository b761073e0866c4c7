// The tessellator's cylinders and prisms, the shapes of ball bars and length
// bars, and the sizes and directions it makes no shape from.
#include <QtTest>
#include <cmath>
#include <vector>

#include "graphicgeometryfactory.h"
#include "graphicgeometryfactory_test_helpers.h"
#include "vector3.h"

using namespace graphicgeometryfactory_test;

Q_DECLARE_METATYPE(TVector3)

namespace
{
double Distance_From_Line(const TVector3& p, const TVector3& origin, TVector3 direction)
{
  direction.Normal();
  const TVector3 d = p - origin;
  return (d - direction * (d ^ direction)).Length();
}
} // namespace

class TestGraphicGeometryFactoryBars : public QObject
{
  Q_OBJECT

private slots:
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

void TestGraphicGeometryFactoryBars::Cylinder_Side_On_Radius_data()
{
  QTest::addColumn<TVector3>("axis");
  QTest::newRow("x") << TVector3(1, 0, 0);
  QTest::newRow("y") << TVector3(0, 1, 0);
  QTest::newRow("z") << TVector3(0, 0, 1);
  QTest::newRow("skew") << TVector3(1, 2, 3);
  QTest::newRow("negative") << TVector3(-0.2, 0.1, -5);
}

void TestGraphicGeometryFactoryBars::Cylinder_Side_On_Radius()
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

void TestGraphicGeometryFactoryBars::Cylinder_Rim_Angles()
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

void TestGraphicGeometryFactoryBars::Cylinder_Caps()
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

void TestGraphicGeometryFactoryBars::Cylinder_Zero_Length()
{
  TGraphicGeometryFactory factory;
  factory.subdivision_depth = 2;
  const std::vector<TVector3> points = factory.Render_Cylinder(TVector3(0, 0, 0), TVector3(0, 1, 0), 3.0, 0.0);
  QCOMPARE(static_cast<int>(points.size()), 1056);
  for(const TVector3& p : points)
    QVERIFY(std::fabs(p.y) < 1e-12);
}

void TestGraphicGeometryFactoryBars::Prism_First_Side_And_Caps()
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

void TestGraphicGeometryFactoryBars::Prism_Frame_Follows_Reference()
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

void TestGraphicGeometryFactoryBars::Refusals_data()
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

void TestGraphicGeometryFactoryBars::Refusals()
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

void TestGraphicGeometryFactoryBars::Unusable_Reference_Gives_Empty_List()
{
  TGraphicGeometryFactory factory;
  factory.subdivision_depth = 2;
  // Zero reference, and a diagonal reference that stays parallel after rotating its components.
  QVERIFY(factory.Render_Circular_Plane(TVector3(), TVector3(0, 0, 1), TVector3(), 1.0).empty());
  QVERIFY(factory.Render_Circular_Plane(TVector3(), TVector3(1, 1, 1), TVector3(2, 2, 2), 1.0).empty());
  QVERIFY(factory.Render_Polygon(TVector3(), TVector3(1, 1, 1), TVector3(2, 2, 2), 1.0, 1.0, 4).empty());
}

void TestGraphicGeometryFactoryBars::Normalize_XY()
{
  TGraphicGeometryFactory factory;
  const TVector3 v = factory.Normalize_XY(TVector3(3, 4, 7));
  QVERIFY(Near(v, TVector3(0.6, 0.8, 7)));
}

QTEST_APPLESS_MAIN(TestGraphicGeometryFactoryBars)
#include "test_graphicgeometryfactory_bars.moc"
