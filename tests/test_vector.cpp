#include <QtTest>

#include <cmath>

#include "vector2.h"
#include "vector3.h"

Q_DECLARE_METATYPE(TVector2)

class TVectorTest : public QObject
{
  Q_OBJECT

private slots:
  void dot_and_cross();
  void cross_in_place_reads_old_values();
  void normal_scales_in_place();
  void division_leaves_operand();
  void scalar_operators();
  void indexing();
  void point_in_triangle_data();
  void point_in_triangle();
};

static bool Same(const TVector3& a, const TVector3& b, double tolerance = 1e-12)
{
  return std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance && std::fabs(a.z - b.z) <= tolerance;
}

void TVectorTest::dot_and_cross()
{
  const TVector3 x(1, 0, 0), y(0, 1, 0);
  QCOMPARE(x ^ y, 0.0);
  QCOMPARE(TVector3(1, 2, 3) ^ TVector3(4, 5, 6), 32.0);
  QVERIFY(Same(x * y, TVector3(0, 0, 1)));
  QVERIFY(Same(y * x, TVector3(0, 0, -1)));
  QVERIFY(Same(TVector3(1, 2, 3) * TVector3(4, 5, 6), TVector3(-3, 6, -3)));
  QCOMPARE(TVector2(1, 2) ^ TVector2(3, 4), 11.0);
}

void TVectorTest::cross_in_place_reads_old_values()
{
  TVector3 a(1, 2, 3);
  a *= TVector3(4, 5, 6);
  QVERIFY(Same(a, TVector3(-3, 6, -3)));

  // Crossing a vector with itself must give zero even though it is its own operand.
  TVector3 b(1, 2, 3);
  b *= b;
  QVERIFY(Same(b, TVector3(0, 0, 0)));
}

void TVectorTest::normal_scales_in_place()
{
  TVector3 v(3, 4, 0);
  TVector3& result = v.Normal();
  QCOMPARE(&result, &v);
  QVERIFY(Same(v, TVector3(0.6, 0.8, 0)));
  QCOMPARE(TVector3(2, 3, 6).Length(), 7.0);

  TVector2 w(0, -5);
  w.Normal();
  QCOMPARE(w.y, -1.0);
}

void TVectorTest::division_leaves_operand()
{
  const TVector3 v(2, 4, 6);
  QVERIFY(Same(v / 2.0, TVector3(1, 2, 3)));
  QVERIFY(Same(v, TVector3(2, 4, 6)));
  TVector2 w(2, 4);
  w /= 4.0;
  QCOMPARE(w.x, 0.5);
  QCOMPARE(w.y, 1.0);
}

void TVectorTest::scalar_operators()
{
  QVERIFY(Same(TVector3(1, 2, 3) + 1.0, TVector3(2, 3, 4)));
  QVERIFY(Same(TVector3(1, 2, 3) - 1.0, TVector3(0, 1, 2)));
  QVERIFY(Same(2.0 * TVector3(1, 2, 3), TVector3(2, 4, 6)));
  QVERIFY(Same(TVector3(1, 2, 3) * 2.0, TVector3(2, 4, 6)));
  QVERIFY(Same(TVector3(1, 2, 3) + TVector3(1, 1, 1), TVector3(2, 3, 4)));
  QVERIFY(Same(TVector3(1, 2, 3) - TVector3(1, 1, 1), TVector3(0, 1, 2)));
  TVector3 v(1, 2, 3);
  v += 1.0;
  v -= TVector3(1, 1, 1);
  v *= 3.0;
  QVERIFY(Same(v, TVector3(3, 6, 9)));
  const TVector2 w = 2.0 * (TVector2(1, 2) + 1.0) - TVector2(1, 1);
  QCOMPARE(w.x, 3.0);
  QCOMPARE(w.y, 5.0);
}

void TVectorTest::indexing()
{
  TVector3 v(1, 2, 3);
  QCOMPARE(v(0), 1.0);
  QCOMPARE(v(2), 3.0);
  v(1) = 7.0;
  QCOMPARE(v.y, 7.0);
  TVector2 w(4, 5);
  w(0) = 9.0;
  QCOMPARE(w.x, 9.0);
  QCOMPARE(w(1), 5.0);
}

void TVectorTest::point_in_triangle_data()
{
  QTest::addColumn<TVector2>("p");
  QTest::addColumn<bool>("reversed");
  QTest::addColumn<bool>("inside");
  // Triangle a = (0, 0), b = (4, 0), c = (0, 4).
  QTest::newRow("centroid") << TVector2(4.0 / 3.0, 4.0 / 3.0) << false << true;
  QTest::newRow("centroid, other winding") << TVector2(4.0 / 3.0, 4.0 / 3.0) << true << true;
  QTest::newRow("vertex a") << TVector2(0, 0) << false << false;
  QTest::newRow("vertex b") << TVector2(4, 0) << false << false;
  QTest::newRow("edge b-c midpoint") << TVector2(2, 2) << false << true;
  QTest::newRow("edge a-b midpoint") << TVector2(2, 0) << false << false;
  QTest::newRow("edge a-c midpoint") << TVector2(0, 2) << false << false;
  QTest::newRow("outside") << TVector2(3, 3) << false << false;
}

void TVectorTest::point_in_triangle()
{
  QFETCH(TVector2, p);
  QFETCH(bool, reversed);
  QFETCH(bool, inside);
  const TVector2 a(0, 0), b(4, 0), c(0, 4);
  if(reversed)
    QCOMPARE(TVector2::Is_Point_In_Triangle(p, a, c, b), inside);
  else
    QCOMPARE(TVector2::Is_Point_In_Triangle(p, a, b, c), inside);
}


QTEST_APPLESS_MAIN(TVectorTest)
#include "test_vector.moc"
