// Working from the keyboard and by pointing: Return applies, Escape resets,
// the focus stays in the editor after Apply, Delete removes, the view's
// shortcuts, where new records start, and picking a measurement in the 3D view.
#include <QtTest>

#include <QComboBox>
#include <QToolButton>

#include "graphicwidget.h"
#include "measurement.h"
#include "window_helpers.h"
#include "windowtest.h"

class TOrthavelKeyboardTest : public TWindowTest
{
  Q_OBJECT

private slots:
  void init();
  void return_applies();
  void escape_resets();
  void apply_keeps_the_focus_in_the_field();
  void delete_in_the_list_removes_data();
  void delete_in_the_list_removes();
  void view_shortcuts_data();
  void view_shortcuts();
  void typing_f_in_a_field_is_text();
  void new_records_start_where_the_last_one_went();
  void new_ballbar_takes_the_set_length();
  void click_picks_the_nearest_measurement_data();
  void click_picks_the_nearest_measurement();
  void picking_waits_for_unapplied_changes();

private:
  void Add_Ballbar(const char* i, const char* j, const char* k);
  QLineEdit* Field(const char* name) const { return Member<QLineEdit>(window, name); }
  QListWidget* List() const { return Member<QListWidget>(window, "measurement_list"); }
  TGraphicWidget* View() const { return Member<TGraphicWidget>(window, "graphic_widget"); }
  QPoint Midpoint_Of(int row) const;
};

void TOrthavelKeyboardTest::init()
{
  TWindowTest::init();
  QApplication::setActiveWindow(window);
  QVERIFY(QTest::qWaitForWindowActive(window));
}

// A ball bar along (i, j, k), entered with Return.
void TOrthavelKeyboardTest::Add_Ballbar(const char* i, const char* j, const char* k)
{
  Member<QAction>(window, "action_add_ballbar")->trigger();
  Type_Into(window, "direction_i_edit", i);
  Type_Into(window, "direction_j_edit", j);
  Type_Into(window, "direction_k_edit", k);
  QTest::keyClick(Field("direction_k_edit"), Qt::Key_Return);
}

void TOrthavelKeyboardTest::return_applies()
{
  Member<QAction>(window, "action_add_length")->trigger();
  QLineEdit* actual = Field("actual_length_edit");
  actual->setFocus();
  Type_Into(window, "actual_length_edit", "999.5");
  QTest::keyClick(actual, Qt::Key_Return);
  QCOMPARE(window->Document()->At(0)->Actual_Length(), 999.5);
  QVERIFY(!Member<QWidget>(window, "apply_button")->isEnabled());
  QVERIFY(List()->isEnabled());
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(actual));
  QCOMPARE(Member<QAction>(window, "action_undo")->text(), QString("Undo Apply Length 1"));
}

void TOrthavelKeyboardTest::escape_resets()
{
  Member<QAction>(window, "action_add_length")->trigger();
  Type_Into(window, "name_edit", "Changed");
  QTest::keyClick(Field("name_edit"), Qt::Key_Escape);
  QCOMPARE(Text_Of(window, "name_edit"), QString("Length 1"));
  QCOMPARE(window->Document()->At(0)->Name(), QString("Length 1"));
  QVERIFY(!Member<QWidget>(window, "apply_button")->isEnabled());
  QVERIFY(List()->isEnabled());
}

// Apply from the keyboard (Tab to Apply, Space) disables Apply and Reset; the
// focus goes back to the field, not on to the sign box.
void TOrthavelKeyboardTest::apply_keeps_the_focus_in_the_field()
{
  Member<QAction>(window, "action_add_ballbar")->trigger();
  QLineEdit* position = Field("position_y_edit");
  position->setFocus();
  Type_Into(window, "position_y_edit", "25");
  QToolButton* apply = Member<QToolButton>(window, "apply_button");
  apply->setFocus();
  QTest::keyClick(apply, Qt::Key_Space);
  QCOMPARE(window->Document()->At(0)->Position().y, 25.0);
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(position));
  QComboBox* sign = Member<QComboBox>(window, "sign_combo");
  const int sign_index = sign->currentIndex();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  QCOMPARE(sign->currentIndex(), sign_index);
}

