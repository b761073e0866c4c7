// The measurement table and, after one blank line, the results as CSV (File >
// Export Measurements, the command line's --format csv). Numbers are written
// with a point as decimal separator, whatever the locale, in the shortest
// form that reads back to the same double; a value that does not exist is an
// empty field. Lengths and deviations are in mm, errors and their
// uncertainties in the display's unit and sign convention.
#ifndef RESULTSCSV_H
#define RESULTSCSV_H

#include <QString>

#include "setresults.h"

QString Results_Csv(const TSetResults& results, const TResultsDisplay& display);

// The header line of the measurement table.
extern const char* const CSV_TABLE_HEADER;

#endif
