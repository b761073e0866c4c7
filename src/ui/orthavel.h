// The main window: menus, tool bar and the file commands, and the wiring of
// its parts. The document owns the measurement set; the editor, the results
// panel, the 3D scene and the solver thread follow its announcements.
#ifndef ORTHAVEL_H
#define ORTHAVEL_H

#include <QMainWindow>
#include <QString>
#include <memory>
#include <vector>

class QAction;
class QCloseEvent;
class QDockWidget;
class QDragEnterEvent;
class QDropEvent;
class QGridLayout;
class QStatusBar;
class QToolBar;
class QStringList;
class TAnalysisPanel;
class TCalculateSquare;
class TSolverFeed;
class TEditHistory;
class TMeasurement;
class TMeasurementEditor;
class TMeasurementSet;
class TMessageBox;
class TProjectCommands;
class TResultsPanel;
class TSceneView;
struct TEnteredRecords;

class TOrthavel : public QMainWindow
{
  Q_OBJECT

public:
  explicit TOrthavel(const QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
  ~TOrthavel() override;

  // Document operations, also used by the drop handler and the tests.
  bool Import_Data(const QString& path);
  bool Save_Data(const QString& path) const;
  bool Load_Data(const QString& path);
  // What a drop of one file does: a .square project opens, any other file is imported.
  void Open_File(const QString& path);

  const TMeasurementSet* Document() const { return document; }
  // Every change of the set or its settings goes through the history as one
  // undoable step (Push_Insert for an import, Push_Settings for the settings).
  TEditHistory* History() const { return edit_history; }
  const QString& Last_Directory() const { return last_directory; }

protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private slots:
  void Thread_Started();
  void Thread_Finished();
  void Menu_New();
  void Menu_Open();
  void Menu_Save();
  void Menu_SaveAs();
  void Menu_Import_BallBar();
  void Menu_Import_Laser();
  void Menu_Import_Stepgauge_Square();
  void Menu_Import_BnS_Results();
  void Menu_About();

  // What follows a change of the set or of the selection.
  void Take_Ballbar_Estimate();
  void Show_Analysis();
  void Show_Display_Choice();
  void Draw_Data();
  void Update_Save_Actions();
  void Update_Title();

private:
  // Construction (orthavel.cpp)
  void Create_Actions();
  void Create_Central_Widget();
  void Create_Editor_Dock();
  void Create_Analysis_Dock();
  void Create_Menus();
  void Create_Solver();
  void Set_Tab_Order();
  void Connect_Actions();
  void Connect_Document();
  void Stop_Solver();

  // Files (orthavel_files.cpp)
  bool Confirm_Discard_Changes();
  void Import_With_Dialog(const QString& title, const QString& filter);
  void Open_Project(const QString& path);
  void Open_Project_File(const QString& path);
  bool Load_Project(const QString& path, QString* error);
  // The step in which the records of an import enter the document, as one
  // undoable change named after the file.
  void Add_Imported_Records(const QString& file_name, std::vector<std::unique_ptr<TMeasurement>> records);
  QString Instrument_File_Hint(const QString& path, const QString& error);
  bool Save_Project(const QString& path);
  void Report_Failure(const QString& title, const QString& message);
  void Warn_About_Records(const TEnteredRecords& entered, const QStringList& zero_directions);

  QAction* action_about;
  QAction* action_new;
  QAction* action_open;
  QAction* action_import_ballbar;
  QAction* action_import_laser;
  QAction* action_import_stepgauge_square;
  QAction* action_import_bns_results;
  QAction* action_quit;
  QAction* action_save;
  QAction* action_save_as;
  QAction* action_undo;
  QAction* action_redo;
  QToolBar* tool_bar;
  QStatusBar* status_bar;
  QDockWidget* editor_dock;
  QDockWidget* analysis_dock;
  QString last_directory;

  TMeasurementSet* document;
  TEditHistory* edit_history;
  TMessageBox* message_box;
  TMeasurementEditor* measurement_editor;
  TResultsPanel* results_panel;
  TAnalysisPanel* analysis_panel;
  TSceneView* scene_view;
  TProjectCommands* project_commands;
  TCalculateSquare* calculate_square;
  TSolverFeed* solver_feed;
};

#endif
