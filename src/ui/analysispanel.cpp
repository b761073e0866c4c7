#include "analysispanel.h"

#include <QFont>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStringList>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "residualchart.h"
#include "residualtablemodel.h"
#include "signconvention.h"
#include "squaredisplay.h"
#include "uihelpers.h"

namespace
{
const double UM_PER_MM = 1000.0;
// More rows than this are made a slice at a time, from the next turn of the
// event loop on, in chunks of ROW_CHUNK rows.
const size_t ROW_SLICE = 20000;
const size_t ROW_CHUNK = 2000;
const char* const ERROR_NAMES[SQUARE_ERROR_COUNT] = {"XY", "YZ", "ZX"};

std::optional<double> In_Um(const std::optional<double>& millimetres)
{
  return millimetres ? std::optional<double>(*millimetres * UM_PER_MM) : std::nullopt;
}
}

TAnalysisPanel::TAnalysisPanel(const QFont& header_font, QWidget* parent)
  : QWidget(parent), d_convention(DEFAULT_SIGN_CONVENTION), d_unit(DEFAULT_ANGLE_UNIT)
{
  Run_Next_Turn(&d_row_timer, this, &TAnalysisPanel::Make_Next_Rows);
  new QVBoxLayout(this);
  Create_Summary(header_font);
  Create_Residuals();
  Show_Errors();
  Show_Summary();
}

// A row per error: its name, value, "±", the expanded uncertainty; then n - p,
// the Birge ratio, the flagged count and the reasons.
void TAnalysisPanel::Create_Summary(const QFont& header_font)
{
  QGridLayout* grid = new QGridLayout;
  grid->setSpacing(5);
  d_unit_headers[0] = Header_Label(QString(), header_font, this);
  d_unit_headers[1] = Header_Label(QString(), header_font, this);
  grid->addWidget(d_unit_headers[0], 0, 1);
  grid->addWidget(d_unit_headers[1], 0, 3);
  QLabel** values[SQUARE_ERROR_COUNT] = {&xy_value_label, &yz_value_label, &zx_value_label};
  QLabel** uncertainties[SQUARE_ERROR_COUNT] = {&xy_uncertainty_label, &yz_uncertainty_label,
                                                &zx_uncertainty_label};
  const char* const value_names[SQUARE_ERROR_COUNT] = {"xy_value_label", "yz_value_label", "zx_value_label"};
  const char* const uncertainty_names[SQUARE_ERROR_COUNT] = {"xy_uncertainty_label", "yz_uncertainty_label",
                                                             "zx_uncertainty_label"};
  for(int i = 0; i < SQUARE_ERROR_COUNT; ++i)
  {
    grid->addWidget(new QLabel(QString::fromLatin1(ERROR_NAMES[i]), this), i + 1, 0);
    grid->addWidget(*values[i] = Value_Label(this, value_names[i]), i + 1, 1);
    grid->addWidget(new QLabel(QString::fromUtf8("\xC2\xB1"), this), i + 1, 2);
    grid->addWidget(*uncertainties[i] = Value_Label(this, uncertainty_names[i]), i + 1, 3);
  }
  grid->addWidget(new QLabel(QString::fromUtf8("n \xE2\x88\x92 p"), this), 4, 0);
  grid->addWidget(degrees_of_freedom_label = Value_Label(this, "degrees_of_freedom_label"), 4, 1);
  grid->addWidget(new QLabel(QStringLiteral("Birge ratio"), this), 4, 2);
  grid->addWidget(birge_ratio_label = Value_Label(this, "birge_ratio_label"), 4, 3);
  grid->addWidget(flagged_label = Named(new QLabel(this), "flagged_label"), 5, 0, 1, 4);
  reason_label = Named(new QLabel(this), "reason_label");
  reason_label->setWordWrap(true);
  grid->addWidget(reason_label, 6, 0, 1, 4);
  static_cast<QVBoxLayout*>(layout())->addLayout(grid);
}

// The chart above the table, the two sharing the dock's height.
void TAnalysisPanel::Create_Residuals()
{
  QSplitter* splitter = Named(new QSplitter(Qt::Vertical, this), "residual_splitter");
  residual_chart = Named(new TResidualChart(splitter), "residual_chart");
  residual_chart->setToolTip(QString::fromUtf8("Deviation after the fit of each record, \xC2\xB5m; flagged records in red"));
  residual_model = Named(new TResidualTableModel(this), "residual_model");
  residual_proxy = Named(new TResidualSortModel(this), "residual_proxy");
  residual_proxy->setSourceModel(residual_model);
  residual_table = Named(new QTableView(splitter), "residual_table");
  residual_table->setModel(residual_proxy);
  residual_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  residual_table->setSelectionMode(QAbstractItemView::SingleSelection);
  residual_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  residual_table->verticalHeader()->hide();
  residual_table->verticalHeader()->setDefaultSectionSize(residual_table->fontMetrics().height() + 4);
  residual_table->horizontalHeader()->resizeSection(
    TResidualTableModel::COLUMN_NAME, residual_table->fontMetrics().horizontalAdvance(QStringLiteral("BallBar 0000 +X+Y")));
  residual_table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  residual_table->setSortingEnabled(true);
  connect(residual_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &TAnalysisPanel::Table_Selection_Changed);
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 2);
  layout()->addWidget(splitter);
}

void TAnalysisPanel::Show_Analysis(const TSolverResult& result, const std::vector<TMeasurement*>& records)
{
  d_result = result;
  Show_Errors();
  Show_Summary();
  Show_Residuals(records);
}

void TAnalysisPanel::Set_Display(int convention, TAngleUnit unit)
{
  d_convention = convention;
  d_unit = unit;
  Show_Errors();
}

