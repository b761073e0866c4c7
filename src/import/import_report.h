// What the last import found, for the message the window shows.
#ifndef IMPORT_REPORT_H
#define IMPORT_REPORT_H

#include <QString>
#include <QStringList>

struct TImportReport
{
  // Skip details kept at the most, those of the first lines in the file.
  static constexpr int MAXIMUM_SKIP_DETAILS = 10;

  // Lines (results files: measurement elements) that were meant as data.
  int data_lines = 0;
  // Of those, the ones that gave no record.
  int skipped_lines = 0;
  // "line 7: 12 fields, 11 expected", in line order.
  QStringList skip_details;
  // Names of records whose two points (or direction) coincide: their axis
  // became (1, 0, 0). An unnamed record is given as "line 7".
  QStringList zero_direction_records;
  // When the file gave no record: what was found and why nothing was added.
  QString nothing_found_reason;
};

#endif
