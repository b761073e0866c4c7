#include <QApplication>
#include <QImage>
#include <QWheelEvent>
#include <QtTest>
#include <cmath>
#include <limits>
#include <vector>

#include "displaylist.h"
#include "graphicwidget.h"
#include "repeatedlinefilter.h"
#include "vector3.h"

Q_DECLARE_METATYPE(TVector3)
Q_DECLARE_METATYPE(std::vector<TVector3>)
Q_DECLARE_METATYPE(std::vector<int>)
Q_DECLARE_METATYPE(std::vector<QLine>)

namespace
{
const double SCALE_TOLERANCE = 1e-12;

// Viewport without painting: the camera stays as it is until a paint fits it.
void Send_Resize(TGraphicWidget* widget, int width, int height)
{
  const QSize old_size = widget->size();
  widget->resize(width, height);
  QResizeEvent event(QSize(width, height), old_size);
  QApplication::sendEvent(widget, &event);
}

void Show(TGraphicWidget* widget, int width, int height)
{
  widget->resize(width, height);
  widget->show();
  QVERIFY(QTest::qWaitForWindowExposed(widget));
  QApplication::processEvents();
}

void Move(TGraphicWidget* widget, const QPoint& position, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
  QMouseEvent event(QEvent::MouseMove, position, widget->mapToGlobal(position), Qt::NoButton, buttons, modifiers);
  QApplication::sendEvent(widget, &event);
}

void Wheel(TGraphicWidget* widget, int delta)
{
  const QPointF position(50, 50);
  QWheelEvent event(position, QPointF(widget->mapToGlobal(position.toPoint())), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget, &event);
}

QImage Grab(TGraphicWidget* widget)
{
  return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

std::vector<double> Camera_Values(const TGraphicWidget& widget)
{
  const TMat4& p = widget.Projection();
  return {p[0], p[5], p[10], p[12], p[13], p[14]};
}

bool Is_Colour(const QImage& image, int x, int y, const QColor& colour)
{
  return image.pixelColor(x, y).rgb() == colour.rgb();
}

int Count_Colour(const QImage& image, const QColor& colour)
{
  int count = 0;
  for(int y = 0; y < image.height(); ++y)
    for(int x = 0; x < image.width(); ++x)
      count += image.pixel(x, y) == colour.rgb() ? 1 : 0;
  return count;
}

// A reference scene like the program's: ball bars, square length bars and a box.
void Build_Scene(TGraphicWidget* widget, int count)
{
  widget->Clear_Data_Sets();
  TVector3 minimum(1e9, 1e9, 1e9);
  TVector3 maximum(-1e9, -1e9, -1e9);
  for(int i = 0; i < count; ++i)
  {
    const double angle = 0.7 * i;
    TVector3 axis(std::cos(angle), std::sin(angle), 0.3 * std::sin(1.3 * i));
    axis.Normal();
    const TVector3 position(40.0 * std::cos(0.3 * i), 30.0 * std::sin(0.5 * i), 10.0 * i);
    const double length = 150.0 + 10.0 * i;
    const QColor colour = i == 1 ? QColor(60, 60, 240) : QColor(80, 80, 80);
    const int id = widget->Create_Data_Set(TGraphicWidget::SYMBOL_NONE, colour);
    const TVector3 start = position - axis * (0.5 * length);
    const TVector3 end = position + axis * (0.5 * length);
    if(i % 2 == 0)
    {
      widget->Draw_Cylinder(id, position, axis, 6.0, length - 22.0);
      widget->Draw_Sphere(id, start, 12.5);
      widget->Draw_Sphere(id, end, 12.5);
    }
    else
    {
      const TVector3 reference = std::fabs(axis ^ TVector3(0, 0, 1)) > 0.707107 ? TVector3(1, 0, 0) : TVector3(0, 0, 1);
      widget->Draw_Polygon(id, position, axis, reference, 10.0, length, 4);
    }
    for(int k = 0; k < 3; ++k)
    {
      minimum(k) = std::min(minimum(k), std::min(start(k), end(k)));
      maximum(k) = std::max(maximum(k), std::max(start(k), end(k)));
    }
  }
  const int box = widget->Create_Data_Set(TGraphicWidget::SYMBOL_NONE, QColor(160, 160, 160));
  widget->Draw_Wire_Cube(box, minimum, maximum);
}

void Compare_Paths(TGraphicWidget* widget, const char* what)
{
  const bool fit = widget->fit_requested;
  widget->reference_painting = false;
  const QImage fast = Grab(widget);
  widget->fit_requested = fit;
  widget->reference_painting = true;
  const QImage reference = Grab(widget);
  widget->reference_painting = false;

  int differing = 0;
  for(int y = 0; y < fast.height(); ++y)
    for(int x = 0; x < fast.width(); ++x)
      differing += fast.pixel(x, y) != reference.pixel(x, y) ? 1 : 0;
  QVERIFY2(differing == 0, qPrintable(QString("%1: %2 pixels differ").arg(what).arg(differing)));
  // The scene really was drawn.
  QVERIFY(Count_Colour(fast, Qt::white) < fast.width() * fast.height());
}

class TKeyRecorder : public QWidget
{
public:
  std::vector<int> keys;

protected:
  void keyPressEvent(QKeyEvent* event) override { keys.push_back(event->key()); }
};

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

class TestGraphicWidget : public QObject
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
  void Wheel_Zoom_data();
  void Wheel_Zoom();
  void Click_Zoom_data();
  void Click_Zoom();
  void Right_Drag_Dead_Zone_And_Pan();
  void Free_Rotation_Follows_Pointer_data();
  void Free_Rotation_Follows_Pointer();
  void In_Plane_Rotation();
  void Square_Rubber_Band_In_Wide_Viewport();
  void Thin_Rubber_Band_Does_Not_Zoom();
  void Resize_Keeps_Pixels_Per_Unit();
  void First_Resize_Requests_Fit();
  void Tiny_Viewport_Skips_Pan_And_Click_Zoom();
  void Modifier_Keys_Reach_Parent();
  void Data_Set_Ids();
  void Add_Draw_Triangles_Refusals_data();
  void Add_Draw_Triangles_Refusals();
  void Draw_Operations();
  void Unknown_Id();
  void Paint_White_Background_And_Square_Symbols();
  void Paint_Circle_And_Cross_Symbols();
  void Paint_Default_Triad();
  void Paint_CSY_Sets_Replace_Default_Triad_data();
  void Paint_CSY_Sets_Replace_Default_Triad();
  void Fast_Painting_Matches_Reference_data();
  void Fast_Painting_Matches_Reference();
  void Fast_Painting_Matches_Reference_With_Translucent_Sets();
  void Points_Far_Outside_Or_Not_Finite();
  void Mesh_Shares_Vertices_And_Edges_data();
  void Mesh_Shares_Vertices_And_Edges();
  void Mesh_Follows_New_Triangles();
  void Repeated_Lines_Removed_data();
  void Repeated_Lines_Removed();
};

void TestGraphicWidget::Construction_State()
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

void TestGraphicWidget::Pixel_Mapping_data()
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

void TestGraphicWidget::Pixel_Mapping()
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

void TestGraphicWidget::Look_At_Parallel_Changes_Nothing()
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

void TestGraphicWidget::Look_At_Rows_data()
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

void TestGraphicWidget::Look_At_Rows()
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

void TestGraphicWidget::Fit_Single_Point()
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

void TestGraphicWidget::Fit_Line_Margin_And_Aspect()
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

void TestGraphicWidget::Fit_Tall_Viewport()
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

void TestGraphicWidget::Fit_Axis_Length_data()
{
  QTest::addColumn<TVector3>("corner");
  QTest::addColumn<double>("length");
  QTest::newRow("diagonal 1000") << TVector3(600, 800, 0) << 100.0;
  QTest::newRow("diagonal 50") << TVector3(30, 0, 40) << 20.0;
  QTest::newRow("diagonal 300") << TVector3(0, 300, 0) << 30.0;
}

void TestGraphicWidget::Fit_Axis_Length()
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

void TestGraphicWidget::Fit_Without_Vertices()
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

void TestGraphicWidget::Fit_Ignores_Points_That_Are_Not_Finite()
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

void TestGraphicWidget::Wheel_Zoom_data()
{
  QTest::addColumn<int>("delta");
  QTest::addColumn<double>("factor");
  QTest::newRow("in") << 120 << 1.1111;
  QTest::newRow("out") << -120 << 0.9;
  QTest::newRow("large step in") << 960 << 1.1111;
  QTest::newRow("small step out") << -15 << 0.9;
  QTest::newRow("none") << 0 << 1.0;
}

void TestGraphicWidget::Wheel_Zoom()
{
  QFETCH(int, delta);
  QFETCH(double, factor);

  TGraphicWidget widget;
  Show(&widget, 200, 100);
  const int id = widget.Create_Data_Set(TGraphicWidget::SYMBOL_NONE, Qt::black);
  widget.Add_Line_Item(id, TVector3(-20, 10, 3), TVector3(50, 30, -8));
  widget.Look_At(TVector3(1, 2, 3), TVector3(0, 0, 1));
  QTRY_VERIFY(!widget.fit_requested);

  const std::vector<double> before = Camera_Values(widget);
  Wheel(&widget, delta);
  const std::vector<double> after = Camera_Values(widget);
  for(size_t i = 0; i < before.size(); ++i)
    QVERIFY2(std::fabs(after[i] - before[i] * factor) <= SCALE_TOLERANCE * std::fabs(before[i]), qPrintable(QString::number(i)));
}

void TestGraphicWidget::Click_Zoom_data()
{
  QTest::addColumn<int>("row");
  QTest::addColumn<double>("factor");
  // 200 x 100 viewport: window y = 100 - row, half = 50.
  QTest::newRow("centre row") << 50 << 1.0;
  QTest::newRow("top row") << 0 << 0.5;
  QTest::newRow("bottom row") << 99 << 1.49;
  QTest::newRow("upper quarter") << 25 << 0.75;
}

void TestGraphicWidget::Click_Zoom()
{
  QFETCH(int, row);
  QFETCH(double, factor);

  TGraphicWidget widget;
  Show(&widget, 200, 100);
  const std::vector<double> before = Camera_Values(widget);
  QTest::mousePress(&widget, Qt::RightButton, Qt::NoModifier, QPoint(30, row));
  QTest::mouseRelease(&widget, Qt::RightButton, Qt::NoModifier, QPoint(30, row));
  const std::vector<double> after = Camera_Values(widget);
  for(size_t i = 0; i < before.size(); ++i)
    QVERIFY(std::fabs(after[i] - before[i] * factor) <= SCALE_TOLERANCE * std::fabs(before[i]));
}

void TestGraphicWidget::Right_Drag_Dead_Zone_And_Pan()
{
  TGraphicWidget widget;
  Show(&widget, 200, 100);
  const std::vector<double> start = Camera_Values(widget);

  QTest::mousePress(&widget, Qt::RightButton, Qt::NoModifier, QPoint(100, 50));
  Move(&widget, QPoint(101, 51), Qt::RightButton);
  QVERIFY(Camera_Values(widget) == start);
  // The total is now two pixels right and two down (window dy = -2).
  Move(&widget, QPoint(102, 52), Qt::RightButton);
  std::vector<double> after = Camera_Values(widget);
  QCOMPARE(after[3], start[3] + 2.0 / 100.0);
  QCOMPARE(after[4], start[4] - 2.0 / 50.0);
  QCOMPARE(after[0], start[0]);
  QCOMPARE(after[1], start[1]);

  // A drag is not a click: no zoom on release.
  QTest::mouseRelease(&widget, Qt::RightButton, Qt::NoModifier, QPoint(102, 52));
  QVERIFY(Camera_Values(widget) == after);

  // Panning moves the scene with the pointer.
  const QPoint origin = widget.Translate_To_Window(TVector3());
  QTest::mousePress(&widget, Qt::RightButton, Qt::NoModifier, QPoint(100, 50));
  Move(&widget, QPoint(120, 40), Qt::RightButton);
  QTest::mouseRelease(&widget, Qt::RightButton, Qt::NoModifier, QPoint(120, 40));
  const QPoint moved = widget.Translate_To_Window(TVector3());
  QVERIFY(std::abs(moved.x() - origin.x() - 20) <= 1);
  QVERIFY(std::abs(moved.y() - origin.y() + 10) <= 1);
}

void TestGraphicWidget::Free_Rotation_Follows_Pointer_data()
{
  QTest::addColumn<bool>("by_mode");
  QTest::newRow("control") << false;
  QTest::newRow("rotate 3d mode") << true;
}

void TestGraphicWidget::Free_Rotation_Follows_Pointer()
{
  QFETCH(bool, by_mode);

  TGraphicWidget widget;
  Show(&widget, 200, 200);
  const int id = widget.Create_Data_Set(TGraphicWidget::SYMBOL_NONE, Qt::black);
  widget.Add_Line_Item(id, TVector3(-50, -50, -50), TVector3(50, 50, 50));
  widget.Look_At(TVector3(0, 0, 1), TVector3(0, 1, 0));
  QTRY_VERIFY(!widget.fit_requested);
  widget.rotate_3d_mode = by_mode;
  widget.pan_mode = !by_mode;
  const Qt::KeyboardModifiers modifiers = by_mode ? Qt::NoModifier : Qt::ControlModifier;

  // The model point at the view centre is the pivot; a point toward the viewer follows the pointer.
  const QPoint centre_before = widget.Translate_To_Window(TVector3());
  const QPoint front_before = widget.Translate_To_Window(TVector3(0, 0, 40));
  QTest::mousePress(&widget, Qt::RightButton, modifiers, QPoint(100, 100));
  for(int x = 110; x <= 200; x += 10)
    Move(&widget, QPoint(x, 100), Qt::RightButton, modifiers);
  QTest::mouseRelease(&widget, Qt::RightButton, modifiers, QPoint(200, 100));

  QCOMPARE(widget.Translate_To_Window(TVector3()), centre_before);
  const QPoint front_after = widget.Translate_To_Window(TVector3(0, 0, 40));
  QVERIFY2(front_after.x() > front_before.x() + 5, qPrintable(QString("%1 %2").arg(front_before.x()).arg(front_after.x())));
  QVERIFY(std::abs(front_after.y() - front_before.y()) <= 1);

  const TMat4& r = widget.Rotation();
  const TVector3 row0(r[0], r[1], r[2]), row1(r[4], r[5], r[6]), row2(r[8], r[9], r[10]);
  QVERIFY(std::fabs(row0.Length() - 1.0) < 1e-9);
  QVERIFY(std::fabs(row0 ^ row2) < 1e-9);
  QVERIFY(((row0 * row1) - row2).Length() < 1e-9);
}

void TestGraphicWidget::In_Plane_Rotation()
{
  TGraphicWidget widget;
  Show(&widget, 200, 200);
  const int id = widget.Create_Data_Set(TGraphicWidget::SYMBOL_NONE, Qt::black);
  widget.Add_Line_Item(id, TVector3(-50, -50, -50), TVector3(50, 50, 50));
  widget.Look_At(TVector3(0, 0, 1), TVector3(0, 1, 0));
  QTRY_VERIFY(!widget.fit_requested);

  // Sweep counter-clockwise on screen around the centre (100, 100) with Shift.
  const QPoint right_before = widget.Translate_To_Window(TVector3(40, 0, 0));
  QTest::mousePress(&widget, Qt::RightButton, Qt::ShiftModifier, QPoint(180, 100));
  Move(&widget, QPoint(180, 90), Qt::RightButton, Qt::ShiftModifier);
  Move(&widget, QPoint(180, 80), Qt::RightButton, Qt::ShiftModifier);
  QTest::mouseRelease(&widget, Qt::RightButton, Qt::ShiftModifier, QPoint(180, 80));

  const TMat4& r = widget.Rotation();
  // Turned about the view normal only.
  QVERIFY(std::fabs(r[8]) < 1e-12 && std::fabs(r[9]) < 1e-12 && std::fabs(r[10] - 1.0) < 1e-12);
  const double angle = std::atan2(20.0, 80.0);
  QVERIFY2(std::fabs(std::atan2(r[1], r[0]) + angle) < 1e-9, qPrintable(QString::number(std::atan2(r[1], r[0]))));
  const QPoint right_after = widget.Translate_To_Window(TVector3(40, 0, 0));
  QVERIFY(right_after.y() < right_before.y() - 5);
  QCOMPARE(widget.Translate_To_Window(TVector3()), QPoint(100, 100));

  // Within five pixels of the centre nothing turns.
  widget.rotate_2d_mode = true;
  const TMat4 before = widget.Rotation();
  QTest::mousePress(&widget, Qt::RightButton, Qt::NoModifier, QPoint(103, 100));
  Move(&widget, QPoint(100, 97), Qt::RightButton);
  QTest::mouseRelease(&widget, Qt::RightButton, Qt::NoModifier, QPoint(100, 97));
  for(int i = 0; i < 16; ++i)
    QCOMPARE(widget.Rotation()[i], before[i]);
}

void TestGraphicWidget::Square_Rubber_Band_In_Wide_Viewport()
{
  TGraphicWidget widget;
  Show(&widget, 200, 100);
  const int id = widget.Create_Data_Set(TGraphicWidget::SYMBOL_NONE, Qt::black);
  widget.Add_Line_Item(id, TVector3(0, 0, 0), TVector3(100, 50, 0));
  widget.Look_At(TVector3(0, 0, 1), TVector3(0, 1, 0));
  QTRY_VERIFY(!widget.fit_requested);

  // A 40 x 40 pixel square; equal pixels per unit make it square in the model too.
  const QPoint first(60, 20);
  const QPoint second(100, 60);
  auto model_of = [&](const QPoint& pixel) {
    const TMat4& p = widget.Projection();
    const double wx = pixel.x();
    const double wy = 100.0 - pixel.y();
    return TVector3((wx / 100.0 - 1.0 - p[12]) / p[0], (wy / 50.0 - 1.0 - p[13]) / p[5], 0.0);
  };
  const TVector3 corner1 = model_of(first);
  const TVector3 corner2 = model_of(second);

  QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, first);
  Move(&widget, first, Qt::LeftButton);
  Move(&widget, QPoint(80, 40), Qt::LeftButton);
  Move(&widget, second, Qt::LeftButton);
  QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, second);

  // The band now spans the full height and half the width, centred.
  const QPoint a = widget.Translate_To_Window(corner1);
  const QPoint b = widget.Translate_To_Window(corner2);
  QVERIFY2(std::abs(a.x() - 50) <= 2 && std::abs(b.x() - 150) <= 2, qPrintable(QString("%1 %2").arg(a.x()).arg(b.x())));
  QVERIFY2(std::abs(a.y() - 0) <= 2 && std::abs(b.y() - 100) <= 2, qPrintable(QString("%1 %2").arg(a.y()).arg(b.y())));
  const TMat4& p = widget.Projection();
  QVERIFY(std::fabs(100.0 * p[0] - 50.0 * p[5]) < 1e-9);
}

