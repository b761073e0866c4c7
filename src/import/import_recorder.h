// Fills an import report while a loader reads: counts the data lines, keeps
// the details of the first skipped ones in line order, notes records left
// without a direction and says why a file gave nothing.
#ifndef IMPORT_RECORDER_H
#define IMPORT_RECORDER_H

#include <QString>
#include <vector>

#include "import_report.h"
#include "vector3.h"

class TMeasurement;

class TImportRecorder
{
public:
  // Starts the report afresh; without one the counts go to a report of its own.
  explicit TImportRecorder(TImportReport* report);
  TImportRecorder(const TImportRecorder&) = delete;
  TImportRecorder& operator=(const TImportRecorder&) = delete;

  void Data_Line() { ++d_report->data_lines; }
  int Data_Lines() const { return d_report->data_lines; }
  int Skipped_Lines() const { return d_report->skipped_lines; }

  // Counts a data line that gives no record; reason() makes the text of its
  // detail and is called only when the detail is kept.
  template <typename TReason> void Skip(int line, const TReason& reason)
  {
    ++d_report->skipped_lines;
    if(Keeps_Detail(line))
      Insert_Detail(line, reason());
  }

  // Notes the record when the direction from start to end leaves it without
  // an axis; line names a record that has no name (records made from many
  // lines always have one and pass 0).
  void Check_Direction(const TMeasurement& record, const TVector3& start, const TVector3& end, int line);
  // True when a record given this direction keeps it (and does not fall back to x).
  static bool Has_Direction(const TVector3& direction);

  void Nothing_Found(const QString& reason) { d_report->nothing_found_reason = reason; }
  // Why a text file gave nothing when none of its lines was usable:
  // "None of its 12 data lines <what>.", or that it has no data lines at all.
  QString No_Usable_Line(const QString& what) const;

  // Details of common skips: "12 fields, 11 expected"; a line that is not a
  // reading, or a reading out of its section.
  static QString Field_Count(int found, int expected);
  static QString Misplaced_Line(const char* data_keyword, bool is_reading, bool in_alignment);

private:
  bool Keeps_Detail(int line) const;
  void Insert_Detail(int line, const QString& reason);

  TImportReport d_own_report;
  TImportReport* d_report;
  std::vector<int> d_detail_lines;  // line of each kept detail, ascending
};

#endif
