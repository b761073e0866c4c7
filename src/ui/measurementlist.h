// Keeps the list widget of the editor in step with the document: one row per
// record, in the same order, showing the record's name and carrying the
// record pointer as its Qt::UserRole data (a void*). A large number of
// records added at the end (an import, an opened project) enter the list a
// slice at a time, one slice per turn of the event loop from the next one on,
// so that the window keeps answering. Meanwhile the list's rows are those of the document's
// first records, and the rows still to come those of the records after them.
#ifndef MEASUREMENTLIST_H
#define MEASUREMENTLIST_H

#include <QObject>
#include <QTimer>
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
  // Adds at once the rows still to come, so that every record has its row.
  void Complete_Rows();
  // True while rows of the records at the end are still to come.
  bool Filling() const;

private slots:
  void Insert_Rows(int first, int count);
  void Remove_Rows(int first, int count);
  void Change_Row(int row);
  void Rebuild_Rows();
  void Fill_Next_Slice();

private:
  template<class TChange> void Change_Rows_Quietly(TChange change);
  void List_Rows_To_End();
  void Lay_Out_In_One_Pass();
  QListWidgetItem* Create_Item(const TMeasurement* record) const;
  void Describe_Item(QListWidgetItem* item, const TMeasurement* record) const;
  void Mark_Item(QListWidgetItem* item, const TMeasurement& record) const;
  void Append_Rows(int end);
  void Add_Rows(int first, int end);

  const TMeasurementSet* d_document;
  QListWidget* d_list;
  QTimer d_fill_timer;
};

#endif
