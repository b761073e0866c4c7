// The view's camera on its own, without a widget: every expected value below
// is worked out by hand from the camera's geometry (viewport centre, pixels
// per model unit, margins), not taken from a run of the camera.
//
// Here: panning, zooming by wheel, click and rubber band, and turning the view
// in its plane or freely about the centre point.
#include <QtTest>
#include <cmath>
#include <vector>

#include "vector3.h"
#include "viewcamera.h"
#include "viewcamera_test_helpers.h"

using namespace viewcamera_test;

Q_DECLARE_METATYPE(std::vector<int>)

namespace
{
// Rows of a rotation that leaves z alone and turns x toward (c, s).
TMat4 Turn_About_Z(const double& c, const double& s)
{
  TMat4 m;
  m[0] = c;
  m[1] = -s;
  m[4] = s;
  m[5] = c;
  return m;
}
} // namespace

class TestViewCameraNavigation : public QObject
{
  Q_OBJECT

private slots:
  void Pan_data();
  void Pan();
  void Wheel_Zoom_data();
  void Wheel_Zoom();
  void Click_Zoom_data();
  void Click_Zoom();
  void Zoom_To_Rect_data();
  void Zoom_To_Rect();
  void Rotate_In_Plane_data();
  void Rotate_In_Plane();
  void Rotate_Free_data();
  void Rotate_Free();
  void Rotation_Keeps_Centre_Point();
};

void TestViewCameraNavigation::Pan_data()
{
  QTest::addColumn<QSize>("size");
  QTest::addColumn<QPoint>("drag");
  QTest::addColumn<double>("x_shift");
  QTest::addColumn<double>("y_shift");

  // The shift is in half viewports: 100 and 50 pixels here.
  QTest::newRow("right and down") << QSize(200, 100) << QPoint(2, -2) << 0.02 << -0.04;
  QTest::newRow("square") << QSize(300, 300) << QPoint(15, 30) << 0.1 << 0.2;
  QTest::newRow("tiny viewport") << QSize(1, 1) << QPoint(30, 40) << 0.0 << 0.0;
}

void TestViewCameraNavigation::Pan()
{
  QFETCH(QSize, size);
  QFETCH(QPoint, drag);
  QFETCH(double, x_shift);
  QFETCH(double, y_shift);

  TViewCamera camera = Camera_Of_Size(size.width(), size.height());
  camera.Pan_View(drag.x(), drag.y());
  Compare_Scale_And_Shift(camera.Projection(), 1.0, 1.0, x_shift, y_shift);
}

void TestViewCameraNavigation::Wheel_Zoom_data()
{
  QTest::addColumn<std::vector<int>>("deltas");
  QTest::addColumn<double>("factor");
  // Each notch, whatever its size, zooms in by 1.1111 or out by 0.9.
  QTest::newRow("one notch in") << std::vector<int>{120} << 1.1111;
  QTest::newRow("one notch out") << std::vector<int>{-120} << 0.9;
  QTest::newRow("three notches in") << std::vector<int>{120, 960, 15} << 1.1111 * 1.1111 * 1.1111;
  QTest::newRow("in and back out") << std::vector<int>{120, -120} << 0.99999;
  QTest::newRow("no turn") << std::vector<int>{0} << 1.0;
}

void TestViewCameraNavigation::Wheel_Zoom()
{
  QFETCH(std::vector<int>, deltas);
  QFETCH(double, factor);

  // A fitted, panned view, so that every scaled entry is non-zero.
  TViewCamera camera = Camera_Of_Size(200, 100);
  camera.Begin_Fit_To_Viewport();
  camera.Process_Vertex(TVector3(-20, 10, 3));
  camera.Process_Vertex(TVector3(50, 30, -8));
  camera.End_Fit_To_Viewport();
  camera.Pan_View(7, 3);
  const TMat4 before = camera.Projection();

  for(int delta : deltas)
    camera.Wheel_In_Out(delta);
  TMat4 expected(before);
  for(int index : {0, 5, 10, 12, 13, 14})
    expected[index] = before[index] * factor;
  Compare_Matrix(camera.Projection(), expected);
}