void TestGraphicWidget::Thin_Rubber_Band_Does_Not_Zoom()
{
  TGraphicWidget widget;
  Show(&widget, 200, 100);
  const std::vector<double> before = Camera_Values(widget);
  QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(50, 10));
  Move(&widget, QPoint(50, 10), Qt::LeftButton);
  Move(&widget, QPoint(50, 80), Qt::LeftButton);
  QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(50, 80));
  QVERIFY(Camera_Values(widget) == before);

  // A release without a drag does not zoom either.
  QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
  QVERIFY(Camera_Values(widget) == before);
}

void TestGraphicWidget::Resize_Keeps_Pixels_Per_Unit()
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

void TestGraphicWidget::First_Resize_Requests_Fit()
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

void TestGraphicWidget::Tiny_Viewport_Skips_Pan_And_Click_Zoom()
{
  TGraphicWidget widget;
  Show(&widget, 200, 100);
  Send_Resize(&widget, 1, 1);
  const std::vector<double> before = Camera_Values(widget);

  QTest::mousePress(&widget, Qt::RightButton, Qt::NoModifier, QPoint(0, 0));
  QTest::mouseRelease(&widget, Qt::RightButton, Qt::NoModifier, QPoint(0, 0));
  QVERIFY(Camera_Values(widget) == before);

  QTest::mousePress(&widget, Qt::RightButton, Qt::NoModifier, QPoint(0, 0));
  Move(&widget, QPoint(30, 40), Qt::RightButton);
  QTest::mouseRelease(&widget, Qt::RightButton, Qt::NoModifier, QPoint(30, 40));
  QVERIFY(Camera_Values(widget) == before);

  // A rubber band in a one-pixel view does not zoom to nonsense.
  QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(0, 0));
  Move(&widget, QPoint(0, 0), Qt::LeftButton);
  Move(&widget, QPoint(30, 30), Qt::LeftButton);
  QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
  QVERIFY(Camera_Values(widget) == before);
  Grab(&widget);
}

