// The results as one JSON object (the command line's --format json): numbers
// as JSON numbers, null where a value does not exist. Errors and their
// uncertainties are in the display's unit, lengths in mm.
#ifndef RESULTSJSON_H
#define RESULTSJSON_H

#include <QByteArray>
#include <QStringList>

#include "setresults.h"

QByteArray Results_Json(const TSetResults& results, const TResultsDisplay& display, const QStringList& inputs,
                        const QStringList& warnings);

#endif
