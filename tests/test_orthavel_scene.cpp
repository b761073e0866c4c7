// The measurement scene drawn into the 3D view, and the view mode buttons.
#include <QtTest>

#include <QAction>
#include <QLabel>
#include <QAbstractItemModel>
#include <QToolButton>
#include <QWheelEvent>
#include <cmath>

#include "graphicwidget.h"
#include "measurement.h"
#include "measurementset.h"
#include "scenebuilder.h"
#include "sceneview.h"
#include "window_helpers.h"
#include "windowtest.h"

Q_DECLARE_METATYPE(TVector3)

namespace
{
double Distance_To_Line(const TVector3& p, const TVector3& origin, const TVector3& direction)
{
  const TVector3 d = p - origin;
  return (d - direction * (d ^ direction)).Length();
}

std::vector<TVector3> Corners(const TGraphicWidget::TDataSet& set)
{
  std::vector<TVector3> points;
  for(const TGraphicWidget::TTriangleItem& triangle : set.triangle_items)
  {
    points.push_back(triangle.p1);
    points.push_back(triangle.p2);
    points.push_back(triangle.p3);
  }
  return points;
}

// A ball-bar file of more bars than a scene draws at once.
QString Many_Bars(int bars)
{
  QString text = "BallBar_V1\n";
  for(int i = 0; i < bars; ++i)
    text += QString("B%1,0,%2,%3,0,%4,%5,300,0,0,0\n").arg(i).arg(i % 400).arg(i % 300).arg(i % 400).arg(i % 300);
  return text;
}

void Box_Of(const TGraphicWidget::TDataSet& set, TVector3* minimum, TVector3* maximum)
{
  *minimum = *maximum = set.line_items.front().start;
  for(const TGraphicWidget::TLineItem& line : set.line_items)
  {
    Widen_Box(minimum, maximum, line.start);
    Widen_Box(minimum, maximum, line.end);
  }
}
}

class TOrthavelSceneTest : public TWindowTest
{
  Q_OBJECT

private slots:
  void empty_scene_is_grey_box();
  void ballbar_solids();
  void length_bar_reference_data();
  void length_bar_reference();
  void selection_colours();
  void line_mode_data();
  void line_mode();
  void apply_redraws_one_record();
  void mode_cycle_data();
  void mode_cycle();
  void large_scene_is_built_in_slices();
  void fit_asked_for_during_a_build_ends_with_it();

private:
  TGraphicWidget* View() const { return Member<TGraphicWidget>(window, "graphic_widget"); }
  TMeasurement* Add(const char* action_name);
};

TMeasurement* TOrthavelSceneTest::Add(const char* action_name)
{
  Member<QAction>(window, action_name)->trigger();
  return window->Document()->Records().back();
}

void TOrthavelSceneTest::empty_scene_is_grey_box()
{
  const std::vector<TGraphicWidget::TDataSet>& sets = View()->Data_Sets();
  QCOMPARE(sets.size(), size_t(1));
  QCOMPARE(sets[0].color, QColor(160, 160, 160));
  QCOMPARE(sets[0].line_items.size(), size_t(12));
  TVector3 minimum, maximum;
  Box_Of(sets[0], &minimum, &maximum);
  QCOMPARE(minimum.x, -500.0);
  QCOMPARE(minimum.z, -500.0);
  QCOMPARE(maximum.y, 500.0);
  QVERIFY(View()->pan_mode);
  QVERIFY(!View()->rotate_2d_mode);
}

