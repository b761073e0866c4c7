#include "measurementset.h"

#include <algorithm>
#include <cassert>
#include <functional>

#include "recordcheck.h"

namespace
{
// Nothing but white space, as QString::trimmed() sees it, without making a copy.
bool Is_Blank(const QString& name)
{
  return std::all_of(name.begin(), name.end(), [](QChar c) { return c.isSpace(); });
}
}

TMeasurementSet::TMeasurementSet(QObject* parent) : QObject(parent)
{
}

TMeasurementSet::~TMeasurementSet() = default;

TMeasurement* TMeasurementSet::At(int row) const
{
  if(row < 0 || row >= Count())
    return nullptr;
  return d_records[static_cast<size_t>(row)].get();
}

int TMeasurementSet::Row_Of(const TMeasurement* record) const
{
  const auto found = std::find_if(d_records.begin(), d_records.end(),
                                  [record](const std::unique_ptr<TMeasurement>& own) { return own.get() == record; });
  return found == d_records.end() ? -1 : static_cast<int>(found - d_records.begin());
}

int TMeasurementSet::Count_Of(TMeasurement::TMeasurementType type) const
{
  return static_cast<int>(std::count_if(d_records.begin(), d_records.end(),
                                        [type](const std::unique_ptr<TMeasurement>& record) {
                                          return record->Type() == type;
                                        }));
}

std::vector<TMeasurement*> TMeasurementSet::Records() const
{
  std::vector<TMeasurement*> records;
  records.reserve(d_records.size());
  for(const std::unique_ptr<TMeasurement>& record : d_records)
    records.push_back(record.get());
  return records;
}

std::vector<TMeasurement*> TMeasurementSet::Fit_Records(QStringList* left_out) const
{
  std::vector<TMeasurement*> records;
  records.reserve(d_records.size());
  for(const std::unique_ptr<TMeasurement>& record : d_records)
  {
    if(Is_Fit_Usable(*record))
      records.push_back(record.get());
    else if(left_out)
      left_out->append(record->Name());
  }
  return records;
}

QString TMeasurementSet::Numbered_Name(TMeasurement::TMeasurementType type, int number)
{
  if(type == TMeasurement::MEASUREMENT_BALLBAR)
    return QStringLiteral("BallBar %1").arg(number);
  return QStringLiteral("Length %1").arg(number);
}

QString TMeasurementSet::Default_Name(TMeasurement::TMeasurementType type) const
{
  return Numbered_Name(type, Count_Of(type) + 1);
}

// A blank name could be saved but not loaded again, so no record keeps one.
void TMeasurementSet::Name_If_Blank(TMeasurement* record) const
{
  if(Is_Blank(record->Name()))
    record->Set_Name(Default_Name(record->Type()));
}

void TMeasurementSet::Insert(int row, std::unique_ptr<TMeasurement> record)
{
  assert(record);
  assert(row >= 0 && row <= Count());
  Name_If_Blank(record.get());
  d_records.insert(d_records.begin() + row, std::move(record));
  emit Records_Inserted(row, 1);
  Changed_By_User();
}

// Records are named one by one, so that unnamed ones number on from each other.
void TMeasurementSet::Append(std::vector<std::unique_ptr<TMeasurement>> records)
{
  if(records.empty())
    return;
  const int first = Count();
  d_records.reserve(d_records.size() + records.size());
  for(std::unique_ptr<TMeasurement>& record : records)
  {
    assert(record);
    Name_If_Blank(record.get());
    d_records.push_back(std::move(record));
  }
  emit Records_Inserted(first, Count() - first);
  Changed_By_User();
}

std::unique_ptr<TMeasurement> TMeasurementSet::Edit(int row, const TMeasurement& values)
{
  assert(row >= 0 && row < Count());
  TMeasurement* record = d_records[static_cast<size_t>(row)].get();
  std::unique_ptr<TMeasurement> old_values = record->Clone();
  record->Set_Values(values);
  if(Is_Blank(record->Name()))
    record->Set_Name(old_values->Name());
  emit Record_Changed(row);
  Changed_By_User();
  return old_values;
}

std::unique_ptr<TMeasurement> TMeasurementSet::Take(int row)
{
  assert(row >= 0 && row < Count());
  std::unique_ptr<TMeasurement> record = std::move(d_records[static_cast<size_t>(row)]);
  d_records.erase(d_records.begin() + row);
  emit Records_Removed(row, 1);
  Changed_By_User();
  return record;
}

