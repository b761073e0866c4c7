#include "editcommands.h"

#include <algorithm>

#include "measurementset.h"

TEditRecordCommand::TEditRecordCommand(TMeasurementSet* document, int row, const TMeasurement& values,
                                       const QString& text)
  : QUndoCommand(text), d_document(document), d_row(row), d_new_values(values.Clone())
{
}

// The values the record takes are kept as the document stored them, so that
// a redo gives exactly the record the first change gave.
void TEditRecordCommand::redo()
{
  if(!d_document->At(d_row))
    return;
  d_old_values = d_document->Edit(d_row, *d_new_values);
  d_new_values = d_document->At(d_row)->Clone();
}

void TEditRecordCommand::undo()
{
  if(d_old_values && d_document->At(d_row))
    d_document->Edit(d_row, *d_old_values);
}

TRowsCommand::TRowsCommand(TMeasurementSet* document, std::vector<int> rows,
                           std::vector<std::unique_ptr<TMeasurement>> records, const QString& text)
  : QUndoCommand(text), d_document(document), d_rows(std::move(rows)), d_insertion(true), d_records(std::move(records))
{
}

TRowsCommand::TRowsCommand(TMeasurementSet* document, std::vector<int> rows, const QString& text)
  : QUndoCommand(text), d_document(document), d_rows(std::move(rows)), d_insertion(false)
{
  std::sort(d_rows.begin(), d_rows.end());
  d_rows.erase(std::unique(d_rows.begin(), d_rows.end()), d_rows.end());
  d_rows.erase(std::remove_if(d_rows.begin(), d_rows.end(),
                              [document](int row) { return row < 0 || row >= document->Count(); }),
               d_rows.end());
}

void TRowsCommand::redo()
{
  d_insertion ? Put_In() : Take_Out();
}

void TRowsCommand::undo()
{
  d_insertion ? Take_Out() : Put_In();
}

void TRowsCommand::Put_In()
{
  d_document->Insert_Rows(d_rows, std::move(d_records));
  d_records.clear();
}

void TRowsCommand::Take_Out()
{
  d_records = d_document->Take_Rows(d_rows);
}

TSettingsCommand::TSettingsCommand(TMeasurementSet* document, const TProjectSettings& settings, const QString& text)
  : QUndoCommand(text), d_document(document), d_new_settings(settings), d_old_settings(document->Settings())
{
}

void TSettingsCommand::redo()
{
  d_document->Set_Settings(d_new_settings);
}

void TSettingsCommand::undo()
{
  d_document->Set_Settings(d_old_settings);
}
