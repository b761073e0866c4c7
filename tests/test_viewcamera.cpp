// The view's camera on its own, without a widget: every expected value below
// is worked out by hand from the camera's geometry (viewport centre, pixels
// per model unit, margins), not taken from a run of the camera.
#include <QtTest>
#include <cmath>
#include <limits>
#include <vector>

#include "vector3.h"
#include "viewcamera.h"

Q_DECLARE_METATYPE(TVector3)
Q_DECLARE_METATYPE(std::vector<TVector3>)
Q_DECLARE_METATYPE(std::vector<int>)

namespace
{
bool Near(double actual, double expected)
{
  return std::fabs(actual - expected) <= 1e-12 * std::max(1.0, std::fabs(expected));
}

QString Text(double actual, double expected)
{
  return QString("%1 instead of %2").arg(actual, 0, 'g', 17).arg(expected, 0, 'g', 17);
}

// A camera with a viewport of the given size and the identity projection.
TViewCamera Camera_Of_Size(int width, int height)
{
  TViewCamera camera;
  camera.Resize_Viewport(width, height);
  return camera;
}

void Compare_Matrix(const TMat4& actual, const TMat4& expected)
{
  for(int i = 0; i < 16; ++i)
    QVERIFY2(Near(actual[i], expected[i]), qPrintable(QString("[%1] ").arg(i) + Text(actual[i], expected[i])));
}

// The screen scale and shift of a projection.
void Compare_Scale_And_Shift(const TMat4& p, const double& x_scale, const double& y_scale, const double& x_shift, const double& y_shift)
{
  QVERIFY2(Near(p[0], x_scale), qPrintable(Text(p[0], x_scale)));
  QVERIFY2(Near(p[5], y_scale), qPrintable(Text(p[5], y_scale)));
  QVERIFY2(Near(p[12], x_shift), qPrintable(Text(p[12], x_shift)));
  QVERIFY2(Near(p[13], y_shift), qPrintable(Text(p[13], y_shift)));
}

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

class TestViewCamera : public QObject
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

void TestViewCamera::Construction_State()
{
  TViewCamera camera;
  Compare_Matrix(camera.Rotation(), TMat4());
  Compare_Matrix(camera.Projection(), TMat4());
  QCOMPARE(camera.Viewport(), QRect(0, 0, 0, 0));
  QCOMPARE(camera.Axis_Length(), 20.0);
}

void TestViewCamera::Resize_Viewport_data()
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

void TestViewCamera::Resize_Viewport()
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

void TestViewCamera::Pixel_Mapping_data()
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

void TestViewCamera::Pixel_Mapping()
{
  QFETCH(QPoint, pan);
  QFETCH(TVector3, point);
  QFETCH(QPoint, pixel);

  TViewCamera camera = Camera_Of_Size(200, 100);
  camera.Pan_View(pan.x(), pan.y());
  QCOMPARE(camera.Translate_To_Window(point), pixel);
}

void TestViewCamera::Window_Position_data()
{
  QTest::addColumn<QRect>("viewport");
  QTest::addColumn<QPoint>("widget");
  QTest::addColumn<QPoint>("window");

  QTest::newRow("top left") << QRect(0, 0, 200, 100) << QPoint(0, 0) << QPoint(0, 100);
  QTest::newRow("bottom right") << QRect(0, 0, 200, 100) << QPoint(199, 99) << QPoint(199, 1);
  QTest::newRow("offset viewport") << QRect(10, 20, 200, 100) << QPoint(30, 40) << QPoint(40, 80);
}

void TestViewCamera::Window_Position()
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

void TestViewCamera::Look_At_data()
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

void TestViewCamera::Look_At()
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

void TestViewCamera::Fit_data()
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

void TestViewCamera::Fit()
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

void TestViewCamera::Pan_data()
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

void TestViewCamera::Pan()
{
  QFETCH(QSize, size);
  QFETCH(QPoint, drag);
  QFETCH(double, x_shift);
  QFETCH(double, y_shift);

  TViewCamera camera = Camera_Of_Size(size.width(), size.height());
  camera.Pan_View(drag.x(), drag.y());
  Compare_Scale_And_Shift(camera.Projection(), 1.0, 1.0, x_shift, y_shift);
}

void TestViewCamera::Wheel_Zoom_data()
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

void TestViewCamera::Wheel_Zoom()
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

void TestViewCamera::Click_Zoom_data()
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

void TestViewCamera::Click_Zoom()
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

void TestViewCamera::Zoom_To_Rect_data()
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

void TestViewCamera::Zoom_To_Rect()
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

void TestViewCamera::Rotate_In_Plane_data()
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

void TestViewCamera::Rotate_In_Plane()
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

void TestViewCamera::Rotate_Free_data()
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

void TestViewCamera::Rotate_Free()
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

void TestViewCamera::Rotation_Keeps_Centre_Point()
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

QTEST_GUILESS_MAIN(TestViewCamera)
#include "test_viewcamera.moc"
