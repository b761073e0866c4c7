// The calibration report as an A4 PDF, laid out by QTextDocument from the
// report's HTML and written by QPdfWriter.
#ifndef REPORTPDF_H
#define REPORTPDF_H

#include <QString>

#include "reportcontent.h"

// False with the reason in *error; an old file is replaced only by a complete one.
bool Write_Report_Pdf(const QString& path, const TReportContent& content, QString* error);

#endif