void TestGraphicWidget::Modifier_Keys_Reach_Parent()
{
  TKeyRecorder parent;
  TGraphicWidget* widget = new TGraphicWidget(&parent);
  parent.resize(200, 100);
  widget->resize(200, 100);
  parent.show();
  QVERIFY(QTest::qWaitForWindowExposed(&parent));
  QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
  QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
  QCOMPARE(QApplication::focusWidget(), widget);

  QTest::keyPress(widget, Qt::Key_Shift);
  QTest::keyPress(widget, Qt::Key_Control);
  QTest::keyPress(widget, Qt::Key_A);
  QTest::keyPress(widget, Qt::Key_Escape);
  QCOMPARE(parent.keys, std::vector<int>({Qt::Key_Shift, Qt::Key_Control}));
}

void TestGraphicWidget::Data_Set_Ids()
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

void TestGraphicWidget::Add_Draw_Triangles_Refusals_data()
{
  QTest::addColumn<int>("points");
  QTest::addColumn<bool>("accepted");
  QTest::newRow("none") << 0 << false;
  QTest::newRow("four") << 4 << false;
  QTest::newRow("three") << 3 << true;
  QTest::newRow("six") << 6 << true;
}

void TestGraphicWidget::Add_Draw_Triangles_Refusals()
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

