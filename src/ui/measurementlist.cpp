#include "measurementlist.h"

#include <QIcon>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStringList>
#include <QStyle>
#include <QVariant>
#include <algorithm>

#include "measurementset.h"
#include "recordcheck.h"
#include "uihelpers.h"

namespace
{
// Lists longer than this take uniform row heights.
const int UNIFORM_ROWS_FROM = 1000;
// Rows added at the end in one step beyond this many enter a slice at a time,
// from the next turn of the event loop on, in chunks of CHUNK_ROWS.
const int SLICE_ROWS = 20000;
const int CHUNK_ROWS = 2000;
}

TMeasurementList::TMeasurementList(const TMeasurementSet* document, QListWidget* list, QObject* parent)
  : QObject(parent), d_document(document), d_list(list)
{
  Run_Next_Turn(&d_fill_timer, this, &TMeasurementList::Fill_Next_Slice);
  connect(document, &TMeasurementSet::Records_Inserted, this, &TMeasurementList::Insert_Rows);
  connect(document, &TMeasurementSet::Records_Removed, this, &TMeasurementList::Remove_Rows);
  connect(document, &TMeasurementSet::Record_Changed, this, &TMeasurementList::Change_Row);
  connect(document, &TMeasurementSet::Records_Reset, this, &TMeasurementList::Rebuild_Rows);
  Rebuild_Rows();
}

TMeasurement* TMeasurementList::Measurement_From_Item(const QListWidgetItem* item)
{
  QVariant data = item->data(Qt::UserRole);
  if(data.userType() != QMetaType::VoidStar && !data.convert(QMetaType::VoidStar))
    return nullptr;
  return static_cast<TMeasurement*>(data.value<void*>());
}

TMeasurement* TMeasurementList::Selected_Measurement() const
{
  const QList<QListWidgetItem*> selection = d_list->selectedItems();
  if(selection.size() != 1)
    return nullptr;
  return Measurement_From_Item(selection.front());
}

std::vector<int> TMeasurementList::Selected_Rows() const
{
  std::vector<int> rows;
  for(const QListWidgetItem* item : d_list->selectedItems())
    rows.push_back(d_list->row(item));
  return rows;
}

// Sized to the document, which may be a step ahead of the rows while they follow it.
std::vector<bool> TMeasurementList::Selection_Flags() const
{
  std::vector<bool> flags(static_cast<size_t>(d_document->Count()), false);
  for(int row : Selected_Rows())
    if(row < d_document->Count())
      flags[static_cast<size_t>(row)] = true;
  return flags;
}

QListWidgetItem* TMeasurementList::Create_Item(const TMeasurement* record) const
{
  QListWidgetItem* item = new QListWidgetItem(record->Name());
  Describe_Item(item, record);
  return item;
}

// The record pointer and the warning mark of a row.
void TMeasurementList::Describe_Item(QListWidgetItem* item, const TMeasurement* record) const
{
  item->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(const_cast<TMeasurement*>(record))));
  if(Record_Problem(*record) != TRecordProblem::NONE)
    Mark_Item(item, *record);
}

// A record the fit leaves out, or one beyond any machine, shows a warning
// sign and says why in its tool tip; the row's text stays the record's name.
void TMeasurementList::Mark_Item(QListWidgetItem* item, const TMeasurement& record) const
{
  const TRecordProblem problem = Record_Problem(record);
  if(problem == TRecordProblem::NONE)
  {
    item->setIcon(QIcon());
    item->setToolTip(QString());
    return;
  }
  item->setIcon(d_list->style()->standardIcon(QStyle::SP_MessageBoxWarning));
  const QString text = Is_Fit_Usable(record) ? QStringLiteral("Kept in the fit, but %1") : QStringLiteral("Left out of the fit: %1");
  item->setToolTip(text.arg(Problem_Text(problem)));
}

