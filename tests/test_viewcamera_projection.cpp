// The view's camera on its own, without a widget: every expected value below
// is worked out by hand from the camera's geometry (viewport centre, pixels
// per model unit, margins), not taken from a run of the camera.
//
// Here: the viewport, the pixel of a model point, looking along a direction
// and fitting points to the view.
#include <QtTest>
#include <cmath>
#include <limits>
#include <vector>

#include "vector3.h"
#include "viewcamera.h"
#include "viewcamera_test_helpers.h"

using namespace viewcamera_test;

Q_DECLARE_METATYPE(std::vector<TVector3>)

class TestViewCameraProjection : public QObject
{
  Q_OBJECT

private slots:
  void Construction_State();
  void Resize_Viewport_data();
  void Resize_Viewport();
  void Pixel_Mapping_data();
  void Pixel_Mapping();
  void Window_Position_data();
  void Window_Position();
  void Look_At_data();
  void Look_At();
  void Fit_data();
  void Fit();
};

void TestViewCameraProjection::Construction_State()
{
  TViewCamera camera;
  Compare_Matrix(camera.Rotation(), TMat4());
  Compare_Matrix(camera.Projection(), TMat4());
  QCOMPARE(camera.Viewport(), QRect(0, 0, 0, 0));
  QCOMPARE(camera.Axis_Length(), 20.0);
}

void TestViewCameraProjection::Resize_Viewport_data()
{
  QTest::addColumn<QSize>("first");
  QTest::addColumn<QSize>("second");
  QTest::addColumn<bool>("second_needs_fit");
  QTest::addColumn<double>("x_scale");
  QTest::addColumn<double>("y_scale");

  // Twice the width at the same pixels per unit: half the scale.
  QTest::newRow("wider") << QSize(200, 100) << QSize(400, 100) << false << 0.5 << 1.0;
  QTest::newRow("taller") << QSize(200, 100) << QSize(200, 400) << false << 1.0 << 0.25;
  QTest::newRow("smaller") << QSize(200, 100) << QSize(50, 20) << false << 4.0 << 5.0;
  // A view without area keeps the scale, and the next size fits anew.
  QTest::newRow("no width") << QSize(200, 100) << QSize(0, 100) << false << 1.0 << 1.0;
  QTest::newRow("after no area") << QSize(0, 100) << QSize(150, 100) << true << 1.0 << 1.0;
}

void TestViewCameraProjection::Resize_Viewport()
{
  QFETCH(QSize, first);
  QFETCH(QSize, second);
  QFETCH(bool, second_needs_fit);
  QFETCH(double, x_scale);
  QFETCH(double, y_scale);

  TViewCamera camera;
  QVERIFY(camera.Resize_Viewport(first.width(), first.height()));
  QCOMPARE(camera.Viewport(), QRect(QPoint(0, 0), first));
  QCOMPARE(camera.Resize_Viewport(second.width(), second.height()), second_needs_fit);
  QCOMPARE(camera.Viewport(), QRect(QPoint(0, 0), second));
  QVERIFY(Near(camera.Projection()[0], x_scale));
  QVERIFY(Near(camera.Projection()[5], y_scale));
}

