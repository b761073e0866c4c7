// Measurement list and editor of the main window.
#include "orthavel.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QToolButton>
#include <algorithm>
#include <cassert>

#include "calculatesquare.h"
#include "measurement.h"
#include "messagebox.h"
#include "pointdialog.h"

namespace
{
QString Fixed(double value, int decimals)
{
  return QString("%1").arg(value, 0, 'f', decimals);
}

TVector3 Start_Point(const TMeasurement* measurement)
{
  return measurement->Position() - measurement->Axis() * (0.5 * measurement->Actual_Length());
}

TVector3 End_Point(const TMeasurement* measurement)
{
  return measurement->Position() + measurement->Axis() * (0.5 * measurement->Actual_Length());
}
}

void TOrthavel::Create_Message_Box()
{
  message_box = new TMessageBox(this);
  message_box->setObjectName(QStringLiteral("message_box"));
}

TMeasurement* TOrthavel::Measurement_From_Item(const QListWidgetItem* item)
{
  QVariant data = item->data(Qt::UserRole);
  if(data.userType() != QMetaType::VoidStar && !data.convert(QMetaType::VoidStar))
    return nullptr;
  return static_cast<TMeasurement*>(data.value<void*>());
}

TMeasurement* TOrthavel::Selected_Measurement() const
{
  const QList<QListWidgetItem*> selection = measurement_list->selectedItems();
  if(selection.size() != 1)
    return nullptr;
  return Measurement_From_Item(selection.front());
}

void TOrthavel::Show_Measurement(const TMeasurement* measurement)
{
  name_edit->setText(measurement->Name());
  nominal_length_edit->setText(Fixed(measurement->Nominal_Length(), 4));
  actual_length_edit->setText(Fixed(measurement->Actual_Length(), 4));
  Show_Position(measurement->Position());
  Show_Direction(measurement->Axis());
}

void TOrthavel::Show_Position(const TVector3& position)
{
  position_x_edit->setText(Fixed(position.x, 3));
  position_y_edit->setText(Fixed(position.y, 3));
  position_z_edit->setText(Fixed(position.z, 3));
}

void TOrthavel::Show_Direction(const TVector3& axis)
{
  direction_i_edit->setText(Fixed(axis.x, 8));
  direction_j_edit->setText(Fixed(axis.y, 8));
  direction_k_edit->setText(Fixed(axis.z, 8));
}

void TOrthavel::Clear_Editor_Fields()
{
  for(QLineEdit* edit : {name_edit, nominal_length_edit, actual_length_edit, position_x_edit, position_y_edit,
                         position_z_edit, direction_i_edit, direction_j_edit, direction_k_edit})
    edit->clear();
}

void TOrthavel::End_Editing()
{
  apply_button->setEnabled(false);
  reset_button->setEnabled(false);
  measurement_list->setEnabled(true);
}

void TOrthavel::Add_Measurement(TMeasurement* measurement, bool select)
{
  assert(measurement);
  if(measurement->Name().trimmed().isEmpty())
    measurement->Set_Name(Default_Name(measurement->Type()));
  measurements.push_back(measurement);

  QListWidgetItem* item = new QListWidgetItem(measurement->Name());
  item->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(measurement)));
  measurement_list->addItem(item);
  if(select)
    measurement_list->setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
}

// "BallBar n" or "Length n", numbered after the records of that kind already in the set.
QString TOrthavel::Default_Name(TMeasurement::TMeasurementType type) const
{
  if(type == TMeasurement::MEASUREMENT_BALLBAR)
    return QString("BallBar %1").arg(BallBar_Count() + 1);
  return QString("Length %1").arg(Length_Count() + 1);
}

void TOrthavel::Add_Measurement_BallBar()
{
  Add_New_Measurement(new TMeasurementBallBar, Default_Name(TMeasurement::MEASUREMENT_BALLBAR), default_ballbar_length);
}

void TOrthavel::Add_Measurement_Length()
{
  Add_New_Measurement(new TMeasurementLength, Default_Name(TMeasurement::MEASUREMENT_LENGTH), default_axis_length);
}

// A hand-made record starts at the centre of the scene box along (1, -1, 1).
void TOrthavel::Add_New_Measurement(TMeasurement* record, const QString& name, double length)
{
  record->Set_Name(name);
  record->Set_Nominal_Length(length);
  record->Set_Actual_Length(length);
  record->Set_Position((scene_minimum + scene_maximum) / 2.0);
  record->Set_Axis(TVector3(1, -1, 1));

  Add_Measurement(record, true);
  Hand_Measurements_To_Solver();
  Draw_Data();
  data_modified = true;
}

