// The 3D view's camera as the widget drives it: the pixel of a model point,
// looking along a direction, fitting the scene to the viewport and resizing.
#include <QApplication>
#include <QImage>
#include <QtTest>
#include <cmath>
#include <limits>
#include <vector>

#include "graphicwidget.h"
#include "graphicwidget_test_helpers.h"
#include "vector3.h"

using namespace graphicwidget_test;

namespace
{
class TPaintCounter : public QObject
{
public:
  int paints = 0;

protected:
  bool eventFilter(QObject*, QEvent* event) override
  {
    if(event->type() == QEvent::Paint)
      ++paints;
    return false;
  }
};
} // namespace

class TestGraphicWidgetFit : public QObject
{
  Q_OBJECT

private slots:
  void Construction_State();
  void Pixel_Mapping_data();
  void Pixel_Mapping();
  void Look_At_Parallel_Changes_Nothing();
  void Look_At_Rows_data();
  void Look_At_Rows();
  void Fit_Single_Point();
  void Fit_Line_Margin_And_Aspect();
  void Fit_Tall_Viewport();
  void Fit_Axis_Length_data();
  void Fit_Axis_Length();
  void Fit_Without_Vertices();
  void Fit_Ignores_Points_That_Are_Not_Finite();
  void Resize_Keeps_Pixels_Per_Unit();
  void First_Resize_Requests_Fit();
};

void TestGraphicWidgetFit::Construction_State()
{
  TGraphicWidget widget;
  QVERIFY(!widget.fit_requested);
  QVERIFY(widget.pan_mode);
  QVERIFY(!widget.rotate_2d_mode);
  QVERIFY(!widget.rotate_3d_mode);
  QCOMPARE(widget.minimumSize(), QSize(1, 1));
  QCOMPARE(widget.Viewport(), QRect(0, 0, 0, 0));
  QCOMPARE(widget.Axis_Length(), 20.0);
  for(int i = 0; i < 16; ++i)
  {
    QCOMPARE(widget.Rotation()[i], (i % 5 == 0) ? 1.0 : 0.0);
    QCOMPARE(widget.Projection()[i], (i % 5 == 0) ? 1.0 : 0.0);
  }
  QVERIFY(widget.Data_Sets().empty());
  QVERIFY(widget.CSY_Sets().empty());
}

void TestGraphicWidgetFit::Pixel_Mapping_data()
{
  QTest::addColumn<double>("x");
  QTest::addColumn<double>("y");
  QTest::addColumn<QPoint>("pixel");

  QTest::newRow("origin") << 0.0 << 0.0 << QPoint(100, 50);
  QTest::newRow("upper right") << 0.5 << 0.5 << QPoint(150, 25);
  QTest::newRow("lower left") << -0.25 << -0.3 << QPoint(75, 65);
  QTest::newRow("corner") << 1.0 << 1.0 << QPoint(200, 0);
  // Truncation toward zero: -0.5 becomes 0, not -1.
  QTest::newRow("truncation") << -1.005 << 0.0 << QPoint(0, 50);
  QTest::newRow("outside") << -1.5 << -1.5 << QPoint(-50, 125);
}

void TestGraphicWidgetFit::Pixel_Mapping()
{
  QFETCH(double, x);
  QFETCH(double, y);
  QFETCH(QPoint, pixel);

  TGraphicWidget widget;
  Send_Resize(&widget, 200, 100);
  QCOMPARE(widget.Viewport(), QRect(0, 0, 200, 100));
  QCOMPARE(widget.Translate_To_Window(TVector3(x, y, 0.0)), pixel);
  // Depth plays no part.
  QCOMPARE(widget.Translate_To_Window(TVector3(x, y, 123.0)), pixel);
}

void TestGraphicWidgetFit::Look_At_Parallel_Changes_Nothing()
{
  TGraphicWidget widget;
  Show(&widget, 200, 100);
  widget.Look_At(TVector3(1, 0, 0), TVector3(0, 0, 1));
  QApplication::processEvents();
  QVERIFY(!widget.fit_requested);
  const TMat4 before = widget.Rotation();

  TPaintCounter counter;
  widget.installEventFilter(&counter);
  widget.Look_At(TVector3(0, 0, 1), TVector3(0, 0, 1));
  QVERIFY(!widget.fit_requested);
  QApplication::processEvents();
  QCOMPARE(counter.paints, 0);
  for(int i = 0; i < 16; ++i)
    QCOMPARE(widget.Rotation()[i], before[i]);

  widget.Look_At(TVector3(0, 0, 1), TVector3(0, 1, 0));
  QVERIFY(widget.fit_requested);
  QTRY_VERIFY(counter.paints > 0);
  QVERIFY(!widget.fit_requested);
}

