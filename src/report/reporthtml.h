// The calibration report as HTML, in this order: the project information with
// the report's date, the program and the source of the set; the method and
// the sign convention; the results; the pictures; the measurement table; the
// uncertainty settings. The same markup makes the PDF (through QTextDocument)
// and the HTML file.
#ifndef REPORTHTML_H
#define REPORTHTML_H

#include <QString>

#include "reportcontent.h"

// Names under which the pictures are given to a QTextDocument.
extern const char* const SCENE_PICTURE_NAME;
extern const char* const CHART_PICTURE_NAME;

// With embed_pictures the pictures are data: URIs (a file that stands alone);
// otherwise they are referred to by the names above.
QString Report_Html(const TReportContent& content, bool embed_pictures);

// Writes the HTML file; false with the reason in *error.
bool Write_Report_Html(const QString& path, const TReportContent& content, QString* error);

#endif
