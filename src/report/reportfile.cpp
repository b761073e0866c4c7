#include "reportfile.h"

#include <QFileInfo>

#include "reporthtml.h"
#include "reportpdf.h"

TReportFormat Report_Format_Of(const QString& path)
{
  const QString suffix = QFileInfo(path).suffix().toLower();
  if(suffix == QLatin1String("pdf"))
    return REPORT_FORMAT_PDF;
  if(suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
    return REPORT_FORMAT_HTML;
  return REPORT_FORMAT_UNKNOWN;
}

bool Write_Report(const QString& path, const TReportContent& content, QString* error)
{
  switch(Report_Format_Of(path))
  {
    case REPORT_FORMAT_PDF:
      return Write_Report_Pdf(path, content, error);
    case REPORT_FORMAT_HTML:
      return Write_Report_Html(path, content, error);
    case REPORT_FORMAT_UNKNOWN:
      break;
  }
  *error = QStringLiteral("ERR:  Cannot write report '%1'.  Reason: the name must end in .pdf or .html").arg(path);
  return false;
}
