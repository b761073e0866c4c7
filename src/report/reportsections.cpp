#include "reportsections.h"

#include <QLocale>
#include <QStringList>

#include "fixedtext.h"
#include "programinfo.h"
#include "squaredisplay.h"
#include "uncertainty_reasons.h"

namespace
{
const QString NOT_GIVEN = QStringLiteral("not given");

QString Escaped(const QString& text)
{
  return text.toHtmlEscaped();
}

QString Cell(const QString& text, bool number = false)
{
  return QStringLiteral("<td%1>%2</td>").arg(number ? QStringLiteral(" class=\"number\" align=\"right\"") : QString(),
                                             Escaped(text));
}

// A cell of the measurement table: small, each line of the text on one line.
QString Small_Cell(const QString& text, bool number = false)
{
  return QStringLiteral("<td style=\"font-size: 7pt; white-space: nowrap\"%1>%2</td>")
    .arg(number ? QStringLiteral(" align=\"right\"") : QString(), Escaped(text).replace('\n', "<br>"));
}

// The components one below the other, so that the table fits the page.
QString Column_Text(const TVector3& vector, int decimals)
{
  return QStringLiteral("%1\n%2\n%3")
    .arg(Fixed_Text(vector.x, decimals), Fixed_Text(vector.y, decimals), Fixed_Text(vector.z, decimals));
}

QString Header_Row(const QStringList& titles)
{
  QString row = QStringLiteral("<tr>");
  for(const QString& title : titles)
    row += QStringLiteral("<th>%1</th>").arg(Escaped(title));
  return row + QStringLiteral("</tr>\n");
}

QString Value_Row(const QString& title, const QStringList& values, bool numbers = true)
{
  QString row = QStringLiteral("<tr><th>%1</th>").arg(Escaped(title));
  for(const QString& value : values)
    row += Cell(value, numbers);
  return row + QStringLiteral("</tr>\n");
}

QString Text_Row(const QString& title, const QString& value)
{
  return Value_Row(title, {value}, false);
}

QString Table(const QString& rows, const QString& css_class = QString())
{
  return QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\"%1>\n%2</table>\n")
    .arg(css_class.isEmpty() ? QString() : QStringLiteral(" class=\"%1\"").arg(css_class), rows);
}

QString Given(const QString& text)
{
  return text.trimmed().isEmpty() ? NOT_GIVEN : text;
}

QString Temperature(const std::optional<double>& value)
{
  return value ? QStringLiteral("%1 °C").arg(QString::number(*value, 'g', QLocale::FloatingPointShortest))
               : NOT_GIVEN;
}

QString Machine_Text(const TProjectInformation& information)
{
  QStringList parts;
  const QString name = QStringList{information.machine_maker, information.machine_model}.join(' ').trimmed();
  if(!name.isEmpty())
    parts << name;
  if(!information.machine_serial_number.isEmpty())
    parts << QStringLiteral("serial number %1").arg(information.machine_serial_number);
  return parts.isEmpty() ? NOT_GIVEN : parts.join(QStringLiteral(", "));
}

QString Instruments_Table(const std::vector<TInstrument>& instruments)
{
  if(instruments.empty())
    return QString();
  QString rows = Header_Row({QStringLiteral("Instrument"), QStringLiteral("Serial number"),
                             QStringLiteral("Calibration certificate")});
  for(const TInstrument& instrument : instruments)
    rows += QStringLiteral("<tr>%1%2%3</tr>\n")
              .arg(Cell(instrument.name), Cell(instrument.serial_number), Cell(instrument.certificate));
  return QStringLiteral("<p>Instruments used:</p>\n") + Table(rows);
}

// "2 of the 2 XY face diagonals, …, 4 of the 4 body diagonals".
QString Directions_Text(const TMeasurementSnapshot& snapshot)
{
  const TDirectionCoverage coverage = Direction_Coverage(snapshot);
  static const char* const planes[3] = {"XY", "YZ", "ZX"};
  QStringList parts;
  for(int plane = 0; plane < 3; ++plane)
  {
    const int count = int(coverage.face[2 * plane]) + int(coverage.face[2 * plane + 1]);
    if(count > 0)
      parts << QStringLiteral("%1 of the 2 %2 face diagonals").arg(count).arg(QString::fromLatin1(planes[plane]));
  }
  int body = 0;
  for(bool measured : coverage.body)
    body += measured ? 1 : 0;
  if(body > 0)
    parts << QStringLiteral("%1 of the 4 body diagonals").arg(body);
  return parts.isEmpty() ? QStringLiteral("none of the face or body diagonals") : parts.join(QStringLiteral(", "));
}

QString Length_Text(double value)
{
  return Fixed_Text(value, 4);
}

