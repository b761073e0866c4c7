// The working document: the measurement records in list order, whether they
// differ from what was last saved or loaded, the project file they belong to
// and the length a new ball bar starts with. Every change to the set goes
// through this object, which announces it; the list, the 3D scene, the fit
// and the window's title and actions follow those announcements.
#ifndef MEASUREMENTSET_H
#define MEASUREMENTSET_H

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "measurement.h"
#include "projectsettings.h"

class TMeasurementSet : public QObject
{
  Q_OBJECT

public:
  // Both lengths a new hand-made length record starts with, mm.
  static constexpr double DEFAULT_LENGTH = 1000.0;

  explicit TMeasurementSet(QObject* parent = nullptr);
  ~TMeasurementSet() override;

  int Count() const { return static_cast<int>(d_records.size()); }
  bool Is_Empty() const { return d_records.empty(); }
  // The record at a row; null when the row is out of range.
  TMeasurement* At(int row) const;
  // The row of a record of this set, or -1.
  int Row_Of(const TMeasurement* record) const;
  int Count_Of(TMeasurement::TMeasurementType type) const;
  // The records in list order; they stay owned by the set.
  std::vector<TMeasurement*> Records() const;
  // The records the fit may use: every number finite and the lengths positive.
  // The names of the others are added to *left_out when it is given.
  std::vector<TMeasurement*> Fit_Records(QStringList* left_out = nullptr) const;
  // "BallBar n" or "Length n", numbered after the records of that kind already in the set.
  QString Default_Name(TMeasurement::TMeasurementType type) const;

  // Changes made by the user: each marks the set modified. A record without
  // a name gets its default name.
  void Insert(int row, std::unique_ptr<TMeasurement> record);
  void Append(std::vector<std::unique_ptr<TMeasurement>> records);
  // Gives the record at the row the values of another record of its kind
  // (a blank name keeps the old one) and hands back its old values.
  std::unique_ptr<TMeasurement> Edit(int row, const TMeasurement& values);
  std::unique_ptr<TMeasurement> Take(int row);
  void Remove(std::vector<int> rows);
  // Takes the records at the rows out of the set and hands them back in row
  // order; Insert_Rows puts such records back so that they stand at those
  // rows again. Each row block is announced once and the set once, so that
  // undoing or redoing a large change costs one hand-over to the fit.
  std::vector<std::unique_ptr<TMeasurement>> Take_Rows(std::vector<int> rows);
  void Insert_Rows(const std::vector<int>& rows, std::vector<std::unique_ptr<TMeasurement>> records);

  // Replaces the whole set and its settings, as New and a load do: the set is
  // then unmodified.
  void Reset(std::vector<std::unique_ptr<TMeasurement>> records = {},
             const TProjectSettings& settings = TProjectSettings());

  // The fit's estimate of the ball bar's length, written into every ball-bar
  // record the fit used. Not a change by the user: the set stays as modified
  // as it was.
  void Set_Ballbar_Estimate(double length);

  bool Is_Modified() const { return d_modified; }
  void Set_Modified(bool modified);
  const QString& File_Name() const { return d_file_name; }
  void Set_File_Name(const QString& file_name);
  double Default_Ballbar_Length() const { return d_default_ballbar_length; }
  // The project's settings; a change by the user marks the set modified.
  const TProjectSettings& Settings() const { return d_settings; }
  void Set_Settings(const TProjectSettings& settings);
  void Set_Default_Ballbar_Length(double length) { d_default_ballbar_length = length; }

signals:
  void Records_Inserted(int first, int count);
  void Records_Removed(int first, int count);
  void Record_Changed(int row);
  void Records_Reset();
  // After each of the four above: the set of records or their values changed.
  void Set_Changed();
  // The ball-bar records carry a new estimated length.
  void Ballbar_Estimate_Changed();
  void Modified_Changed(bool modified);
  void File_Name_Changed(const QString& file_name);
  // The settings differ from before (a user's change, New or a load).
  void Settings_Changed();

private:
  static QString Numbered_Name(TMeasurement::TMeasurementType type, int number);
  void Name_If_Blank(TMeasurement* record) const;
  void Name_Blank_Records(const std::vector<std::unique_ptr<TMeasurement>>& records) const;
  void Changed_By_User();

  std::vector<std::unique_ptr<TMeasurement>> d_records;
  bool d_modified = false;
  QString d_file_name;
  double d_default_ballbar_length = DEFAULT_LENGTH;
  TProjectSettings d_settings;
};

#endif