void TestGraphicWidgetFit::Look_At_Rows_data()
{
  QTest::addColumn<TVector3>("direction");
  QTest::addColumn<TVector3>("up");
  QTest::addColumn<TVector3>("row0");
  QTest::addColumn<TVector3>("row1");
  QTest::addColumn<TVector3>("row2");

  QTest::newRow("XY") << TVector3(0, 0, 1) << TVector3(0, 1, 0) << TVector3(1, 0, 0) << TVector3(0, 1, 0) << TVector3(0, 0, 1);
  QTest::newRow("YZ") << TVector3(1, 0, 0) << TVector3(0, 0, 1) << TVector3(0, 1, 0) << TVector3(0, 0, 1) << TVector3(1, 0, 0);
  QTest::newRow("ZX") << TVector3(0, 1, 0) << TVector3(0, 0, 1) << TVector3(-1, 0, 0) << TVector3(0, 0, 1) << TVector3(0, 1, 0);
  QTest::newRow("unnormalised") << TVector3(0, 0, 5) << TVector3(0, 3, 0) << TVector3(1, 0, 0) << TVector3(0, 1, 0) << TVector3(0, 0, 1);
  // Checked by its properties below.
  QTest::newRow("ISO") << TVector3(-0.684791, -0.684791, 0.249244) << TVector3(0, 0, 1) << TVector3() << TVector3() << TVector3();
}

void TestGraphicWidgetFit::Look_At_Rows()
{
  QFETCH(TVector3, direction);
  QFETCH(TVector3, up);
  QFETCH(TVector3, row0);
  QFETCH(TVector3, row1);
  QFETCH(TVector3, row2);

  TGraphicWidget widget;
  widget.Look_At(direction, up);
  QVERIFY(widget.fit_requested);
  const TMat4& r = widget.Rotation();
  const TVector3 rows[3] = {TVector3(r[0], r[1], r[2]), TVector3(r[4], r[5], r[6]), TVector3(r[8], r[9], r[10])};

  if(QByteArray(QTest::currentDataTag()) == "ISO")
  {
    // Orthonormal, right-handed, row 2 the normalised direction, row 0 horizontal.
    TVector3 n(direction);
    n.Normal();
    QVERIFY((rows[2] - n).Length() < 1e-12);
    QVERIFY(std::fabs(rows[0].z) < 1e-12);
    QVERIFY(rows[1].z > 0.0);
    QVERIFY(((rows[0] * rows[1]) - rows[2]).Length() < 1e-12);
    for(int i = 0; i < 3; ++i)
      QVERIFY(std::fabs(rows[i].Length() - 1.0) < 1e-12);
    return;
  }

  QVERIFY((rows[0] - row0).Length() < 1e-12);
  QVERIFY((rows[1] - row1).Length() < 1e-12);
  QVERIFY((rows[2] - row2).Length() < 1e-12);
  QCOMPARE(r[15], 1.0);
  QCOMPARE(r[3], 0.0);
  QCOMPARE(r[12], 0.0);
}

void TestGraphicWidgetFit::Fit_Single_Point()
{
  TGraphicWidget widget;
  Send_Resize(&widget, 200, 100);
  const TVector3 p(12.0, -7.0, 3.0);
  const int id = widget.Create_Data_Set(TGraphicWidget::SYMBOL_NONE, Qt::black);
  QVERIFY(widget.Add_Line_Item(id, p, p));
  QVERIFY(widget.fit_requested);
  Grab(&widget);
  QVERIFY(!widget.fit_requested);

  // M = 0.002 * 1.05; the x scale carries the aspect factor 0.5.
  QVERIFY(std::fabs(widget.Projection()[0] - 0.5 * 2.0 / 0.0021) < 1e-6);
  QVERIFY(std::fabs(widget.Projection()[5] - 2.0 / 0.0021) < 1e-6);
  QCOMPARE(widget.Translate_To_Window(p), QPoint(100, 50));
}