void TOrthavelSceneTest::ballbar_solids()
{
  TMeasurement* bar = Add("action_add_ballbar");
  bar->Set_Actual_Length(100.0);
  bar->Set_Axis(TVector3(1, 0, 0));
  bar->Set_Position(TVector3(0, 0, 0));
  Member<QListWidget>(window, "measurement_list")->clearSelection();  // redraws

  const std::vector<TGraphicWidget::TDataSet>& sets = View()->Data_Sets();
  QCOMPARE(sets.size(), size_t(2));
  QCOMPARE(sets[0].id, 1);
  QCOMPARE(sets[1].id, 2);
  QCOMPARE(sets[0].color, QColor(80, 80, 80));

  // Cylinder of radius 6 and length 78 along X, then spheres of radius 12.5 at x = -50 and 50.
  double cylinder_extent = 0.0;
  int on_cylinder = 0, on_left_sphere = 0, on_right_sphere = 0;
  const std::vector<TVector3> corners = Corners(sets[0]);
  for(const TVector3& p : corners)
  {
    const double from_axis = Distance_To_Line(p, TVector3(), TVector3(1, 0, 0));
    if(from_axis <= 6.0 + 1e-9 && std::fabs(p.x) <= 39.0 + 1e-9)
    {
      on_cylinder += std::fabs(from_axis - 6.0) < 1e-9;  // the mantle; cap centres lie on the axis
      cylinder_extent = std::max(cylinder_extent, std::fabs(p.x));
    }
    else if(std::fabs((p - TVector3(-50, 0, 0)).Length() - 12.5) < 1e-9)
      ++on_left_sphere;
    else if(std::fabs((p - TVector3(50, 0, 0)).Length() - 12.5) < 1e-9)
      ++on_right_sphere;
    else
      QFAIL(qPrintable(QString("stray vertex (%1, %2, %3)").arg(p.x).arg(p.y).arg(p.z)));
  }
  QVERIFY(on_cylinder > 0);
  QCOMPARE(on_left_sphere, on_right_sphere);
  QVERIFY(on_left_sphere > 0);
  QVERIFY(std::fabs(cylinder_extent - 39.0) < 1e-9);

  TVector3 minimum, maximum;
  Box_Of(sets[1], &minimum, &maximum);
  QCOMPARE(minimum.x, -50.0);
  QCOMPARE(maximum.x, 50.0);
  QCOMPARE(minimum.y, 0.0);
  QCOMPARE(maximum.z, 0.0);
}

void TOrthavelSceneTest::length_bar_reference_data()
{
  QTest::addColumn<TVector3>("axis");
  QTest::addColumn<TVector3>("reference");
  QTest::newRow("along Z takes X") << TVector3(0, 0, 1) << TVector3(1, 0, 0);
  QTest::newRow("in the XY plane takes Z") << TVector3(1, 1, 0) << TVector3(0, 0, 1);
  QTest::newRow("steep takes X") << TVector3(0.7, 0, 0.72) << TVector3(1, 0, 0);
}

void TOrthavelSceneTest::length_bar_reference()
{
  QFETCH(TVector3, axis);
  QFETCH(TVector3, reference);
  TMeasurement* bar = Add("action_add_length");
  bar->Set_Axis(axis);
  bar->Set_Draw_Offset(2.0);
  Member<QListWidget>(window, "measurement_list")->clearSelection();

  // The bar is the polygon the view's own tessellator makes with that reference.
  TGraphicWidget expected;
  const int id = expected.Create_Data_Set(TGraphicWidget::SYMBOL_NONE, Qt::black);
  QVERIFY(expected.Draw_Polygon(id, bar->Position(), bar->Axis(), reference, 20.0, bar->Actual_Length(), 4));
  const std::vector<TVector3> want = Corners(expected.Data_Sets()[0]);
  const std::vector<TVector3> got = Corners(View()->Data_Sets()[0]);
  QCOMPARE(got.size(), want.size());
  for(size_t i = 0; i < got.size(); ++i)
    QVERIFY((got[i] - want[i]).Length() < 1e-12);
}

void TOrthavelSceneTest::selection_colours()
{
  Add("action_add_ballbar");
  Add("action_add_length");
  Add("action_add_length");
  QListWidget* list = Member<QListWidget>(window, "measurement_list");
  list->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
  const std::vector<TGraphicWidget::TDataSet>& sets = View()->Data_Sets();
  QCOMPARE(sets.size(), size_t(4));
  QCOMPARE(sets[0].color, QColor(80, 80, 80));
  QCOMPARE(sets[1].color, QColor(60, 60, 240));
  QCOMPARE(sets[2].color, QColor(80, 80, 80));
  QCOMPARE(sets[3].color, QColor(160, 160, 160));

  list->selectAll();
  for(int i = 0; i < 3; ++i)
    QCOMPARE(View()->Data_Sets()[size_t(i)].color, QColor(60, 60, 240));
}

void TOrthavelSceneTest::line_mode_data()
{
  QTest::addColumn<int>("bars");
  QTest::addColumn<bool>("lines");
  QTest::newRow("1000 as solids") << 1000 << false;
  QTest::newRow("1001 as lines") << 1001 << true;
}