void TestViewCameraProjection::Pixel_Mapping_data()
{
  QTest::addColumn<QPoint>("pan");
  QTest::addColumn<TVector3>("point");
  QTest::addColumn<QPoint>("pixel");

  // 200 x 100 pixels, identity camera: one model unit is 100 pixels across, 50 up.
  QTest::newRow("origin") << QPoint() << TVector3(0, 0, 0) << QPoint(100, 50);
  QTest::newRow("upper right") << QPoint() << TVector3(0.5, 0.5, 0) << QPoint(150, 25);
  QTest::newRow("depth plays no part") << QPoint() << TVector3(0.5, 0.5, 123) << QPoint(150, 25);
  QTest::newRow("lower left") << QPoint() << TVector3(-0.25, -0.3, 0) << QPoint(75, 65);
  // Window x -0.5 truncates toward zero.
  QTest::newRow("truncation") << QPoint() << TVector3(-1.005, 0, 0) << QPoint(0, 50);
  QTest::newRow("outside") << QPoint() << TVector3(-1.5, -1.5, 0) << QPoint(-50, 125);
  // A pan of (10, 5) window pixels moves every point 10 right and 5 up.
  QTest::newRow("panned origin") << QPoint(10, 5) << TVector3(0, 0, 0) << QPoint(110, 45);
  QTest::newRow("panned point") << QPoint(10, 5) << TVector3(0.5, -0.2, 0) << QPoint(160, 55);
  QTest::newRow("far off") << QPoint() << TVector3(1e300, -1e300, 0) << QPoint(4194304, 4194304 + 100);
  // Not-a-number in x spoils y too (0 times NaN), and both go to the low window edge.
  QTest::newRow("not a number") << QPoint() << TVector3(std::numeric_limits<double>::quiet_NaN(), 0, 0) << QPoint(-4194304, 4194304 + 100);
}

void TestViewCameraProjection::Pixel_Mapping()
{
  QFETCH(QPoint, pan);
  QFETCH(TVector3, point);
  QFETCH(QPoint, pixel);

  TViewCamera camera = Camera_Of_Size(200, 100);
  camera.Pan_View(pan.x(), pan.y());
  QCOMPARE(camera.Translate_To_Window(point), pixel);
}

void TestViewCameraProjection::Window_Position_data()
{
  QTest::addColumn<QRect>("viewport");
  QTest::addColumn<QPoint>("widget");
  QTest::addColumn<QPoint>("window");

  QTest::newRow("top left") << QRect(0, 0, 200, 100) << QPoint(0, 0) << QPoint(0, 100);
  QTest::newRow("bottom right") << QRect(0, 0, 200, 100) << QPoint(199, 99) << QPoint(199, 1);
  QTest::newRow("offset viewport") << QRect(10, 20, 200, 100) << QPoint(30, 40) << QPoint(40, 80);
}

void TestViewCameraProjection::Window_Position()
{
  QFETCH(QRect, viewport);
  QFETCH(QPoint, widget);
  QFETCH(QPoint, window);

  TViewCamera camera = Camera_Of_Size(viewport.width(), viewport.height());
  const int corners[4] = {viewport.x(), viewport.y(), viewport.width(), viewport.height()};
  camera.Update_Viewport(corners);
  QCOMPARE(camera.Viewport(), viewport);
  QCOMPARE(camera.Window_Position(widget), window);
  // The view centre is the same model point whatever the offset.
  QCOMPARE(camera.Translate_To_Window(TVector3()), QPoint(100, 50));
}

void TestViewCameraProjection::Look_At_data()
{
  QTest::addColumn<TVector3>("direction");
  QTest::addColumn<TVector3>("up");
  QTest::addColumn<bool>("changed");
  QTest::addColumn<TVector3>("row0");
  QTest::addColumn<TVector3>("row1");
  QTest::addColumn<TVector3>("row2");

  const double h = std::sqrt(0.5);
  QTest::newRow("XY") << TVector3(0, 0, 1) << TVector3(0, 1, 0) << true << TVector3(1, 0, 0) << TVector3(0, 1, 0) << TVector3(0, 0, 1);
  QTest::newRow("YZ") << TVector3(1, 0, 0) << TVector3(0, 0, 1) << true << TVector3(0, 1, 0) << TVector3(0, 0, 1) << TVector3(1, 0, 0);
  QTest::newRow("ZX") << TVector3(0, 1, 0) << TVector3(0, 0, 1) << true << TVector3(-1, 0, 0) << TVector3(0, 0, 1) << TVector3(0, 1, 0);
  QTest::newRow("unnormalised") << TVector3(0, 0, 5) << TVector3(0, 3, 0) << true << TVector3(1, 0, 0) << TVector3(0, 1, 0) << TVector3(0, 0, 1);
  // From the front and above: x stays, up tilts toward the viewer.
  QTest::newRow("tilted") << TVector3(0, -1, 1) << TVector3(0, 0, 1) << true << TVector3(1, 0, 0) << TVector3(0, h, h) << TVector3(0, -h, h);
  QTest::newRow("parallel") << TVector3(0, 0, 2) << TVector3(0, 0, 1) << false << TVector3(1, 0, 0) << TVector3(0, 1, 0) << TVector3(0, 0, 1);
}

