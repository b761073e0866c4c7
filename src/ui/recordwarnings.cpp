#include "recordwarnings.h"

#include <algorithm>

#include "fixedtext.h"
#include "measurement.h"
#include "recordcheck.h"

namespace
{
// Long lists are cut after this many names.
const int LISTED_NAMES = 12;

QString Name_List(const QStringList& names)
{
  QStringList shown = names.mid(0, LISTED_NAMES);
  for(QString& name : shown)
    name = name.toHtmlEscaped();
  if(names.size() > LISTED_NAMES)
    shown << QStringLiteral("and %1 more").arg(names.size() - LISTED_NAMES);
  return shown.join(QStringLiteral(", "));
}

// "A (length not positive), B (not a finite number)" of the entered records whose problem the test picks.
template<class TPick> QStringList Names_With_Problem(const std::vector<const TMeasurement*>& entered, TPick pick)
{
  QStringList names;
  for(const TMeasurement* record : entered)
  {
    const TRecordProblem problem = Record_Problem(*record);
    if(pick(problem))
      names << QStringLiteral("%1 (%2)").arg(record->Name(), Problem_Text(problem));
  }
  return names;
}

QString Paragraph(const QString& text, const QStringList& names)
{
  return QStringLiteral("<p>%1 %2.</p>").arg(text, Name_List(names));
}
}

QString Record_Warning_Text(const std::vector<const TMeasurement*>& entered, const QStringList& zero_directions,
                            const std::vector<TMeasurement*>& set)
{
  QString text;
  const QStringList left_out = Names_With_Problem(entered, [](TRecordProblem problem) {
    return problem == TRecordProblem::NOT_FINITE || problem == TRecordProblem::LENGTH_NOT_POSITIVE;
  });
  if(!left_out.isEmpty())
    text += Paragraph(QStringLiteral("Left out of the fit until corrected:"), left_out);

  const QStringList beyond =
    Names_With_Problem(entered, [](TRecordProblem problem) { return problem == TRecordProblem::OUTSIDE_MACHINE; });
  if(!beyond.isEmpty())
    text += Paragraph(QStringLiteral("Beyond any machine, but kept in the fit:"), beyond);

  if(!zero_directions.isEmpty())
    text += Paragraph(QStringLiteral("A zero direction in the file, taken as (1, 0, 0):"), zero_directions);

  QStringList disagreeing;
  for(const TMeasurement* record : Ballbar_Length_Outliers(set))
    disagreeing << QStringLiteral("%1 (%2 mm)").arg(record->Name(), Fixed_Text(record->Actual_Length(), 3));
  const bool concerns_entered = std::any_of(entered.begin(), entered.end(), [](const TMeasurement* record) {
    return record->Type() == TMeasurement::MEASUREMENT_BALLBAR;
  });
  if(!disagreeing.isEmpty() && concerns_entered)
    text += Paragraph(QStringLiteral("The ball bars' lengths differ by more than 1 % of their mean, while the fit "
                                     "assumes one ball bar of one length. Check:"),
                      disagreeing);
  return text;
}
