#include "cli_input.h"

#include <QFileInfo>
#include <cassert>
#include <memory>
#include <vector>

#include "measurement_factory.h"
#include "measurementset.h"
#include "projectfile.h"
#include "recordcheck.h"

namespace
{
const QString PROJECT_SUFFIX = QStringLiteral(".square");

using TRecords = std::vector<std::unique_ptr<TMeasurement>>;

bool Load_Project(const QString& file, TMeasurementSet* set, TCliInput* input, QString* error)
{
  TRecords records;
  QString message;
  QStringList zero_directions;
  TProjectSettings settings;
  if(!TProjectFile::Load(file, &records, &message, &zero_directions, &settings))
  {
    *error = QStringLiteral("%1: %2").arg(file, message);
    return false;
  }
  for(const QString& name : zero_directions)
    input->warnings << QStringLiteral("%1: %2: the direction in the file has no length; taken as (1, 0, 0)")
                         .arg(file, name);
  if(input->first_project.isEmpty())
  {
    input->first_project = file;
    set->Set_Settings(settings);
  }
  else if(settings != set->Settings())
  {
    input->warnings << QStringLiteral("%1: its project settings are ignored; those of %2 apply")
                         .arg(file, input->first_project);
  }
  set->Append(std::move(records));
  return true;
}

bool Import_File(const QString& file, TMeasurementSet* set, TCliInput* input, QString* error)
{
  TMeasurementFactory factory;
  bool valid = false;
  const std::vector<TMeasurement*> imported = factory.Load_File(file, &valid);
  TRecords records(imported.begin(), imported.end());
  if(!valid)
  {
    *error = QStringLiteral("%1: %2").arg(file, factory.Last_Error());
    return false;
  }
  const TImportReport& report = factory.Last_Report();
  if(records.empty())
    input->warnings << QStringLiteral("%1: No measurement lengths found.  %2").arg(file, report.nothing_found_reason);
  for(const QString& detail : report.skip_details)
    input->warnings << QStringLiteral("%1: skipped %2").arg(file, detail);
  if(report.skipped_lines > report.skip_details.size())
    input->warnings << QStringLiteral("%1: %2 more lines skipped")
                         .arg(file)
                         .arg(report.skipped_lines - report.skip_details.size());
  for(const QString& name : report.zero_direction_records)
    input->warnings << QStringLiteral("%1: %2: the two points or the direction coincide; taken as (1, 0, 0)")
                         .arg(file, name);
  set->Append(std::move(records));
  return true;
}

// What the window names below the results and in its warnings about the whole set.
void Warn_About_Set(const TMeasurementSet& set, QStringList* warnings)
{
  for(const TMeasurement* record : set.Records())
  {
    const TRecordProblem problem = Record_Problem(*record);
    if(problem == TRecordProblem::NONE)
      continue;
    const QString what = Is_Fit_Usable(*record) ? QStringLiteral("kept in the fit") : QStringLiteral("left out of the fit");
    *warnings << QStringLiteral("%1: %2 (%3)").arg(record->Name(), what, Problem_Text(problem));
  }
  QStringList outliers;
  for(const TMeasurement* record : Ballbar_Length_Outliers(set))
    outliers << record->Name();
  if(!outliers.isEmpty())
    *warnings << QStringLiteral("ball bars of another length than the rest (the model assumes one ball bar): %1")
                   .arg(outliers.join(QStringLiteral(", ")));
}
}

bool Read_Cli_Files(const QStringList& files, TMeasurementSet* set, TCliInput* input, QString* error)
{
  assert(set && input && error);
  for(const QString& file : files)
  {
    const bool project = file.endsWith(PROJECT_SUFFIX, Qt::CaseInsensitive);
    if(!(project ? Load_Project(file, set, input, error) : Import_File(file, set, input, error)))
      return false;
  }
  Warn_About_Set(*set, &input->warnings);
  return true;
}
