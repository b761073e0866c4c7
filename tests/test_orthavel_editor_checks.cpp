// The measurement editor takes nothing silently: Apply writes only the fields
// the user changed, refuses text that is not a number and a zero direction,
// asks when new axis points disagree with the length, and names a record the
// fit must leave out.
#include <QtTest>

#include <QAction>
#include <QLabel>
#include <QToolButton>

#include "measurement.h"
#include "pointdialog.h"
#include "window_helpers.h"
#include "windowtest.h"

class TOrthavelEditorChecksTest : public TWindowTest
{
  Q_OBJECT

private slots:
  void untouched_fields_keep_full_values();
  void bad_numbers_hold_apply_data();
  void bad_numbers_hold_apply();
  void zero_direction_is_refused();
  void points_far_from_length_ask_data();
  void points_far_from_length_ask();
  void length_not_positive_is_left_out_and_named();

private:
  const TMeasurement* Record() const { return window->Document()->Records().front(); }
  void Apply() { Member<QToolButton>(window, "apply_button")->click(); }
  QString Message() const { return Member<QLabel>(window, "editor_message_label")->text(); }
};

// A stored 700.022961 mm survives a change of the name, and a direction with
// more decimals than the fields show survives a change of the length.
void TOrthavelEditorChecksTest::untouched_fields_keep_full_values()
{
  const QString project = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Orthavel File_Version=\"1\"><BallBar/><Length>"
                          "<Measurement><Nominal_Length>700.0</Nominal_Length><Draw_Offset>1.0</Draw_Offset>"
                          "<Name>L</Name><Position>1.2345678,2,3</Position><Axis>1,2,3</Axis>"
                          "<Actual_Length>700.022961</Actual_Length></Measurement></Length></Orthavel>\n";
  QVERIFY(window->Load_Data(Write_File("precise.square", project)));
  Member<QListWidget>(window, "measurement_list")->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
  const TVector3 axis = Record()->Axis();
  QCOMPARE(Text_Of(window, "actual_length_edit"), QString("700.0230"));

  Type_Into(window, "name_edit", "Renamed");
  Apply();
  QCOMPARE(Record()->Name(), QString("Renamed"));
  QCOMPARE(Record()->Actual_Length(), 700.022961);
  QCOMPARE(Record()->Position().x, 1.2345678);
  QVERIFY(Record()->Axis().x == axis.x && Record()->Axis().y == axis.y && Record()->Axis().z == axis.z);

  Type_Into(window, "actual_length_edit", "700.5");
  Apply();
  QCOMPARE(Record()->Actual_Length(), 700.5);
  QVERIFY(Record()->Axis().x == axis.x && Record()->Axis().y == axis.y && Record()->Axis().z == axis.z);
  QCOMPARE(Record()->Nominal_Length(), 700.0);
}

void TOrthavelEditorChecksTest::bad_numbers_hold_apply_data()
{
  QTest::addColumn<QString>("field");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("label");
  QTest::newRow("letters") << "actual_length_edit" << "abc" << "Actual Length";
  QTest::newRow("decimal comma") << "actual_length_edit" << "1000,5" << "Actual Length";
  QTest::newRow("empty") << "position_y_edit" << "" << "Position Y";
  QTest::newRow("not a number") << "nominal_length_edit" << "nan" << "Nominal Length";
  QTest::newRow("overflow") << "direction_j_edit" << "1e309" << "Direction J";
}

// The field is marked and named, Apply stays disabled and the record stays
// as it was until the text is corrected.
void TOrthavelEditorChecksTest::bad_numbers_hold_apply()
{
  QFETCH(QString, field);
  QFETCH(QString, text);
  QFETCH(QString, label);
  Member<QAction>(window, "action_add_length")->trigger();
  Type_Into(window, qPrintable(field), text);
  if(text.isEmpty())
    QTest::keyClick(Member<QLineEdit>(window, qPrintable(field)), Qt::Key_Backspace);
  QLineEdit* edit = Member<QLineEdit>(window, qPrintable(field));
  QVERIFY(!Member<QToolButton>(window, "apply_button")->isEnabled());
  QVERIFY2(Message().contains("Not a number") && Message().contains(label), qPrintable(Message()));
  QCOMPARE(edit->toolTip(), QString("Not a number"));
  Apply();
  QCOMPARE(Record()->Actual_Length(), 1000.0);
  QCOMPARE(Record()->Nominal_Length(), 1000.0);

  Type_Into(window, qPrintable(field), "0.5");
  QVERIFY(Member<QToolButton>(window, "apply_button")->isEnabled());
  QVERIFY(Message().isEmpty());
  QVERIFY(edit->toolTip().isEmpty());
}

