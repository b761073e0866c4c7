// The main window: measurement list and editor, results panel, 3D view and
// the file commands. It owns the measurement records and the solver thread.
#ifndef ORTHAVEL_H
#define ORTHAVEL_H

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "measurement.h"
#include "vector3.h"

class QAction;
class QCloseEvent;
class QComboBox;
class QDockWidget;
class QDomElement;
class QFont;
class QGridLayout;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QStatusBar;
class QToolBar;
class QToolButton;
class QWidget;

class TCalculateSquare;
class TGraphicWidget;
class TMessageBox;
class TPointDialog;
class TXmlFile;

class TOrthavel : public QMainWindow
{
  Q_OBJECT

public:
  explicit TOrthavel(const QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
  ~TOrthavel() override;

protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private slots:
  void Mode_Pan(bool checked);
  void Mode_Rotate_2d(bool checked);
  void Mode_Rotate_3d(bool checked);
  void Scale_To_Fit();
  void Proj_XY();
  void Proj_YZ();
  void Proj_ZX();
  void Proj_ISO();
  void Measurement_Selection_Changed();
  void Add_Measurement_BallBar();
  void Add_Measurement_Length();
  void Remove_Measurement();
  void Update_Current_Measurement();
  void Reset_Current_Measurement();
  void Edit_Points();
  void Sign_Changed();
  void Measurement_Data_Changed();
  void Thread_Started();
  void Thread_Finished();
  void Update_Squareness();
  void Update_Nominal_Ballbar_Length();
  void Menu_New();
  void Menu_Open();
  void Menu_Save();
  void Menu_SaveAs();
  void Menu_Import_BallBar();
  void Menu_Import_Laser();
  void Menu_Import_Stepgauge_Square();
  void Menu_Import_BnS_Results();
  void Menu_About();

public:
  // Document operations, also used by the drop handler and the tests.
  bool Import_Data(const QString& path);
  bool Save_Data(const QString& path) const;
  bool Load_Data(const QString& path);
  // What a drop of one file does: a .square project opens, any other file is imported.
  void Open_File(const QString& path);

  // Read-only views of the document state.
  const std::vector<TMeasurement*>& Measurements() const { return measurements; }
  bool Data_Modified() const { return data_modified; }
  const QString& File_Name() const { return file_name; }
  const QString& Last_Directory() const { return last_directory; }
  double Default_Ballbar_Length() const { return default_ballbar_length; }

private:
  // Construction (orthavel.cpp)
  void Create_Actions();
  void Create_Results_Panel(QGridLayout* grid, const QFont& header_font, const QFont& notice_font);
  void Create_Menus();
  void Create_Editor_Dock(const QFont& header_font);
  void Create_Editor_Fields(const QFont& header_font);
  void Set_Tab_Order();
  void Fill_Tool_Bar(QToolBar* tool_bar);
  void Set_Initial_States();
  void Fill_Sign_Combo();
  void Connect_Widgets();

  // Measurement list and editor (orthavel_editor.cpp)
  void Create_Message_Box();
  static TMeasurement* Measurement_From_Item(const QListWidgetItem* item);
  TMeasurement* Selected_Measurement() const;
  void Show_Measurement(const TMeasurement* measurement);
  void Show_Direction(const TVector3& axis);
  void Show_Position(const TVector3& position);
  void Clear_Editor_Fields();
  void End_Editing();
  void Add_Measurement(TMeasurement* measurement, bool select);
  void Add_New_Measurement(TMeasurement* record, const QString& name, double length);
  QString Default_Name(TMeasurement::TMeasurementType type) const;
  void Remove_Measurement_Item(const QListWidgetItem* item);
  void Clear_Measurement_Data();
  int BallBar_Count() const;
  int Length_Count() const;

  // Solver hook-up (orthavel_solver.cpp)
  void Create_Solver();
  void Stop_Solver();
  void Hand_Measurements_To_Solver();
  void Apply_Nominal_Ballbar_Length();
  void Show_Statistics(bool available, const double values[4], QLabel* const labels[4]);
  void Show_Error(QLabel* label, double value, bool valid, int sign);
  int Create_Squareness_Sign_Parameter(int xy_sign, int yz_sign, int zx_sign) const;
  int Extract_Squareness_Sign_XY(int parameter) const;
  int Extract_Squareness_Sign_YZ(int parameter) const;
  int Extract_Squareness_Sign_ZX(int parameter) const;

  // Scene (orthavel_scene.cpp)
  void Create_Graphic_Widget(QGridLayout* grid);
  void Draw_Data();
  void Draw_Measurement(int id, const TMeasurement* measurement);
  void Set_Mode_Buttons(bool pan, bool rotate_2d, bool rotate_3d);

  // Files (orthavel_files.cpp) and project files (orthavel_project.cpp)
  static QString Directory_Of(const QString& path);
  bool Confirm_Discard_Changes();
  void Import_With_Dialog(const QString& title, const QString& filter);
  void Open_Project(const QString& path);
  void Load_Data_V1(TXmlFile* xml_file);
  using TMeasurementReader = std::function<std::unique_ptr<TMeasurement>(const TXmlFile&, const QDomElement&)>;
  void Load_Measurements_V1(const TXmlFile& xml_file, const QDomElement& group,
                            const TMeasurementReader& read_measurement);

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
  QAction* action_add_ballbar;
  QAction* action_add_length;
  QComboBox* sign_combo;
  QLabel* xy_squareness_label;
  QLabel* yz_squareness_label;
  QLabel* zx_squareness_label;
  QLabel* initial_min_length_label;
  QLabel* initial_max_length_label;
  QLabel* initial_min_error_label;
  QLabel* initial_max_error_label;
  QLabel* final_min_length_label;
  QLabel* final_max_length_label;
  QLabel* final_min_error_label;
  QLabel* final_max_error_label;
  QLineEdit* actual_length_edit;
  QLineEdit* name_edit;
  QLineEdit* nominal_length_edit;
  QLineEdit* position_x_edit;
  QLineEdit* position_y_edit;
  QLineEdit* position_z_edit;
  QLineEdit* direction_i_edit;
  QLineEdit* direction_j_edit;
  QLineEdit* direction_k_edit;
  QListWidget* measurement_list;
  QStatusBar* status_bar;
  QToolButton* add_measurement_button;
  QToolButton* apply_button;
  QToolButton* reset_button;
  QToolButton* edit_points_button;
  QToolButton* remove_measurement_button;
  QToolButton* pan_button;
  QToolButton* rotate_2d_button;
  QToolButton* rotate_3d_button;
  QToolButton* scale_to_fit_button;
  QToolButton* proj_xy_button;
  QToolButton* proj_yz_button;
  QToolButton* proj_zx_button;
  QToolButton* proj_iso_button;
  QWidget* editor_widget;
  QDockWidget* editor_dock;
  QLabel* logo_label;
  bool data_modified;
  QString last_directory;
  QString file_name;
  std::vector<TMeasurement*> measurements;
  double default_ballbar_length;
  double default_axis_length;

  TMessageBox* message_box;
  TPointDialog* point_dialog;
  TCalculateSquare* calculate_square;
  TGraphicWidget* graphic_widget;
  TVector3 scene_minimum;
  TVector3 scene_maximum;
};

#endif
