#include "resultsjson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
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

// The measurements are written directly, one object a line: building a
// QJsonObject for each of 100 000 records costs seconds.
QByteArray Json_Number(double value)
{
  return std::isfinite(value) ? QByteArray::number(value, 'g', QLocale::FloatingPointShortest) : QByteArray("null");
}

QByteArray Json_Optional(const std::optional<double>& value)
{
  return value ? Json_Number(*value) : QByteArray("null");
}

QByteArray Json_String(const QString& text)
{
  QByteArray quoted("\"");
  for(const char c : text.toUtf8())
  {
    const unsigned char byte = static_cast<unsigned char>(c);
    if(c == '"' || c == '\\')
      quoted += '\\', quoted += c;
    else if(byte < 0x20)
      quoted += QByteArray("\\u00") + QByteArray::number(byte, 16).rightJustified(2, '0');
    else
      quoted += c;
  }
  return quoted + '"';
}

QByteArray Json_Vector(const TVector3& vector)
{
  return '[' + Json_Number(vector.x) + ", " + Json_Number(vector.y) + ", " + Json_Number(vector.z) + ']';
}

QByteArray Measurement(const TRecordRow& row)
{
  const TRecordResidual& residual = row.residual;
  QByteArray text;
  text.reserve(512);
  text += "{\"name\": " + Json_String(row.name);
  text += ", \"kind\": " + Json_String(Kind_Name(row.type));
  text += ", \"position\": " + Json_Vector(row.position);
  text += ", \"direction\": " + Json_Vector(row.axis);
  text += ", \"nominal_length\": " + Json_Number(row.nominal_length);
  text += ", \"actual_length\": " + Json_Number(row.actual_length);
  text += ", \"standard_uncertainty\": " + Json_Optional(residual.standard_uncertainty);
  text += ", \"deviation_before\": " + Json_Optional(residual.deviation_before);
  text += ", \"deviation_after\": " + Json_Optional(residual.deviation_after);
  text += ", \"normalised_residual\": " + Json_Optional(residual.normalised);
  text += QByteArray(", \"flagged\": ") + (residual.flagged ? "true" : "false") + '}';
  return text;
}

// The member "measurements" added at the end of an indented object.
QByteArray With_Measurements(QByteArray object, const std::vector<TRecordRow>& rows)
{
  QByteArray list = ",\n    \"measurements\": [";
  list.reserve(int(rows.size()) * 480 + 64);
  for(size_t i = 0; i < rows.size(); ++i)
  {
    list += i == 0 ? "\n        " : ",\n        ";
    list += Measurement(rows[i]);
  }
  list += rows.empty() ? "]\n" : "\n    ]\n";
  const int end = object.lastIndexOf('}');
  int last = end - 1;
  while(last >= 0 && (object[last] == '\n' || object[last] == ' '))
    --last;
  object.replace(last + 1, end - last - 1, list);
  return object;
}
}

QByteArray Results_Json(const TSetResults& results, const TResultsDisplay& display, const QStringList& inputs,
                        const QStringList& warnings)
{
  QJsonObject squareness;
  squareness.insert(QStringLiteral("xy"), Error_Object(results, display, SQUARE_ERROR_XY));
  squareness.insert(QStringLiteral("yz"), Error_Object(results, display, SQUARE_ERROR_YZ));
  squareness.insert(QStringLiteral("zx"), Error_Object(results, display, SQUARE_ERROR_ZX));

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
  root.insert(QStringLiteral("warnings"), QJsonArray::fromStringList(warnings));
  return With_Measurements(QJsonDocument(root).toJson(QJsonDocument::Indented), results.rows);
}