// Above 1 000 measurements each one is a line between its end points with
// square ends, and the view says so.
void TOrthavelSceneTest::line_mode()
{
  QFETCH(int, bars);
  QFETCH(bool, lines);
  QString text = "BallBar_V1\n";
  for(int i = 0; i < bars; ++i)
    text += QString("Bar %1,0,%2,0,0,%2,300,0,0,0,0\n").arg(i + 1).arg(i);
  QVERIFY2(window->Import_Data(Write_File("bars.dat", text)), qPrintable(Status()));

  const std::vector<TGraphicWidget::TDataSet>& sets = View()->Data_Sets();
  QCOMPARE(sets.size(), size_t(bars + 1));
  for(int i = 0; i < bars; i += bars / 7)
  {
    const TGraphicWidget::TDataSet& set = sets[size_t(i)];
    QCOMPARE(set.triangle_items.empty(), lines);
    if(!lines)
    {
      QCOMPARE(set.symbol, TGraphicWidget::SYMBOL_NONE);
      continue;
    }
    QCOMPARE(set.symbol, TGraphicWidget::SYMBOL_SQUARE);
    QCOMPARE(set.line_items.size(), size_t(1));
    QVERIFY((set.line_items[0].start - TVector3(i, 0, 0)).Length() < 1e-9);
    QVERIFY((set.line_items[0].end - TVector3(i, 300, 0)).Length() < 1e-9);
  }
  QCOMPARE(Member<QLabel>(window, "line_mode_notice")->isVisible(), lines);
  if(lines)
    QCOMPARE(Text_Of(window, "line_mode_notice"),
             QString("More than 1,000 measurements: each is drawn as a line between its end points."));
}

// Apply draws the edited record again and leaves the others' drawings as they
// were; the scene is then the one a full drawing gives.
void TOrthavelSceneTest::apply_redraws_one_record()
{
  for(int i = 0; i < 3; ++i)
    Add("action_add_ballbar");
  QListWidget* list = Member<QListWidget>(window, "measurement_list");
  list->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
  const std::vector<TGraphicWidget::TDataSet>& sets = View()->Data_Sets();
  const TGraphicWidget::TTriangleItem* first = sets[0].triangle_items.data();
  const TGraphicWidget::TTriangleItem* last = sets[2].triangle_items.data();

  Type_Into(window, "position_z_edit", "250");
  Member<QToolButton>(window, "apply_button")->click();
  QCOMPARE(window->Document()->At(1)->Position().z, 250.0);
  QCOMPARE(sets[0].triangle_items.data(), first);
  QCOMPARE(sets[2].triangle_items.data(), last);

  TGraphicWidget full;
  TSceneBuilder::Draw(&full, window->Document()->Records(), {false, true, false});
  QCOMPARE(sets.size(), full.Data_Sets().size());
  for(size_t i = 0; i < sets.size(); ++i)
  {
    QCOMPARE(sets[i].color, full.Data_Sets()[i].color);
    QCOMPARE(sets[i].line_items.size(), full.Data_Sets()[i].line_items.size());
    for(size_t j = 0; j < sets[i].line_items.size(); ++j)
      QVERIFY((sets[i].line_items[j].end - full.Data_Sets()[i].line_items[j].end).Length() == 0.0);
    const std::vector<TVector3> got = Corners(sets[i]);
    const std::vector<TVector3> want = Corners(full.Data_Sets()[i]);
    QCOMPARE(got.size(), want.size());
    for(size_t j = 0; j < got.size(); ++j)
      QVERIFY((got[j] - want[j]).Length() == 0.0);
  }
}

void TOrthavelSceneTest::mode_cycle_data()
{
  QTest::addColumn<QString>("click");
  QTest::addColumn<QString>("then_click");
  QTest::addColumn<bool>("pan");
  QTest::addColumn<bool>("rotate_2d");
  QTest::addColumn<bool>("rotate_3d");
  QTest::newRow("unchecking pan moves to rotate 2D") << "pan_button" << "" << false << true << false;
  QTest::newRow("rotate 3D then unchecking it returns to pan") << "rotate_3d_button" << "rotate_3d_button" << true << false << false;
  QTest::newRow("rotate 2D unchecked moves to rotate 3D") << "rotate_2d_button" << "rotate_2d_button" << false << false << true;
  QTest::newRow("rotate 3D checked") << "rotate_3d_button" << "" << false << false << true;
}

