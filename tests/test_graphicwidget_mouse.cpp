// The 3D view under the mouse and keyboard: zooming with the wheel, a click
// or a rubber band, panning, turning the view, and the keys it passes on.
#include <QApplication>
#include <QtTest>
#include <cmath>
#include <vector>

#include "graphicwidget.h"
#include "graphicwidget_test_helpers.h"
#include "vector3.h"

using namespace graphicwidget_test;

namespace
{
const double SCALE_TOLERANCE = 1e-12;

// Every camera value after a zoom is the value before times the factor; the
// text names the first value that is not.
QString Scaling_Fault(const std::vector<double>& before, const std::vector<double>& after, double factor)
{
  for(size_t i = 0; i < before.size(); ++i)
    if(!(std::fabs(after[i] - before[i] * factor) <= SCALE_TOLERANCE * std::fabs(before[i])))
      return QString("camera value %1: %2 is not %3 times %4").arg(i).arg(after[i]).arg(factor).arg(before[i]);
  return QString();
}

class TKeyRecorder : public QWidget
{
public:
  std::vector<int> keys;

protected:
  void keyPressEvent(QKeyEvent* event) override { keys.push_back(event->key()); }
};
} // namespace

class TestGraphicWidgetMouse : public QObject
{
  Q_OBJECT

private slots:
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
  void Tiny_Viewport_Skips_Pan_And_Click_Zoom();
  void Modifier_Keys_Reach_Parent();
};

void TestGraphicWidgetMouse::Wheel_Zoom_data()
{
  QTest::addColumn<int>("delta");
  QTest::addColumn<double>("factor");
  QTest::newRow("in") << 120 << 1.1111;
  QTest::newRow("out") << -120 << 0.9;
  QTest::newRow("large step in") << 960 << 1.1111;
  QTest::newRow("small step out") << -15 << 0.9;
  QTest::newRow("none") << 0 << 1.0;
}

void TestGraphicWidgetMouse::Wheel_Zoom()
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
  const QString fault = Scaling_Fault(before, after, factor);
  QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

void TestGraphicWidgetMouse::Click_Zoom_data()
{
  QTest::addColumn<int>("row");
  QTest::addColumn<double>("factor");
  // 200 x 100 viewport: window y = 100 - row, half = 50.
  QTest::newRow("centre row") << 50 << 1.0;
  QTest::newRow("top row") << 0 << 0.5;
  QTest::newRow("bottom row") << 99 << 1.49;
  QTest::newRow("upper quarter") << 25 << 0.75;
}

void TestGraphicWidgetMouse::Click_Zoom()
{
  QFETCH(int, row);
  QFETCH(double, factor);

  TGraphicWidget widget;
  Show(&widget, 200, 100);
  const std::vector<double> before = Camera_Values(widget);
  QTest::mousePress(&widget, Qt::RightButton, Qt::NoModifier, QPoint(30, row));
  QTest::mouseRelease(&widget, Qt::RightButton, Qt::NoModifier, QPoint(30, row));
  const std::vector<double> after = Camera_Values(widget);
  const QString fault = Scaling_Fault(before, after, factor);
  QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

void TestGraphicWidgetMouse::Right_Drag_Dead_Zone_And_Pan()
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

void TestGraphicWidgetMouse::Free_Rotation_Follows_Pointer_data()
{
  QTest::addColumn<bool>("by_mode");
  QTest::newRow("control") << false;
  QTest::newRow("rotate 3d mode") << true;
}

void TestGraphicWidgetMouse::Free_Rotation_Follows_Pointer()
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

void TestGraphicWidgetMouse::In_Plane_Rotation()
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

void TestGraphicWidgetMouse::Square_Rubber_Band_In_Wide_Viewport()
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

void TestGraphicWidgetMouse::Thin_Rubber_Band_Does_Not_Zoom()
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

void TestGraphicWidgetMouse::Tiny_Viewport_Skips_Pan_And_Click_Zoom()
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

void TestGraphicWidgetMouse::Modifier_Keys_Reach_Parent()
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

QTEST_MAIN(TestGraphicWidgetMouse)
#include "test_graphicwidget_mouse.moc"