void TestGraphicWidget::Draw_Operations()
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

void TestGraphicWidget::Unknown_Id()
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

void TestGraphicWidget::Paint_White_Background_And_Square_Symbols()
{
  TGraphicWidget widget;
  Send_Resize(&widget, 200, 100);
  widget.fit_requested = false;
  const QColor colour(200, 0, 0);
  const int id = widget.Create_Data_Set(TGraphicWidget::SYMBOL_SQUARE, colour);
  const TVector3 start(-0.895, 0.81, 0.0);
  const TVector3 end(-0.495, 0.61, 0.0);
  QCOMPARE(widget.Translate_To_Window(start), QPoint(10, 10));
  QCOMPARE(widget.Translate_To_Window(end), QPoint(50, 20));
  widget.Add_Line_Item(id, start, end);
  // Keep the default triad away from the symbols.
  widget.Add_CSY(TVector3(0.5, -0.5, 0), Qt::green, QString(), TVector3(0.01, 0, 0), TVector3(0, 0.01, 0), TVector3(0, 0, 0.01));

  const QImage image = Grab(&widget);
  QVERIFY(Is_Colour(image, 199, 0, Qt::white));
  QVERIFY(Is_Colour(image, 0, 99, Qt::white));
  QVERIFY(Is_Colour(image, 100, 10, Qt::white));

  // Square outlines with top-left corners (7, 7) and (47, 17), six pixels on a side.
  for(const QPoint& corner : {QPoint(7, 7), QPoint(47, 17)})
  {
    for(int i = 0; i <= 5; ++i)
    {
      QVERIFY(Is_Colour(image, corner.x() + i, corner.y(), colour));
      QVERIFY(Is_Colour(image, corner.x(), corner.y() + i, colour));
      QVERIFY(Is_Colour(image, corner.x() + 5, corner.y() + i, colour));
      QVERIFY(Is_Colour(image, corner.x() + i, corner.y() + 5, colour));
    }
    QVERIFY(Is_Colour(image, corner.x() - 1, corner.y() - 1, Qt::white));
    QVERIFY(Is_Colour(image, corner.x() + 1, corner.y() + 3, Qt::white));
  }
  // The line between them.
  QVERIFY(Is_Colour(image, 30, 15, colour));
}

