// The undo history through the window: each kind of change undone and redone
// gives back the records bit for bit and the fit's results; saving marks the
// clean step; New and Open start a new history. Also the records of the Add
// Diagonal Set dialog and Duplicate, which are single undo steps.
#include <QtTest>

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QRadioButton>
#include <QToolButton>
#include <QUndoStack>
#include <cmath>
#include <cstring>

#include "diagonaldialog.h"
#include "edithistory.h"
#include "measurement.h"
#include "simulated_machine.h"
#include "window_helpers.h"
#include "windowtest.h"

namespace
{
QString Measurement_Element(const QString& name, const TVector3& direction, double length, const QString& extra)
{
  TVector3 axis = direction;
  axis.Normal();
  return QString("<Measurement><Name>%1</Name>%2<Position>10.5,-20.25,30</Position><Axis>%3,%4,%5</Axis>"
                 "<Actual_Length>%6</Actual_Length></Measurement>\n")
    .arg(name, extra)
    .arg(axis.x, 0, 'f', 12)
    .arg(axis.y, 0, 'f', 12)
    .arg(axis.z, 0, 'f', 12)
    .arg(Reported_Length(axis, length), 0, 'f', 6);
}

// Four ball bars along the body diagonals and two length records along the
// XY face diagonals of the simulated machine.
QString Simulated_Project()
{
  QString ballbars, lengths;
  const TVector3 diagonals[4] = {TVector3(1, 1, 1), TVector3(-1, 1, 1), TVector3(-1, -1, 1), TVector3(1, -1, 1)};
  for(int i = 0; i < 4; ++i)
    ballbars += Measurement_Element(QString("Diagonal %1").arg(i + 1), diagonals[i], 1000.0, QString());
  const TVector3 faces[2] = {TVector3(1, 1, 0), TVector3(1, -1, 0)};
  for(int i = 0; i < 2; ++i)
    lengths += Measurement_Element(QString("Face %1").arg(i + 1), faces[i], 800.0,
                                   "<Nominal_Length>800</Nominal_Length><Draw_Offset>2.5</Draw_Offset>");
  return QString("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Orthavel File_Version=\"1\">\n<BallBar>\n%1</BallBar>\n"
                 "<Length>\n%2</Length>\n</Orthavel>\n")
    .arg(ballbars, lengths);
}

QString Bits(double value)
{
  quint64 bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return QString::number(bits, 16);
}

// Every value of every record, exactly: a difference in the last bit shows.
QStringList Record_Bits(const TMeasurementSet* document)
{
  QStringList lines;
  for(const TMeasurement* record : document->Records())
  {
    QStringList fields{QString::number(int(record->Type())), record->Name()};
    for(double value : {record->Position().x, record->Position().y, record->Position().z, record->Axis().x,
                        record->Axis().y, record->Axis().z, record->Nominal_Length(), record->Actual_Length(),
                        record->Draw_Offset()})
      fields << Bits(value);
    lines << fields.join(' ');
  }
  return lines;
}

QStringList Result_Bits(const TFitResult& result)
{
  return {Bits(result.xy_error),       Bits(result.yz_error),
          Bits(result.zx_error),       QString("%1%2%3").arg(result.valid.xy).arg(result.valid.yz).arg(result.valid.zx),
          Bits(result.ballbar_length), QString::number(result.ballbar_count)};
}
}

class TOrthavelUndoTest : public TWindowTest
{
  Q_OBJECT

private slots:
  void init();
  void each_change_undoes_and_redoes_data();
  void each_change_undoes_and_redoes();
  void save_marks_the_clean_step();
  void new_and_open_start_a_new_history_data();
  void new_and_open_start_a_new_history();
  void diagonal_set_data();
  void diagonal_set();
  void diagonal_set_defaults_to_the_scene_box();
  void duplicate_follows_its_original();

private:
  void Load_Simulated_Machine();
  // Waits until the fit of the set as it stands has been announced.
  void Settle();
  void Select_Rows(const std::vector<int>& rows);
  void Make_Change(const QString& change);
  QUndoStack* Stack() const { return window->History()->Stack(); }

  quint64 announced_serial = 0;
  std::unique_ptr<TBoxRecorder> boxes;
};

void TOrthavelUndoTest::init()
{
  TWindowTest::init();
  announced_serial = 0;
  TCalculateSquare* solver = Solver_Of(window);
  // Emitted in this thread, after the estimate was written into the records.
  connect(solver, &TCalculateSquare::Squareness_Updated, window,
          [this, solver] { announced_serial = solver->Result().serial; });
  boxes = std::make_unique<TBoxRecorder>();
}

