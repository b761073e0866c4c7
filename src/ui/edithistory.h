// The undo history of the measurement set: every change the user makes to
// the records or the project settings goes through here as one undoable
// step. The set counts as modified exactly while the history stands away
// from the step that was last saved, loaded or started with New.
#ifndef EDITHISTORY_H
#define EDITHISTORY_H

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

#include "measurement.h"
#include "projectsettings.h"

class QUndoStack;
class TMeasurementSet;

class TEditHistory : public QObject
{
  Q_OBJECT

public:
  TEditHistory(TMeasurementSet* document, QObject* parent);

  QUndoStack* Stack() const { return undo_stack; }

  // Gives the record at the row the values of another record of its kind.
  void Push_Edit(const QString& text, int row, const TMeasurement& values);
  // Inserts records so that the first stands at first_row and the others
  // follow it: an import, a load-free addition, a diagonal set.
  void Push_Insert(const QString& text, int first_row, std::vector<std::unique_ptr<TMeasurement>> records);
  void Push_Remove(const QString& text, const std::vector<int>& rows);
  // A change of the project settings; nothing happens when they are the same.
  void Push_Settings(const QString& text, const TProjectSettings& settings);

  // A new or loaded set starts with an empty history; a save marks the step saved.
  void Clear();
  void Mark_Saved();

private slots:
  void Follow_Clean_State();

private:
  TMeasurementSet* d_document;
  QUndoStack* undo_stack;
};

#endif