void TestGraphicWidget::Paint_Circle_And_Cross_Symbols()
{
  for(TGraphicWidget::TDrawSymbol symbol : {TGraphicWidget::SYMBOL_CIRCLE, TGraphicWidget::SYMBOL_CROSS})
  {
    TGraphicWidget widget;
    Send_Resize(&widget, 200, 100);
    widget.fit_requested = false;
    const QColor colour(0, 0, 200);
    const int id = widget.Create_Data_Set(symbol, colour);
    // A vertical line at pixel x = 10 from y = 10 to 40.
    widget.Add_Line_Item(id, TVector3(-0.895, 0.81, 0.0), TVector3(-0.895, 0.21, 0.0));
    widget.Add_CSY(TVector3(0.5, -0.5, 0), Qt::green, QString(), TVector3(0.01, 0, 0), TVector3(0, 0.01, 0), TVector3(0, 0, 0.01));
    const QImage image = Grab(&widget);
    // The mark stays within the pixels 7 to 12 around the end point (10, 10).
    int inside = 0;
    for(int y = 3; y <= 16; ++y)
      for(int x = 3; x <= 16; ++x)
      {
        const bool coloured = Is_Colour(image, x, y, colour);
        const bool in_box = x >= 7 && x <= 12 && y >= 7 && y <= 12;
        if(x == 10 && y >= 10)
          continue;
        QVERIFY2(!coloured || in_box, qPrintable(QString("%1 %2").arg(x).arg(y)));
        inside += coloured ? 1 : 0;
      }
    QVERIFY(inside >= 8);
    if(symbol == TGraphicWidget::SYMBOL_CROSS)
    {
      QVERIFY(Is_Colour(image, 7, 7, colour));
      QVERIFY(Is_Colour(image, 12, 7, colour));
      QVERIFY(Is_Colour(image, 7, 12, colour));
      QVERIFY(Is_Colour(image, 12, 12, colour));
      QVERIFY(Is_Colour(image, 8, 10, Qt::white));
    }
    else
    {
      QVERIFY(Is_Colour(image, 7, 7, Qt::white));
      QVERIFY(Is_Colour(image, 12, 12, Qt::white));
    }
    QVERIFY(Is_Colour(image, 10, 25, colour));
    QVERIFY(Is_Colour(image, 20, 25, Qt::white));
  }
}

