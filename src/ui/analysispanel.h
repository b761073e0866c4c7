// The content of the Analysis dock: each squareness error with its expanded
// uncertainty (k = 2) in the results panel's sign convention and unit, the
// degrees of freedom n - p and the Birge ratio, the reason for every number
// that is missing, and the records' residuals as a sortable table and a bar
// chart. It changes when a fit is published (Show_Analysis) and when the
// sign convention or the unit changes (Set_Display); the table is a model,
// so a set of 100 000 records costs no widget per row. The rows of a large set
// are made a slice at a time, one slice per turn of the event loop from the
// next one on, and replace the table's rows once they are all made.
#ifndef ANALYSISPANEL_H
#define ANALYSISPANEL_H

#include <QTimer>
#include <QWidget>
#include <vector>

#include "angleunit.h"
#include "calculatesquare.h"
#include "residualchart.h"
#include "residualtablemodel.h"

class QFont;
class QItemSelection;
class QLabel;
class QSortFilterProxyModel;
class QTableView;
class TMeasurement;

class TAnalysisPanel : public QWidget
{
  Q_OBJECT

public:
  TAnalysisPanel(const QFont& header_font, QWidget* parent);

  // A published fit and the records it was made of, in the order handed over
  // (so the analysis' residuals belong to them row by row).
  void Show_Analysis(const TSolverResult& result, const std::vector<TMeasurement*>& records);
  // The sign convention (index into Sign_Conventions()) and the unit of the errors.
  void Set_Display(int convention, TAngleUnit unit);
  // The records may have changed: rows no longer select them.
  void Forget_Records();

signals:
  // The user chose the row of a record in the table.
  void Record_Selected(const TMeasurement* record);

private slots:
  void Table_Selection_Changed();

private:
  void Create_Summary(const QFont& header_font);
  void Create_Residuals();
  void Show_Errors();
  void Show_Summary();
  void Show_Residuals(const std::vector<TMeasurement*>& records);
  void Make_Next_Rows();
  void Make_Rows(size_t first, size_t end);
  void Show_Rows_When_Made();
  void Stop_Making_Rows();

  TSolverResult d_result;
  int d_convention;
  TAngleUnit d_unit;

  QLabel* d_unit_headers[2];
  QLabel* xy_value_label;
  QLabel* yz_value_label;
  QLabel* zx_value_label;
  QLabel* xy_uncertainty_label;
  QLabel* yz_uncertainty_label;
  QLabel* zx_uncertainty_label;
  QLabel* degrees_of_freedom_label;
  QLabel* birge_ratio_label;
  QLabel* flagged_label;
  QLabel* reason_label;
  TResidualChart* residual_chart;
  QTableView* residual_table;
  TResidualTableModel* residual_model;
  QSortFilterProxyModel* residual_proxy;

  // The rows and bars being made for the records of the shown analysis.
  std::vector<TMeasurement*> d_row_records;
  std::vector<TResidualRow> d_new_rows;
  std::vector<TResidualBar> d_new_bars;
  QTimer d_row_timer;
};

#endif
