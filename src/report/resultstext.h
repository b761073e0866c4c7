// The results as plain text, as the window's results panel and analysis show
// them (the command line's --format text): the errors with their expanded
// uncertainty in the display's sign convention and unit, why any is missing,
// n - p, the Birge ratio, the ball-bar length, the statistics before and after
// the fit, and the records that are flagged or left out.
#ifndef RESULTSTEXT_H
#define RESULTSTEXT_H

#include <QString>

#include "setresults.h"

QString Results_Text(const TSetResults& results, const TResultsDisplay& display);

#endif
