#include "edithistory.h"

#include <QUndoStack>

#include "editcommands.h"
#include "measurementset.h"
#include "uihelpers.h"

TEditHistory::TEditHistory(TMeasurementSet* document, QObject* parent) : QObject(parent), d_document(document)
{
  undo_stack = Named(new QUndoStack(this), "undo_stack");
  connect(undo_stack, &QUndoStack::indexChanged, this, &TEditHistory::Follow_Clean_State);
  connect(undo_stack, &QUndoStack::cleanChanged, this, &TEditHistory::Follow_Clean_State);
}

void TEditHistory::Push_Edit(const QString& text, int row, const TMeasurement& values)
{
  if(d_document->At(row))
    undo_stack->push(new TEditRecordCommand(d_document, row, values, text));
}

void TEditHistory::Push_Insert(const QString& text, int first_row, std::vector<std::unique_ptr<TMeasurement>> records)
{
  if(records.empty() || first_row < 0 || first_row > d_document->Count())
    return;
  std::vector<int> rows(records.size());
  for(size_t i = 0; i < rows.size(); ++i)
    rows[i] = first_row + static_cast<int>(i);
  undo_stack->push(new TRowsCommand(d_document, std::move(rows), std::move(records), text));
}

void TEditHistory::Push_Remove(const QString& text, const std::vector<int>& rows)
{
  if(!rows.empty())
    undo_stack->push(new TRowsCommand(d_document, rows, text));
}

void TEditHistory::Push_Settings(const QString& text, const TProjectSettings& settings)
{
  if(settings != d_document->Settings())
    undo_stack->push(new TSettingsCommand(d_document, settings, text));
}

void TEditHistory::Clear()
{
  undo_stack->clear();
  Follow_Clean_State();
}

void TEditHistory::Mark_Saved()
{
  undo_stack->setClean();
  Follow_Clean_State();
}

void TEditHistory::Follow_Clean_State()
{
  d_document->Set_Modified(!undo_stack->isClean());
}
