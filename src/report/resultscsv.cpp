#include "resultscsv.h"

#include <QLocale>
#include <QStringList>
#include <cmath>

#include "squaredisplay.h"

const char* const CSV_TABLE_HEADER =
  "name,kind,x_mm,y_mm,z_mm,i,j,k,nominal_length_mm,actual_length_mm,standard_uncertainty_mm,"
  "deviation_before_mm,deviation_after_mm,normalised_residual,flagged";

namespace
{
// QString::number is not localised: a point is the decimal separator.
QString Number(double value)
{
  if(std::isnan(value))
    return QStringLiteral("nan");
  if(std::isinf(value))
    return value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
  return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString Optional(const std::optional<double>& value)
{
  return value ? Number(*value) : QString();
}

// Quoted when it holds a separator, a quote or a line break.
QString Field(const QString& text)
{
  if(!text.contains(',') && !text.contains('"') && !text.contains('\n') && !text.contains('\r'))
    return text;
  QString quoted = text;
  quoted.replace('"', QStringLiteral("\"\""));
  return '"' + quoted + '"';
}

QString Line(const QStringList& fields)
{
  return fields.join(',') + '\n';
}

QString Table_Row(const TRecordRow& row)
{
  const TRecordResidual& residual = row.residual;
  return Line({Field(row.name), Kind_Name(row.type), Number(row.position.x), Number(row.position.y),
               Number(row.position.z), Number(row.axis.x), Number(row.axis.y), Number(row.axis.z),
               Number(row.nominal_length), Number(row.actual_length), Optional(residual.standard_uncertainty),
               Optional(residual.deviation_before), Optional(residual.deviation_after), Optional(residual.normalised),
               residual.flagged ? QStringLiteral("true") : QStringLiteral("false")});
}

QString Error_Rows(const TSetResults& results, const TResultsDisplay& display, TSquareError error)
{
  const QString name = Error_Name(error).toLower();
  const TErrorUncertainty& uncertainty = results.analysis.errors[size_t(error)];
  const bool valid = Error_Valid(results.fit, error);
  const auto in_unit = [&](const std::optional<double>& value) {
    return value ? Number(Convert_From_Mm_Per_M(*value, display.unit)) : QString();
  };
  const QString displayed =
    valid ? Number(Displayed_Error(Error_Value(results.fit, error), error, display.sign_convention, display.unit))
          : QString();
  return Line({name, displayed}) + Line({name + "_expanded_uncertainty", in_unit(uncertainty.expanded)}) +
         Line({name + "_u_stated", in_unit(uncertainty.stated)}) +
         Line({name + "_u_observed", in_unit(uncertainty.observed)}) +
         Line({name + "_reason", Field(QString::fromStdString(uncertainty.reason.text))});
}

QString Statistics_Rows(const TFitResult& fit, const QString& name, const TLengthStatistics& statistics)
{
  const auto value = [&](double number) { return fit.has_statistics ? Number(number) : QString(); };
  return Line({name + "_max_length_mm", value(statistics.max_length)}) +
         Line({name + "_min_length_mm", value(statistics.min_length)}) +
         Line({name + "_max_error_mm", value(statistics.max_error)}) +
         Line({name + "_min_error_mm", value(statistics.min_error)});
}
}

QString Results_Csv(const TSetResults& results, const TResultsDisplay& display)
{
  QString text = QString::fromLatin1(CSV_TABLE_HEADER) + '\n';
  for(const TRecordRow& row : results.rows)
    text += Table_Row(row);
  text += '\n';
  text += Line({QStringLiteral("quantity"), QStringLiteral("value")});
  text += Line({QStringLiteral("sign_convention"),
                QString::fromLatin1(Sign_Conventions()[size_t(display.sign_convention)].maker)});
  text += Line({QStringLiteral("unit"), QString::fromUtf8(Angle_Unit_Name(display.unit))});
  for(int error = 0; error < SQUARE_ERROR_COUNT; ++error)
    text += Error_Rows(results, display, TSquareError(error));
  text += Line({QStringLiteral("degrees_of_freedom"), QString::number(results.analysis.degrees_of_freedom)});
  text += Line({QStringLiteral("birge_ratio"), Optional(results.analysis.birge_ratio)});
  text += Line({QStringLiteral("ballbar_length_mm"),
                results.fit.ballbar_count > 0 ? Number(results.fit.ballbar_length) : QString()});
  text += Statistics_Rows(results.fit, QStringLiteral("initial"), results.fit.initial_statistics);
  text += Statistics_Rows(results.fit, QStringLiteral("final"), results.fit.final_statistics);
  return text;
}
