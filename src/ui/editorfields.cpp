#include "editorfields.h"

#include <QLineEdit>
#include <QStringList>
#include <cassert>

#include "fixedtext.h"
#include "measurement.h"
#include "uihelpers.h"

namespace
{
// The order of the number fields.
enum TFieldIndex
{
  NOMINAL_LENGTH = 0,
  ACTUAL_LENGTH,
  POSITION_X,
  POSITION_Y,
  POSITION_Z,
  DIRECTION_I,
  DIRECTION_J,
  DIRECTION_K,
  FIELD_COUNT
};

const double ZERO_DIRECTION = 1e-6;

// The field's number where the user changed it, the record's own value elsewhere.
double Value_Of(const TEditorFields& fields, const TEditorFields::TNumberField& field, double record_value)
{
  double value = record_value;
  if(fields.Is_Edited(field.edit))
    Parse_Number(field.edit->text(), &value);
  return value;
}
}

TEditorFields::TEditorFields(QLineEdit* name_edit, std::vector<TNumberField> numbers)
  : d_name_edit(name_edit), d_numbers(std::move(numbers))
{
  assert(d_numbers.size() == FIELD_COUNT);
}

void TEditorFields::Mark_Edited(QLineEdit* edit)
{
  d_edited.insert(edit);
}

void TEditorFields::Forget_Edits()
{
  d_edited.clear();
  for(const TNumberField& field : d_numbers)
    Mark_Field(field.edit, QString());
}

QString TEditorFields::Check(const TMeasurement& record)
{
  QStringList not_numbers;
  for(const TNumberField& field : d_numbers)
  {
    double value = 0.0;
    const bool bad = Is_Edited(field.edit) && !Parse_Number(field.edit->text(), &value);
    Mark_Field(field.edit, bad ? QStringLiteral("Not a number") : QString());
    if(bad)
      not_numbers << field.label;
  }
  QStringList problems;
  if(!not_numbers.isEmpty())
    problems << QStringLiteral("Not a number (digits with a point as decimal separator): %1.")
                  .arg(not_numbers.join(QStringLiteral(", ")));

  if(not_numbers.isEmpty() && Direction_Edited() && !(Direction(record).Length() > ZERO_DIRECTION))
  {
    for(int index : {DIRECTION_I, DIRECTION_J, DIRECTION_K})
      Mark_Field(d_numbers[size_t(index)].edit, QStringLiteral("The direction cannot be zero"));
    problems << QStringLiteral("The direction cannot be zero: give at least one component that is not 0.");
  }
  return problems.join(QLatin1Char(' '));
}

bool TEditorFields::Direction_Edited() const
{
  return Is_Edited(d_numbers[DIRECTION_I].edit) || Is_Edited(d_numbers[DIRECTION_J].edit) ||
         Is_Edited(d_numbers[DIRECTION_K].edit);
}

TVector3 TEditorFields::Direction(const TMeasurement& record) const
{
  const TVector3 axis = record.Axis();
  return TVector3(Value_Of(*this, d_numbers[DIRECTION_I], axis.x), Value_Of(*this, d_numbers[DIRECTION_J], axis.y),
                  Value_Of(*this, d_numbers[DIRECTION_K], axis.z));
}

// A blank name is not taken: the record keeps the name it has.
void TEditorFields::Write_Into(TMeasurement* record) const
{
  if(Is_Edited(d_name_edit) && !d_name_edit->text().trimmed().isEmpty())
    record->Set_Name(d_name_edit->text());
  record->Set_Nominal_Length(Value_Of(*this, d_numbers[NOMINAL_LENGTH], record->Nominal_Length()));
  record->Set_Actual_Length(Value_Of(*this, d_numbers[ACTUAL_LENGTH], record->Actual_Length()));
  const TVector3 position = record->Position();
  record->Set_Position(TVector3(Value_Of(*this, d_numbers[POSITION_X], position.x),
                                Value_Of(*this, d_numbers[POSITION_Y], position.y),
                                Value_Of(*this, d_numbers[POSITION_Z], position.z)));
  if(Direction_Edited())
    record->Set_Axis(Direction(*record));
}