void TOrthavelUndoTest::Settle()
{
  TCalculateSquare* solver = Solver_Of(window);
  QTRY_VERIFY_WITH_TIMEOUT(announced_serial == solver->Data_Serial(), 20000);
}

void TOrthavelUndoTest::Load_Simulated_Machine()
{
  QVERIFY(window->Load_Data(Write_File("machine.square", Simulated_Project())));
  Settle();
  QCOMPARE(Text_Of(window, "xy_squareness_label"), QString("0.1000"));
}

void TOrthavelUndoTest::Select_Rows(const std::vector<int>& rows)
{
  QListWidget* list = Member<QListWidget>(window, "measurement_list");
  list->clearSelection();
  for(int row : rows)
    list->item(row)->setSelected(true);
}

void TOrthavelUndoTest::Make_Change(const QString& change)
{
  if(change == "apply")
  {
    Select_Rows({1});
    Type_Into(window, "actual_length_edit", "1000.5");
    Type_Into(window, "direction_k_edit", "0.9");
    Member<QToolButton>(window, "apply_button")->click();
  }
  else if(change == "edit axis points")
  {
    Select_Rows({4});
    When_Shown<QDialog>([](QDialog* dialog) {
      const char* names[] = {"start_x_edit", "start_y_edit", "start_z_edit", "end_x_edit", "end_y_edit", "end_z_edit"};
      const char* values[] = {"-320", "-240", "0", "320", "240", "0"};  // 800 mm apart: no question
      for(int i = 0; i < 6; ++i)
        dialog->findChild<QLineEdit*>(names[i])->setText(values[i]);
      dialog->accept();
    });
    Member<QToolButton>(window, "edit_points_button")->click();
  }
  else if(change == "add")
  {
    Member<QAction>(window, "action_add_ballbar")->trigger();
  }
  else if(change == "remove")
  {
    Select_Rows({0, 2, 3, 5});
    Member<QToolButton>(window, "remove_measurement_button")->click();
  }
  else if(change == "import")
  {
    QVERIFY(window->Import_Data(Data_File("ballbar_v1.txt")));
  }
  else if(change == "diagonal set")
  {
    When_Shown<TDiagonalDialog>([](TDiagonalDialog* dialog) {
      dialog->findChild<QCheckBox*>("face_check")->setChecked(true);
      dialog->accept();
    });
    Member<QAction>(window, "action_add_diagonal_set")->trigger();
  }
  else if(change == "duplicate")
  {
    Select_Rows({2});
    Member<QAction>(window, "action_duplicate")->trigger();
  }
  else if(change == "settings")
  {
    TProjectSettings settings = window->Document()->Settings();
    settings.uncertainty.ball_bar.constant_um = 3.5;
    window->History()->Push_Settings("Change Project Settings", settings);
  }
}

void TOrthavelUndoTest::each_change_undoes_and_redoes_data()
{
  QTest::addColumn<QString>("change");
  QTest::addColumn<QString>("undo_text");
  QTest::newRow("apply") << "apply" << "Undo Apply Diagonal 2";
  QTest::newRow("edit axis points") << "edit axis points" << "Undo Edit Axis Points Face 1";
  QTest::newRow("add") << "add" << "Undo Add BallBar 5";
  QTest::newRow("remove") << "remove" << "Undo Delete 4 Measurements";
  QTest::newRow("import") << "import" << "Undo Import ballbar_v1.txt";
  QTest::newRow("diagonal set") << "diagonal set" << "Undo Add Diagonal Set";
  QTest::newRow("duplicate") << "duplicate" << "Undo Duplicate Diagonal 3";
  QTest::newRow("settings") << "settings" << "Undo Change Project Settings";
}

void TOrthavelUndoTest::each_change_undoes_and_redoes()
{
  QFETCH(QString, change);
  QFETCH(QString, undo_text);
  Load_Simulated_Machine();
  const QStringList records_before = Record_Bits(window->Document());
  const QStringList results_before = Result_Bits(Solver_Of(window)->Result());
  const TProjectSettings settings_before = window->Document()->Settings();
  QAction* undo = Member<QAction>(window, "action_undo");
  QAction* redo = Member<QAction>(window, "action_redo");
  QVERIFY(!undo->isEnabled());

  Make_Change(change);
  Settle();
  QCOMPARE(Stack()->count(), 1);
  QCOMPARE(undo->text(), undo_text);
  QVERIFY(undo->isEnabled());
  QVERIFY(window->Document()->Is_Modified());
  QVERIFY(window->isWindowModified());
  const QStringList records_after = Record_Bits(window->Document());
  const TProjectSettings settings_after = window->Document()->Settings();
  QVERIFY(records_after != records_before || settings_after != settings_before);

  undo->trigger();
  Settle();
  QCOMPARE(Record_Bits(window->Document()), records_before);
  QCOMPARE(Result_Bits(Solver_Of(window)->Result()), results_before);
  QVERIFY(window->Document()->Settings() == settings_before);
  QCOMPARE(Text_Of(window, "xy_squareness_label"), QString("0.1000"));
  QVERIFY(!window->Document()->Is_Modified());
  QVERIFY(!window->isWindowModified());
  QCOMPARE(Member<QListWidget>(window, "measurement_list")->count(), records_before.size());

  QVERIFY(redo->isEnabled());
  redo->trigger();
  Settle();
  QCOMPARE(Record_Bits(window->Document()), records_after);
  QVERIFY(window->Document()->Settings() == settings_after);
  QVERIFY(window->Document()->Is_Modified());
}

