// Keeps the list widget of the editor in step with the document: one row per
// record, in the same order, showing the record's name and carrying the
// record pointer as its Qt::UserRole data (a void*).
#ifndef MEASUREMENTLIST_H
#define MEASUREMENTLIST_H

#include <QObject>
#include <vector>

class QListWidget;
class QListWidgetItem;
class TMeasurement;
class TMeasurementSet;

class TMeasurementList : public QObject
{
  Q_OBJECT

public:
  TMeasurementList(const TMeasurementSet* document, QListWidget* list, QObject* parent);

  // The record a row carries; null when the row carries none.
  static TMeasurement* Measurement_From_Item(const QListWidgetItem* item);
  // The record of the one selected row; null unless exactly one row is selected.
  TMeasurement* Selected_Measurement() const;
  // The rows that are selected, and per row whether it is.
  std::vector<int> Selected_Rows() const;
  std::vector<bool> Selection_Flags() const;

private slots:
  void Insert_Rows(int first, int count);
  void Remove_Rows(int first, int count);
  void Change_Row(int row);
  void Rebuild_Rows();

private:
  QListWidgetItem* Create_Item(const TMeasurement* record) const;
  void Describe_Item(QListWidgetItem* item, const TMeasurement* record) const;
  void Mark_Item(QListWidgetItem* item, const TMeasurement& record) const;

  const TMeasurementSet* d_document;
  QListWidget* d_list;
};

#endif
