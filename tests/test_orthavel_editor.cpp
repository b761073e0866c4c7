// Editing measurements by hand through the list, the editor and the axis points dialog.
#include <QtTest>

#include <QAction>
#include <QLabel>
#include <QToolButton>

#include "measurementeditor.h"
#include "measurementlist.h"

#include "measurement.h"
#include "measurementset.h"
#include "window_helpers.h"
#include "windowtest.h"

class TOrthavelEditorTest : public TWindowTest
{
  Q_OBJECT

private slots:
  void first_ballbar_and_length_data();
  void first_ballbar_and_length();
  void names_repeat_after_deletion();
  void delete_asks_with_unsaved_changes_data();
  void delete_asks_with_unsaved_changes();
  void delete_right_after_load_does_not_ask();
  void two_rows_selected_empty_the_editor();
  void nominal_field_read_only_for_ballbar();
  void apply_data();
  void apply();
  void reset_discards_typing();
  void blank_names_are_never_kept();
  void points_dialog_data();
  void points_dialog();
  void hand_entered_ballbars_give_xy();
  void large_import_fills_the_list_in_slices();

private:
  void Add(const char* action_name);
  void Select_Row(int row);
};

void TOrthavelEditorTest::Add(const char* action_name)
{
  Member<QAction>(window, action_name)->trigger();
}

