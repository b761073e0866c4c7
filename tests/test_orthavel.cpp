// The main window as built: widgets, texts, menus, tool bar and start-up state.
#include <QtTest>

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "window_helpers.h"
#include "windowtest.h"

class TOrthavelTest : public TWindowTest
{
  Q_OBJECT

private slots:
  void start_up_state();
  void value_labels_data();
  void value_labels();
  void sign_entries_data();
  void sign_entries();
  void menus();
  void tool_bar();
  void actions_data();
  void actions();
  void typing_enters_editing_data();
  void typing_enters_editing();
  void setting_text_from_code_does_not_edit();

private:
};

void TOrthavelTest::start_up_state()
{
  QCOMPARE(window->windowTitle(), QString("Untitled[*] - Orthavel"));
  QVERIFY(!window->isWindowModified());
  QVERIFY(window->acceptDrops());
  QCOMPARE(Member<QListWidget>(window, "measurement_list")->count(), 0);
  QVERIFY(!Member<QWidget>(window, "editor_widget")->isEnabled());
  QVERIFY(!Member<QWidget>(window, "remove_measurement_button")->isEnabled());
  QVERIFY(!Member<QWidget>(window, "apply_button")->isEnabled());
  QVERIFY(!Member<QWidget>(window, "reset_button")->isEnabled());
  QVERIFY(Member<QToolButton>(window, "pan_button")->isChecked());
  QVERIFY(!Member<QToolButton>(window, "rotate_2d_button")->isChecked());
  QVERIFY(!Member<QToolButton>(window, "rotate_3d_button")->isChecked());
  QVERIFY(!Member<QAction>(window, "action_save")->isEnabled());
  QVERIFY(!Member<QAction>(window, "action_save_as")->isEnabled());
  QVERIFY(!window->Document()->Is_Modified());
  QVERIFY(window->Document()->File_Name().isEmpty());
  QCOMPARE(window->Last_Directory(), QDir::homePath());
  QCOMPARE(window->Document()->Default_Ballbar_Length(), 1000.0);

  QDockWidget* dock = Member<QDockWidget>(window, "editor_dock");
  QCOMPARE(dock->windowTitle(), QString("Measurement Editor"));
  QCOMPARE(dock->allowedAreas(), Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
  QCOMPARE(window->dockWidgetArea(dock), Qt::LeftDockWidgetArea);
  QCOMPARE(Member<QListWidget>(window, "measurement_list")->selectionMode(), QAbstractItemView::ExtendedSelection);
  QCOMPARE(Member<QLabel>(window, "logo_label")->size(), QSize(100, 40));
  QVERIFY(!Member<QLabel>(window, "logo_label")->pixmap(Qt::ReturnByValue).isNull());
}

void TOrthavelTest::value_labels_data()
{
  QTest::addColumn<QString>("name");
  for(const char* name : {"xy_squareness_label", "yz_squareness_label", "zx_squareness_label",
                          "initial_min_length_label", "initial_max_length_label", "initial_min_error_label",
                          "initial_max_error_label", "final_min_length_label", "final_max_length_label",
                          "final_min_error_label", "final_max_error_label"})
    QTest::newRow(name) << QString(name);
}

void TOrthavelTest::value_labels()
{
  QFETCH(QString, name);
  QLabel* label = Member<QLabel>(window, qPrintable(name));
  QCOMPARE(label->text(), QString("----"));
  QCOMPARE(label->frameShape(), QFrame::StyledPanel);
  QCOMPARE(label->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
}

void TOrthavelTest::sign_entries_data()
{
  QTest::addColumn<int>("index");
  QTest::addColumn<QString>("maker");
  QTest::addColumn<int>("parameter");
  QTest::newRow("AAT") << 0 << "AAT" << 4;
  QTest::newRow("BnS") << 1 << "BnS" << 7;
  QTest::newRow("DEA") << 2 << "DEA" << 3;
  QTest::newRow("LK") << 3 << "LK" << 4;
  QTest::newRow("Renishaw") << 4 << "Renishaw" << 0;
  QTest::newRow("Sheffield") << 5 << "Sheffield" << 5;
  QTest::newRow("Wenzel") << 6 << "Wenzel" << 4;
  QTest::newRow("Zeiss") << 7 << "Zeiss" << 5;
}

void TOrthavelTest::sign_entries()
{
  QFETCH(int, index);
  QFETCH(QString, maker);
  QFETCH(int, parameter);
  QComboBox* combo = Member<QComboBox>(window, "sign_combo");
  QCOMPARE(combo->count(), 8);
  QCOMPARE(combo->currentIndex(), 1);
  QCOMPARE(combo->itemText(index), maker);
  QCOMPARE(combo->itemData(index, Qt::UserRole).toInt(), parameter);
}

static QStringList Action_Texts(const QList<QAction*>& actions)
{
  QStringList texts;
  for(const QAction* action : actions)
    texts << (action->isSeparator() ? QString("|") : action->text());
  return texts;
}

void TOrthavelTest::menus()
{
  const QList<QAction*> bar = window->menuBar()->actions();
  QCOMPARE(Action_Texts(bar), QStringList({"File", "Edit", "View", "Help"}));
  QCOMPARE(Action_Texts(bar[0]->menu()->actions()),
           QStringList({"New", "|", "Open", "Save", "Save As", "|", "Project Information…", "Project Settings…", "|",
                        "Export Report…", "Export Measurements (CSV)…", "|", "Import", "|", "Quit"}));
  QCOMPARE(Action_Texts(bar[0]->menu()->actions()[12]->menu()->actions()),
           QStringList({"Ball Bar", "Laser", "Stepgauge Square", "BnS Results"}));
  QCOMPARE(Action_Texts(bar[1]->menu()->actions()),
           QStringList({"Undo", "Redo", "|", "Duplicate", "Add Diagonal Set\u2026"}));
  QCOMPARE(Action_Texts(bar[2]->menu()->actions()), QStringList({"Measurement Editor", "Analysis"}));
  QCOMPARE(Action_Texts(bar[3]->menu()->actions()), QStringList({"About"}));

  QToolButton* add = Member<QToolButton>(window, "add_measurement_button");
  QCOMPARE(add->text(), QString("+"));
  QCOMPARE(add->popupMode(), QToolButton::InstantPopup);
  QCOMPARE(Action_Texts(add->menu()->actions()),
           QStringList({"BallBar Measurement", "Length Measurement", "|", "Add Diagonal Set\u2026"}));
}

void TOrthavelTest::tool_bar()
{
  QToolBar* bar = Member<QToolBar>(window, "tool_bar");
  QCOMPARE(window->toolBarArea(bar), Qt::TopToolBarArea);
  QStringList contents;
  for(QAction* action : bar->actions())
  {
    if(action->isSeparator())
      contents << "|";
    else if(QToolButton* button = qobject_cast<QToolButton*>(bar->widgetForAction(action)); button && !action->text().size())
      contents << button->text();
    else
      contents << action->text();
  }
  QCOMPARE(contents, QStringList({"New", "|", "Open", "Save", "|", "Fit", "Pan", "Rot 2D", "Rot 3D", "|", "XY", "YZ",
                                  "ZX", "ISO"}));

  const struct
  {
    const char* name;
    const char* tip;
    bool checkable;
  } buttons[] = {{"scale_to_fit_button", "Scale to Fit (F)", false},
                 {"pan_button", "Enable Pan Mode", true},
                 {"rotate_2d_button", "Enable Rotate 2D Mode", true},
                 {"rotate_3d_button", "Enable Rotate 3D Mode", true},
                 {"proj_xy_button", "Set XY View (Ctrl+1)", false},
                 {"proj_yz_button", "Set YZ View (Ctrl+2)", false},
                 {"proj_zx_button", "Set ZX View (Ctrl+3)", false},
                 {"proj_iso_button", "Set ISO View (Ctrl+4)", false}};
  for(const auto& expected : buttons)
  {
    QToolButton* button = Member<QToolButton>(window, expected.name);
    QCOMPARE(button->toolTip(), QString(expected.tip));
    QCOMPARE(button->isCheckable(), expected.checkable);
    QVERIFY(!button->icon().isNull());
  }
}

void TOrthavelTest::actions_data()
{
  QTest::addColumn<QString>("name");
  QTest::addColumn<QKeySequence>("shortcut");
  QTest::addColumn<bool>("has_icon");
  QTest::newRow("new") << "action_new" << QKeySequence(QKeySequence::New) << true;
  QTest::newRow("open") << "action_open" << QKeySequence(QKeySequence::Open) << true;
  QTest::newRow("save") << "action_save" << QKeySequence(QKeySequence::Save) << true;
  QTest::newRow("save as") << "action_save_as" << QKeySequence("Ctrl+Shift+S") << false;
  QTest::newRow("quit") << "action_quit" << QKeySequence(QKeySequence::Quit) << false;
  QTest::newRow("about") << "action_about" << QKeySequence() << false;
  QTest::newRow("undo") << "action_undo" << QKeySequence(QKeySequence::Undo) << false;
  QTest::newRow("redo") << "action_redo" << QKeySequence(QKeySequence::Redo) << false;
  QTest::newRow("duplicate") << "action_duplicate" << QKeySequence("Ctrl+D") << false;
}

void TOrthavelTest::actions()
{
  QFETCH(QString, name);
  QFETCH(QKeySequence, shortcut);
  QFETCH(bool, has_icon);
  QAction* action = Member<QAction>(window, qPrintable(name));
  QCOMPARE(action->shortcut(), shortcut);
  QCOMPARE(!action->icon().isNull(), has_icon);
}

void TOrthavelTest::typing_enters_editing_data()
{
  QTest::addColumn<QString>("field");
  for(const char* name : {"name_edit", "nominal_length_edit", "actual_length_edit", "position_x_edit",
                          "position_y_edit", "position_z_edit", "direction_i_edit", "direction_j_edit",
                          "direction_k_edit"})
    QTest::newRow(name) << QString(name);
}

void TOrthavelTest::typing_enters_editing()
{
  QFETCH(QString, field);
  Member<QAction>(window, "action_add_length")->trigger();
  QVERIFY(Member<QWidget>(window, "editor_widget")->isEnabled());
  QVERIFY(!Member<QWidget>(window, "apply_button")->isEnabled());

  QTest::keyClicks(Member<QLineEdit>(window, qPrintable(field)), "5");
  QVERIFY(Member<QWidget>(window, "apply_button")->isEnabled());
  QVERIFY(Member<QWidget>(window, "reset_button")->isEnabled());
  QVERIFY(!Member<QWidget>(window, "measurement_list")->isEnabled());
}

void TOrthavelTest::setting_text_from_code_does_not_edit()
{
  Member<QAction>(window, "action_add_ballbar")->trigger();
  for(const char* name : {"name_edit", "actual_length_edit", "position_x_edit", "direction_k_edit"})
    Member<QLineEdit>(window, name)->setText("7");
  QVERIFY(!Member<QWidget>(window, "apply_button")->isEnabled());
  QVERIFY(!Member<QWidget>(window, "reset_button")->isEnabled());
  QVERIFY(Member<QWidget>(window, "measurement_list")->isEnabled());
}

QTEST_MAIN(TOrthavelTest)
#include "test_orthavel.moc"