void TOrthavelUndoTest::save_marks_the_clean_step()
{
  Load_Simulated_Machine();
  Member<QAction>(window, "action_add_length")->trigger();
  QVERIFY(window->Document()->Is_Modified());
  Member<QAction>(window, "action_save")->trigger();  // the project's own file: no dialog
  QVERIFY(!window->Document()->Is_Modified());
  QVERIFY(Stack()->isClean());

  Member<QAction>(window, "action_undo")->trigger();
  QVERIFY(window->Document()->Is_Modified());
  QVERIFY(window->isWindowModified());
  Member<QAction>(window, "action_redo")->trigger();
  QVERIFY(!window->Document()->Is_Modified());
  QVERIFY(!window->isWindowModified());
}

void TOrthavelUndoTest::new_and_open_start_a_new_history_data()
{
  QTest::addColumn<bool>("open");
  QTest::newRow("new") << false;
  QTest::newRow("open") << true;
}

void TOrthavelUndoTest::new_and_open_start_a_new_history()
{
  QFETCH(bool, open);
  const QString path = Write_File("other.square", Simulated_Project());
  Member<QAction>(window, "action_add_ballbar")->trigger();
  Member<QAction>(window, "action_add_ballbar")->trigger();
  QCOMPARE(Stack()->count(), 2);

  Answer_Message_Box(QMessageBox::No);  // "Data Not Saved"
  if(open)
    window->Open_File(path);
  else
    Member<QAction>(window, "action_new")->trigger();
  QCOMPARE(Stack()->count(), 0);
  QVERIFY(!Member<QAction>(window, "action_undo")->isEnabled());
  QVERIFY(!window->Document()->Is_Modified());
  QCOMPARE(window->Document()->Count(), open ? 6 : 0);
}

void TOrthavelUndoTest::diagonal_set_data()
{
  QTest::addColumn<bool>("ball_bars");
  QTest::newRow("ball bars") << true;
  QTest::newRow("length records") << false;
}

// A 1000 x 800 x 600 box centred at (100, 200, 300).
void TOrthavelUndoTest::diagonal_set()
{
  QFETCH(bool, ball_bars);
  Member<QAction>(window, "action_add_length")->trigger();
  bool shown = false;
  When_Shown<TDiagonalDialog>(
    [ball_bars](TDiagonalDialog* dialog) {
      const char* names[] = {"size_x_spin", "size_y_spin", "size_z_spin", "centre_x_spin", "centre_y_spin",
                             "centre_z_spin"};
      const double values[] = {1000, 800, 600, 100, 200, 300};
      for(int i = 0; i < 6; ++i)
        dialog->findChild<QDoubleSpinBox*>(names[i])->setValue(values[i]);
      dialog->findChild<QCheckBox*>("body_check")->setChecked(true);
      dialog->findChild<QCheckBox*>("face_check")->setChecked(true);
      dialog->findChild<QRadioButton*>(ball_bars ? "ballbar_radio" : "length_radio")->setChecked(true);
      dialog->findChild<QDoubleSpinBox*>("ballbar_length_spin")->setValue(750.25);
      dialog->accept();
    },
    &shown);
  Member<QAction>(window, "action_add_diagonal_set")->trigger();
  QVERIFY(shown);

  const struct
  {
    const char* name;
    double x, y, z;  // the diagonal's span in the box, mm
  } expected[] = {{"Body +X+Y+Z", 1000, 800, 600}, {"Body +X-Y+Z", 1000, -800, 600}, {"Body +X+Y-Z", 1000, 800, -600},
                  {"Body +X-Y-Z", 1000, -800, -600}, {"Face XY +X+Y", 1000, 800, 0}, {"Face XY +X-Y", 1000, -800, 0},
                  {"Face YZ +Y+Z", 0, 800, 600},     {"Face YZ +Y-Z", 0, 800, -600}, {"Face ZX +Z+X", 1000, 0, 600},
                  {"Face ZX +Z-X", -1000, 0, 600}};
  const std::vector<TMeasurement*> records = window->Document()->Records();
  QCOMPARE(records.size(), size_t(11));
  for(int i = 0; i < 10; ++i)
  {
    const TMeasurement* record = records[size_t(i) + 1];
    const auto& diagonal = expected[i];
    const double length = std::sqrt(diagonal.x * diagonal.x + diagonal.y * diagonal.y + diagonal.z * diagonal.z);
    QCOMPARE(record->Name(), QString(diagonal.name));
    QCOMPARE(int(record->Type()), ball_bars ? 0 : 1);
    QVERIFY(qAbs(record->Axis().x - diagonal.x / length) < 1e-15);
    QVERIFY(qAbs(record->Axis().y - diagonal.y / length) < 1e-15);
    QVERIFY(qAbs(record->Axis().z - diagonal.z / length) < 1e-15);
    QCOMPARE(record->Position().x, 100.0);
    QCOMPARE(record->Position().y, 200.0);
    QCOMPARE(record->Position().z, 300.0);
    const double expected_length = ball_bars ? 750.25 : length;
    QVERIFY(qAbs(record->Actual_Length() - expected_length) < 1e-9);
    if(!ball_bars)
      QVERIFY(qAbs(record->Nominal_Length() - length) < 1e-9);
  }
  // Body diagonals of 1000 x 800 x 600: sqrt(2000000); face XY: sqrt(1640000).
  if(!ball_bars)
  {
    QVERIFY(qAbs(records[1]->Nominal_Length() - 1414.2135623730951) < 1e-9);
    QVERIFY(qAbs(records[5]->Nominal_Length() - 1280.6248474865697) < 1e-9);
  }
  QCOMPARE(Member<QListWidget>(window, "measurement_list")->currentRow(), 1);

  // One undo step takes all ten away.
  Member<QAction>(window, "action_undo")->trigger();
  QCOMPARE(window->Document()->Count(), 1);
}

