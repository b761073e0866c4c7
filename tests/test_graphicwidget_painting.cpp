// What the 3D view paints: background, symbols, coordinate triads and their
// labels, and the fast painting path against the reference one.
#include <QApplication>
#include <QImage>
#include <QtTest>
#include <cmath>
#include <limits>

#include "graphicwidget.h"
#include "graphicwidget_test_helpers.h"
#include "vector3.h"

using namespace graphicwidget_test;

namespace
{
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
} // namespace

class TestGraphicWidgetPainting : public QObject
{
  Q_OBJECT

private slots:
  void Paint_White_Background_And_Square_Symbols();
  void Paint_Circle_And_Cross_Symbols();
  void Paint_Default_Triad();
  void Paint_CSY_Sets_Replace_Default_Triad_data();
  void Paint_CSY_Sets_Replace_Default_Triad();
  void Fast_Painting_Matches_Reference_data();
  void Fast_Painting_Matches_Reference();
  void Fast_Painting_Matches_Reference_With_Translucent_Sets();
  void Points_Far_Outside_Or_Not_Finite();
  void Progressive_Painting_Matches_One_Paint();
};

void TestGraphicWidgetPainting::Paint_White_Background_And_Square_Symbols()
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

void TestGraphicWidgetPainting::Paint_Circle_And_Cross_Symbols()
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

void TestGraphicWidgetPainting::Paint_Default_Triad()
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

void TestGraphicWidgetPainting::Paint_CSY_Sets_Replace_Default_Triad_data()
{
  QTest::addColumn<QString>("label");
  QTest::addColumn<QString>("text");
  QTest::newRow("labelled") << "A" << "X A";
  QTest::newRow("empty label") << "" << "X";
}

void TestGraphicWidgetPainting::Paint_CSY_Sets_Replace_Default_Triad()
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

void TestGraphicWidgetPainting::Fast_Painting_Matches_Reference_data()
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

void TestGraphicWidgetPainting::Fast_Painting_Matches_Reference()
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

void TestGraphicWidgetPainting::Fast_Painting_Matches_Reference_With_Translucent_Sets()
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

void TestGraphicWidgetPainting::Points_Far_Outside_Or_Not_Finite()
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

namespace
{
// Lines like a large set in line mode: squares at the ends, grey with some
// blue ones between, and a box around them.
void Build_Line_Scene(TGraphicWidget* widget, int count, double turn)
{
  widget->Clear_Data_Sets();
  for(int i = 0; i < count; ++i)
  {
    const QColor colour = i % 97 == 0 ? QColor(60, 60, 240) : QColor(80, 80, 80);
    const int id = widget->Create_Data_Set(TGraphicWidget::SYMBOL_SQUARE, colour);
    const double a = turn + 2.399963 * i;
    const TVector3 start(0.8 * std::sin(0.71 * i), 0.8 * std::cos(0.53 * i), 0.0);
    widget->Add_Line_Item(id, start, start + TVector3(0.3 * std::cos(a), 0.3 * std::sin(a), 0.0));
  }
  const int box = widget->Create_Data_Set(TGraphicWidget::SYMBOL_NONE, QColor(160, 160, 160));
  widget->Draw_Wire_Cube(box, TVector3(-1, -1, -0.1), TVector3(1, 1, 0.1));
  widget->fit_requested = true;
  widget->Update();
}

// Paints until the progressive paint has painted every data set; the number of paints.
int Paint_Through(TGraphicWidget* widget)
{
  int paints = 0;
  for(; paints < 1000 && widget->Painting(); ++paints)
    widget->repaint();
  return paints;
}
}

// A view of many data sets painted a part at a time gives, once it is
// through, the pixels of one paint of them all; after a change it starts
// again and again ends with the pixels of the changed scene.
void TestGraphicWidgetPainting::Progressive_Painting_Matches_One_Paint()
{
  const int count = int(TGraphicWidget::PROGRESSIVE_FROM) + 5000;
  TGraphicWidget progressive;
  progressive.progressive_painting = true;
  // Each paint paints one batch of line sets, or one other set.
  progressive.progressive_budget_ms = 0;
  TGraphicWidget whole;
  for(TGraphicWidget* widget : {&progressive, &whole})
    Show(widget, 400, 300);
  for(const double turn : {0.0, 1.0})
  {
    Build_Line_Scene(&progressive, count, turn);
    Build_Line_Scene(&whole, count, turn);
    QVERIFY(progressive.Painting());
    QVERIFY(Paint_Through(&progressive) > 2);
    QVERIFY(!progressive.Painting());
    const QImage expected = Grab(&whole);
    QVERIFY(Count_Colour(expected, QColor(80, 80, 80)) > 1000);
    QVERIFY(Grab(&progressive) == expected);
  }
}

QTEST_MAIN(TestGraphicWidgetPainting)
#include "test_graphicwidget_painting.moc"