void TOrthavelKeyboardTest::delete_in_the_list_removes_data()
{
  QTest::addColumn<int>("answer");
  QTest::addColumn<int>("remaining");
  QTest::newRow("yes") << int(QMessageBox::Yes) << 1;
  QTest::newRow("no") << int(QMessageBox::No) << 2;
}

void TOrthavelKeyboardTest::delete_in_the_list_removes()
{
  QFETCH(int, answer);
  QFETCH(int, remaining);
  Member<QAction>(window, "action_add_ballbar")->trigger();
  Member<QAction>(window, "action_add_length")->trigger();
  List()->setFocus();
  bool asked = false;
  QString text;
  Answer_Message_Box(QMessageBox::StandardButton(answer), &asked, &text);
  QTest::keyClick(List(), Qt::Key_Delete);
  QVERIFY(asked);
  QVERIFY(text.contains("Delete Measurements"));
  QCOMPARE(window->Document()->Count(), remaining);
  QCOMPARE(window->Document()->At(0)->Name(), QString("BallBar 1"));
}

void TOrthavelKeyboardTest::view_shortcuts_data()
{
  QTest::addColumn<QString>("button");
  QTest::addColumn<QKeySequence>("keys");
  QTest::addColumn<QString>("tip");
  QTest::newRow("fit") << "scale_to_fit_button" << QKeySequence("F") << "Scale to Fit (F)";
  QTest::newRow("xy") << "proj_xy_button" << QKeySequence("Ctrl+1") << "Set XY View (Ctrl+1)";
  QTest::newRow("yz") << "proj_yz_button" << QKeySequence("Ctrl+2") << "Set YZ View (Ctrl+2)";
  QTest::newRow("zx") << "proj_zx_button" << QKeySequence("Ctrl+3") << "Set ZX View (Ctrl+3)";
  QTest::newRow("iso") << "proj_iso_button" << QKeySequence("Ctrl+4") << "Set ISO View (Ctrl+4)";
}

void TOrthavelKeyboardTest::view_shortcuts()
{
  QFETCH(QString, button);
  QFETCH(QKeySequence, keys);
  QFETCH(QString, tip);
  QToolButton* tool = Member<QToolButton>(window, qPrintable(button));
  QCOMPARE(tool->toolTip(), tip);
  QSignalSpy clicked(tool, &QToolButton::clicked);
  View()->setFocus();
  QTest::keySequence(window, keys);
  QCOMPARE(clicked.count(), 1);
}

void TOrthavelKeyboardTest::typing_f_in_a_field_is_text()
{
  Member<QAction>(window, "action_add_ballbar")->trigger();
  QSignalSpy clicked(Member<QToolButton>(window, "scale_to_fit_button"), &QToolButton::clicked);
  QLineEdit* name = Field("name_edit");
  name->setFocus();
  name->selectAll();
  QTest::keyClicks(name, "Far");
  QCOMPARE(name->text(), QString("Far"));
  QCOMPARE(clicked.count(), 0);
}

// The next bar starts at the centre of the scene's box, along the direction
// entered last.
void TOrthavelKeyboardTest::new_records_start_where_the_last_one_went()
{
  Add_Ballbar("1", "0", "0");
  Type_Into(window, "position_x_edit", "100");
  QTest::keyClick(Field("position_x_edit"), Qt::Key_Return);
  Member<QAction>(window, "action_add_length")->trigger();
  const TMeasurement* record = window->Document()->At(1);
  QCOMPARE(record->Axis().x, 1.0);
  QCOMPARE(record->Axis().y, 0.0);
  // The first bar runs from x = -400 to 600: its box's centre is (100, 0, 0).
  QCOMPARE(record->Position().x, 100.0);
  QCOMPARE(record->Position().y, 0.0);
  QCOMPARE(record->Position().z, 0.0);
  QCOMPARE(record->Actual_Length(), 1000.0);
}