QString Optional_Text(const std::optional<double>& value, int decimals)
{
  return value ? Fixed_Text(*value, decimals) : NOT_AVAILABLE_TEXT;
}

QString Statistics_Row(const QString& title, const TFitResult& fit, const TLengthStatistics& statistics)
{
  const auto text = [&](double value) { return fit.has_statistics ? Length_Text(value) : NOT_AVAILABLE_TEXT; };
  return Value_Row(title, {text(statistics.max_length), text(statistics.min_length), text(statistics.max_error),
                           text(statistics.min_error)});
}

QString Measurement_Row(const TRecordRow& row)
{
  const TRecordResidual& residual = row.residual;
  const QString kind = row.type == TMeasurement::MEASUREMENT_BALLBAR ? QStringLiteral("Ball bar")
                                                                      : QStringLiteral("Length");
  QString cells = Small_Cell(row.name) + Small_Cell(kind) + Small_Cell(Column_Text(row.position, 3), true) +
                  Small_Cell(Column_Text(row.axis, 8), true) + Small_Cell(Length_Text(row.nominal_length), true) +
                  Small_Cell(Length_Text(row.actual_length), true);
  if(row.fitted)
    cells += Small_Cell(Optional_Text(residual.deviation_before, 4), true) +
             Small_Cell(Optional_Text(residual.deviation_after, 4), true) +
             Small_Cell(Optional_Text(residual.normalised, 2), true) +
             Small_Cell(residual.flagged ? QStringLiteral("flagged") : QString());
  else
    cells += QStringLiteral("<td colspan=\"4\" style=\"font-size: 7pt\">left out of the fit: %1</td>")
               .arg(Escaped(row.problem));
  return QStringLiteral("<tr>%1</tr>\n").arg(cells);
}
}

