// The undoable changes of the measurement set, one command per kind of
// change. Each keeps only what its change touches (the rows, the records
// taken out, a record's values before and after, the settings), never a copy
// of the whole set, and makes its change through the document's own
// mutators, so that the list, the scene and the fit follow as for any change.
#ifndef EDITCOMMANDS_H
#define EDITCOMMANDS_H

#include <QUndoCommand>
#include <memory>
#include <vector>

#include "measurement.h"
#include "projectsettings.h"

class TMeasurementSet;

// Gives the record at a row new values; undo gives it back the old ones.
class TEditRecordCommand : public QUndoCommand
{
public:
  TEditRecordCommand(TMeasurementSet* document, int row, const TMeasurement& values, const QString& text);

  void redo() override;
  void undo() override;

private:
  TMeasurementSet* d_document;
  int d_row;
  std::unique_ptr<TMeasurement> d_new_values;
  std::unique_ptr<TMeasurement> d_old_values;
};

// Puts records in at ascending rows (where they stand afterwards) or takes
// the records at rows out; undo does the other. The records out of the set
// are kept here, moved, never copied.
class TRowsCommand : public QUndoCommand
{
public:
  // An insertion of records at rows.
  TRowsCommand(TMeasurementSet* document, std::vector<int> rows, std::vector<std::unique_ptr<TMeasurement>> records,
               const QString& text);
  // A removal of the rows; rows not in the set are passed over.
  TRowsCommand(TMeasurementSet* document, std::vector<int> rows, const QString& text);

  void redo() override;
  void undo() override;

private:
  void Put_In();
  void Take_Out();

  TMeasurementSet* d_document;
  std::vector<int> d_rows;
  bool d_insertion;
  // The records while they are out of the set.
  std::vector<std::unique_ptr<TMeasurement>> d_records;
};

class TSettingsCommand : public QUndoCommand
{
public:
  TSettingsCommand(TMeasurementSet* document, const TProjectSettings& settings, const QString& text);

  void redo() override;
  void undo() override;

private:
  TMeasurementSet* d_document;
  TProjectSettings d_new_settings;
  TProjectSettings d_old_settings;
};

#endif