void TOrthavelSceneTest::mode_cycle()
{
  QFETCH(QString, click);
  QFETCH(QString, then_click);
  QFETCH(bool, pan);
  QFETCH(bool, rotate_2d);
  QFETCH(bool, rotate_3d);
  Member<QToolButton>(window, qPrintable(click))->click();
  if(!then_click.isEmpty())
    Member<QToolButton>(window, qPrintable(then_click))->click();

  QCOMPARE(Member<QToolButton>(window, "pan_button")->isChecked(), pan);
  QCOMPARE(Member<QToolButton>(window, "rotate_2d_button")->isChecked(), rotate_2d);
  QCOMPARE(Member<QToolButton>(window, "rotate_3d_button")->isChecked(), rotate_3d);
  QCOMPARE(View()->pan_mode, pan);
  QCOMPARE(View()->rotate_2d_mode, rotate_2d);
  QCOMPARE(View()->rotate_3d_mode, rotate_3d);
}

// A scene of many records is built a slice at a time after an import; once
// whole it holds every record and the box, and the view is fitted to it all.
// The Analysis dock's rows follow once the fit is published.
void TOrthavelSceneTest::large_scene_is_built_in_slices()
{
  const int bars = int(TSceneView::BUILD_SLICE) + 5000;
  TSceneView* scene = window->findChild<TSceneView*>();
  QVERIFY(window->Import_Data(Write_File("many.dat", Many_Bars(bars))));
  QVERIFY(scene->Building());
  QVERIFY(View()->Data_Sets().size() < size_t(bars));

  QTRY_VERIFY_WITH_TIMEOUT(!scene->Building(), 20000);
  const std::vector<TGraphicWidget::TDataSet>& sets = View()->Data_Sets();
  QCOMPARE(sets.size(), size_t(bars) + 1);
  QCOMPARE(sets.back().color, QColor(160, 160, 160));
  QCOMPARE((sets[size_t(bars) - 1].line_items.front().start - window->Document()->At(bars - 1)->Start_Point()).Length(),
           0.0);
  TVector3 minimum, maximum;
  Box_Of(sets.back(), &minimum, &maximum);
  QCOMPARE(minimum.Length(), 0.0);
  QCOMPARE((maximum - TVector3(399, 299, 300)).Length(), 0.0);
  QTRY_VERIFY(!View()->Painting());
  const QRect area = View()->rect();
  for(const TVector3& corner : {minimum, maximum, TVector3(399, 0, 0), TVector3(0, 299, 300)})
    QVERIFY(area.contains(View()->Translate_To_Window(corner)));

  const QAbstractItemModel* residuals = Member<QAbstractItemModel>(window, "residual_model");
  QTRY_COMPARE_WITH_TIMEOUT(residuals->rowCount(), bars, 60000);

  // A new selection draws again only the records whose selection changed.
  QListWidget* list = Member<QListWidget>(window, "measurement_list");
  QTRY_COMPARE(list->count(), bars);
  const QColor selected(60, 60, 240), unselected(80, 80, 80);
  for(int row : {10, 11})
  {
    list->setCurrentRow(row);
    QVERIFY(!scene->Building());
    QCOMPARE(View()->Data_Sets().size(), size_t(bars) + 1);
    QCOMPARE(View()->Data_Sets()[size_t(row)].color, selected);
    QCOMPARE(View()->Data_Sets()[size_t(21 - row)].color, unselected);
    QCOMPARE(View()->Data_Sets()[size_t(row)].line_items.size(), size_t(1));
  }
  QCOMPARE(View()->Data_Sets().back().color, QColor(160, 160, 160));
}

// A fit asked for while a large scene is built belongs to that scene: once a
// small one has replaced it, the next large scene leaves the view as it is.
void TOrthavelSceneTest::fit_asked_for_during_a_build_ends_with_it()
{
  TSceneView* scene = window->findChild<TSceneView*>();
  QVERIFY(window->Import_Data(Write_File("many.dat", Many_Bars(int(TSceneView::BUILD_SLICE) + 1))));
  QVERIFY(scene->Building());
  Member<QAction>(window, "action_undo")->trigger();
  QVERIFY(!scene->Building());
  QTRY_VERIFY(!View()->fit_requested);
  QWheelEvent wheel(QPointF(20, 20), View()->mapToGlobal(QPoint(20, 20)), QPoint(), QPoint(0, 240), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(View(), &wheel);
  const QPoint before = View()->Translate_To_Window(TVector3(100, 200, 300));

  Member<QAction>(window, "action_redo")->trigger();
  QVERIFY(scene->Building());
  QTRY_VERIFY_WITH_TIMEOUT(!scene->Building(), 20000);
  QVERIFY(!View()->fit_requested);
  QCOMPARE(View()->Translate_To_Window(TVector3(100, 200, 300)), before);
}

QTEST_MAIN(TOrthavelSceneTest)
#include "test_orthavel_scene.moc"