void TestGraphicWidgetFit::Fit_Line_Margin_And_Aspect()
{
  TGraphicWidget widget;
  Send_Resize(&widget, 200, 100);
  const int id = widget.Create_Data_Set(TGraphicWidget::SYMBOL_NONE, Qt::black);
  widget.Add_Line_Item(id, TVector3(0, 0, 0), TVector3(100, 0, 0));
  const QImage image = Grab(&widget);
  QVERIFY(!widget.fit_requested);

  // Same pixels per unit on both axes.
  const double x_pixels = 100.0 * widget.Projection()[0];
  const double y_pixels = 50.0 * widget.Projection()[5];
  QVERIFY(std::fabs(x_pixels - y_pixels) < 1e-9);

  // The line spans 1/1.05 of the viewport height (100 px), centred.
  const QPoint start = widget.Translate_To_Window(TVector3(0, 0, 0));
  const QPoint end = widget.Translate_To_Window(TVector3(100, 0, 0));
  QCOMPARE(start.y(), 50);
  QCOMPARE(end.y(), 50);
  QVERIFY2(std::abs((end.x() - start.x()) - 95) <= 1, qPrintable(QString::number(end.x() - start.x())));
  QVERIFY(std::abs((start.x() + end.x()) - 200) <= 1);
  // (The default triad's labels sit near the start of the line.)
  QVERIFY(Is_Colour(image, 100, 50, Qt::black));
  QVERIFY(Is_Colour(image, end.x() - 1, 50, Qt::black));
  QVERIFY(Is_Colour(image, end.x() + 3, 50, Qt::white));
  QVERIFY(Is_Colour(image, 120, 45, Qt::white));
}

void TestGraphicWidgetFit::Fit_Tall_Viewport()
{
  TGraphicWidget widget;
  Send_Resize(&widget, 100, 300);
  const int id = widget.Create_Data_Set(TGraphicWidget::SYMBOL_NONE, Qt::black);
  widget.Add_Line_Item(id, TVector3(-10, 20, 0), TVector3(30, 20, 0));
  Grab(&widget);
  QVERIFY(std::fabs(50.0 * widget.Projection()[0] - 150.0 * widget.Projection()[5]) < 1e-9);
  // The centre of the bounds comes to the viewport centre.
  QCOMPARE(widget.Translate_To_Window(TVector3(10, 20, 0)), QPoint(50, 150));
}

void TestGraphicWidgetFit::Fit_Axis_Length_data()
{
  QTest::addColumn<TVector3>("corner");
  QTest::addColumn<double>("length");
  QTest::newRow("diagonal 1000") << TVector3(600, 800, 0) << 100.0;
  QTest::newRow("diagonal 50") << TVector3(30, 0, 40) << 20.0;
  QTest::newRow("diagonal 300") << TVector3(0, 300, 0) << 30.0;
}

void TestGraphicWidgetFit::Fit_Axis_Length()
{
  QFETCH(TVector3, corner);
  QFETCH(double, length);

  TGraphicWidget widget;
  Send_Resize(&widget, 200, 100);
  const int id = widget.Create_Data_Set(TGraphicWidget::SYMBOL_NONE, Qt::black);
  widget.Add_Line_Item(id, TVector3(0, 0, 0), corner);
  Grab(&widget);
  QVERIFY2(std::fabs(widget.Axis_Length() - length) < 1e-3, qPrintable(QString::number(widget.Axis_Length())));
  // The first vertex (the origin) widens the bounds by 0.001; later ones do not.
  const TVector3 maximum(std::max(corner.x, 0.001), std::max(corner.y, 0.001), std::max(corner.z, 0.001));
  const TVector3 expected_origin = TVector3(-0.001, -0.001, -0.001) - (maximum + 0.001) * 0.01;
  QVERIFY((widget.Axis_Origin() - expected_origin).Length() < 1e-9);
}

