#include "recordwarnings.h"


#include "fixedtext.h"
#include "measurement.h"
#include "measurementset.h"
#include "recordcheck.h"

namespace
{
// Long lists are cut after this many names.
const int LISTED_NAMES = 12;

// The first names of `total`, and how many more there are.
QString Name_List(const QStringList& names, long long total)
{
  QStringList shown = names.mid(0, LISTED_NAMES);
  for(QString& name : shown)
    name = name.toHtmlEscaped();
  if(total > LISTED_NAMES)
    shown << QStringLiteral("and %1 more").arg(total - LISTED_NAMES);
  return shown.join(QStringLiteral(", "));
}

QString Paragraph(const QString& text, const QStringList& names)
{
  return QStringLiteral("<p>%1 %2.</p>").arg(text, Name_List(names, names.size()));
}

// "A (length not positive), B (not a finite number), and 3 more".
QString Problem_Paragraph(const QString& text, const std::vector<const TMeasurement*>& records)
{
  QStringList names;
  for(size_t i = 0; i < records.size() && i < size_t(LISTED_NAMES); ++i)
    names << QStringLiteral("%1 (%2)").arg(records[i]->Name(), Problem_Text(Record_Problem(*records[i])));
  return QStringLiteral("<p>%1 %2.</p>").arg(text, Name_List(names, static_cast<long long>(records.size())));
}
}

void TEnteredRecords::Add(const TMeasurement& record)
{
  ++(record.Type() == TMeasurement::MEASUREMENT_BALLBAR ? ballbars : lengths);
  const TRecordProblem problem = Record_Problem(record);
  if(problem == TRecordProblem::NOT_FINITE || problem == TRecordProblem::LENGTH_NOT_POSITIVE)
    left_out.push_back(&record);
  else if(problem == TRecordProblem::OUTSIDE_MACHINE)
    beyond.push_back(&record);
}

QString Record_Warning_Text(const TEnteredRecords& entered, const QStringList& zero_directions,
                            const TMeasurementSet& set)
{
  QString text;
  if(!entered.left_out.empty())
    text += Problem_Paragraph(QStringLiteral("Left out of the fit until corrected:"), entered.left_out);
  if(!entered.beyond.empty())
    text += Problem_Paragraph(QStringLiteral("Beyond any machine, but kept in the fit:"), entered.beyond);

  if(!zero_directions.isEmpty())
    text += Paragraph(QStringLiteral("A zero direction in the file, taken as (1, 0, 0):"), zero_directions);

  if(entered.ballbars == 0)
    return text;
  QStringList disagreeing;
  for(const TMeasurement* record : Ballbar_Length_Outliers(set))
    disagreeing << QStringLiteral("%1 (%2 mm)").arg(record->Name(), Fixed_Text(record->Actual_Length(), 3));
  if(!disagreeing.isEmpty())
    text += Paragraph(QStringLiteral("The ball bars' lengths differ by more than 1 % of their mean, while the fit "
                                     "assumes one ball bar of one length. Check:"),
                      disagreeing);
  return text;
}
