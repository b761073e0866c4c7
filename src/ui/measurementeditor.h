// The measurement editor in the left dock: the list of measurements with
// "+" and "-", and below it the fields of the one selected measurement with
// Edit Axis Points, Apply and Reset. Every change goes to the document as one
// step of the undo history. Return in a field applies, Escape resets, Delete
// in the list removes.
#ifndef MEASUREMENTEDITOR_H
#define MEASUREMENTEDITOR_H

#include <QWidget>
#include <functional>
#include <memory>

#include "measurement.h"
#include "scenebuilder.h"
#include "vector3.h"

class QAction;
class QEvent;
class QFont;
class QLabel;
class QLineEdit;
class QListWidget;
class QToolButton;
class TDiagonalDialog;
class TEditHistory;
class TEditorFields;
class TMeasurementList;
class TMeasurementSet;
class TMessageBox;
class TPointDialog;

class TMeasurementEditor : public QWidget
{
  Q_OBJECT

public:
  TMeasurementEditor(TMeasurementSet* document, TEditHistory* history, TMessageBox* message_box,
                     const QFont& header_font, QWidget* parent);
  ~TMeasurementEditor() override;

  // The scene's box: a new hand-made measurement starts at its centre, and a
  // diagonal set fills it unless the user says otherwise.
  void Set_Scene_Box_Source(std::function<TSceneBox()> source) { d_scene_box = std::move(source); }
  const TMeasurementList* List() const { return d_list; }
  QAction* Duplicate_Action() const { return action_duplicate; }
  QAction* Diagonal_Set_Action() const { return action_add_diagonal_set; }
  // The editor's widgets in keyboard order, from the list to Reset.
  std::vector<QWidget*> Tab_Order() const;

signals:
  // The selection of the list changed; the scene marks the selected records.
  void Selection_Changed();

public slots:
  void Measurement_Selection_Changed();
  void Add_Measurement_BallBar();
  void Add_Measurement_Length();
  void Remove_Measurement();
  void Update_Current_Measurement();
  void Reset_Current_Measurement();
  void Edit_Points();
  void Measurement_Data_Changed();
  void Update_Nominal_Ballbar_Length();
  void Duplicate_Measurement();
  void Add_Diagonal_Set();
  // Selects the row alone, as a click in the list does; nothing while the
  // editor holds changes that are not applied.
  void Select_Row(int row);
  // The same for a record's row; a record not in the set is ignored.
  void Select_Record(const TMeasurement* record);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void Create_List(QWidget* parent);
  void Create_Fields(const QFont& header_font);
  void Connect_Widgets();

  void Add_New_Measurement(std::unique_ptr<TMeasurement> record, double length);
  void Insert_And_Select(const QString& text, int row, std::vector<std::unique_ptr<TMeasurement>> records);
  double Current_Ballbar_Length() const;
  QString Copy_Name(const QString& name) const;
  void Update_Actions();
  void Keep_Focus_In_Fields();
  void Show_Measurement(const TMeasurement* measurement);
  void Show_Lengths(const TMeasurement* measurement);
  void Show_Position(const TVector3& position);
  void Show_Direction(const TVector3& axis);
  void Clear_Fields();
  void End_Editing();
  bool Check_Fields();
  void Show_Message(const QString& message);
  void Warn_About(const TMeasurement& record);
  bool Take_Distance(double distance, const TMeasurement& record);
  int Selected_Row() const;

  TMeasurementSet* d_document;
  TEditHistory* d_history;
  TMessageBox* d_message_box;
  TMeasurementList* d_list;
  std::function<TSceneBox()> d_scene_box;
  // The direction of the measurement last added or applied by hand.
  TVector3 d_last_axis{1.0, -1.0, 1.0};
  // The editor field that last had the keyboard focus.
  QLineEdit* d_last_field = nullptr;

  QListWidget* measurement_list;
  QToolButton* add_measurement_button;
  QToolButton* remove_measurement_button;
  QAction* action_add_ballbar;
  QAction* action_add_length;
  QAction* action_add_diagonal_set;
  QAction* action_duplicate;
  QWidget* editor_widget;
  QLineEdit* name_edit;
  QLineEdit* nominal_length_edit;
  QLineEdit* actual_length_edit;
  QLineEdit* position_x_edit;
  QLineEdit* position_y_edit;
  QLineEdit* position_z_edit;
  QLineEdit* direction_i_edit;
  QLineEdit* direction_j_edit;
  QLineEdit* direction_k_edit;
  QToolButton* edit_points_button;
  QToolButton* apply_button;
  QToolButton* reset_button;
  QLabel* editor_message_label;
  TPointDialog* point_dialog = nullptr;
  TDiagonalDialog* diagonal_dialog = nullptr;
  std::unique_ptr<TEditorFields> d_fields;
};

#endif