void TestViewCameraNavigation::Click_Zoom_data()
{
  QTest::addColumn<QSize>("size");
  QTest::addColumn<int>("y");
  QTest::addColumn<double>("factor");
  // Window y against the middle row (50 of 100): half the view's height zooms by 1.5 or 0.5.
  QTest::newRow("middle row") << QSize(200, 100) << 50 << 1.0;
  QTest::newRow("top") << QSize(200, 100) << 100 << 0.5;
  QTest::newRow("bottom") << QSize(200, 100) << 1 << 1.49;
  QTest::newRow("upper quarter") << QSize(200, 100) << 75 << 0.75;
  QTest::newRow("tiny viewport") << QSize(1, 1) << 0 << 1.0;
}

void TestViewCameraNavigation::Click_Zoom()
{
  QFETCH(QSize, size);
  QFETCH(int, y);
  QFETCH(double, factor);

  TViewCamera camera = Camera_Of_Size(size.width(), size.height());
  camera.Click_In_Out(y);
  TMat4 expected;
  expected[0] = expected[5] = expected[10] = factor;
  Compare_Matrix(camera.Projection(), expected);
}

void TestViewCameraNavigation::Zoom_To_Rect_data()
{
  QTest::addColumn<QSize>("size");
  QTest::addColumn<QRect>("rect");
  QTest::addColumn<double>("x_scale");
  QTest::addColumn<double>("y_scale");
  QTest::addColumn<double>("x_shift");
  QTest::addColumn<double>("y_shift");

  // Identity camera on 200 x 100: widget pixel (x, y) is model ((x - 100) / 100, (50 - y) / 50).
  // Pixels 50 to 149 by 0 to 99 are model x -0.5 to 0.49, y 1 to -0.98: the height 1.98 is the extent.
  QTest::newRow("square band") << QSize(200, 100) << QRect(QPoint(50, 0), QPoint(149, 99))
                               << 1.0 / 1.98 << 2.0 / 1.98 << 0.005 / 1.98 << -0.02 / 1.98;
  QTest::newRow("dragged backwards") << QSize(200, 100) << QRect(QPoint(149, 99), QPoint(50, 0))
                                     << 1.0 / 1.98 << 2.0 / 1.98 << 0.005 / 1.98 << -0.02 / 1.98;
  // Pixels 20 to 179 by 40 to 59: model x -0.8 to 0.79, y 0.2 to -0.18; the width 1.59 is the extent.
  QTest::newRow("wide band") << QSize(200, 100) << QRect(QPoint(20, 40), QPoint(179, 59))
                             << 1.0 / 1.59 << 2.0 / 1.59 << 0.005 / 1.59 << -0.02 / 1.59;
  // Refused: no width, or no viewport to measure it in.
  QTest::newRow("thin band") << QSize(200, 100) << QRect(QPoint(50, 10), QPoint(50, 80)) << 1.0 << 1.0 << 0.0 << 0.0;
  QTest::newRow("tiny viewport") << QSize(1, 1) << QRect(QPoint(0, 0), QPoint(30, 30)) << 1.0 << 1.0 << 0.0 << 0.0;
}

void TestViewCameraNavigation::Zoom_To_Rect()
{
  QFETCH(QSize, size);
  QFETCH(QRect, rect);
  QFETCH(double, x_scale);
  QFETCH(double, y_scale);
  QFETCH(double, x_shift);
  QFETCH(double, y_shift);

  TViewCamera camera = Camera_Of_Size(size.width(), size.height());
  camera.Zoom_To_Rect(rect);
  Compare_Scale_And_Shift(camera.Projection(), x_scale, y_scale, x_shift, y_shift);
}

void TestViewCameraNavigation::Rotate_In_Plane_data()
{
  QTest::addColumn<QPoint>("previous");
  QTest::addColumn<QPoint>("current");
  QTest::addColumn<double>("cosine");
  QTest::addColumn<double>("sine");

  // Window positions about the centre (100, 100); the turn is the angle swept, here atan(20 / 80).
  const double c = 80.0 / std::sqrt(6800.0);
  const double s = 20.0 / std::sqrt(6800.0);
  QTest::newRow("counter-clockwise") << QPoint(180, 100) << QPoint(180, 120) << c << s;
  QTest::newRow("clockwise") << QPoint(100, 180) << QPoint(120, 180) << c << -s;
  QTest::newRow("near the centre") << QPoint(103, 100) << QPoint(100, 103) << 1.0 << 0.0;
  QTest::newRow("straight across") << QPoint(150, 100) << QPoint(50, 100) << 1.0 << 0.0;
  QTest::newRow("along a radius") << QPoint(150, 100) << QPoint(170, 100) << 1.0 << 0.0;
}