void TestGraphicWidget::Paint_Default_Triad()
{
  TGraphicWidget widget;
  Send_Resize(&widget, 300, 200);
  const int id = widget.Create_Data_Set(TGraphicWidget::SYMBOL_NONE, QColor(80, 80, 80));
  widget.Draw_Wire_Cube(id, TVector3(0, 0, 0), TVector3(1000, 1000, 1000));
  widget.Look_At(TVector3(-0.684791, -0.684791, 0.249244), TVector3(0, 0, 1));
  const QImage image = Grab(&widget);

  QVERIFY(std::fabs(widget.Axis_Length() - 0.1 * std::sqrt(3.0) * 1000.001) < 1e-6);
  const QColor grey(196, 196, 196);
  QVERIFY(Count_Colour(image, grey) > 20);
  QVERIFY(Count_Colour(image, Qt::black) > 10);
  // The grey arm starts at the triad origin.
  const QPoint origin = widget.Translate_To_Window(widget.Axis_Origin());
  const QPoint x_end = widget.Translate_To_Window(widget.Axis_Origin() + TVector3(widget.Axis_Length(), 0, 0));
  const QPoint middle((origin.x() + x_end.x()) / 2, (origin.y() + x_end.y()) / 2);
  bool found = false;
  for(int dy = -1; dy <= 1; ++dy)
    for(int dx = -1; dx <= 1; ++dx)
      found = found || Is_Colour(image, middle.x() + dx, middle.y() + dy, grey);
  QVERIFY(found);
}

void TestGraphicWidget::Paint_CSY_Sets_Replace_Default_Triad_data()
{
  QTest::addColumn<QString>("label");
  QTest::addColumn<QString>("text");
  QTest::newRow("labelled") << "A" << "X A";
  QTest::newRow("empty label") << "" << "X";
}