QString Information_Section(const TReportContent& content)
{
  const TProjectInformation& information = content.information;
  QString rows;
  rows += Text_Row(QStringLiteral("Machine"), Machine_Text(information));
  rows += Text_Row(QStringLiteral("Customer"), Given(information.customer));
  rows += Text_Row(QStringLiteral("Operator"), Given(information.operator_name));
  rows += Text_Row(QStringLiteral("Date of measurement"),
                   information.measurement_date.isValid() ? information.measurement_date.toString(Qt::ISODate) : NOT_GIVEN);
  rows += Text_Row(QStringLiteral("Air temperature"), Temperature(information.air_temperature_c));
  rows += Text_Row(QStringLiteral("Machine temperature"), Temperature(information.machine_temperature_c));
  rows += Text_Row(QStringLiteral("Date of report"), content.created.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
  rows += Text_Row(QStringLiteral("Program"), Program_Name_And_Version());
  rows += Text_Row(QStringLiteral("Project file"), Given(content.source));
  QString html = QStringLiteral("<h2>1. Project</h2>\n") + Table(rows) + Instruments_Table(information.instruments);
  if(!information.notes.trimmed().isEmpty())
    html += QStringLiteral("<p>Notes:</p>\n<p>%1</p>\n").arg(Escaped(information.notes).replace('\n', "<br>"));
  return html;
}

QString Method_Section(const TReportContent& content)
{
  const TSetResults& results = content.results;
  const TSignConvention& convention = Sign_Conventions()[size_t(content.display.sign_convention)];
  QString html = QStringLiteral("<h2>2. Method</h2>\n");
  html += QStringLiteral("<p>%1 ball-bar lengths and %2 reference lengths (laser or step gauge) were measured, "
                         "along %3. The model explains the differences between the corrected and the nominal "
                         "lengths by three squareness errors (XY, YZ and ZX, small tilts of the X, Y and Z axes) "
                         "and one ball-bar length, fitted by unweighted least squares.</p>\n")
            .arg(results.ballbar_count)
            .arg(results.length_count)
            .arg(Directions_Text(results.snapshot));
  html += QStringLiteral("<p>Sign convention: %1.<br>%2</p>\n")
            .arg(QString::fromLatin1(convention.maker),
                 Escaped(QString::fromStdString(Sign_Convention_Meaning(convention))).replace('\n', "<br>"));
  return html;
}

QString Results_Section(const TReportContent& content)
{
  const TSetResults& results = content.results;
  const TAngleUnit unit = content.display.unit;
  const QString unit_label = QString::fromUtf8(Angle_Unit_Label(unit));
  QStringList errors, expanded, stated, observed;
  QString reasons;
  for(int i = 0; i < SQUARE_ERROR_COUNT; ++i)
  {
    const TSquareError error = TSquareError(i);
    const TErrorUncertainty& uncertainty = results.analysis.errors[size_t(i)];
    errors << Error_Text(Error_Value(results.fit, error), Error_Valid(results.fit, error), error,
                         content.display.sign_convention, unit);
    expanded << Uncertainty_Text(uncertainty.expanded, unit);
    stated << Uncertainty_Text(uncertainty.stated, unit);
    observed << Uncertainty_Text(uncertainty.observed, unit);
    if(!uncertainty.reason.text.empty())
      reasons += QStringLiteral("<li>%1: %2</li>\n")
                   .arg(Error_Name(error), Escaped(QString::fromStdString(uncertainty.reason.text)));
  }
  QString html = QStringLiteral("<h2>3. Results</h2>\n");
  QString rows = Header_Row({QString(), QStringLiteral("XY %1").arg(unit_label), QStringLiteral("YZ %1").arg(unit_label),
                             QStringLiteral("ZX %1").arg(unit_label)});
  rows += Value_Row(QStringLiteral("Squareness error"), errors);
  rows += Value_Row(QStringLiteral("Expanded uncertainty U (k = 2)"), expanded);
  rows += Value_Row(QStringLiteral("Standard uncertainty, stated lengths"), stated);
  rows += Value_Row(QStringLiteral("Standard uncertainty, observed scatter"), observed);
  html += Table(rows);
  if(!reasons.isEmpty())
    html += QStringLiteral("<p>Not given:</p>\n<ul>\n%1</ul>\n").arg(reasons);

  const TSquareAnalysis& analysis = results.analysis;
  QString birge = Ratio_Text(analysis.birge_ratio);
  if(!analysis.birge_reason.text.empty())
    birge += QStringLiteral(" (%1)").arg(QString::fromStdString(analysis.birge_reason.text));
  rows = Value_Row(QStringLiteral("Degrees of freedom n − p"),
                   {QStringLiteral("%1 (n = %2, p = %3)")
                      .arg(analysis.degrees_of_freedom)
                      .arg(analysis.record_count)
                      .arg(analysis.parameter_count)});
  rows += Value_Row(QStringLiteral("Birge ratio"), {birge});
  rows += Value_Row(QStringLiteral("Estimated ball-bar length"),
                    {results.fit.ballbar_count > 0 ? Length_Text(results.fit.ballbar_length) + " mm"
                                                   : NOT_AVAILABLE_TEXT});
  html += QStringLiteral("<p></p>\n") + Table(rows);

  rows = Header_Row({QString(), QStringLiteral("Max Length mm"), QStringLiteral("Min Length mm"),
                     QStringLiteral("Max Error mm"), QStringLiteral("Min Error mm")});
  rows += Statistics_Row(QStringLiteral("Initial"), results.fit, results.fit.initial_statistics);
  rows += Statistics_Row(QStringLiteral("Final"), results.fit, results.fit.final_statistics);
  html += QStringLiteral("<p>Length and error statistics before and after the fit:</p>\n") + Table(rows);
  return html;
}

QString Measurements_Section(const TReportContent& content)
{
  QString rows = QStringLiteral("<tr>");
  for(const char* title : {"Name", "Kind", "Position mm", "Direction", "Nominal mm", "Actual mm", "Before mm",
                           "After mm", "Normalised", "Flag"})
    rows += QStringLiteral("<th style=\"font-size: 7pt; white-space: nowrap\">%1</th>").arg(QString::fromLatin1(title));
  rows += QStringLiteral("</tr>\n");
  for(const TRecordRow& row : content.results.rows)
    rows += Measurement_Row(row);
  return QStringLiteral("<h2>5. Measurements</h2>\n") + Table(rows, QStringLiteral("measurements")) +
         QStringLiteral("<p class=\"note\">Before and After: the deviation of the length from nominal before and "
                        "after the fit. A ball bar's nominal length is the fitted estimate. The normalised "
                        "residual is the deviation after the fit divided by the stated standard uncertainty; "
                        "a record is flagged above %1.</p>\n")
           .arg(FLAG_LIMIT);
}

QString Settings_Section(const TReportContent& content)
{
  const TUncertaintySettings& settings = content.results.uncertainty;
  const auto number = [](double value) { return QString::number(value, 'g', QLocale::FloatingPointShortest); };
  QString rows = Header_Row({QStringLiteral("Record kind"), QStringLiteral("a µm"), QStringLiteral("b µm/m")});
  rows += Value_Row(QStringLiteral("Ball bar"),
                    {number(settings.ball_bar.constant_um), number(settings.ball_bar.proportional_um_per_m)});
  rows += Value_Row(QStringLiteral("Length"),
                    {number(settings.length.constant_um), number(settings.length.proportional_um_per_m)});
  return QStringLiteral("<h2>6. Uncertainty settings</h2>\n<p>Stated standard uncertainty of a measured length "
                        "L: u = √(a² + (b·L / 1000 mm)²). Coverage factor k = %1.</p>\n")
           .arg(COVERAGE_FACTOR) +
         Table(rows);
}