void TOrthavelEditorTest::Select_Row(int row)
{
  QListWidget* list = Member<QListWidget>(window, "measurement_list");
  list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

void TOrthavelEditorTest::first_ballbar_and_length_data()
{
  QTest::addColumn<QString>("action");
  QTest::addColumn<QString>("name");
  QTest::addColumn<int>("type");
  QTest::newRow("ball bar") << "action_add_ballbar" << "BallBar 1" << 0;
  QTest::newRow("length") << "action_add_length" << "Length 1" << 1;
}

void TOrthavelEditorTest::first_ballbar_and_length()
{
  QFETCH(QString, action);
  QFETCH(QString, name);
  QFETCH(int, type);
  Add(qPrintable(action));

  QCOMPARE(window->Document()->Records().size(), size_t(1));
  const TMeasurement* record = window->Document()->Records().front();
  QCOMPARE(int(record->Type()), type);
  QCOMPARE(record->Name(), name);
  QCOMPARE(record->Nominal_Length(), 1000.0);
  QCOMPARE(record->Actual_Length(), 1000.0);
  QCOMPARE(record->Position().x, 0.0);  // centre of the empty scene box
  QCOMPARE(record->Position().y, 0.0);
  QCOMPARE(record->Position().z, 0.0);
  QVERIFY(qAbs(record->Axis().x - 1.0 / std::sqrt(3.0)) < 1e-15);
  QVERIFY(qAbs(record->Axis().y + 1.0 / std::sqrt(3.0)) < 1e-15);
  QVERIFY(window->Document()->Is_Modified());

  QListWidget* list = Member<QListWidget>(window, "measurement_list");
  QCOMPARE(list->count(), 1);
  QCOMPARE(list->item(0)->text(), name);
  QVERIFY(list->item(0)->isSelected());
  QCOMPARE(Text_Of(window, "name_edit"), name);
  QCOMPARE(Text_Of(window, "actual_length_edit"), QString("1000.0000"));
  QCOMPARE(Text_Of(window, "position_x_edit"), QString("0.000"));
  QCOMPARE(Text_Of(window, "direction_i_edit"), QString("0.57735027"));
  QCOMPARE(Text_Of(window, "direction_j_edit"), QString("-0.57735027"));
  QVERIFY(Member<QWidget>(window, "editor_widget")->isEnabled());
  QVERIFY(Member<QWidget>(window, "remove_measurement_button")->isEnabled());
}

void TOrthavelEditorTest::names_repeat_after_deletion()
{
  Add("action_add_ballbar");
  Add("action_add_ballbar");
  Select_Row(0);
  Answer_Message_Box(QMessageBox::Yes);
  Member<QToolButton>(window, "remove_measurement_button")->click();
  QCOMPARE(window->Document()->Records().size(), size_t(1));
  Add("action_add_ballbar");
  QListWidget* list = Member<QListWidget>(window, "measurement_list");
  QCOMPARE(list->count(), 2);
  QCOMPARE(list->item(0)->text(), QString("BallBar 2"));
  QCOMPARE(list->item(1)->text(), QString("BallBar 2"));
  QCOMPARE(window->Document()->Records()[1]->Name(), QString("BallBar 2"));
}

void TOrthavelEditorTest::delete_asks_with_unsaved_changes_data()
{
  QTest::addColumn<int>("answer");
  QTest::addColumn<int>("remaining");
  QTest::newRow("yes deletes") << int(QMessageBox::Yes) << 1;
  QTest::newRow("no keeps everything") << int(QMessageBox::No) << 2;
}

void TOrthavelEditorTest::delete_asks_with_unsaved_changes()
{
  QFETCH(int, answer);
  QFETCH(int, remaining);
  Add("action_add_ballbar");
  Add("action_add_length");
  bool asked = false;
  QString text, informative;
  Answer_Message_Box(QMessageBox::StandardButton(answer), &asked, &text, &informative);
  Member<QToolButton>(window, "remove_measurement_button")->click();
  QVERIFY(asked);
  QVERIFY(text.contains("Delete Measurements"));
  QVERIFY(informative.contains("Do you want to delete the selected measurements?"));
  QCOMPARE(window->Document()->Records().size(), size_t(remaining));
  QCOMPARE(Member<QListWidget>(window, "measurement_list")->count(), remaining);
}

void TOrthavelEditorTest::delete_right_after_load_does_not_ask()
{
  Add("action_add_ballbar");
  Add("action_add_length");
  // Right after a load the set has no unsaved changes.
  const QString saved = directory.filePath("saved.square");
  QVERIFY(window->Save_Data(saved));
  QVERIFY(window->Load_Data(saved));
  QVERIFY(!window->Document()->Is_Modified());
  Select_Row(1);

  bool asked = true;
  Answer_Message_Box(QMessageBox::No, &asked);
  Member<QToolButton>(window, "remove_measurement_button")->click();
  QCOMPARE(window->Document()->Records().size(), size_t(1));
  QTest::qWait(50);
  QVERIFY(!asked);
  QVERIFY(window->Document()->Is_Modified());
}

void TOrthavelEditorTest::two_rows_selected_empty_the_editor()
{
  Add("action_add_ballbar");
  Add("action_add_length");
  QListWidget* list = Member<QListWidget>(window, "measurement_list");
  list->selectAll();
  QCOMPARE(list->selectedItems().size(), 2);
  QVERIFY(!Member<QWidget>(window, "editor_widget")->isEnabled());
  QVERIFY(Member<QWidget>(window, "remove_measurement_button")->isEnabled());
  for(const char* name : {"name_edit", "nominal_length_edit", "actual_length_edit", "position_y_edit", "direction_k_edit"})
    QVERIFY2(Text_Of(window, name).isEmpty(), name);

  list->clearSelection();
  QVERIFY(!Member<QWidget>(window, "remove_measurement_button")->isEnabled());
}

void TOrthavelEditorTest::nominal_field_read_only_for_ballbar()
{
  Add("action_add_ballbar");
  Add("action_add_length");
  Select_Row(0);
  QVERIFY(!Member<QLineEdit>(window, "nominal_length_edit")->isEnabled());
  Select_Row(1);
  QVERIFY(Member<QLineEdit>(window, "nominal_length_edit")->isEnabled());
}

void TOrthavelEditorTest::apply_data()
{
  QTest::addColumn<QString>("field");
  QTest::addColumn<QString>("text");
  QTest::addColumn<double>("actual");
  QTest::addColumn<QString>("i");
  QTest::addColumn<QString>("k");
  QTest::newRow("direction normalised") << "direction_k_edit" << "2" << 1000.0 << "0.00000000" << "1.00000000";
  QTest::newRow("length") << "actual_length_edit" << "999.5" << 999.5 << "0.57735027" << "0.57735027";
}

void TOrthavelEditorTest::apply()
{
  QFETCH(QString, field);
  QFETCH(QString, text);
  QFETCH(double, actual);
  QFETCH(QString, i);
  QFETCH(QString, k);
  Add("action_add_length");
  if(field == "direction_k_edit")
  {
    Type_Into(window, "direction_i_edit", "0");
    Type_Into(window, "direction_j_edit", "0");
  }
  Type_Into(window, qPrintable(field), text);
  Type_Into(window, "name_edit", "Renamed");
  QVERIFY(!Member<QWidget>(window, "measurement_list")->isEnabled());

  Member<QToolButton>(window, "apply_button")->click();
  const TMeasurement* record = window->Document()->Records().front();
  QCOMPARE(record->Actual_Length(), actual);
  QCOMPARE(record->Name(), QString("Renamed"));
  QCOMPARE(Member<QListWidget>(window, "measurement_list")->item(0)->text(), QString("Renamed"));
  QCOMPARE(Text_Of(window, "direction_i_edit"), i);
  QCOMPARE(Text_Of(window, "direction_k_edit"), k);
  QVERIFY(!Member<QWidget>(window, "apply_button")->isEnabled());
  QVERIFY(!Member<QWidget>(window, "reset_button")->isEnabled());
  QVERIFY(Member<QWidget>(window, "measurement_list")->isEnabled());
}

void TOrthavelEditorTest::reset_discards_typing()
{
  Add("action_add_length");
  QVERIFY(window->Save_Data(directory.filePath("reset.square")));
  Type_Into(window, "actual_length_edit", "12");
  Type_Into(window, "name_edit", "Other");
  Member<QToolButton>(window, "reset_button")->click();
  QCOMPARE(Text_Of(window, "actual_length_edit"), QString("1000.0000"));
  QCOMPARE(Text_Of(window, "name_edit"), QString("Length 1"));
  QCOMPARE(window->Document()->Records().front()->Actual_Length(), 1000.0);
  QVERIFY(!Member<QWidget>(window, "apply_button")->isEnabled());
  QVERIFY(Member<QWidget>(window, "measurement_list")->isEnabled());
}

void TOrthavelEditorTest::blank_names_are_never_kept()
{
  // A blank name would be saved as an empty element that no load accepts.
  Add("action_add_length");
  Type_Into(window, "name_edit", "   ");
  Member<QToolButton>(window, "apply_button")->click();
  QCOMPARE(window->Document()->Records().front()->Name(), QString("Length 1"));
  QCOMPARE(Text_Of(window, "name_edit"), QString("Length 1"));
  QCOMPARE(Member<QListWidget>(window, "measurement_list")->item(0)->text(), QString("Length 1"));

  // An imported record without a name gets one like a hand-made record.
  const QString import = directory.filePath("unnamed.dat");
  QFile file(import);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("BallBar_V1\n,0,0,0,0,300,0,0,0,0,0\n");
  file.close();
  QVERIFY(window->Import_Data(import));
  QCOMPARE(window->Document()->Records().back()->Name(), QString("BallBar 1"));

  const QString project = directory.filePath("named.square");
  QVERIFY(window->Save_Data(project));
  QVERIFY(window->Load_Data(project));
  QCOMPARE(window->Document()->Records().size(), size_t(2));
}

void TOrthavelEditorTest::points_dialog_data()
{
  QTest::addColumn<bool>("accept");
  QTest::addColumn<QString>("end_x");
  QTest::addColumn<bool>("changes");
  // Points 800 mm apart match the actual length of 800 mm: nothing to ask.
  QTest::newRow("accepted") << true << "800" << true;
  QTest::newRow("cancelled") << false << "800" << false;
  QTest::newRow("points too close") << true << "0.0000001" << false;
}

void TOrthavelEditorTest::points_dialog()
{
  QFETCH(bool, accept);
  QFETCH(QString, end_x);
  QFETCH(bool, changes);
  Add("action_add_ballbar");
  TMeasurement* record = window->Document()->Records().front();
  record->Set_Actual_Length(800.0);
  const TVector3 old_axis = record->Axis();

  bool shown = false;
  QString start_text;
  When_Shown<QDialog>(
    [&](QDialog* dialog) {
      start_text = dialog->findChild<QLineEdit*>("start_x_edit")->text();
      for(const char* name : {"start_x_edit", "start_y_edit", "start_z_edit", "end_y_edit", "end_z_edit"})
        dialog->findChild<QLineEdit*>(name)->setText("0");
      dialog->findChild<QLineEdit*>("end_x_edit")->setText(end_x);
      if(accept)
        dialog->accept();
      else
        dialog->reject();
    },
    &shown);
  Member<QToolButton>(window, "edit_points_button")->click();
  QVERIFY(shown);
  QCOMPARE(start_text, QString("-230.940"));  // 400 / sqrt(3), three decimals

  QCOMPARE(record->Actual_Length(), 800.0);
  QCOMPARE(record->Nominal_Length(), 1000.0);
  if(changes)
  {
    QCOMPARE(record->Axis().x, 1.0);
    QCOMPARE(record->Position().x, 400.0);
    QCOMPARE(Text_Of(window, "direction_i_edit"), QString("1.00000000"));
    QCOMPARE(Text_Of(window, "position_x_edit"), QString("400.000"));
  }
  else
  {
    QCOMPARE(record->Axis().x, old_axis.x);
    QCOMPARE(record->Position().x, 0.0);
  }
}

void TOrthavelEditorTest::hand_entered_ballbars_give_xy()
{
  const struct
  {
    const char* i;
    const char* j;
    const char* actual;
  } bars[] = {{"1", "1", "999.9"}, {"1", "-1", "1000.1"}};
  for(const auto& bar : bars)
  {
    Add("action_add_ballbar");
    Type_Into(window, "direction_i_edit", bar.i);
    Type_Into(window, "direction_j_edit", bar.j);
    Type_Into(window, "direction_k_edit", "0");
    Type_Into(window, "actual_length_edit", bar.actual);
    Member<QToolButton>(window, "apply_button")->click();
  }
  QTRY_COMPARE_WITH_TIMEOUT(Text_Of(window, "xy_squareness_label"), QString("0.2000"), 20000);
  QCOMPARE(Text_Of(window, "yz_squareness_label"), QString("----"));
  QCOMPARE(Text_Of(window, "zx_squareness_label"), QString("----"));
  // The selected ball bar shows the solver's estimate of the bar length.
  QTRY_COMPARE_WITH_TIMEOUT(Text_Of(window, "nominal_length_edit"), QString("1000.0000"), 5000);
  QVERIFY(qAbs(window->Document()->Default_Ballbar_Length() - 1000.0) < 1e-3);
}

// The rows of a large import enter the list a slice at a time while the
// window goes on; undoing it meanwhile leaves no row behind, and selecting a
// record whose row is still to come completes the list first and shows it.
void TOrthavelEditorTest::large_import_fills_the_list_in_slices()
{
  const int bars = 25001;
  QString text = "BallBar_V1\n";
  for(int i = 0; i < bars; ++i)
    text += QString("B%1,0,%2,0,0,%3,300,0,0,0,0\n").arg(i).arg(i % 500).arg(i % 500);
  const QString path = Write_File("many.dat", text);
  QListWidget* list = Member<QListWidget>(window, "measurement_list");
  const TMeasurementSet* document = window->Document();

  QVERIFY(window->Import_Data(path));
  QCOMPARE(document->Count(), bars);
  QVERIFY2(list->count() < bars, qPrintable(QString::number(list->count())));
  QCoreApplication::processEvents();
  Member<QAction>(window, "action_undo")->trigger();
  QCOMPARE(document->Count(), 0);
  QCOMPARE(list->count(), 0);
  QTest::qWait(50);
  QCOMPARE(list->count(), 0);
  // With no rows to come, the list is laid out whole again after a change.
  QCOMPARE(list->layoutMode(), QListView::SinglePass);

  Member<QAction>(window, "action_redo")->trigger();
  QVERIFY(list->count() < bars);
  QCoreApplication::processEvents();
  window->findChild<TMeasurementEditor*>()->Select_Row(bars - 1);
  QCOMPARE(list->count(), bars);
  QCOMPARE(list->currentRow(), bars - 1);
  QVERIFY(list->viewport()->rect().intersects(list->visualItemRect(list->item(bars - 1))));
  for(int row = 0; row < bars; row += 997)
  {
    QCOMPARE(TMeasurementList::Measurement_From_Item(list->item(row)), document->At(row));
    QCOMPARE(list->item(row)->text(), QString("B%1").arg(row));
  }

  Member<QAction>(window, "action_undo")->trigger();
  Member<QAction>(window, "action_redo")->trigger();
  QTRY_COMPARE(list->count(), bars);
  QCOMPARE(TMeasurementList::Measurement_From_Item(list->item(bars - 1)), document->At(bars - 1));
}

QTEST_MAIN(TOrthavelEditorTest)
#include "test_orthavel_editor.moc"
