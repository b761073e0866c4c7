// Writes the calibration report in the format its file's suffix names: .pdf
// for PDF, .html or .htm for HTML (letter case does not matter).
#ifndef REPORTFILE_H
#define REPORTFILE_H

#include <QString>

#include "reportcontent.h"

enum TReportFormat
{
  REPORT_FORMAT_UNKNOWN = 0,
  REPORT_FORMAT_PDF,
  REPORT_FORMAT_HTML
};

TReportFormat Report_Format_Of(const QString& path);

// False with the reason in *error, also for a suffix that names no format.
bool Write_Report(const QString& path, const TReportContent& content, QString* error);

#endif
