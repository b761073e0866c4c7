#include "resultsjson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "programinfo.h"
#include "squaredisplay.h"

namespace
{
QJsonValue Number(double value)
{
  return std::isfinite(value) ? QJsonValue(value) : QJsonValue(QJsonValue::Null);
}

QJsonValue Optional(const std::optional<double>& value)
{
  return value ? Number(*value) : QJsonValue(QJsonValue::Null);
}

QJsonValue Optional_In_Unit(const std::optional<double>& value, TAngleUnit unit)
{
  return value ? Number(Convert_From_Mm_Per_M(*value, unit)) : QJsonValue(QJsonValue::Null);
}

QJsonValue Text_Or_Null(const std::string& text)
{
  return text.empty() ? QJsonValue(QJsonValue::Null) : QJsonValue(QString::fromStdString(text));
}

QJsonArray Vector(const TVector3& vector)
{
  return QJsonArray{Number(vector.x), Number(vector.y), Number(vector.z)};
}

QJsonObject Error_Object(const TSetResults& results, const TResultsDisplay& display, TSquareError error)
{
  const TErrorUncertainty& uncertainty = results.analysis.errors[size_t(error)];
  const bool valid = Error_Valid(results.fit, error);
  const double value = Error_Value(results.fit, error);
  QJsonObject object;
  object.insert(QStringLiteral("value"), Number(value));
  object.insert(QStringLiteral("valid"), valid);
  object.insert(QStringLiteral("displayed"),
                valid ? Number(Displayed_Error(value, error, display.sign_convention, display.unit))
                      : QJsonValue(QJsonValue::Null));
  object.insert(QStringLiteral("expanded_uncertainty"), Optional_In_Unit(uncertainty.expanded, display.unit));
  object.insert(QStringLiteral("u_stated"), Optional_In_Unit(uncertainty.stated, display.unit));
  object.insert(QStringLiteral("u_observed"), Optional_In_Unit(uncertainty.observed, display.unit));
  object.insert(QStringLiteral("reason"), Text_Or_Null(uncertainty.reason.text));
  return object;
}

QJsonValue Statistics(const TFitResult& fit, const TLengthStatistics& statistics)
{
  if(!fit.has_statistics)
    return QJsonValue(QJsonValue::Null);
  return QJsonObject{{QStringLiteral("min_length"), Number(statistics.min_length)},
                     {QStringLiteral("max_length"), Number(statistics.max_length)},
                     {QStringLiteral("min_error"), Number(statistics.min_error)},
                     {QStringLiteral("max_error"), Number(statistics.max_error)}};
}

QJsonObject Measurement(const TRecordRow& row)
{
  return QJsonObject{{QStringLiteral("name"), row.name},
                     {QStringLiteral("kind"), Kind_Name(row.type)},
                     {QStringLiteral("position"), Vector(row.position)},
                     {QStringLiteral("direction"), Vector(row.axis)},
                     {QStringLiteral("nominal_length"), Number(row.nominal_length)},
                     {QStringLiteral("actual_length"), Number(row.actual_length)},
                     {QStringLiteral("standard_uncertainty"), Optional(row.residual.standard_uncertainty)},
                     {QStringLiteral("deviation_before"), Optional(row.residual.deviation_before)},
                     {QStringLiteral("deviation_after"), Optional(row.residual.deviation_after)},
                     {QStringLiteral("normalised_residual"), Optional(row.residual.normalised)},
                     {QStringLiteral("flagged"), row.residual.flagged}};
}
}

QByteArray Results_Json(const TSetResults& results, const TResultsDisplay& display, const QStringList& inputs,
                        const QStringList& warnings)
{
  QJsonObject squareness;
  squareness.insert(QStringLiteral("xy"), Error_Object(results, display, SQUARE_ERROR_XY));
  squareness.insert(QStringLiteral("yz"), Error_Object(results, display, SQUARE_ERROR_YZ));
  squareness.insert(QStringLiteral("zx"), Error_Object(results, display, SQUARE_ERROR_ZX));

  QJsonArray measurements;
  for(const TRecordRow& row : results.rows)
    measurements.append(Measurement(row));

  QJsonObject root;
  root.insert(QStringLiteral("program"), QStringLiteral("orthavel-cli"));
  root.insert(QStringLiteral("version"), Program_Version());
  root.insert(QStringLiteral("inputs"), QJsonArray::fromStringList(inputs));
  root.insert(QStringLiteral("sign_convention"),
              QString::fromLatin1(Sign_Conventions()[size_t(display.sign_convention)].maker));
  root.insert(QStringLiteral("unit"), QString::fromUtf8(Angle_Unit_Name(display.unit)));
  root.insert(QStringLiteral("squareness"), squareness);
  root.insert(QStringLiteral("degrees_of_freedom"), results.analysis.degrees_of_freedom);
  root.insert(QStringLiteral("birge_ratio"), Optional(results.analysis.birge_ratio));
  root.insert(QStringLiteral("ballbar_length"),
              results.fit.ballbar_count > 0 ? Number(results.fit.ballbar_length) : QJsonValue(QJsonValue::Null));
  root.insert(QStringLiteral("statistics"),
              QJsonObject{{QStringLiteral("initial"), Statistics(results.fit, results.fit.initial_statistics)},
                          {QStringLiteral("final"), Statistics(results.fit, results.fit.final_statistics)}});
  root.insert(QStringLiteral("measurements"), measurements);
  root.insert(QStringLiteral("warnings"), QJsonArray::fromStringList(warnings));
  return QJsonDocument(root).toJson(QJsonDocument::Indented);
}