void TestGraphicWidgetFit::Fit_Without_Vertices()
{
  TGraphicWidget widget;
  Send_Resize(&widget, 200, 100);
  const int id = widget.Create_Data_Set(TGraphicWidget::SYMBOL_NONE, Qt::black);
  widget.Add_Line_Item(id, TVector3(100, 100, 0), TVector3(1100, 100, 0));
  Grab(&widget);
  QVERIFY(std::fabs(widget.Axis_Length() - 100.0) < 1e-3);

  widget.Clear_Data_Sets();
  widget.fit_requested = true;
  Grab(&widget);
  // Bounds of +-0.001 about the screen-aligned origin; model bounds from the last fit.
  QCOMPARE(widget.Projection()[12], 0.0);
  QCOMPARE(widget.Projection()[13], 0.0);
  QVERIFY(std::fabs(widget.Projection()[5] - 2.0 / 0.0021) < 1e-6);
  QCOMPARE(widget.Translate_To_Window(TVector3()), QPoint(100, 50));
  QVERIFY(std::fabs(widget.Axis_Length() - 100.0) < 1e-3);
}

void TestGraphicWidgetFit::Fit_Ignores_Points_That_Are_Not_Finite()
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for(bool reference : {false, true})
  {
    TGraphicWidget plain;
    TGraphicWidget spoiled;
    plain.reference_painting = reference;
    spoiled.reference_painting = reference;
    Send_Resize(&plain, 200, 100);
    Send_Resize(&spoiled, 200, 100);

    const int a = plain.Create_Data_Set(TGraphicWidget::SYMBOL_NONE, Qt::black);
    plain.Add_Line_Item(a, TVector3(0, 0, 0), TVector3(10, 5, 2));
    const int b = spoiled.Create_Data_Set(TGraphicWidget::SYMBOL_NONE, Qt::black);
    spoiled.Add_Triangle_Item(b, TVector3(nan, 0, 0), TVector3(0, inf, 0), TVector3(0, 0, -inf));
    spoiled.Add_Line_Item(b, TVector3(0, 0, 0), TVector3(10, 5, 2));
    spoiled.Add_Line_Item(b, TVector3(nan, nan, nan), TVector3(0, 0, 0));

    Grab(&plain);
    Grab(&spoiled);
    for(int i = 0; i < 16; ++i)
      QCOMPARE(spoiled.Projection()[i], plain.Projection()[i]);
    QCOMPARE(spoiled.Axis_Length(), plain.Axis_Length());
  }
}

void TestGraphicWidgetFit::Resize_Keeps_Pixels_Per_Unit()
{
  TGraphicWidget widget;
  Send_Resize(&widget, 200, 100);
  const int id = widget.Create_Data_Set(TGraphicWidget::SYMBOL_NONE, Qt::black);
  widget.Add_Line_Item(id, TVector3(-30, 0, 0), TVector3(30, 20, 0));
  Grab(&widget);
  const std::vector<double> before = Camera_Values(widget);
  const QPoint a = widget.Translate_To_Window(TVector3(-30, 0, 0));
  const QPoint b = widget.Translate_To_Window(TVector3(30, 20, 0));

  Send_Resize(&widget, 400, 100);
  QVERIFY(!widget.fit_requested);
  const std::vector<double> after = Camera_Values(widget);
  QCOMPARE(after[0], before[0] * 0.5);
  QCOMPARE(after[1], before[1]);
  QCOMPARE(after[3], before[3]);
  QCOMPARE(widget.Viewport(), QRect(0, 0, 400, 100));
  // Same pixel distances, shifted with the centre.
  const QPoint c = widget.Translate_To_Window(TVector3(-30, 0, 0));
  const QPoint d = widget.Translate_To_Window(TVector3(30, 20, 0));
  QVERIFY(std::abs((d.x() - c.x()) - (b.x() - a.x())) <= 1);
  QCOMPARE(d.y() - c.y(), b.y() - a.y());
}

void TestGraphicWidgetFit::First_Resize_Requests_Fit()
{
  TGraphicWidget widget;
  Send_Resize(&widget, 200, 100);
  QVERIFY(widget.fit_requested);
  widget.fit_requested = false;
  Send_Resize(&widget, 0, 100);
  QVERIFY(!widget.fit_requested);
  QCOMPARE(widget.Viewport(), QRect(0, 0, 0, 100));
  Send_Resize(&widget, 150, 100);
  QVERIFY(widget.fit_requested);
  QCOMPARE(widget.Viewport(), QRect(0, 0, 150, 100));
}

QTEST_MAIN(TestGraphicWidgetFit)
#include "test_graphicwidget_fit.moc"