void TOrthavel::Remove_Measurement()
{
  const QList<QListWidgetItem*> selection = measurement_list->selectedItems();
  if(!selection.isEmpty() && data_modified)
  {
    message_box->setText(QStringLiteral("Delete Measurements"));
    message_box->setInformativeText(QStringLiteral("Do you want to delete the selected measurements?"));
    message_box->setDetailedText(QString());
    message_box->setIcon(QMessageBox::Warning);
    message_box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    message_box->setDefaultButton(QMessageBox::Yes);
    if(message_box->exec() != QMessageBox::Yes)
      return;
  }

  for(const QListWidgetItem* item : selection)
    Remove_Measurement_Item(item);

  Hand_Measurements_To_Solver();
  Draw_Data();
  data_modified = true;
}

void TOrthavel::Remove_Measurement_Item(const QListWidgetItem* item)
{
  assert(item);
  const int row = measurement_list->row(item);
  if(row < 0)
    return;
  TMeasurement* measurement = Measurement_From_Item(item);
  if(!measurement)
    return;

  const auto position = std::find(measurements.begin(), measurements.end(), measurement);
  if(position != measurements.end())
    measurements.erase(position);
  delete measurement_list->takeItem(row);
  delete measurement;
}

void TOrthavel::Measurement_Selection_Changed()
{
  editor_widget->setEnabled(false);
  apply_button->setEnabled(false);
  reset_button->setEnabled(false);
  remove_measurement_button->setEnabled(!measurement_list->selectedItems().isEmpty());

  const TMeasurement* measurement = Selected_Measurement();
  if(measurement)
  {
    Show_Measurement(measurement);
    editor_widget->setEnabled(true);
    nominal_length_edit->setEnabled(measurement->Type() == TMeasurement::MEASUREMENT_LENGTH);
  }
  else if(measurement_list->selectedItems().size() != 1)
  {
    Clear_Editor_Fields();
  }
  Draw_Data();
}

void TOrthavel::Update_Current_Measurement()
{
  TMeasurement* measurement = Selected_Measurement();
  if(measurement)
  {
    // A blank name could be saved but not loaded again: the record keeps its name.
    if(!name_edit->text().trimmed().isEmpty())
      measurement->Set_Name(name_edit->text());
    name_edit->setText(measurement->Name());
    measurement->Set_Nominal_Length(nominal_length_edit->text().toDouble());
    measurement->Set_Actual_Length(actual_length_edit->text().toDouble());
    measurement->Set_Position(TVector3(position_x_edit->text().toDouble(), position_y_edit->text().toDouble(),
                                       position_z_edit->text().toDouble()));
    measurement->Set_Axis(TVector3(direction_i_edit->text().toDouble(), direction_j_edit->text().toDouble(),
                                   direction_k_edit->text().toDouble()));
    measurement_list->selectedItems().front()->setText(measurement->Name());

    Hand_Measurements_To_Solver();
    Show_Direction(measurement->Axis());
    Draw_Data();
    data_modified = true;
  }
  End_Editing();
}

void TOrthavel::Reset_Current_Measurement()
{
  const TMeasurement* measurement = Selected_Measurement();
  if(measurement)
  {
    Show_Measurement(measurement);
    Draw_Data();
  }
  End_Editing();
}

void TOrthavel::Edit_Points()
{
  TMeasurement* measurement = Selected_Measurement();
  if(!measurement)
    return;

  name_edit->setText(measurement->Name());
  nominal_length_edit->setText(Fixed(measurement->Nominal_Length(), 4));
  actual_length_edit->setText(Fixed(measurement->Actual_Length(), 4));

  if(!point_dialog)
  {
    point_dialog = new TPointDialog(this);
    point_dialog->setObjectName(QStringLiteral("point_dialog"));
  }
  point_dialog->Set_Points(Start_Point(measurement), End_Point(measurement));
  if(point_dialog->exec() != QDialog::Accepted)
    return;

  const TVector3 start = point_dialog->Start_Point();
  const TVector3 end = point_dialog->End_Point();
  TVector3 direction = end - start;
  if(!(direction.Length() > 1e-6))
    return;

  direction.Normal();
  measurement->Set_Axis(direction);
  Show_Direction(direction);
  const TVector3 centre = (start + end) / 2.0;
  measurement->Set_Position(centre);
  Show_Position(centre);

  Hand_Measurements_To_Solver();
  Draw_Data();
  data_modified = true;
}

int TOrthavel::BallBar_Count() const
{
  return int(std::count_if(measurements.begin(), measurements.end(), [](const TMeasurement* measurement) {
    return measurement->Type() == TMeasurement::MEASUREMENT_BALLBAR;
  }));
}

int TOrthavel::Length_Count() const
{
  return int(std::count_if(measurements.begin(), measurements.end(), [](const TMeasurement* measurement) {
    return measurement->Type() == TMeasurement::MEASUREMENT_LENGTH;
  }));
}

void TOrthavel::Clear_Measurement_Data()
{
  measurement_list->clear();
  editor_widget->setEnabled(false);
  for(TMeasurement* measurement : measurements)
    delete measurement;
  measurements.clear();
  Hand_Measurements_To_Solver();
}
