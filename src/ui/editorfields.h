// The fields of the measurement editor as values: which ones the user has
// changed since they were filled from the record, whether each holds a
// number, and writing only the changed ones into a record, so that a field
// the user did not touch keeps the record's full value.
#ifndef EDITORFIELDS_H
#define EDITORFIELDS_H

#include <QString>
#include <set>
#include <vector>

#include "vector3.h"

class QLineEdit;
class TMeasurement;

class TEditorFields
{
public:
  struct TNumberField
  {
    QLineEdit* edit;
    // How the message names the field.
    QString label;
  };

  // The three direction fields are the last three of `numbers`, in order i, j, k.
  TEditorFields(QLineEdit* name_edit, std::vector<TNumberField> numbers);

  void Mark_Edited(QLineEdit* edit);
  // The fields show the record again: nothing is changed or marked any more.
  void Forget_Edits();
  bool Is_Edited(const QLineEdit* edit) const { return d_edited.count(edit) != 0; }

  // Checks the changed fields against the record they will be written into,
  // marks those that cannot be taken and returns why; empty when all can.
  QString Check(const TMeasurement& record);
  // Writes the changed fields into the record; only after Check found nothing.
  void Write_Into(TMeasurement* record) const;

private:
  bool Direction_Edited() const;
  TVector3 Direction(const TMeasurement& record) const;

  QLineEdit* d_name_edit;
  std::vector<TNumberField> d_numbers;
  std::set<const QLineEdit*> d_edited;
};

#endif
