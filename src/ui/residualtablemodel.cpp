#include "residualtablemodel.h"

#include <QBrush>
#include <QColor>
#include <limits>

#include "fixedtext.h"
#include "squaredisplay.h"

namespace
{
const QColor FLAGGED_BACKGROUND(255, 214, 214);

QString Kind_Text(TMeasurement::TMeasurementType type)
{
  return type == TMeasurement::MEASUREMENT_BALLBAR ? QStringLiteral("Ball bar") : QStringLiteral("Length");
}

QString Optional_Text(const std::optional<double>& value, int decimals)
{
  return value ? Fixed_Text(*value, decimals) : NOT_AVAILABLE_TEXT;
}

// Absent numbers sort before every number.
double Optional_Key(const std::optional<double>& value)
{
  return value ? *value : -std::numeric_limits<double>::infinity();
}
}

TResidualTableModel::TResidualTableModel(QObject* parent) : QAbstractTableModel(parent)
{
}

void TResidualTableModel::Set_Rows(std::vector<TResidualRow> rows)
{
  beginResetModel();
  d_rows = std::move(rows);
  endResetModel();
}

const TMeasurement* TResidualTableModel::Record_At(int row) const
{
  return row >= 0 && row < int(d_rows.size()) ? d_rows[size_t(row)].record : nullptr;
}

void TResidualTableModel::Forget_Records()
{
  for(TResidualRow& row : d_rows)
    row.record = nullptr;
}

int TResidualTableModel::rowCount(const QModelIndex& parent) const
{
  return parent.isValid() ? 0 : int(d_rows.size());
}

int TResidualTableModel::columnCount(const QModelIndex& parent) const
{
  return parent.isValid() ? 0 : COLUMN_COUNT;
}

QVariant TResidualTableModel::data(const QModelIndex& index, int role) const
{
  if(!index.isValid() || index.row() >= int(d_rows.size()))
    return QVariant();
  const TResidualRow& row = d_rows[size_t(index.row())];
  switch(role)
  {
    case Qt::DisplayRole: return Text(row, index.column());
    case Qt::UserRole: return Sort_Key(row, index.column());
    case Qt::TextAlignmentRole:
      return index.column() <= COLUMN_KIND ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                           : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole: return row.flagged ? QVariant(QBrush(FLAGGED_BACKGROUND)) : QVariant();
    case Qt::ToolTipRole:
      return row.flagged ? QVariant(QStringLiteral("The deviation after the fit exceeds 3 standard uncertainties."))
                         : QVariant();
    default: return QVariant();
  }
}

QVariant TResidualTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
  if(orientation != Qt::Horizontal || role != Qt::DisplayRole)
    return QAbstractTableModel::headerData(section, orientation, role);
  const QString micro = QString::fromUtf8("\xC2\xB5m");
  switch(section)
  {
    case COLUMN_NAME: return QStringLiteral("Name");
    case COLUMN_KIND: return QStringLiteral("Kind");
    case COLUMN_NOMINAL: return QStringLiteral("Nominal mm");
    case COLUMN_ACTUAL: return QStringLiteral("Actual mm");
    case COLUMN_BEFORE: return QStringLiteral("Before %1").arg(micro);
    case COLUMN_AFTER: return QStringLiteral("After %1").arg(micro);
    case COLUMN_NORMALISED: return QStringLiteral("After / u");
    default: return QVariant();
  }
}

QVariant TResidualTableModel::Text(const TResidualRow& row, int column) const
{
  switch(column)
  {
    case COLUMN_NAME: return row.name;
    case COLUMN_KIND: return Kind_Text(row.type);
    case COLUMN_NOMINAL: return Fixed_Text(row.nominal_length, 4);
    case COLUMN_ACTUAL: return Fixed_Text(row.actual_length, 4);
    case COLUMN_BEFORE: return Optional_Text(row.deviation_before_um, 2);
    case COLUMN_AFTER: return Optional_Text(row.deviation_after_um, 2);
    case COLUMN_NORMALISED: return Optional_Text(row.normalised, 2);
    default: return QVariant();
  }
}

bool TResidualTableModel::Less(int left, int right, int column) const
{
  const TResidualRow& a = d_rows[size_t(left)];
  const TResidualRow& b = d_rows[size_t(right)];
  switch(column)
  {
    case COLUMN_NAME: return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    case COLUMN_KIND: return a.type < b.type;
    case COLUMN_NOMINAL: return a.nominal_length < b.nominal_length;
    case COLUMN_ACTUAL: return a.actual_length < b.actual_length;
    case COLUMN_BEFORE: return Optional_Key(a.deviation_before_um) < Optional_Key(b.deviation_before_um);
    case COLUMN_AFTER: return Optional_Key(a.deviation_after_um) < Optional_Key(b.deviation_after_um);
    case COLUMN_NORMALISED: return Optional_Key(a.normalised) < Optional_Key(b.normalised);
    default: return false;
  }
}

QVariant TResidualTableModel::Sort_Key(const TResidualRow& row, int column) const
{
  switch(column)
  {
    case COLUMN_NAME: return row.name;
    case COLUMN_KIND: return Kind_Text(row.type);
    case COLUMN_NOMINAL: return row.nominal_length;
    case COLUMN_ACTUAL: return row.actual_length;
    case COLUMN_BEFORE: return Optional_Key(row.deviation_before_um);
    case COLUMN_AFTER: return Optional_Key(row.deviation_after_um);
    case COLUMN_NORMALISED: return Optional_Key(row.normalised);
    default: return QVariant();
  }
}

TResidualSortModel::TResidualSortModel(QObject* parent) : QSortFilterProxyModel(parent)
{
  setSortRole(Qt::UserRole);
}

bool TResidualSortModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
  const TResidualTableModel* model = qobject_cast<const TResidualTableModel*>(sourceModel());
  if(!model)
    return QSortFilterProxyModel::lessThan(left, right);
  return model->Less(left.row(), right.row(), left.column());
}
