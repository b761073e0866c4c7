// The sections of the calibration report as HTML fragments (reporthtml.h puts
// them together).
#ifndef REPORTSECTIONS_H
#define REPORTSECTIONS_H

#include <QString>

#include "reportcontent.h"

// 1. The project information, the date of the report, the program and the source of the set.
QString Information_Section(const TReportContent& content);
// 2. The method in two sentences and the sign convention with what a positive value means.
QString Method_Section(const TReportContent& content);
// 3. The errors with their uncertainties, n - p, the Birge ratio, the ball-bar length and the statistics.
QString Results_Section(const TReportContent& content);
// 5. The measurement table.
QString Measurements_Section(const TReportContent& content);
// 6. The uncertainty settings used.
QString Settings_Section(const TReportContent& content);

#endif
