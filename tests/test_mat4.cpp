#include <QtTest>

#include <cmath>

#include "mat4.h"

class TMat4Test : public QObject
{
  Q_OBJECT

private slots:
  void identity_and_translation();
  void composition_order();
  void rotation_sign();
  void four_quarter_turns_give_identity();
  void three_angle_rotation_data();
  void three_angle_rotation();
  void transpose();
  void normal_rows();
  void copy_and_set();
};

static bool Same(const TMat4& a, const TMat4& b, double tolerance = 1e-12)
{
  for(int i = 0; i < 16; ++i)
    if(std::fabs(a[i] - b[i]) > tolerance)
      return false;
  return true;
}

static TMat4 Sample()
{
  const double values[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  return TMat4(values);
}

void TMat4Test::identity_and_translation()
{
  TMat4 m;
  TVector3 p = m * TVector3(1, 2, 3);
  QCOMPARE(p.x, 1.0);
  QCOMPARE(p.y, 2.0);
  QCOMPARE(p.z, 3.0);

  m[3] = 10;
  m[7] = 20;
  m[11] = 30;
  p = m * TVector3(1, 2, 3);
  QCOMPARE(p.x, 11.0);
  QCOMPARE(p.y, 22.0);
  QCOMPARE(p.z, 33.0);

  m.Identity();
  QVERIFY(Same(m, TMat4()));
}

void TMat4Test::composition_order()
{
  const TMat4 a = Sample();
  QVERIFY(Same(a * TMat4(), a));
  QVERIFY(Same(TMat4() * a, a));

  // (A *= B) applies the old A first, then B.
  TMat4 scale;
  scale[0] = 2.0;
  TMat4 shift;
  shift[3] = 5.0;
  TMat4 m = scale;
  m *= shift;
  QCOMPARE((m * TVector3(1, 0, 0)).x, 7.0);  // 2·1 + 5
  m = shift;
  m *= scale;
  QCOMPARE((m * TVector3(1, 0, 0)).x, 12.0);  // 2·(1 + 5)

  // Element formula: A(4i + j) = sum over k of B(4i + k) · A(4k + j).
  TMat4 b;
  b.Rotate(TVector3(0, 0, 1), 0.3);
  TMat4 product = a;
  const TMat4 returned = (product *= b);
  QVERIFY(Same(returned, product));
  for(int i = 0; i < 4; ++i)
    for(int j = 0; j < 4; ++j)
    {
      double sum = 0.0;
      for(int k = 0; k < 4; ++k)
        sum += b[4 * i + k] * a[4 * k + j];
      QCOMPARE(product[4 * i + j], sum);
    }
}

void TMat4Test::rotation_sign()
{
  TMat4 m;
  m.Rotate(TVector3(0, 0, 1), M_PI / 2.0);
  const TVector3 p = m * TVector3(1, 0, 0);
  QVERIFY(std::fabs(p.x) < 1e-15);
  QVERIFY(std::fabs(p.y + 1.0) < 1e-15);
  QVERIFY(std::fabs(p.z) < 1e-15);
}

void TMat4Test::four_quarter_turns_give_identity()
{
  TMat4 m;
  for(int i = 0; i < 4; ++i)
    m.Rotate(TVector3(0, 0, 1), M_PI / 2.0);
  QVERIFY(Same(m, TMat4(), 1e-15));
}

void TMat4Test::three_angle_rotation_data()
{
  QTest::addColumn<double>("a");
  QTest::addColumn<double>("b");
  QTest::addColumn<double>("c");
  QTest::newRow("about Z only") << 0.0 << 0.7 << 0.0;
  QTest::newRow("about X only") << 0.4 << 0.0 << 0.0;
  QTest::newRow("all three") << 0.3 << -1.1 << 2.2;
}

void TMat4Test::three_angle_rotation()
{
  QFETCH(double, a);
  QFETCH(double, b);
  QFETCH(double, c);
  TMat4 direct;
  direct.Rotate(a, b, c);
  TMat4 composed;
  composed.Rotate(TVector3(0, 0, 1), b);
  composed.Rotate(TVector3(1, 0, 0), a);
  composed.Rotate(TVector3(0, 0, 1), c);
  QVERIFY(Same(direct, composed, 1e-14));
}

void TMat4Test::transpose()
{
  TMat4 m = Sample();
  m.Transpose();
  QCOMPARE(m[1], 5.0);
  QCOMPARE(m[4], 2.0);
  QCOMPARE(m[3], 13.0);
  QCOMPARE(m[12], 4.0);
  QCOMPARE(m[15], 16.0);
  m.Transpose();
  QVERIFY(Same(m, Sample()));
}

void TMat4Test::normal_rows()
{
  TMat4 m = Sample();
  m.Normal();
  for(int row = 0; row < 3; ++row)
    QVERIFY(std::fabs(TVector3(m[4 * row], m[4 * row + 1], m[4 * row + 2]).Length() - 1.0) < 1e-15);
  QCOMPARE(m[3], 4.0);
  QCOMPARE(m[12], 13.0);
}

void TMat4Test::copy_and_set()
{
  const TMat4 a = Sample();
  TMat4 b(a);
  QVERIFY(Same(a, b));
  TMat4 c;
  c = c;
  QVERIFY(Same(c, TMat4()));
  const double values[16] = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  c.Set(values);
  QCOMPARE(c[1], 1.0);
  QCOMPARE(c[4], -1.0);
}

QTEST_APPLESS_MAIN(TMat4Test)
#include "test_mat4.moc"
