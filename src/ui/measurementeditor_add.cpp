// The editor's commands that add and remove whole measurements: the "+" menu
// (one ball bar, one length, a diagonal set), Duplicate and "-".
#include "measurementeditor.h"

#include <QAction>
#include <QListWidget>
#include <QSet>

#include "diagonaldialog.h"
#include "edithistory.h"
#include "measurementlist.h"
#include "measurementset.h"
#include "messagebox.h"
#include "recordcheck.h"
#include "uihelpers.h"

void TMeasurementEditor::Add_Measurement_BallBar()
{
  Add_New_Measurement(std::make_unique<TMeasurementBallBar>(), Current_Ballbar_Length());
}

void TMeasurementEditor::Add_Measurement_Length()
{
  Add_New_Measurement(std::make_unique<TMeasurementLength>(), TMeasurementSet::DEFAULT_LENGTH);
}

// The length of the set's ball bar: the fit's estimate, which every usable
// ball-bar record carries as its nominal length; the last known estimate
// when the set has no usable ball bar.
double TMeasurementEditor::Current_Ballbar_Length() const
{
  for(int row = d_document->Count() - 1; row >= 0; --row)
  {
    const TMeasurement* record = d_document->At(row);
    if(record->Type() == TMeasurement::MEASUREMENT_BALLBAR && Is_Fit_Usable(*record))
      return record->Nominal_Length();
  }
  return d_document->Default_Ballbar_Length();
}

// A hand-made record starts at the centre of the scene along the direction
// last used, and is selected alone.
void TMeasurementEditor::Add_New_Measurement(std::unique_ptr<TMeasurement> record, double length)
{
  record->Set_Name(d_document->Default_Name(record->Type()));
  record->Set_Nominal_Length(length);
  record->Set_Actual_Length(length);
  record->Set_Position(d_scene_box().Centre());
  record->Set_Axis(d_last_axis);
  d_last_axis = record->Axis();

  const QString text = QStringLiteral("Add %1").arg(record->Name());
  std::vector<std::unique_ptr<TMeasurement>> records;
  records.push_back(std::move(record));
  Insert_And_Select(text, d_document->Count(), std::move(records));
}

// One undo step; the first new row is selected alone.
void TMeasurementEditor::Insert_And_Select(const QString& text, int row,
                                           std::vector<std::unique_ptr<TMeasurement>> records)
{
  if(records.empty())
    return;
  d_history->Push_Insert(text, row, std::move(records));
  d_list->Complete_Rows();
  measurement_list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

// The copy follows its original, with the original's name and "copy".
void TMeasurementEditor::Duplicate_Measurement()
{
  const int row = Selected_Row();
  if(row < 0 || !measurement_list->isEnabled())
    return;
  std::unique_ptr<TMeasurement> copy = d_document->At(row)->Clone();
  copy->Set_Name(Copy_Name(copy->Name()));
  const QString text = QStringLiteral("Duplicate %1").arg(d_document->At(row)->Name());
  std::vector<std::unique_ptr<TMeasurement>> records;
  records.push_back(std::move(copy));
  Insert_And_Select(text, row + 1, std::move(records));
}

// "name copy", or "name copy 2", ... when that name is taken.
QString TMeasurementEditor::Copy_Name(const QString& name) const
{
  QSet<QString> names;
  for(const TMeasurement* record : d_document->Records())
    names.insert(record->Name());
  QString candidate = QStringLiteral("%1 copy").arg(name);
  for(int number = 2; names.contains(candidate); ++number)
    candidate = QStringLiteral("%1 copy %2").arg(name).arg(number);
  return candidate;
}

void TMeasurementEditor::Add_Diagonal_Set()
{
  if(!measurement_list->isEnabled())
    return;
  if(!diagonal_dialog)
    diagonal_dialog = Named(new TDiagonalDialog(window()), "diagonal_dialog");
  diagonal_dialog->Set_Box(d_scene_box(), Current_Ballbar_Length());
  if(diagonal_dialog->exec() != QDialog::Accepted)
    return;
  Insert_And_Select(QStringLiteral("Add Diagonal Set"), d_document->Count(), diagonal_dialog->Records());
}

void TMeasurementEditor::Remove_Measurement()
{
  const std::vector<int> rows = d_list->Selected_Rows();
  if(!rows.empty() && d_document->Is_Modified())
  {
    const int answer = d_message_box->Ask(QStringLiteral("Delete Measurements"),
                                          QStringLiteral("Do you want to delete the selected measurements?"),
                                          QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if(answer != QMessageBox::Yes)
      return;
  }
  if(rows.size() == 1)
    d_history->Push_Remove(QStringLiteral("Delete %1").arg(d_document->At(rows.front())->Name()), rows);
  else
    d_history->Push_Remove(QStringLiteral("Delete %1 Measurements").arg(rows.size()), rows);
  d_document->Set_Modified(true);
}

void TMeasurementEditor::Select_Row(int row)
{
  if(!measurement_list->isEnabled() || !d_document->At(row))
    return;
  d_list->Complete_Rows();
  measurement_list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
  measurement_list->scrollToItem(measurement_list->item(row));
}