void TestGraphicWidget::Paint_CSY_Sets_Replace_Default_Triad()
{
  QFETCH(QString, label);
  QFETCH(QString, text);

  TGraphicWidget widget;
  Send_Resize(&widget, 300, 300);
  widget.fit_requested = false;
  const QColor colour(0, 150, 0);
  // Identity camera: one model unit is 150 pixels; arms of 0.01 * 20 units.
  widget.Add_CSY(TVector3(-0.5, -0.5, 0), colour, label, TVector3(0.025, 0, 0), TVector3(0, 0.025, 0), TVector3(0, 0, 0.025));
  const QImage image = Grab(&widget);

  QCOMPARE(Count_Colour(image, QColor(196, 196, 196)), 0);
  QVERIFY(Count_Colour(image, colour) > 40);
  // Width 3: the X arm from (75, 225) to (150, 225) covers rows 224 to 226.
  QVERIFY(Is_Colour(image, 100, 224, colour));
  QVERIFY(Is_Colour(image, 100, 225, colour));
  QVERIFY(Is_Colour(image, 100, 226, colour));
  QVERIFY(Is_Colour(image, 100, 228, Qt::white));

  // The label box at the X arm end: the text centred with one pixel of margin.
  const QRect bounds = widget.fontMetrics().boundingRect(QRect(), 0, text);
  const QPoint end = widget.Translate_To_Window(TVector3(-0.5 + 0.025 * 20.0, -0.5, 0));
  QCOMPARE(end, QPoint(150, 225));
  const QRect box(end.x() - bounds.width() / 2 - 1, end.y() - bounds.height() / 2 - 1, bounds.width() + 2, bounds.height() + 2);
  auto light = [&](int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return c.red() == c.green() && c.green() == c.blue() && c.red() > 235 && c.red() < 250;
  };
  QVERIFY(light(box.left(), box.top()));
  QVERIFY(light(box.right(), box.top()));
  QVERIFY(light(box.left(), box.bottom()));
  QVERIFY(light(box.right(), box.bottom()));
  QVERIFY(!light(box.right() + 1, box.top()));
  QVERIFY(!light(box.left(), box.top() - 1));
  // The text is drawn in the set's colour.
  int text_pixels = 0;
  for(int y = box.top(); y <= box.bottom(); ++y)
    for(int x = box.left(); x <= box.right(); ++x)
    {
      const QColor c = image.pixelColor(x, y);
      text_pixels += (c.green() > c.red() + 30) ? 1 : 0;
    }
  QVERIFY(text_pixels > 5);
}

void TestGraphicWidget::Fast_Painting_Matches_Reference_data()
{
  QTest::addColumn<int>("measurements");
  QTest::addColumn<int>("view");
  QTest::newRow("iso fitted") << 10 << 0;
  QTest::newRow("xy fitted") << 6 << 1;
  QTest::newRow("zoomed in") << 10 << 2;
  QTest::newRow("rotated") << 10 << 3;
  QTest::newRow("zoomed far in") << 4 << 4;
  QTest::newRow("zoomed out") << 10 << 5;
}

void TestGraphicWidget::Fast_Painting_Matches_Reference()
{
  QFETCH(int, measurements);
  QFETCH(int, view);

  TGraphicWidget widget;
  Show(&widget, 351, 251);
  Build_Scene(&widget, measurements);
  const int symbols = widget.Create_Data_Set(TGraphicWidget::SYMBOL_CIRCLE, QColor(200, 0, 0));
  widget.Add_Line_Item(symbols, TVector3(0, 0, 0), TVector3(100, 50, 20));
  widget.Add_Line_Item(symbols, TVector3(100, 50, 20), TVector3(-40, 80, 60));
  const int crosses = widget.Create_Data_Set(TGraphicWidget::SYMBOL_CROSS, QColor(0, 120, 0));
  widget.Add_Line_Item(crosses, TVector3(-50, 0, 0), TVector3(0, -60, 30));
  widget.Draw_Cube(crosses, TVector3(10, 10, 10), TVector3(40, 30, 25));

  if(view == 1)
    widget.Look_At(TVector3(0, 0, 1), TVector3(0, 1, 0));
  else
    widget.Look_At(TVector3(-0.684791, -0.684791, 0.249244), TVector3(0, 0, 1));
  QTRY_VERIFY(!widget.fit_requested);

  switch(view)
  {
    case 2:
      for(int i = 0; i < 12; ++i)
        Wheel(&widget, 120);
      break;
    case 3:
      QTest::mousePress(&widget, Qt::RightButton, Qt::ControlModifier, QPoint(100, 100));
      for(int i = 1; i <= 8; ++i)
        Move(&widget, QPoint(100 + 13 * i, 100 + 7 * i), Qt::RightButton, Qt::ControlModifier);
      QTest::mouseRelease(&widget, Qt::RightButton, Qt::ControlModifier, QPoint(204, 156));
      break;
    case 4:
      for(int i = 0; i < 60; ++i)
        Wheel(&widget, 120);
      break;
    case 5:
      for(int i = 0; i < 25; ++i)
        Wheel(&widget, -120);
      break;
    default:
      break;
  }

  Compare_Paths(&widget, QTest::currentDataTag());
  widget.fit_requested = true;
  Compare_Paths(&widget, "with fit");
}