void TestViewCameraProjection::Look_At()
{
  QFETCH(TVector3, direction);
  QFETCH(TVector3, up);
  QFETCH(bool, changed);
  QFETCH(TVector3, row0);
  QFETCH(TVector3, row1);
  QFETCH(TVector3, row2);

  TViewCamera camera;
  QCOMPARE(camera.Look_At(direction, up), changed);
  const TMat4& r = camera.Rotation();
  QVERIFY((TVector3(r[0], r[1], r[2]) - row0).Length() < 1e-12);
  QVERIFY((TVector3(r[4], r[5], r[6]) - row1).Length() < 1e-12);
  QVERIFY((TVector3(r[8], r[9], r[10]) - row2).Length() < 1e-12);
  QCOMPARE(r[3], 0.0);
  QCOMPARE(r[12], 0.0);
  QCOMPARE(r[15], 1.0);
}

void TestViewCameraProjection::Fit_data()
{
  QTest::addColumn<QSize>("size");
  QTest::addColumn<TVector3>("direction");
  QTest::addColumn<std::vector<TVector3>>("points");
  QTest::addColumn<double>("x_scale");
  QTest::addColumn<double>("y_scale");
  QTest::addColumn<double>("x_shift");
  QTest::addColumn<double>("y_shift");
  QTest::addColumn<double>("axis_length");
  QTest::addColumn<TVector3>("axis_origin");
  QTest::addColumn<TVector3>("point_a");
  QTest::addColumn<QPoint>("pixel_a");
  QTest::addColumn<TVector3>("point_b");
  QTest::addColumn<QPoint>("pixel_b");

  // The bounds get 0.001 on every side and then 5 % more; the larger screen
  // extent L fills the shorter viewport side (2 / L), and the longer side is
  // scaled down by the aspect ratio. The triad gets a tenth of the model
  // diagonal (at least 20) from 1 % of the diagonal below the lowest corner.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const TVector3 front;

  // L = 0.002 * 1.05 about (12, -7); width 200 is twice the height.
  QTest::newRow("single point") << QSize(200, 100) << front << std::vector<TVector3>{TVector3(12, -7, 3)}
                                << 1.0 / 0.0021 << 2.0 / 0.0021 << -12.0 / 0.0021 << 14.0 / 0.0021
                                << 20.0 << TVector3(12.0 - 0.00102, -7.0 - 0.00102, 3.0 - 0.00102)
                                << TVector3(12, -7, 3) << QPoint(100, 50) << TVector3(12.0005, -7, 3) << QPoint(123, 50);
  // L = 100.001 * 1.05 = 105.00105 about x = 49.9995: 95.24 pixels for the line, centred.
  const std::vector<TVector3> line = {TVector3(0, 0, 0), TVector3(100, 0, 0)};
  QTest::newRow("line") << QSize(200, 100) << front << line
                        << 1.0 / 105.00105 << 2.0 / 105.00105 << -49.9995 / 105.00105 << 0.0
                        << 20.0 << TVector3(-1.00101, -0.00102, -0.00102)
                        << TVector3(0, 0, 0) << QPoint(52, 50) << TVector3(100, 0, 0) << QPoint(147, 50);
  const std::vector<TVector3> spoiled = {TVector3(nan, 0, 0), TVector3(0, 0, 0), TVector3(0, inf, 0), TVector3(100, 0, 0), TVector3(0, 0, -inf)};
  QTest::newRow("points not finite left out") << QSize(200, 100) << front << spoiled
                                              << 1.0 / 105.00105 << 2.0 / 105.00105 << -49.9995 / 105.00105 << 0.0
                                              << 20.0 << TVector3(-1.00101, -0.00102, -0.00102)
                                              << TVector3(0, 0, 0) << QPoint(52, 50) << TVector3(100, 0, 0) << QPoint(147, 50);
  // L = 40.001 * 1.05 = 42.00105 about (10, 20); height 300 is three times the width.
  QTest::newRow("tall viewport") << QSize(100, 300) << front << std::vector<TVector3>{TVector3(-10, 20, 0), TVector3(30, 20, 0)}
                                 << 2.0 / 42.00105 << 2.0 / (3.0 * 42.00105) << -19.999 / 42.00105 << -40.0 / (3.0 * 42.00105)
                                 << 20.0 << TVector3(-10.40101, 19.99898, -0.00102)
                                 << TVector3(10, 20, 0) << QPoint(50, 150) << TVector3(-10, 20, 0) << QPoint(2, 150);
  // Seen along -x: screen x is model y, screen y is model z. L = 400.001 * 1.05;
  // the diagonal (0.002, 400.001, 200.001) is 447.2149371.
  QTest::newRow("from the side") << QSize(200, 200) << TVector3(1, 0, 0) << std::vector<TVector3>{TVector3(5, 0, 0), TVector3(5, 400, 200)}
                                 << 2.0 / 420.00105 << 2.0 / 420.00105 << -399.999 / 420.00105 << -199.999 / 420.00105
                                 << 44.72149371454402 << TVector3(4.99898, -4.00101, -2.00101)
                                 << TVector3(5, 200, 100) << QPoint(100, 100) << TVector3(5, 0, 0) << QPoint(4, 148);
  // Only the margins: L = 0.0021 about the origin; the model bounds stay at zero.
  QTest::newRow("no points") << QSize(200, 100) << front << std::vector<TVector3>()
                             << 1.0 / 0.0021 << 2.0 / 0.0021 << 0.0 << 0.0
                             << 20.0 << TVector3()
                             << TVector3() << QPoint(100, 50) << TVector3(0.001, 0.001, 0) << QPoint(147, 3);
}

