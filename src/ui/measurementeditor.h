// The measurement editor in the left dock: the list of measurements with
// "+" and "-", and below it the fields of the one selected measurement with
// Edit Axis Points, Apply and Reset. Every change goes to the document.
#ifndef MEASUREMENTEDITOR_H
#define MEASUREMENTEDITOR_H

#include <QWidget>
#include <functional>
#include <memory>

#include "measurement.h"
#include "vector3.h"

class QAction;
class QFont;
class QLabel;
class QLineEdit;
class QListWidget;
class QToolButton;
class TEditorFields;
class TMeasurementList;
class TMeasurementSet;
class TMessageBox;
class TPointDialog;

class TMeasurementEditor : public QWidget
{
  Q_OBJECT

public:
  TMeasurementEditor(TMeasurementSet* document, TMessageBox* message_box, const QFont& header_font, QWidget* parent);
  ~TMeasurementEditor() override;

  // Where a new hand-made measurement starts: the centre of the scene.
  void Set_New_Position_Source(std::function<TVector3()> source) { d_new_position = std::move(source); }
  const TMeasurementList* List() const { return d_list; }
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
  // Selects the record's row alone, as a click on it would; a record not in the set is ignored.
  void Select_Record(const TMeasurement* record);

private:
  void Create_List(QWidget* parent);
  void Create_Fields(const QFont& header_font);
  void Connect_Widgets();

  void Add_New_Measurement(std::unique_ptr<TMeasurement> record, double length);
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
  TMessageBox* d_message_box;
  TMeasurementList* d_list;
  std::function<TVector3()> d_new_position;

  QListWidget* measurement_list;
  QToolButton* add_measurement_button;
  QToolButton* remove_measurement_button;
  QAction* action_add_ballbar;
  QAction* action_add_length;
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
  std::unique_ptr<TEditorFields> d_fields;
};

#endif