void TOrthavelUndoTest::diagonal_set_defaults_to_the_scene_box()
{
  Load_Simulated_Machine();
  const TSceneBox box = TSceneBuilder::Scene_Box(window->Document()->Records());
  double values[7] = {};
  When_Shown<TDiagonalDialog>([&values](TDiagonalDialog* dialog) {
    const char* names[] = {"size_x_spin",   "size_y_spin",   "size_z_spin",        "centre_x_spin",
                           "centre_y_spin", "centre_z_spin", "ballbar_length_spin"};
    for(int i = 0; i < 7; ++i)
      values[i] = dialog->findChild<QDoubleSpinBox*>(names[i])->value();
    dialog->reject();
  });
  Member<QAction>(window, "action_add_diagonal_set")->trigger();
  const TVector3 size = box.maximum - box.minimum;
  const TVector3 centre = box.Centre();
  const double expected[7] = {size.x, size.y, size.z, centre.x, centre.y, centre.z,
                              Solver_Of(window)->Result().ballbar_length};
  for(int i = 0; i < 7; ++i)
    QVERIFY2(qAbs(values[i] - expected[i]) < 0.0005, qPrintable(QString("field %1: %2").arg(i).arg(values[i])));
  QCOMPARE(window->Document()->Count(), 6);
  QCOMPARE(Stack()->count(), 0);
}

void TOrthavelUndoTest::duplicate_follows_its_original()
{
  Load_Simulated_Machine();
  Select_Rows({4});
  Member<QAction>(window, "action_duplicate")->trigger();
  Select_Rows({4});
  Member<QAction>(window, "action_duplicate")->trigger();
  const std::vector<TMeasurement*> records = window->Document()->Records();
  QCOMPARE(records.size(), size_t(8));
  QCOMPARE(records[5]->Name(), QString("Face 1 copy 2"));
  QCOMPARE(records[6]->Name(), QString("Face 1 copy"));
  for(const TMeasurement* copy : {records[5], records[6]})
  {
    QCOMPARE(int(copy->Type()), int(records[4]->Type()));
    QCOMPARE(copy->Position().x, records[4]->Position().x);
    QCOMPARE(copy->Position().z, records[4]->Position().z);
    QCOMPARE(copy->Axis().x, records[4]->Axis().x);
    QCOMPARE(copy->Axis().y, records[4]->Axis().y);
    QCOMPARE(copy->Actual_Length(), records[4]->Actual_Length());
    QCOMPARE(copy->Nominal_Length(), records[4]->Nominal_Length());
    QCOMPARE(copy->Draw_Offset(), 2.5);
  }
  QCOMPARE(Member<QListWidget>(window, "measurement_list")->currentRow(), 5);
  QCOMPARE(Stack()->count(), 2);
}

QTEST_MAIN(TOrthavelUndoTest)
#include "test_orthavel_undo.moc"