void TestViewCameraNavigation::Rotate_In_Plane()
{
  QFETCH(QPoint, previous);
  QFETCH(QPoint, current);
  QFETCH(double, cosine);
  QFETCH(double, sine);

  TViewCamera camera = Camera_Of_Size(200, 200);
  camera.Set_Rotation_Center();
  camera.Rotate_In_Plane(previous, current);
  Compare_Matrix(camera.Rotation(), Turn_About_Z(cosine, sine));
  // The view centre stays where it is.
  QCOMPARE(camera.Projection()[12], 0.0);
  QCOMPARE(camera.Projection()[13], 0.0);
}

void TestViewCameraNavigation::Rotate_Free_data()
{
  QTest::addColumn<QPoint>("drag");
  QTest::addColumn<double>("angle");
  QTest::addColumn<TVector3>("tip");

  // The angle is 0.02 (ln d + 1) for a drag of d pixels; the tip of the
  // model's unit z (toward the viewer) moves along the drag by its sine.
  const double a10 = 0.02 * (std::log(10.0) + 1.0);
  const double a5 = 0.02 * (std::log(5.0) + 1.0);
  QTest::newRow("right") << QPoint(10, 0) << a10 << TVector3(std::sin(a10), 0, std::cos(a10));
  QTest::newRow("up") << QPoint(0, 10) << a10 << TVector3(0, std::sin(a10), std::cos(a10));
  QTest::newRow("left") << QPoint(-10, 0) << a10 << TVector3(-std::sin(a10), 0, std::cos(a10));
  QTest::newRow("slanted") << QPoint(3, 4) << a5 << TVector3(0.6 * std::sin(a5), 0.8 * std::sin(a5), std::cos(a5));
}

void TestViewCameraNavigation::Rotate_Free()
{
  QFETCH(QPoint, drag);
  QFETCH(double, angle);
  QFETCH(TVector3, tip);

  TViewCamera camera = Camera_Of_Size(200, 200);
  camera.Set_Rotation_Center();
  camera.Rotate_Free(drag.x(), drag.y());
  const TMat4& r = camera.Rotation();
  QVERIFY2((TVector3(r[2], r[6], r[10]) - tip).Length() < 1e-12, qPrintable(QString("%1 %2 %3").arg(r[2]).arg(r[6]).arg(r[10])));
  // A turn about an axis in the screen plane: the trace is 1 + 2 cos.
  QVERIFY(Near(r[0] + r[5] + r[10], 1.0 + 2.0 * std::cos(angle)));
  // The axis (dy, -dx, 0) is left where it is.
  TVector3 axis(drag.y(), -drag.x(), 0.0);
  axis.Normal();
  QVERIFY((r * axis - axis).Length() < 1e-12);
}

void TestViewCameraNavigation::Rotation_Keeps_Centre_Point()
{
  TViewCamera camera = Camera_Of_Size(200, 200);
  camera.Pan_View(20, -10);
  camera.Set_Rotation_Center();
  // Panned by (0.2, -0.1) view halves: the model point (-0.2, 0.1) is at the centre.
  QVERIFY((camera.Rotation_Center() - TVector3(0.2, -0.1, 0.0)).Length() < 1e-15);

  camera.Rotate_Free(30, 40);
  camera.Rotate_In_Plane(QPoint(180, 100), QPoint(180, 120));
  const TWindowPoint centre = camera.Projector().Project(TVector3(-0.2, 0.1, 0.0));
  QVERIFY(std::fabs(centre.x - 100.0) < 1e-12);
  QVERIFY(std::fabs(centre.y - 100.0) < 1e-12);
  // Anything else has moved.
  const TWindowPoint other = camera.Projector().Project(TVector3(0.3, 0.1, 0.0));
  QVERIFY(std::fabs(other.x - 150.0) > 1.0 || std::fabs(other.y - 100.0) > 1.0);
}

QTEST_GUILESS_MAIN(TestViewCameraNavigation)
#include "test_viewcamera_navigation.moc"