void TestViewCameraProjection::Fit()
{
  QFETCH(QSize, size);
  QFETCH(TVector3, direction);
  QFETCH(std::vector<TVector3>, points);
  QFETCH(double, x_scale);
  QFETCH(double, y_scale);
  QFETCH(double, x_shift);
  QFETCH(double, y_shift);
  QFETCH(double, axis_length);
  QFETCH(TVector3, axis_origin);
  QFETCH(TVector3, point_a);
  QFETCH(QPoint, pixel_a);
  QFETCH(TVector3, point_b);
  QFETCH(QPoint, pixel_b);

  TViewCamera camera = Camera_Of_Size(size.width(), size.height());
  if(direction.Length() > 0.0)
    QVERIFY(camera.Look_At(direction, TVector3(0, 0, 1)));
  camera.Begin_Fit_To_Viewport();
  for(const TVector3& p : points)
    camera.Process_Vertex(p);
  camera.End_Fit_To_Viewport();

  Compare_Scale_And_Shift(camera.Projection(), x_scale, y_scale, x_shift, y_shift);
  QCOMPARE(camera.Projection()[15], 1.0);
  QVERIFY2(std::fabs(camera.Axis_Length() - axis_length) < 1e-9, qPrintable(Text(camera.Axis_Length(), axis_length)));
  QVERIFY((camera.Axis_Origin() - axis_origin).Length() < 1e-9);
  QCOMPARE(camera.Translate_To_Window(point_a), pixel_a);
  QCOMPARE(camera.Translate_To_Window(point_b), pixel_b);
}

QTEST_GUILESS_MAIN(TestViewCameraProjection)
#include "test_viewcamera_projection.moc"
