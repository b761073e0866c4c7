// The residual of every record the fit used, as a table: name, kind, nominal
// and actual length, the deviation before and after the fit in µm and the
// deviation after the fit in stated standard uncertainties. Flagged rows are
// highlighted. Each column sorts by its number (Qt::UserRole) rather than its
// text; TResidualSortModel sorts the rows by comparing those numbers directly,
// which keeps sorting 100 000 rows quick. Rows may carry the record they show,
// for selecting it elsewhere.
#ifndef RESIDUALTABLEMODEL_H
#define RESIDUALTABLEMODEL_H

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QString>
#include <optional>
#include <vector>

#include "measurement.h"

struct TResidualRow
{
  QString name;
  TMeasurement::TMeasurementType type = TMeasurement::MEASUREMENT_BALLBAR;
  double nominal_length = 0.0; // mm
  double actual_length = 0.0;  // mm
  std::optional<double> deviation_before_um;
  std::optional<double> deviation_after_um;
  std::optional<double> normalised;
  bool flagged = false;
  // The record shown, while it is known to be alive; null otherwise.
  const TMeasurement* record = nullptr;
};

class TResidualTableModel : public QAbstractTableModel
{
  Q_OBJECT

public:
  enum TColumn
  {
    COLUMN_NAME,
    COLUMN_KIND,
    COLUMN_NOMINAL,
    COLUMN_ACTUAL,
    COLUMN_BEFORE,
    COLUMN_AFTER,
    COLUMN_NORMALISED,
    COLUMN_COUNT
  };

  explicit TResidualTableModel(QObject* parent = nullptr);

  void Set_Rows(std::vector<TResidualRow> rows);
  const std::vector<TResidualRow>& Rows() const { return d_rows; }
  // The record of a row, or null.
  const TMeasurement* Record_At(int row) const;
  // The records may have changed: no row names one any more.
  void Forget_Records();
  // Whether the left row comes before the right one in the column's order
  // (absent numbers first); the order of Qt::UserRole.
  bool Less(int left, int right, int column) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
  QVariant Text(const TResidualRow& row, int column) const;
  QVariant Sort_Key(const TResidualRow& row, int column) const;

  std::vector<TResidualRow> d_rows;
};

// Sorts a TResidualTableModel by TResidualTableModel::Less.
class TResidualSortModel : public QSortFilterProxyModel
{
  Q_OBJECT

public:
  explicit TResidualSortModel(QObject* parent = nullptr);

protected:
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};

#endif
