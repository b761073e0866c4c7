#include "importmessages.h"

#include <QStringList>

#include "import_report.h"

namespace
{
QString Count(long long count, const char* one, const char* many)
{
  return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}
}

QString Import_Summary(long long ballbars, long long lengths, const TImportReport& report, const QString& file)
{
  QStringList added;
  if(ballbars > 0)
    added << Count(ballbars, "ball bar", "ball bars");
  if(lengths > 0)
    added << Count(lengths, "length record", "length records");
  QString summary = QStringLiteral("Imported %1 from %2").arg(added.join(QStringLiteral(" and ")), file);
  if(report.skipped_lines > 0)
    summary += QStringLiteral("; %1 skipped").arg(Count(report.skipped_lines, "line", "lines"));
  return summary;
}

QString Skipped_Lines_Text(const TImportReport& report)
{
  if(report.skipped_lines == 0)
    return QString();
  QStringList details;
  for(const QString& detail : report.skip_details)
    details << detail.toHtmlEscaped();
  if(report.skipped_lines > details.size())
    details << QStringLiteral("and %1 more").arg(report.skipped_lines - details.size());
  return QStringLiteral("<p>%1 of %2 data lines gave no measurement: %3.</p>")
    .arg(report.skipped_lines)
    .arg(report.data_lines)
    .arg(details.join(QStringLiteral("; ")));
}