// Every change of the rows is made with the list's updates suspended; a large
// list takes every row as high as the first, so that it need not measure
// each one.
template<class TChange> void TMeasurementList::Change_Rows_Quietly(TChange change)
{
  const bool updates = d_list->updatesEnabled();
  d_list->setUpdatesEnabled(false);
  d_list->setUniformItemSizes(d_document->Count() > UNIFORM_ROWS_FROM);
  change();
  d_list->setUpdatesEnabled(updates);
}

// Rows of records after the list's end follow the list's end; rows inserted
// among the listed ones go in at once.
void TMeasurementList::Insert_Rows(int first, int count)
{
  if(first >= d_list->count())
  {
    List_Rows_To_End();
    return;
  }
  Change_Rows_Quietly([&] {
    for(int row = first; row < first + count; ++row)
      d_list->insertItem(row, Create_Item(d_document->At(row)));
  });
}

// A few rows still to come are listed at once; many start to follow a slice
// at a time in the next turn.
void TMeasurementList::List_Rows_To_End()
{
  if(d_document->Count() - d_list->count() <= SLICE_ROWS)
    Complete_Rows();
  else
    d_fill_timer.start();
}

// The rows of the records from the end of the list up to end.
void TMeasurementList::Append_Rows(int end)
{
  Change_Rows_Quietly([&] { Add_Rows(d_list->count(), end); });
}

// One insertion of the rows' names; the rows then take their records and
// marks before the view ever shows them.
void TMeasurementList::Add_Rows(int first, int end)
{
  QStringList names;
  names.reserve(end - first);
  for(int row = first; row < end; ++row)
    names << d_document->At(row)->Name();
  d_list->addItems(names);
  const QSignalBlocker quiet_model(d_list->model());
  for(int row = first; row < end; ++row)
    Describe_Item(d_list->item(row), d_document->At(row));
}

bool TMeasurementList::Filling() const
{
  return d_list->count() < d_document->Count();
}

// The rows may have stopped coming (an undo of the import): the list is then
// laid out whole again as well.
void TMeasurementList::Fill_Next_Slice()
{
  if(!Filling())
  {
    Lay_Out_In_One_Pass();
    return;
  }
  d_list->setBatchSize(SLICE_ROWS);
  d_list->setLayoutMode(QListView::Batched);
  Change_Rows_Quietly([&] {
    Work_For_A_Slice(size_t(d_list->count()), size_t(d_document->Count()), CHUNK_ROWS,
                     [this](size_t first, size_t end) { Add_Rows(int(first), int(end)); });
  });
  if(Filling())
    d_fill_timer.start();
  else
    Lay_Out_In_One_Pass();
}

void TMeasurementList::Complete_Rows()
{
  d_fill_timer.stop();
  if(Filling())
    Append_Rows(d_document->Count());
  Lay_Out_In_One_Pass();
}

// The view lays out all its rows again after each slice. While slices come,
// it lays out only the first SLICE_ROWS rows at once (the rest follow in
// later turns, until the next slice starts it over); once every row is in,
// it lays out the whole list, so that every row has its place at once.
void TMeasurementList::Lay_Out_In_One_Pass()
{
  if(d_list->layoutMode() == QListView::SinglePass)
    return;
  d_list->setLayoutMode(QListView::SinglePass);
  d_list->doItemsLayout();
}

// The listed rows of the removed records go; the rows still to come are those
// of the records after them.
void TMeasurementList::Remove_Rows(int first, int count)
{
  const int listed = std::min(count, d_list->count() - first);
  Change_Rows_Quietly([&] {
    for(int i = 0; i < listed; ++i)
      delete d_list->takeItem(first);
  });
}

// A row still to come will show the record as it is then.
void TMeasurementList::Change_Row(int row)
{
  if(row >= d_list->count())
    return;
  QListWidgetItem* item = d_list->item(row);
  item->setText(d_document->At(row)->Name());
  Mark_Item(item, *d_document->At(row));
}

void TMeasurementList::Rebuild_Rows()
{
  d_fill_timer.stop();
  d_list->clear();
  List_Rows_To_End();
}
