#include "resultstext.h"

#include <QStringList>

#include "fixedtext.h"
#include "squaredisplay.h"

namespace
{
const int LABEL_WIDTH = 22;
const int COLUMN_WIDTH = 14;

QString Row(const QString& label, const QStringList& cells)
{
  QString line = label.leftJustified(LABEL_WIDTH);
  for(const QString& cell : cells)
    line += cell.rightJustified(COLUMN_WIDTH);
  return line + '\n';
}

QString Statistics_Row(const QString& label, const TFitResult& fit, const TLengthStatistics& statistics)
{
  const auto text = [&](double value) { return fit.has_statistics ? Fixed_Text(value, 4) : NOT_AVAILABLE_TEXT; };
  return Row(label, {text(statistics.max_length), text(statistics.min_length), text(statistics.max_error),
                     text(statistics.min_error)});
}

QString Names_Where(const TSetResults& results, bool (*test)(const TRecordRow&))
{
  QStringList names;
  for(const TRecordRow& row : results.rows)
    if(test(row))
      names << row.name;
  return names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "));
}
}

QString Results_Text(const TSetResults& results, const TResultsDisplay& display)
{
  const QString unit = QString::fromUtf8(Angle_Unit_Label(display.unit));
  QString text = QStringLiteral("Sign convention: %1\n")
                   .arg(QString::fromLatin1(Sign_Conventions()[size_t(display.sign_convention)].maker));
  text += Row(QString(), {QStringLiteral("XY %1").arg(unit), QStringLiteral("YZ %1").arg(unit),
                          QStringLiteral("ZX %1").arg(unit)});
  QStringList errors, uncertainties, reasons;
  for(int i = 0; i < SQUARE_ERROR_COUNT; ++i)
  {
    const TSquareError error = TSquareError(i);
    errors << Error_Text(Error_Value(results.fit, error), Error_Valid(results.fit, error), error,
                         display.sign_convention, display.unit);
    const TErrorUncertainty& uncertainty = results.analysis.errors[size_t(i)];
    uncertainties << Uncertainty_Text(uncertainty.expanded, display.unit);
    if(!uncertainty.reason.text.empty())
      reasons << QStringLiteral("  %1: %2\n").arg(Error_Name(error), QString::fromStdString(uncertainty.reason.text));
  }
  text += Row(QStringLiteral("Squareness:"), errors);
  text += Row(QStringLiteral("U (k = 2):"), uncertainties);
  if(!reasons.isEmpty())
    text += QStringLiteral("Not given:\n") + reasons.join(QString());
  text += '\n';

  const TSquareAnalysis& analysis = results.analysis;
  text += QStringLiteral("Degrees of freedom (n - p): %1 (n = %2, p = %3)\n")
            .arg(analysis.degrees_of_freedom)
            .arg(analysis.record_count)
            .arg(analysis.parameter_count);
  text += QStringLiteral("Birge ratio: %1").arg(Ratio_Text(analysis.birge_ratio));
  if(!analysis.birge_reason.text.empty())
    text += QStringLiteral(" (%1)").arg(QString::fromStdString(analysis.birge_reason.text));
  text += '\n';
  text += QStringLiteral("Ball-bar length: %1\n")
            .arg(results.fit.ballbar_count > 0 ? Fixed_Text(results.fit.ballbar_length, 4) + " mm"
                                               : NOT_AVAILABLE_TEXT);
  text += '\n';

  text += Row(QString(), {QStringLiteral("Max Length mm"), QStringLiteral("Min Length mm"),
                          QStringLiteral("Max Error mm"), QStringLiteral("Min Error mm")});
  text += Statistics_Row(QStringLiteral("Initial:"), results.fit, results.fit.initial_statistics);
  text += Statistics_Row(QStringLiteral("Final:"), results.fit, results.fit.final_statistics);
  text += '\n';
  text += QStringLiteral("Flagged (|residual| > %1 u): %2\n")
            .arg(FLAG_LIMIT)
            .arg(Names_Where(results, [](const TRecordRow& row) { return row.residual.flagged; }));
  text += QStringLiteral("Left out of the fit: %1\n")
            .arg(Names_Where(results, [](const TRecordRow& row) { return !row.fitted; }));
  return text;
}