// Each record is numbered after the records of its kind in the set and
// those before it; a blank name takes its number.
void TMeasurementSet::Name_Blank_Records(const std::vector<std::unique_ptr<TMeasurement>>& records) const
{
  if(std::none_of(records.begin(), records.end(),
                  [](const std::unique_ptr<TMeasurement>& record) { return Is_Blank(record->Name()); }))
    return;
  int numbers[2] = {Count_Of(TMeasurement::MEASUREMENT_BALLBAR), Count_Of(TMeasurement::MEASUREMENT_LENGTH)};
  for(const std::unique_ptr<TMeasurement>& record : records)
  {
    assert(record);
    const TMeasurement::TMeasurementType type = record->Type();
    const int number = ++numbers[type == TMeasurement::MEASUREMENT_BALLBAR ? 0 : 1];
    if(Is_Blank(record->Name()))
      record->Set_Name(Numbered_Name(type, number));
  }
}

// Removes the rows from the highest down, so that each announced row is the
// row the listeners still see; the set is announced changed once.
void TMeasurementSet::Remove(std::vector<int> rows)
{
  std::sort(rows.begin(), rows.end(), std::greater<int>());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  bool removed = false;
  for(int row : rows)
  {
    if(row < 0 || row >= Count())
      continue;
    d_records.erase(d_records.begin() + row);
    emit Records_Removed(row, 1);
    removed = true;
  }
  if(removed)
    Changed_By_User();
}

namespace
{
// The length of the block of consecutive rows that starts at rows[first].
size_t Block_Length(const std::vector<int>& rows, size_t first)
{
  size_t end = first + 1;
  while(end < rows.size() && rows[end] == rows[end - 1] + 1)
    ++end;
  return end - first;
}
}

// Blocks are taken from the highest down, so that each announced row is the
// row the listeners still see.
std::vector<std::unique_ptr<TMeasurement>> TMeasurementSet::Take_Rows(std::vector<int> rows)
{
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  rows.erase(std::remove_if(rows.begin(), rows.end(), [this](int row) { return row < 0 || row >= Count(); }),
             rows.end());
  std::vector<std::unique_ptr<TMeasurement>> taken(rows.size());
  size_t end = rows.size();
  while(end > 0)
  {
    size_t first = end - 1;
    while(first > 0 && rows[first - 1] == rows[first] - 1)
      --first;
    const auto begin = d_records.begin() + rows[first];
    const auto stop = begin + static_cast<std::ptrdiff_t>(end - first);
    std::move(begin, stop, taken.begin() + static_cast<std::ptrdiff_t>(first));
    d_records.erase(begin, stop);
    emit Records_Removed(rows[first], static_cast<int>(end - first));
    end = first;
  }
  if(!taken.empty())
    Changed_By_User();
  return taken;
}

// rows are ascending and name where each record stands afterwards. Records
// without a name are named one by one, as Append does.
void TMeasurementSet::Insert_Rows(const std::vector<int>& rows, std::vector<std::unique_ptr<TMeasurement>> records)
{
  assert(rows.size() == records.size());
  if(records.empty())
    return;
  Name_Blank_Records(records);
  for(size_t first = 0; first < rows.size();)
  {
    const size_t length = Block_Length(rows, first);
    assert(rows[first] >= 0 && rows[first] <= Count());
    const auto source = records.begin() + static_cast<std::ptrdiff_t>(first);
    d_records.insert(d_records.begin() + rows[first], std::make_move_iterator(source),
                     std::make_move_iterator(source + static_cast<std::ptrdiff_t>(length)));
    emit Records_Inserted(rows[first], static_cast<int>(length));
    first += length;
  }
  Changed_By_User();
}

// The settings are announced before the records, so that a fit started by
// the records' announcement already has them.
void TMeasurementSet::Reset(std::vector<std::unique_ptr<TMeasurement>> records, const TProjectSettings& settings)
{
  const bool settings_changed = settings != d_settings;
  d_settings = settings;
  d_records.clear();
  d_records.reserve(records.size());
  for(std::unique_ptr<TMeasurement>& record : records)
  {
    assert(record);
    Name_If_Blank(record.get());
    d_records.push_back(std::move(record));
  }
  if(settings_changed)
    emit Settings_Changed();
  emit Records_Reset();
  emit Set_Changed();
  Set_Modified(false);
}

void TMeasurementSet::Set_Settings(const TProjectSettings& settings)
{
  if(settings == d_settings)
    return;
  d_settings = settings;
  emit Settings_Changed();
  Set_Modified(true);
}

void TMeasurementSet::Set_Ballbar_Estimate(double length)
{
  for(std::unique_ptr<TMeasurement>& record : d_records)
    if(record->Type() == TMeasurement::MEASUREMENT_BALLBAR && Is_Fit_Usable(*record))
      record->Set_Nominal_Length(length);
  emit Ballbar_Estimate_Changed();
}

void TMeasurementSet::Set_Modified(bool modified)
{
  if(modified == d_modified)
    return;
  d_modified = modified;
  emit Modified_Changed(modified);
}

void TMeasurementSet::Set_File_Name(const QString& file_name)
{
  if(file_name == d_file_name)
    return;
  d_file_name = file_name;
  emit File_Name_Changed(file_name);
}

void TMeasurementSet::Changed_By_User()
{
  emit Set_Changed();
  Set_Modified(true);
}