void TAnalysisPanel::Forget_Records()
{
  Stop_Making_Rows();
  residual_model->Forget_Records();
}

void TAnalysisPanel::Show_Errors()
{
  const QString unit = QString::fromUtf8(Angle_Unit_Label(d_unit));
  d_unit_headers[0]->setText(QStringLiteral("Error %1").arg(unit));
  d_unit_headers[1]->setText(QStringLiteral("U (k = 2) %1").arg(unit));
  const double values[SQUARE_ERROR_COUNT] = {d_result.xy_error, d_result.yz_error, d_result.zx_error};
  const bool valid[SQUARE_ERROR_COUNT] = {d_result.valid.xy, d_result.valid.yz, d_result.valid.zx};
  QLabel* const value_labels[SQUARE_ERROR_COUNT] = {xy_value_label, yz_value_label, zx_value_label};
  QLabel* const uncertainty_labels[SQUARE_ERROR_COUNT] = {xy_uncertainty_label, yz_uncertainty_label,
                                                          zx_uncertainty_label};
  for(int i = 0; i < SQUARE_ERROR_COUNT; ++i)
  {
    value_labels[i]->setText(Error_Text(values[i], valid[i], TSquareError(i), d_convention, d_unit));
    const std::optional<double> expanded =
      d_result.analysis && valid[i] ? d_result.analysis->errors[size_t(i)].expanded : std::nullopt;
    uncertainty_labels[i]->setText(Uncertainty_Text(expanded, d_unit));
  }
}

// n - p, the Birge ratio and the flagged records, with a line for each
// number that is missing and why.
void TAnalysisPanel::Show_Summary()
{
  const TSquareAnalysis* analysis = d_result.analysis.get();
  degrees_of_freedom_label->setText(analysis ? QString::number(analysis->degrees_of_freedom) : NOT_AVAILABLE_TEXT);
  birge_ratio_label->setText(Ratio_Text(analysis ? analysis->birge_ratio : std::nullopt));
  flagged_label->setText(analysis && analysis->flagged_count > 0
                           ? QStringLiteral("Flagged: %1 (deviation after the fit beyond 3 standard uncertainties)")
                               .arg(analysis->flagged_count)
                           : QString());
  QStringList reasons;
  if(analysis)
  {
    for(int i = 0; i < SQUARE_ERROR_COUNT; ++i)
    {
      const TReason& reason = analysis->errors[size_t(i)].reason;
      if(!analysis->errors[size_t(i)].expanded && !reason.text.empty())
        reasons << QStringLiteral("%1: %2").arg(QLatin1String(ERROR_NAMES[i]), QString::fromStdString(reason.text));
    }
    if(!analysis->birge_ratio && !analysis->birge_reason.text.empty())
      reasons << QStringLiteral("Birge ratio: %1").arg(QString::fromStdString(analysis->birge_reason.text));
  }
  reason_label->setText(reasons.join(QLatin1Char('\n')));
  reason_label->setVisible(!reasons.isEmpty());
}

// One table row and one chart bar per record; a record without a deviation
// after the fit has no bar.
void TAnalysisPanel::Show_Residuals(const std::vector<TMeasurement*>& records)
{
  Stop_Making_Rows();
  if(!d_result.analysis || d_result.analysis->residuals.size() != records.size())
  {
    residual_model->Set_Rows({});
    residual_chart->Set_Bars({});
    return;
  }
  d_row_records = records;
  d_new_rows.reserve(records.size());
  d_new_bars.reserve(records.size());
  if(records.size() > ROW_SLICE)
    d_row_timer.start();
  else
  {
    Make_Rows(0, records.size());
    Show_Rows_When_Made();
  }
}

void TAnalysisPanel::Make_Next_Rows()
{
  Work_For_A_Slice(d_new_rows.size(), d_row_records.size(), ROW_CHUNK,
                   [this](size_t first, size_t end) { Make_Rows(first, end); });
  Show_Rows_When_Made();
}

void TAnalysisPanel::Make_Rows(size_t first, size_t end)
{
  const std::vector<TRecordResidual>& residuals = d_result.analysis->residuals;
  for(size_t i = first; i < end; ++i)
  {
    const TMeasurement& record = *d_row_records[i];
    const TRecordResidual& residual = residuals[i];
    d_new_rows.push_back(TResidualRow{record.Name(), record.Type(), record.Nominal_Length(), record.Actual_Length(),
                                      In_Um(residual.deviation_before), In_Um(residual.deviation_after),
                                      residual.normalised, residual.flagged, &record});
    if(residual.deviation_after)
      d_new_bars.push_back(TResidualBar{record.Name(), *residual.deviation_after * UM_PER_MM, residual.flagged});
  }
}

// The rows and bars are shown once all are made; until then the next slice follows.
void TAnalysisPanel::Show_Rows_When_Made()
{
  if(d_new_rows.size() < d_row_records.size())
  {
    d_row_timer.start();
    return;
  }
  residual_model->Set_Rows(std::move(d_new_rows));
  residual_chart->Set_Bars(std::move(d_new_bars));
  Stop_Making_Rows();
}

// Rows stop being made when a newer analysis comes or the records may have
// changed, so no slice ever reads a record that has gone.
void TAnalysisPanel::Stop_Making_Rows()
{
  d_row_timer.stop();
  d_row_records.clear();
  d_new_rows.clear();
  d_new_bars.clear();
}

void TAnalysisPanel::Table_Selection_Changed()
{
  const QModelIndexList selected = residual_table->selectionModel()->selectedRows();
  if(selected.size() != 1)
    return;
  const TMeasurement* record = residual_model->Record_At(residual_proxy->mapToSource(selected.front()).row());
  if(record)
    emit Record_Selected(record);
}