void TOrthavelEditorChecksTest::zero_direction_is_refused()
{
  Member<QAction>(window, "action_add_ballbar")->trigger();
  const TVector3 axis = Record()->Axis();
  for(const char* name : {"direction_i_edit", "direction_j_edit", "direction_k_edit"})
    Type_Into(window, name, "0");
  QVERIFY(!Member<QToolButton>(window, "apply_button")->isEnabled());
  QVERIFY2(Message().contains("The direction cannot be zero"), qPrintable(Message()));
  Apply();
  QCOMPARE(Record()->Axis().x, axis.x);
  Type_Into(window, "direction_k_edit", "1");
  Apply();
  QCOMPARE(Record()->Axis().z, 1.0);
}

void TOrthavelEditorChecksTest::points_far_from_length_ask_data()
{
  QTest::addColumn<QString>("end_x");
  QTest::addColumn<int>("answer");
  QTest::addColumn<bool>("asked");
  QTest::addColumn<double>("actual");
  QTest::newRow("take the distance") << "800" << int(QMessageBox::Yes) << true << 800.0;
  QTest::newRow("keep the length") << "800" << int(QMessageBox::No) << true << 1000.0;
  QTest::newRow("within a millimetre") << "1000.9" << int(QMessageBox::Yes) << false << 1000.0;
}

void TOrthavelEditorChecksTest::points_far_from_length_ask()
{
  QFETCH(QString, end_x);
  QFETCH(int, answer);
  QFETCH(bool, asked);
  QFETCH(double, actual);
  Member<QAction>(window, "action_add_ballbar")->trigger();
  When_Shown<TPointDialog>([&](TPointDialog* dialog) {
    for(const char* name : {"start_x_edit", "start_y_edit", "start_z_edit", "end_y_edit", "end_z_edit"})
      dialog->findChild<QLineEdit*>(name)->setText("0");
    dialog->findChild<QLineEdit*>("end_x_edit")->setText(end_x);
    dialog->accept();
  });
  QString informative;
  TDialogAnswerer<QMessageBox> questions([&](QMessageBox* box) {
    informative = box->informativeText();
    box->button(QMessageBox::StandardButton(answer))->click();
  });
  Member<QToolButton>(window, "edit_points_button")->click();
  QCOMPARE(questions.count, asked ? 1 : 0);
  if(asked)
    QVERIFY2(informative.contains("The new points are 800.0000 mm apart, but the actual length of BallBar 1 is "
                                  "1000.0000 mm."),
             qPrintable(informative));
  QCOMPARE(Record()->Actual_Length(), actual);
  QCOMPARE(Record()->Axis().x, 1.0);
  if(asked)
    QCOMPARE(Text_Of(window, "actual_length_edit"), QString("%1").arg(actual, 0, 'f', 4));
}

// Entered by hand, a length of 0 is taken, but the record is marked in the
// list, named in a warning and in the results, and left out of the fit.
void TOrthavelEditorChecksTest::length_not_positive_is_left_out_and_named()
{
  Member<QAction>(window, "action_add_ballbar")->trigger();
  Type_Into(window, "actual_length_edit", "0");
  TBoxRecorder boxes;
  Apply();
  QCOMPARE(Record()->Actual_Length(), 0.0);
  QCOMPARE(boxes.texts.size(), 1);
  QVERIFY2(boxes.texts.front().contains("Left out of the fit until corrected: BallBar 1 (length not positive)"),
           qPrintable(boxes.texts.front()));
  QListWidgetItem* item = Member<QListWidget>(window, "measurement_list")->item(0);
  QCOMPARE(item->text(), QString("BallBar 1"));
  QVERIFY(!item->icon().isNull());
  QCOMPARE(item->toolTip(), QString("Left out of the fit: length not positive"));
  QLabel* left_out = Member<QLabel>(window, "left_out_label");
  QVERIFY(left_out->isVisible());
  QVERIFY(left_out->text().endsWith("BallBar 1"));
  // The fit of the empty remainder shows no results.
  QTRY_COMPARE_WITH_TIMEOUT(Text_Of(window, "initial_min_length_label"), QString("----"), 20000);
}

QTEST_MAIN(TOrthavelEditorChecksTest)
#include "test_orthavel_editor_checks.moc"
