// What the window says after an import: the status line that counts what was
// added and skipped, and the details that warrant a box.
#ifndef IMPORTMESSAGES_H
#define IMPORTMESSAGES_H

#include <QString>

struct TImportReport;

// "Imported 6 ball bars from ballbar.dat; 1 line skipped".
QString Import_Summary(long long ballbars, long long lengths, const TImportReport& report, const QString& file);
// The skipped lines with their reasons as rich text; empty when none was skipped.
QString Skipped_Lines_Text(const TImportReport& report);

#endif