// Two hand-entered ball bars of 999.9 and 1000.1 along the XY face diagonals:
// the fit estimates the bar at their mean, and a new ball bar takes it.
void TOrthavelKeyboardTest::new_ballbar_takes_the_set_length()
{
  Add_Ballbar("1", "1", "0");
  Type_Into(window, "actual_length_edit", "999.9");
  QTest::keyClick(Field("actual_length_edit"), Qt::Key_Return);
  Add_Ballbar("1", "-1", "0");
  Type_Into(window, "actual_length_edit", "1000.3");
  QTest::keyClick(Field("actual_length_edit"), Qt::Key_Return);
  TCalculateSquare* solver = Solver_Of(window);
  QTRY_VERIFY_WITH_TIMEOUT(solver->Result().serial == solver->Data_Serial() &&
                             qAbs(window->Document()->At(0)->Nominal_Length() - 1000.1) < 1e-3,
                           20000);
  Member<QAction>(window, "action_add_ballbar")->trigger();
  const TMeasurement* record = window->Document()->At(2);
  QCOMPARE(record->Nominal_Length(), window->Document()->At(1)->Nominal_Length());
  QCOMPARE(record->Actual_Length(), record->Nominal_Length());
  QCOMPARE(record->Axis().x, window->Document()->At(1)->Axis().x);
  QCOMPARE(record->Axis().y, window->Document()->At(1)->Axis().y);
}

// The widget pixel of a record's midpoint, with the view fitted and painted.
QPoint TOrthavelKeyboardTest::Midpoint_Of(int row) const
{
  View()->repaint();
  return View()->Translate_To_Window(window->Document()->At(row)->Position());
}

void TOrthavelKeyboardTest::click_picks_the_nearest_measurement_data()
{
  QTest::addColumn<int>("view");  // 0 XY, 1 ISO
  QTest::newRow("xy") << 0;
  QTest::newRow("iso") << 1;
}

// Two bars along X at y = 0 and y = 300. A click at the midpoint of each
// selects it alone; a click in the empty corner keeps the selection.
void TOrthavelKeyboardTest::click_picks_the_nearest_measurement()
{
  QFETCH(int, view);
  Add_Ballbar("1", "0", "0");
  Add_Ballbar("1", "0", "0");
  Type_Into(window, "position_y_edit", "300");
  QTest::keyClick(Field("position_y_edit"), Qt::Key_Return);
  QTest::keySequence(window, QKeySequence(view == 0 ? "Ctrl+1" : "Ctrl+4"));

  for(int row : {0, 1, 0})
  {
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, Midpoint_Of(row));
    QCOMPARE(List()->selectedItems().size(), 1);
    QCOMPARE(List()->currentRow(), row);
    QCOMPARE(Text_Of(window, "name_edit"), window->Document()->At(row)->Name());
  }
  QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
  QCOMPARE(List()->selectedItems().size(), 1);
  QCOMPARE(List()->currentRow(), 0);
}

void TOrthavelKeyboardTest::picking_waits_for_unapplied_changes()
{
  Add_Ballbar("1", "0", "0");
  Add_Ballbar("0", "1", "0");
  QTest::keySequence(window, QKeySequence("Ctrl+1"));
  Type_Into(window, "name_edit", "Typed");
  QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, Midpoint_Of(0) + QPoint(View()->width() / 4, 0));
  QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, Midpoint_Of(0) + QPoint(0, 2));
  QCOMPARE(List()->currentRow(), 1);
  QCOMPARE(Text_Of(window, "name_edit"), QString("Typed"));
}

QTEST_MAIN(TOrthavelKeyboardTest)
#include "test_orthavel_keyboard.moc"