void TestGraphicWidget::Fast_Painting_Matches_Reference_With_Translucent_Sets()
{
  TGraphicWidget widget;
  Show(&widget, 300, 200);
  Build_Scene(&widget, 3);
  const int id = widget.Create_Data_Set(TGraphicWidget::SYMBOL_SQUARE, QColor(0, 0, 255, 90));
  widget.Draw_Sphere(id, TVector3(20, 20, 20), 40.0);
  widget.Draw_Polygon(id, TVector3(-20, 0, 0), TVector3(0, 1, 0), TVector3(1, 0, 0), 15.0, 120.0, 6);
  widget.Add_Line_Item(id, TVector3(0, 0, 0), TVector3(60, 60, 60));
  widget.Look_At(TVector3(-0.684791, -0.684791, 0.249244), TVector3(0, 0, 1));
  QTRY_VERIFY(!widget.fit_requested);
  Compare_Paths(&widget, "translucent");
}

void TestGraphicWidget::Points_Far_Outside_Or_Not_Finite()
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();

  TGraphicWidget widget;
  Send_Resize(&widget, 200, 100);
  widget.fit_requested = false;
  // Translate_To_Window stays inside a sane range whatever it is given.
  const TVector3 wild[] = {TVector3(nan, 0, 0), TVector3(0, inf, 0), TVector3(-inf, -inf, 0), TVector3(1e300, -1e300, 0), TVector3(3e9, 0, 0)};
  for(const TVector3& p : wild)
  {
    const QPoint pixel = widget.Translate_To_Window(p);
    QVERIFY(std::abs(pixel.x()) <= (1 << 23));
    QVERIFY(std::abs(pixel.y()) <= (1 << 23));
  }

  const QColor colour(0, 0, 0);
  const int id = widget.Create_Data_Set(TGraphicWidget::SYMBOL_CIRCLE, colour);
  widget.Add_Line_Item(id, TVector3(0, 0, 0), TVector3(nan, 0, 0));
  widget.Add_Line_Item(id, TVector3(0, 0, 0), TVector3(0, inf, 0));
  widget.Add_Triangle_Item(id, TVector3(0.1, 0.1, 0), TVector3(nan, nan, nan), TVector3(1e300, 1e300, 1e300));
  // A line toward a point far outside the window is still drawn toward it.
  widget.Add_Line_Item(id, TVector3(-0.5, 0.2, 0), TVector3(1e7, 0.2, 0));
  widget.Add_Line_Item(id, TVector3(-0.3, -0.5, 0), TVector3(-0.3, -1e12, 0));
  widget.Add_Triangle_Item(id, TVector3(-0.9, 0.9, 0), TVector3(-1e20, 1e20, 0), TVector3(-0.9, 0.8, 0));

  widget.reference_painting = false;
  QImage fast = Grab(&widget);
  widget.reference_painting = true;
  QImage reference = Grab(&widget);
  QVERIFY(fast == reference);
  QVERIFY(Is_Colour(fast, 150, 40, colour));
  QVERIFY(Is_Colour(fast, 199, 40, colour));
  QVERIFY(Is_Colour(fast, 70, 90, colour));
  QVERIFY(Is_Colour(fast, 70, 99, colour));

  // Zooming in so far that everything lands outside the int range.
  for(int i = 0; i < 400; ++i)
    Wheel(&widget, 120);
  widget.reference_painting = false;
  fast = Grab(&widget);
  widget.reference_painting = true;
  reference = Grab(&widget);
  QVERIFY(fast == reference);

  // A fit over data that holds only unusable points.
  widget.Clear_Data_Sets();
  const int bad = widget.Create_Data_Set(TGraphicWidget::SYMBOL_SQUARE, colour);
  widget.Add_Line_Item(bad, TVector3(nan, nan, nan), TVector3(inf, -inf, inf));
  widget.fit_requested = true;
  widget.reference_painting = false;
  Grab(&widget);
  for(int i = 0; i < 16; ++i)
    QVERIFY(std::isfinite(widget.Projection()[i]));
}

void TestGraphicWidget::Mesh_Shares_Vertices_And_Edges_data()
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

void TestGraphicWidget::Mesh_Shares_Vertices_And_Edges()
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

void TestGraphicWidget::Mesh_Follows_New_Triangles()
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

void TestGraphicWidget::Repeated_Lines_Removed_data()
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

void TestGraphicWidget::Repeated_Lines_Removed()
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

QTEST_MAIN(TestGraphicWidget)
#include "test_graphicwidget.moc"
